#include "reports/StatementRows.h"

#include "refdata/NameLookups.h"

#include <utility>

namespace korvan::reports {

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

ArcTotals arcTotals(const std::vector<ArcGroup>& arcs)
{
    ArcTotals totals;
    for (const ArcGroup& arc : arcs) {
        totals.metres += arc.length;
        totals.minutes += arc.minutes;
        totals.dayAmount += arc.dayAmount;
    }
    return totals;
}

ReportLine dayGroupLine(const RunRecord& run, const DayGroup& days, const ArcTotals& arcs)
{
    ReportLine line = lineOfRun(run);
    line.days = days.days;
    line.minimumService = days.minimumService;
    line.payingAuthority = days.minimumService ? run.payingAuthority : days.payingAuthority;
    line.amount = days.minimumService ? run.dayAmount * days.days : days.amount;
    line.length -= arcs.metres;
    line.minutes -= arcs.minutes;
    line.amount -= arcs.dayAmount * days.days;
    return line;
}

ReportLine arcGroupLine(const RunRecord& run, const ArcGroup& arc, long days)
{
    ReportLine line = lineOfRun(run);
    line.arcSplit = true;
    line.days = days;
    line.length = arc.length;
    line.minutes = arc.minutes;
    line.minimumService = arc.minimumService;
    line.payingAuthority = arc.payingAuthority;
    line.amount = arc.dayAmount * days;
    return line;
}

void resolveHeadingNames(DbConnection* connection, Statement& statement, bool payingAuthorities)
{
    std::vector<int> authorities;
    std::vector<int> companies;
    for (const ReportLine& line : statement.lines) {
        authorities.push_back(line.contractAuthority);
        if (payingAuthorities)
            authorities.push_back(line.payingAuthority);
        companies.push_back(line.company);
    }
    statement.authorityNames = nameMap(refdata::authorityNames(connection, authorities));
    statement.companyNames = nameMap(refdata::companyNames(connection, companies));
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

Report statementReport(const char* title, const Statement& statement, const std::string& createdText)
{
    Report report;
    report.title = title;
    report.createdText = createdText;
    report.fontPoints = statement.request.analytic ? 6 : 8;
    report.rowKindHeader = kRowKindHeader;
    return report;
}

Row statementRow(size_t group, const ReportLine& line, std::vector<Cell> cells)
{
    Row row(group, std::move(cells));
    row.kind = rowKindText(line.kind);
    if (!line.isRun()) {
        row.style = RowStyle::Total;
        row.label = totalLabel(line);
    }
    return row;
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

std::vector<Cell> commonRunCells(const ReportLine& line, size_t columnCount)
{
    std::vector<Cell> cells(columnCount);
    cells[0] = lineAndDirectionCell(line);
    cells[1] = Cell::textCell(line.runCode);
    cells[2] = Cell::textCell(line.departureText);
    cells[3] = Cell::textCell(line.arrivalText);
    cells[4] = Cell::integerCell(line.days);
    cells[5] = kilometreCell(line.metresOverDays());
    cells[6] = runTimeCell(line.minutesOverDays());
    return cells;
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
