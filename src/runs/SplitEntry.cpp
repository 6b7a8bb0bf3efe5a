#include "runs/SplitEntry.h"

#include "accounting/AccountingInput.h"
#include "db/Values.h"
#include "refdata/NameLookups.h"
#include "runs/RunAccounting.h"

namespace korvan::runs {

SplitEntryResult readSplitEntry(DbConnection* connection, const SplitEntryInput& input,
                                const refdata::PickList& authorities)
{
    SplitEntryResult result;
    const std::optional<double> value = accounting::readAmountEntry(input.amountText);
    if (!value) {
        result.message = invalidAmountMessage();
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
        change.payingAuthorityName =
            refdata::authorityName(connection, *code).value_or(formatText("Sconosciuto: Ente=%d", *code));
    }
    result.change = change;
    return result;
}

} // namespace korvan::runs
