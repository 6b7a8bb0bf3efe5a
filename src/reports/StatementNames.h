#pragma once

// The names the statements print: stops of the Partenza and Arrivo columns
// (`fermate`, per company), paying authorities of the Finanziamento column
// and the authorities and companies of the page headers (`regent`,
// `regazi`). Each is looked up once per statement with "IN (...)" lists,
// long lists split the way the operations split theirs; names lose their
// trailing blanks. A code not found has no entry.

#include "reports/StatementLines.h"

#include <map>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace korvan {
class DbConnection;
}

namespace korvan::reports {

using NameMap = std::map<int, std::string>;

// `denom` by `codice` of "regent" or "regazi".
NameMap namesByCode(DbConnection* connection, const std::string& table, const std::set<int>& codes);

// `fermate`.`denom` by (company, stop ID).
std::map<std::pair<int, long>, std::string> stopNames(DbConnection* connection,
                                                      const std::map<int, std::set<long>>& stopsByCompany);

// Fills the Partenza and Arrivo texts of the run lines ("7:05 Stazione",
// or "7:05 ???" for a stop without a name) and, when `payingAuthorityNames`,
// the paying authority's name of the additional-service lines.
void resolveLineNames(DbConnection* connection, std::vector<ReportLine>& lines, bool payingAuthorityNames);

} // namespace korvan::reports
