#pragma once

// What the contracts and contributions statements share on the page: a
// collected statement (its lines and the names of its headings), the cells
// of their common columns, the labels of total rows, the headings of a
// page and the kinds of the CSV's rows.

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

// The run lines of the statement.
size_t runLineCount(const Statement& statement);

// A run line of the run with its whole length and time, no days yet.
ReportLine lineOfRun(const RunRecord& run);

// Looks up the names of the headings' authorities and companies.
void resolveHeadingNames(DbConnection* connection, Statement& statement, bool payingAuthorities);

// The kind of a row, in the CSV's "Tipo Riga" column.
inline constexpr const char* kRowKindHeader = "Tipo Riga";
std::string rowKindText(LineKind kind);

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
