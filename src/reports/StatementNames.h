#pragma once

// The names the statements print: stops of the Partenza and Arrivo columns
// (`fermate`, per company), paying authorities of the Finanziamento column
// and the authorities and companies of the page headers (`regent`,
// `regazi`). Each is looked up once per statement through
// refdata/NameLookups. A code not found has no entry.

#include "reports/StatementLines.h"

#include <map>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvan {
class DbConnection;
}

namespace korvan::reports {

using NameMap = std::map<int, std::string>;

// Names looked up by refdata/NameLookups, ordered by code.
NameMap nameMap(const std::unordered_map<int, std::string>& names);

// Fills the Partenza and Arrivo texts of the run lines ("7:05 Stazione",
// or "7:05 ???" for a stop without a name) and, when `payingAuthorityNames`,
// the paying authority's name of the additional-service lines.
void resolveLineNames(DbConnection* connection, std::vector<ReportLine>& lines, bool payingAuthorityNames);

} // namespace korvan::reports
