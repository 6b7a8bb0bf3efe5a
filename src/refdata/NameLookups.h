#pragma once

// Names of reference rows: one by key (authority, company, line), and many
// at once by code lists (stop names of a company, authority and company
// names), read with "IN (...)" lists split by the rule of core/IdLists.h.
// A name is returned without trailing blanks; a code that is not found is
// missing from the map (or gives nothing).

#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

namespace korvan {
class DbConnection;
}

namespace korvan::refdata {

std::optional<std::string> authorityName(DbConnection* connection, int code);
std::optional<std::string> companyName(DbConnection* connection, int code);

struct LineName {
    std::string code; // linee.linea
    std::string name; // linee.denom
};
std::optional<LineName> lineName(DbConnection* connection, int lineId);

// `fermate.denom` of the stops of `company` among `stopIds`.
std::unordered_map<long, std::string> stopNames(DbConnection* connection, int company,
                                                const std::vector<long>& stopIds);
// `regent.denom` of the authorities among `codes`.
std::unordered_map<int, std::string> authorityNames(DbConnection* connection, const std::vector<int>& codes);
// `regazi.denom` of the companies among `codes`.
std::unordered_map<int, std::string> companyNames(DbConnection* connection, const std::vector<int>& codes);

} // namespace korvan::refdata
