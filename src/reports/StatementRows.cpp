#include "reports/StatementRows.h"

#include <algorithm>

namespace korvan::reports {

size_t runLineCount(const Statement& statement)
{
    return static_cast<size_t>(std::count_if(statement.lines.begin(), statement.lines.end(),
                                             [](const ReportLine& line) { return line.isRun(); }));
}

ReportLine lineOfRun(const RunRecord& run)
{
    ReportLine line;
    line.runId = run.key.id;
    line.contractAuthority = run.contractAuthority;
    line.company = run.key.company;
    line.lineCode = run.lineCode;
    line.direction = run.direction();
    line.runCode = run.runCode;
    line.length = run.length;
    line.minutes = run.minutes;
    line.departureMinutes = run.departureMinutes;
    line.arrivalMinutes = run.arrivalMinutes;
    line.departureStop = run.departureStop;
    line.arrivalStop = run.arrivalStop;
    return line;
}

void resolveHeadingNames(DbConnection* connection, Statement& statement, bool payingAuthorities)
{
    std::set<int> authorities;
    std::set<int> companies;
    for (const ReportLine& line : statement.lines) {
        authorities.insert(line.contractAuthority);
        if (payingAuthorities)
            authorities.insert(line.payingAuthority);
        companies.insert(line.company);
    }
    statement.authorityNames = namesByCode(connection, "regent", authorities);
    statement.companyNames = namesByCode(connection, "regazi", companies);
}

std::string rowKindText(LineKind kind)
{
    switch (kind) {
    case LineKind::Run:
        return "Corsa";
    case LineKind::LineTotal:
        return "Totale Linea";
    case LineKind::ContractTotal:
        break;
    }
    return "Totale Contratto";
}

std::string totalLabel(const ReportLine& total)
{
    if (total.kind == LineKind::LineTotal)
        return "Totali Linea " + total.lineCode + " " + std::string(1, total.direction);
    return "Totali Contratto";
}

namespace {

std::string headingName(int code, const NameMap& names, const char* unknown)
{
    const auto found = names.find(code);
    return formatText("[%d] ", code) + (found == names.end() ? std::string(unknown) : found->second);
}

} // namespace

std::string authorityHeading(const std::string& prefix, int code, const NameMap& names)
{
    return prefix + ": " + headingName(code, names, "*** ENTE INESISTENTE ***");
}

std::string companyHeading(int code, const NameMap& names)
{
    return "Azienda: " + headingName(code, names, "*** AZIENDA INESISTENTE ***");
}

std::string periodHeading(const StatementRequest& request)
{
    return "Periodo dal " + periodText(request.periodStart) + " al " + periodText(request.periodEnd);
}

std::vector<Cell> codeAndName(int code, const NameMap& names)
{
    const auto found = names.find(code);
    return {Cell::integerCell(code), Cell::textCell(found == names.end() ? std::string() : found->second)};
}

Cell lineAndDirectionCell(const ReportLine& line)
{
    return Cell::textCell(line.lineCode + " " + std::string(1, line.direction));
}

Cell kilometreCell(long long metres)
{
    return Cell::decimalCell(kilometreValue(metres), 3, kilometreText(metres));
}

Cell runTimeCell(long long minutes)
{
    return Cell::integerCell(minutes, runTimeText(minutes));
}

Cell totalTimeCell(long long minutes)
{
    return Cell::integerCell(minutes, totalTimeText(minutes));
}

Cell amountCell(Amount amount)
{
    return Cell::decimalCell(euroValue(amount), 2, euroText(amount));
}

} // namespace korvan::reports
