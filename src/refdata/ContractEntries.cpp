#include "refdata/ContractEntries.h"

#include "db/MessageSink.h"

namespace korvan::refdata {

std::nullopt_t refuseEntry(MessageSink& sink, const std::string& message)
{
    sink.showMessage(message, MessageIcon::Error);
    return std::nullopt;
}

std::optional<Contract> validateContract(const ContractEntries& entries, MessageSink& sink)
{
    const std::optional<int> authority = readCodeEntry(entries.authorityText, entries.authorityEntries);
    if (!authority)
        return refuseEntry(sink, invalidEntryMessage(EntryKind::Authority));
    const PickList companies = entries.companyEntries ? entries.companyEntries(*authority) : PickList();
    const std::optional<int> company = readCodeEntry(entries.companyText, companies);
    if (!company)
        return refuseEntry(sink, invalidEntryMessage(EntryKind::Company));
    return Contract{*authority, *company};
}

} // namespace korvan::refdata
