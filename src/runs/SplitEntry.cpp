#include "runs/SplitEntry.h"

#include "accounting/AccountingInput.h"
#include "runs/SplitNames.h"

namespace korvan::runs {

std::optional<double> readSplitAmount(const std::string& text)
{
    // The same characters, length and sign rule as the price per km of the
    // bulk assignment; only the message differs.
    static_assert(kSplitAmountMaxLength == accounting::kEuroPerKmMaxLength);
    return accounting::parseEuroPerKm(text);
}

std::string invalidSplitAmountMessage()
{
    return std::string("ATTENZIONE: Il valore in Euro non è valido.\n\n") +
           "Occorre indicare un valore positivo non nullo.\n\n";
}

SplitEntryResult readSplitEntry(DbConnection* connection, const SplitEntryInput& input,
                                const refdata::PickList& authorities)
{
    SplitEntryResult result;
    const std::optional<double> value = readSplitAmount(input.amountText);
    if (!value) {
        result.message = invalidSplitAmountMessage();
        return result;
    }
    SplitChange change;
    change.minimumService = input.minimumService;
    change.totalMode = input.totalMode;
    change.value = *value;
    change.applyToSelected = input.applyToSelected;
    change.applyToSelectedRuns = input.applyToSelectedRuns;
    if (!input.minimumService) {
        const std::optional<int> code = refdata::readCodeEntry(input.authorityText, authorities);
        if (!code) {
            result.message = refdata::invalidEntryMessage(refdata::EntryKind::PayingAuthority);
            return result;
        }
        change.payingAuthority = *code;
        change.payingAuthorityName = payingAuthorityName(connection, *code);
    }
    result.change = change;
    return result;
}

} // namespace korvan::runs
