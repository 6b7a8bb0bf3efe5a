#pragma once

// What the contracts and contributions statements share: a collected
// statement (its lines and the names of its headings), the run lines both
// build from the sources, and on the page the report's frame, the cells of
// their common columns, the rows, the labels of total rows, the headings of
// a page and the kinds of the CSV's rows.

#include "reports/PrintableReport.h"
#include "reports/StatementLines.h"
#include "reports/StatementNames.h"
#include "reports/StatementSources.h"

#include <string>
#include <vector>

namespace korvan::reports {

// A statement as collected: its run lines and totals in print order, with
// their names resolved, and the names its page headings need.
struct Statement {
    StatementRequest request;
    std::vector<ReportLine> lines;
    NameMap authorityNames; // regent: the granting and paying authorities
    NameMap companyNames;   // regazi
};

// A run line of the run with its whole length and time, no days yet.
ReportLine lineOfRun(const RunRecord& run);

// What a run's itinerary groups take together out of each of its day lines:
// their length, time and daily amount.
struct ArcTotals {
    long long metres = 0;
    long long minutes = 0;
    Amount dayAmount = 0;
};
ArcTotals arcTotals(const std::vector<ArcGroup>& arcs);

// The run's line for one group of its service days (the run's daily amount
// times the days for minimum service, the days' own amounts otherwise),
// less its itinerary groups over those days.
ReportLine dayGroupLine(const RunRecord& run, const DayGroup& days, const ArcTotals& arcs);

// The line of one itinerary group of the run over `days` service days: its
// length, time and daily amount times the days.
ReportLine arcGroupLine(const RunRecord& run, const ArcGroup& arc, long days);

// Looks up the names of the headings' authorities and companies.
void resolveHeadingNames(DbConnection* connection, Statement& statement, bool payingAuthorities);

// The kind of a row, in the CSV's "Tipo Riga" column.
inline constexpr const char* kRowKindHeader = "Tipo Riga";
std::string rowKindText(LineKind kind);

// A statement's report before its columns and rows: the title, the creation
// text, the font of its form (6 points analytic, 8 synthetic) and the CSV's
// "Tipo Riga" column.
Report statementReport(const char* title, const Statement& statement, const std::string& createdText);

// The row of a statement line in page group `group`: its kind, and for a
// total its style and label.
Row statementRow(size_t group, const ReportLine& line, std::vector<Cell> cells);

// "Totali Linea " + line code + " %c" of the blank direction, or "Totali
// Contratto".
std::string totalLabel(const ReportLine& total);

// "<prefix>: [%d] %s" with the name, or "*** ENTE INESISTENTE ***" /
// "*** AZIENDA INESISTENTE ***" for a code without one.
std::string authorityHeading(const std::string& prefix, int code, const NameMap& names);
std::string companyHeading(int code, const NameMap& names);
// "Periodo dal dd/mm/yyyy al dd/mm/yyyy".
std::string periodHeading(const StatementRequest& request);

// The page-group key cells of a code and its name ("" when not found).
std::vector<Cell> codeAndName(int code, const NameMap& names);

// Both statements start with these columns: line and direction, run code,
// departure, arrival, days, kilometres and time.
inline constexpr size_t kCommonRunColumns = 7;
// A run row of `columnCount` cells with the common columns filled.
std::vector<Cell> commonRunCells(const ReportLine& line, size_t columnCount);

// Column 1 of a run row: the line code and the direction ("101 A").
Cell lineAndDirectionCell(const ReportLine& line);
// Kilometres: printed with two decimals, in the CSV with three.
Cell kilometreCell(long long metres);
// Minutes: printed as hours and minutes in the run rows' or the total
// rows' form, in the CSV as whole minutes.
Cell runTimeCell(long long minutes);
Cell totalTimeCell(long long minutes);
// Euro with two decimals, printed and in the CSV.
Cell amountCell(Amount amount);

} // namespace korvan::reports
