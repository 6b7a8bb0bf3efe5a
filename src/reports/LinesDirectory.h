#pragma once

// The directory of normalized lines ("Rubrica Linee"): every line of one
// authority or of every authority with its number, code, name and the
// number of runs tied to it in `conline`, each authority's lines on pages
// of their own. Lines without runs are not listed.

#include "reports/PrintableReport.h"

#include <ctime>
#include <map>
#include <string>
#include <vector>

namespace korvan {
class DbConnection;
class OperationFeedback;
} // namespace korvan

namespace korvan::reports {

struct DirectoryEntry {
    int lineId = 0;       // linee.ID
    int authority = 0;    // linee.ente
    std::string lineCode; // linee.linea, trailing blanks removed
    std::string lineName; // linee.denom, trailing blanks removed
    long runCount = 0;    // conline rows of the line
};

struct LinesDirectoryRequest {
    bool allAuthorities = true;
    int authority = 0; // when not every authority
};

// The entries in print order: by authority, line code and line number, so
// that two lines of one authority with the same code (one per company)
// each get their own entry with their own count. A query that fails has
// been reported by the database layer and gives no entries.
std::vector<DirectoryEntry> collectDirectoryEntries(DbConnection* connection, const LinesDirectoryRequest& request,
                                                    OperationFeedback& feedback);

// `regent`.`denom` (trailing blanks removed) of the given authority codes;
// a code not found in `regent` has no entry.
std::map<int, std::string> authorityNames(DbConnection* connection, const std::vector<int>& codes);

// The authority line of a page: "%d - %s", or "%d - *** Ente sconosciuto ***"
// for a code without a name.
std::string authorityHeading(int authority, const std::map<int, std::string>& names);

// The printable report: four columns "ID", "Cod.Linea", "Denominazione
// Linea", "N.ro Corse"; one page group per authority, keyed by its code and
// name in the CSV.
Report linesDirectoryReport(const std::vector<DirectoryEntry>& entries, const std::map<int, std::string>& names,
                            const std::string& createdText);

// Collection and report in one call (the busy indicator is switched on).
Report collectLinesDirectory(DbConnection* connection, const LinesDirectoryRequest& request,
                             OperationFeedback& feedback, std::time_t createdAt);

} // namespace korvan::reports
