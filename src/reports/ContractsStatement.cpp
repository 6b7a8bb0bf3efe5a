#include "reports/ContractsStatement.h"

#include "core/OperationFeedback.h"
#include "reports/StatementTotals.h"

namespace korvan::reports {

namespace {

constexpr const char* kTitle = "Rubrica Contratti";

// Column indexes.
enum ContractColumn : size_t {
    kLine,
    kRunCode,
    kDeparture,
    kArrival,
    kDays,
    kKilometres,
    kTime,
    kFinancing,
    kMinimum,
    kAdditional,
    kRunTotal,
    kColumnCount
};
static_assert(kTime + 1 == kCommonRunColumns);

// Three blanks and a double quote; the time-and-stop columns close theirs
// after eight blanks.
const char* const kDittoCode = "   \"";
const char* const kDittoStop = "   \"        \"";

std::vector<Cell> runRowCells(const ReportLine& line, bool continuesRun, std::optional<Amount> runTotal)
{
    std::vector<Cell> cells = commonRunCells(line, kColumnCount);
    if (continuesRun) {
        cells[kRunCode].ditto = kDittoCode;
        cells[kDeparture].ditto = kDittoStop;
        cells[kArrival].ditto = kDittoStop;
    }
    if (!line.minimumService)
        cells[kFinancing] = Cell::textCell(line.payingAuthorityName);
    cells[line.minimumService ? kMinimum : kAdditional] = amountCell(line.amount);
    if (runTotal)
        cells[kRunTotal] = amountCell(*runTotal);
    return cells;
}

std::vector<Cell> totalRowCells(const ReportLine& total)
{
    std::vector<Cell> cells(kColumnCount);
    if (total.kind == LineKind::LineTotal)
        cells[kLine] = Cell::textCell(total.lineCode);
    cells[kDays] = Cell::integerCell(total.totalDays);
    cells[kKilometres] = kilometreCell(total.totalMetres);
    cells[kTime] = totalTimeCell(total.totalMinutes);
    cells[kMinimum] = amountCell(total.minimumTotal);
    cells[kAdditional] = amountCell(total.additionalTotal);
    cells[kRunTotal] = amountCell(total.grandTotal);
    return cells;
}

PageGroup contractGroup(const ReportLine& line, const Statement& statement)
{
    PageGroup group;
    group.keys = codeAndName(line.contractAuthority, statement.authorityNames);
    for (Cell& cell : codeAndName(line.company, statement.companyNames))
        group.keys.push_back(std::move(cell));
    group.headerLines = {
        {authorityHeading("Ente", line.contractAuthority, statement.authorityNames),
         periodHeading(statement.request),
         true,
         {2, 40}},
        {companyHeading(line.company, statement.companyNames), "", true, {3, 55}},
    };
    return group;
}

} // namespace

std::vector<ReportLine> contractRunLines(const StatementSources& sources)
{
    std::vector<ReportLine> lines;
    for (const RunRecord& run : sources.runs) {
        const std::vector<ArcGroup>& arcs = sources.arcsOf(run.key);
        const ArcTotals arcSum = arcTotals(arcs);
        for (const DayGroup& days : sources.daysOf(run.key).groups) {
            lines.push_back(dayGroupLine(run, days, arcSum));
            for (const ArcGroup& arc : arcs)
                lines.push_back(arcGroupLine(run, arc, days.days));
        }
    }
    return lines;
}

std::optional<Statement> collectContractsStatement(DbConnection* connection, const StatementRequest& request,
                                                   OperationFeedback& feedback)
{
    feedback.beginBusy(true);
    const std::optional<int> authority = request.allAuthorities ? std::nullopt : std::optional<int>(request.authority);
    const std::optional<StatementSources> sources =
        readStatementSources(connection, authority, request.periodStart, request.periodEnd);
    if (!sources)
        return std::nullopt;
    Statement statement;
    statement.request = request;
    std::vector<ReportLine> runLines = contractRunLines(*sources);
    resolveLineNames(connection, runLines, true);
    statement.lines = withTotals(runLines, TotalBlocks::Contract);
    resolveHeadingNames(connection, statement, false);
    return statement;
}

Report contractsReport(const Statement& statement, const std::string& createdText)
{
    Report report = statementReport(kTitle, statement, createdText);
    report.columns = {{"Codice Linea", Align::Left},
                      {"Codice Corsa", Align::Left},
                      {"Partenza", Align::Left},
                      {"Arrivo", Align::Left},
                      {"Giorni", Align::Right},
                      {"Km Totale", Align::Right},
                      {"Tempo Totale", Align::Right},
                      {"Finanziamento", Align::Left},
                      {"Contributo Serv. Minimo", Align::Right},
                      {"Contributo Aggiuntivo", Align::Right},
                      {"Contributo Totale", Align::Right}};
    report.groupKeyHeaders = {"Ente", "Denominazione Ente", "Azienda", "Denominazione Azienda"};
    report.totalFiguresColumn = kDays;
    report.columnBand = {4, 100};

    const std::vector<ReportLine>& lines = statement.lines;
    const ReportLine* groupLine = nullptr;
    Amount runTotal = 0;
    for (size_t i = 0; i < lines.size(); ++i) {
        const ReportLine& line = lines[i];
        const bool continuesRun = i > 0 && sameRun(lines[i - 1], line);
        const bool endsRun = i + 1 == lines.size() || !sameRun(line, lines[i + 1]);
        runTotal = (continuesRun ? runTotal : 0) + (line.isRun() ? line.amount : 0);
        if (line.isRun() && !statement.request.analytic)
            continue;
        if (!groupLine || groupLine->contractAuthority != line.contractAuthority ||
            groupLine->company != line.company) {
            report.groups.push_back(contractGroup(line, statement));
            groupLine = &line;
        }
        report.rows.push_back(statementRow(
            report.groups.size() - 1, line,
            line.isRun() ? runRowCells(line, continuesRun, endsRun ? std::optional<Amount>(runTotal) : std::nullopt)
                         : totalRowCells(line)));
    }
    return report;
}

std::optional<Report> collectContractsReport(DbConnection* connection, const StatementRequest& request,
                                             OperationFeedback& feedback, std::time_t createdAt)
{
    const std::optional<Statement> statement = collectContractsStatement(connection, request, feedback);
    if (!statement)
        return std::nullopt;
    return contractsReport(*statement, creationTimeText(createdAt));
}

} // namespace korvan::reports
