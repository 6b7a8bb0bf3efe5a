#include "reports/ContributionsStatement.h"

#include "core/OperationFeedback.h"
#include "reports/StatementTotals.h"

#include <algorithm>

namespace korvan::reports {

namespace {

constexpr const char* kTitle = "Rubrica Servizi Aggiuntivi";

enum ContributionColumn : size_t {
    kLine,
    kRunCode,
    kDeparture,
    kArrival,
    kDays,
    kKilometres,
    kTime,
    kAmount,
    kColumnCount
};

std::vector<Cell> runRowCells(const ReportLine& line)
{
    std::vector<Cell> cells(kColumnCount);
    cells[kLine] = lineAndDirectionCell(line);
    cells[kRunCode] = Cell::textCell(line.runCode);
    cells[kDeparture] = Cell::textCell(line.departureText);
    cells[kArrival] = Cell::textCell(line.arrivalText);
    cells[kDays] = Cell::integerCell(line.days);
    cells[kKilometres] = kilometreCell(line.metresOverDays());
    cells[kTime] = runTimeCell(line.minutesOverDays());
    cells[kAmount] = amountCell(line.amount);
    return cells;
}

std::vector<Cell> totalRowCells(const ReportLine& total)
{
    std::vector<Cell> cells(kColumnCount);
    if (total.kind == LineKind::LineTotal)
        cells[kLine] = Cell::textCell(total.lineCode);
    cells[kKilometres] = kilometreCell(total.totalMetres);
    cells[kTime] = totalTimeCell(total.totalMinutes);
    cells[kAmount] = amountCell(total.additionalTotal);
    return cells;
}

PageGroup contributionGroup(const ReportLine& line, const Statement& statement)
{
    PageGroup group;
    group.keys = codeAndName(line.payingAuthority, statement.authorityNames);
    for (Cell& cell : codeAndName(line.contractAuthority, statement.authorityNames))
        group.keys.push_back(std::move(cell));
    for (Cell& cell : codeAndName(line.company, statement.companyNames))
        group.keys.push_back(std::move(cell));
    group.headerLines = {
        {authorityHeading("Ente Erogante il Contributo Aggiuntivo", line.payingAuthority, statement.authorityNames),
         "",
         true,
         {2, 40}},
        {authorityHeading("Ente Contratto", line.contractAuthority, statement.authorityNames),
         periodHeading(statement.request),
         true,
         {3, 80}},
        {companyHeading(line.company, statement.companyNames), "", true, {4, 95}},
    };
    return group;
}

} // namespace

std::vector<ReportLine> contributionRunLines(const StatementSources& sources, std::optional<int> payingAuthority)
{
    const auto paidByChosen = [&](int payer) { return !payingAuthority || payer == *payingAuthority; };
    std::vector<ReportLine> lines;
    for (const RunRecord& run : sources.runs) {
        const RunDays& runDays = sources.daysOf(run.key);
        const std::vector<ArcGroup>& arcs = sources.arcsOf(run.key);
        long long arcMetres = 0, arcMinutes = 0;
        Amount arcDayAmount = 0;
        for (const ArcGroup& arc : arcs) {
            arcMetres += arc.length;
            arcMinutes += arc.minutes;
            arcDayAmount += arc.dayAmount;
        }
        for (const DayGroup& days : runDays.groups) {
            if (days.minimumService || !paidByChosen(days.payingAuthority))
                continue;
            ReportLine line = lineOfRun(run);
            line.minimumService = false;
            line.payingAuthority = days.payingAuthority;
            line.days = days.days;
            line.length -= arcMetres;
            line.minutes -= arcMinutes;
            line.amount = days.amount - arcDayAmount * days.days;
            lines.push_back(line);
        }
        for (const ArcGroup& arc : arcs) {
            if (arc.minimumService || !paidByChosen(arc.payingAuthority))
                continue;
            ReportLine split = lineOfRun(run);
            split.arcSplit = true;
            split.minimumService = false;
            split.payingAuthority = arc.payingAuthority;
            split.days = runDays.days;
            split.length = arc.length;
            split.minutes = arc.minutes;
            split.amount = arc.dayAmount * runDays.days;
            lines.push_back(split);
        }
    }
    // The runs come in contract, line and run order, each run's day line
    // before its itinerary lines: ordering by payer alone keeps that order
    // inside every payer's part.
    std::stable_sort(lines.begin(), lines.end(),
                     [](const ReportLine& a, const ReportLine& b) { return a.payingAuthority < b.payingAuthority; });
    return lines;
}

std::optional<Statement> collectContributionsStatement(DbConnection* connection, const StatementRequest& request,
                                                       OperationFeedback& feedback)
{
    feedback.beginBusy(true);
    // Every contract: the paying authority is chosen among the lines.
    const std::optional<StatementSources> sources =
        readStatementSources(connection, std::nullopt, request.periodStart, request.periodEnd);
    if (!sources)
        return std::nullopt;
    Statement statement;
    statement.request = request;
    std::vector<ReportLine> runLines =
        contributionRunLines(*sources, request.allAuthorities ? std::nullopt : std::optional<int>(request.authority));
    resolveLineNames(connection, runLines, false);
    statement.lines = withTotals(runLines, TotalBlocks::PayerAndContract);
    resolveHeadingNames(connection, statement, true);
    return statement;
}

Report contributionsReport(const Statement& statement, const std::string& createdText)
{
    Report report;
    report.title = kTitle;
    report.createdText = createdText;
    report.fontPoints = statement.request.analytic ? 6 : 8;
    report.columns = {{"Codice Linea", Align::Left},  {"Codice Corsa", Align::Left},
                      {"Partenza", Align::Left},      {"Arrivo", Align::Left},
                      {"Giorni", Align::Right},       {"Km Totale", Align::Right},
                      {"Tempo Totale", Align::Right}, {"Contributo Aggiuntivo", Align::Right}};
    report.groupKeyHeaders = {"Ente Erogante",  "Denominazione Ente Erogante",
                              "Ente Contratto", "Denominazione Ente Contratto",
                              "Azienda",        "Denominazione Azienda"};
    report.rowKindHeader = kRowKindHeader;
    report.totalFiguresColumn = kKilometres;
    report.columnBand = {5, 140};

    const ReportLine* groupLine = nullptr;
    for (const ReportLine& line : statement.lines) {
        if (line.isRun() && !statement.request.analytic)
            continue;
        if (!groupLine || groupLine->payingAuthority != line.payingAuthority ||
            groupLine->contractAuthority != line.contractAuthority || groupLine->company != line.company) {
            report.groups.push_back(contributionGroup(line, statement));
            groupLine = &line;
        }
        Row row(report.groups.size() - 1, {});
        row.kind = rowKindText(line.kind);
        if (line.isRun()) {
            row.cells = runRowCells(line);
        } else {
            row.style = RowStyle::Total;
            row.label = totalLabel(line);
            row.cells = totalRowCells(line);
        }
        report.rows.push_back(std::move(row));
    }
    return report;
}

std::optional<Report> collectContributionsReport(DbConnection* connection, const StatementRequest& request,
                                                 OperationFeedback& feedback, std::time_t createdAt)
{
    const std::optional<Statement> statement = collectContributionsStatement(connection, request, feedback);
    if (!statement)
        return std::nullopt;
    return contributionsReport(*statement, creationTimeText(createdAt));
}

} // namespace korvan::reports
