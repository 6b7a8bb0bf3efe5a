#include "accounting/AccountingEntries.h"

#include "accounting/AccountingInput.h"

namespace korvan::accounting {

using refdata::EntryKind;
using refdata::refuseEntry;

std::optional<Period> validatePeriod(const PeriodEntries& entries, MessageSink& sink)
{
    const std::optional<CivilDate> start = parseDateEntry(entries.startText);
    if (!start)
        return refuseEntry(sink, invalidPeriodDateMessage(true));
    const std::optional<CivilDate> end = parseDateEntry(entries.endText);
    if (!end)
        return refuseEntry(sink, invalidPeriodDateMessage(false));
    return Period{*start, *end};
}

std::optional<AssignmentRequest> validateAssignment(const AssignmentEntries& entries, MessageSink& sink)
{
    AssignmentRequest request;
    const std::optional<refdata::Contract> contract = refdata::validateContract(entries.contract, sink);
    if (!contract)
        return std::nullopt;
    request.contractAuthority = contract->authority;
    request.contractCompany = contract->company;
    if (entries.lineText) {
        const refdata::PickList lines =
            entries.lineEntries ? entries.lineEntries(contract->authority, contract->company) : refdata::PickList();
        const std::optional<std::string> line = refdata::readLineCodeEntry(*entries.lineText, lines);
        if (!line)
            return refuseEntry(sink, refdata::invalidEntryMessage(EntryKind::Line));
        request.lineCode = *line;
    }
    const std::optional<double> euroPerKm = parseEuroPerKm(entries.euroPerKmText);
    if (!euroPerKm)
        return refuseEntry(sink, invalidEuroPerKmMessage());
    request.euroPerKm = *euroPerKm;
    request.minimumService = !entries.payerText;
    if (entries.payerText) {
        const std::optional<int> payer = refdata::readCodeEntry(*entries.payerText, entries.payerEntries);
        if (!payer)
            return refuseEntry(sink, refdata::invalidEntryMessage(EntryKind::PayingAuthority));
        request.payingAuthority = *payer;
    }
    if (entries.bandTexts) {
        const std::optional<int> from = parseTimeOfDay(entries.bandTexts->first);
        if (!from)
            return refuseEntry(sink, invalidTimeMessage(true));
        const std::optional<int> to = parseTimeOfDay(entries.bandTexts->second);
        if (!to)
            return refuseEntry(sink, invalidTimeMessage(false));
        request.bandFrom = *from;
        request.bandTo = *to;
    }
    if (entries.period) {
        const std::optional<Period> period = validatePeriod(*entries.period, sink);
        if (!period)
            return std::nullopt;
        request.periodStart = period->start;
        request.periodEnd = period->end;
        request.weekdays = entries.weekdays;
    }
    request.updateExisting = entries.updateExisting;
    return request;
}

std::optional<CalendarRequest> validateCalendarEntries(const refdata::ContractEntries& contract,
                                                       const PeriodEntries& period, MessageSink& sink)
{
    const std::optional<refdata::Contract> read = refdata::validateContract(contract, sink);
    if (!read)
        return std::nullopt;
    const std::optional<Period> dates = validatePeriod(period, sink);
    if (!dates)
        return std::nullopt;
    return CalendarRequest{read->authority, read->company, dates->start, dates->end};
}

} // namespace korvan::accounting
