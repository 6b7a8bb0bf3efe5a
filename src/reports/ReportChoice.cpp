#include "reports/ReportChoice.h"

#include "accounting/AccountingInput.h"
#include "db/Values.h"

namespace korvan::reports {

bool hasPeriod(ReportKind kind)
{
    return kind != ReportKind::LinesDirectory;
}

refdata::PickList authorityChoices(ReportKind kind, DbConnection* connection)
{
    if (kind == ReportKind::Contributions)
        return refdata::additionalFundingAuthorities(connection);
    return refdata::authoritiesWithLines(connection);
}

std::optional<std::string> normalizedPeriodDate(const std::string& text)
{
    const std::optional<CivilDate> date = accounting::parseDateEntry(text);
    if (!date)
        return std::nullopt;
    return formatDateText(*date);
}

ChoiceCheck checkReportChoice(ReportKind kind, const ReportChoiceEntries& entries)
{
    ReportChoice choice;
    choice.allAuthorities = entries.allAuthorities;
    choice.preview = entries.preview;
    choice.analytic = entries.analytic;
    if (!entries.allAuthorities) {
        const std::optional<int> authority = refdata::readCodeEntry(entries.authorityText, entries.authorityEntries);
        if (!authority)
            return {std::nullopt, refdata::invalidEntryMessage(refdata::EntryKind::Authority)};
        choice.authority = *authority;
    }
    if (hasPeriod(kind)) {
        const std::optional<std::string> start = normalizedPeriodDate(entries.periodStartText);
        if (!start)
            return {std::nullopt, accounting::invalidPeriodDateMessage(true)};
        const std::optional<std::string> end = normalizedPeriodDate(entries.periodEndText);
        if (!end)
            return {std::nullopt, accounting::invalidPeriodDateMessage(false)};
        choice.periodStart = *start;
        choice.periodEnd = *end;
    }
    return {choice, {}};
}

void rememberChoice(ReportKind kind, const ReportChoice& choice, int& currentAuthority, std::string& periodStartText,
                    std::string& periodEndText)
{
    if (!hasPeriod(kind))
        return;
    if (!choice.allAuthorities)
        currentAuthority = choice.authority;
    periodStartText = choice.periodStart;
    periodEndText = choice.periodEnd;
}

} // namespace korvan::reports
