#pragma once

// Names shown by the split views: paying authorities from `regent` and stops
// from `fermate`, each list read with "IN (...)" queries (split as every ID
// list is, core/IdLists.h) instead of one look-up per line. Names lose their
// trailing blanks; a code that is not found is absent from the map.

#include <map>
#include <string>
#include <vector>

namespace korvan {
class DbConnection;
}

namespace korvan::runs {

std::map<int, std::string> authorityNames(DbConnection* connection, const std::vector<int>& codes);
std::map<long, std::string> stopNames(DbConnection* connection, int company, const std::vector<long>& stopIds);

// The name of one paying authority, "Sconosciuto: Ente=%d" when it is not
// in `regent` (deleted since the list was filled).
std::string payingAuthorityName(DbConnection* connection, int code);

} // namespace korvan::runs
