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
static_assert(kTime + 1 == kCommonRunColumns);

std::vector<Cell> runRowCells(const ReportLine& line)
{
    std::vector<Cell> cells = commonRunCells(line, kColumnCount);
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
        const ArcTotals arcSum = arcTotals(arcs);
        // Only additional service, paid by the chosen authority.
        for (const DayGroup& days : runDays.groups)
            if (!days.minimumService && paidByChosen(days.payingAuthority))
                lines.push_back(dayGroupLine(run, days, arcSum));
        for (const ArcGroup& arc : arcs)
            if (!arc.minimumService && paidByChosen(arc.payingAuthority))
                lines.push_back(arcGroupLine(run, arc, runDays.days));
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
    Report report = statementReport(kTitle, statement, createdText);
    report.columns = {{"Codice Linea", Align::Left},  {"Codice Corsa", Align::Left},
                      {"Partenza", Align::Left},      {"Arrivo", Align::Left},
                      {"Giorni", Align::Right},       {"Km Totale", Align::Right},
                      {"Tempo Totale", Align::Right}, {"Contributo Aggiuntivo", Align::Right}};
    report.groupKeyHeaders = {"Ente Erogante",  "Denominazione Ente Erogante",
                              "Ente Contratto", "Denominazione Ente Contratto",
                              "Azienda",        "Denominazione Azienda"};
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
        report.rows.push_back(
            statementRow(report.groups.size() - 1, line, line.isRun() ? runRowCells(line) : totalRowCells(line)));
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
