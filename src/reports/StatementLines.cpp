#include "reports/StatementLines.h"

namespace korvan::reports {

std::optional<StatementRequest> statementRequest(const ReportChoice& choice)
{
    const std::optional<CivilDate> start = parseDateText(choice.periodStart);
    const std::optional<CivilDate> end = parseDateText(choice.periodEnd);
    if (!start || !end || !isValidDate(*start) || !isValidDate(*end))
        return std::nullopt;
    StatementRequest request;
    request.allAuthorities = choice.allAuthorities;
    request.authority = choice.authority;
    request.analytic = choice.analytic;
    request.periodStart = *start;
    request.periodEnd = *end;
    return request;
}

std::string periodText(const CivilDate& date)
{
    return formatDateText(date);
}

} // namespace korvan::reports
