#include "gtfs/AuthorityMap.h"

#include "gtfs/CsvReader.h"
#include "gtfs/FeedError.h"
#include "gtfs/FeedValues.h"

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>

namespace korvan::gtfs {

const char* keyKindName(KeyKind kind)
{
    switch (kind) {
    case KeyKind::RouteId:
        return "route_id";
    case KeyKind::RouteShortName:
        return "route_short_name";
    case KeyKind::AgencyId:
        break;
    }
    return "agency_id";
}

AuthorityAssignment assignAuthorities(const FeedTables& tables, const std::string& mappingPath)
{
    AuthorityAssignment result;
    result.routeAuthority.assign(tables.routes.size(), 0);
    std::map<int, std::string> names;
    std::map<std::string, size_t> byKey;
    if (!mappingPath.empty()) {
        const std::string fileName = std::filesystem::path(mappingPath).filename().string();
        if (!std::filesystem::is_regular_file(mappingPath))
            throw FeedError(fileName, 0, "", "il file di corrispondenza degli enti non esiste o non è un file");
        CsvReader csv(openFile(mappingPath, fileName), fileName, ';', {"chiave", "codice", "nome"});
        std::set<std::string> routeIds, shortNames, agencyIds;
        for (const FeedRoute& route : tables.routes) {
            routeIds.insert(route.id);
            shortNames.insert(route.shortName);
        }
        for (const Agency& agency : tables.agencies)
            agencyIds.insert(agency.id);
        while (csv.next()) {
            const std::string key(csv.field(0));
            if (key.rfind("#", 0) == 0)
                continue;
            csv.required(0);
            MappingLine line{key, KeyKind::RouteId, 0, csv.line()};
            // "route_id=...", "route_short_name=..." or "agency_id=..." says
            // which it is; a bare key is tried in that order.
            const std::pair<const char*, KeyKind> named[] = {{"route_id=", KeyKind::RouteId},
                                                             {"route_short_name=", KeyKind::RouteShortName},
                                                             {"agency_id=", KeyKind::AgencyId}};
            bool explicitKind = false;
            for (const auto& [prefix, kind] : named) {
                if (key.rfind(prefix, 0) == 0) {
                    line.key = key.substr(std::string(prefix).size());
                    line.kind = kind;
                    explicitKind = true;
                }
            }
            const std::set<std::string>* sets[] = {&routeIds, &shortNames, &agencyIds};
            if (explicitKind) {
                if (!sets[static_cast<int>(line.kind)]->count(line.key))
                    csv.fail(0, "\"" + line.key + "\" non è un " + keyKindName(line.kind) + " del feed");
            } else if (routeIds.count(key)) {
                line.kind = KeyKind::RouteId;
            } else if (shortNames.count(key)) {
                line.kind = KeyKind::RouteShortName;
            } else if (agencyIds.count(key)) {
                line.kind = KeyKind::AgencyId;
            } else {
                csv.fail(0, "\"" + key + "\" non è un route_id, un route_short_name né un agency_id del feed");
            }
            const std::string keyId = std::to_string(static_cast<int>(line.kind)) + ":" + line.key;
            if (byKey.count(keyId))
                csv.fail(0,
                         "\"" + key + "\" compare già alla riga " + std::to_string(result.mapping[byKey[keyId]].line));
            const std::string_view codeText = csv.required(1);
            const std::optional<long long> code = parseFeedInteger(codeText);
            if (!code || *code < 1 || *code > 9999)
                csv.fail(1, "\"" + std::string(codeText) + "\" non è un codice di ente da 1 a 9999");
            const std::string name(csv.required(2));
            line.authority = static_cast<int>(*code);
            const auto known = names.find(line.authority);
            if (known != names.end() && known->second != name)
                csv.fail(2, "l'ente " + std::to_string(line.authority) + " ha già il nome \"" + known->second + "\"");
            names[line.authority] = name;
            byKey[keyId] = result.mapping.size();
            result.mapping.push_back(std::move(line));
        }
    }
    auto mapped = [&](const std::string& key, KeyKind kind) -> int {
        const auto found = byKey.find(std::to_string(static_cast<int>(kind)) + ":" + key);
        return found != byKey.end() ? result.mapping[found->second].authority : 0;
    };
    // Each agency with an uncovered route gets its own authority, coded
    // after the mapping's.
    int nextCode = names.empty() ? 1 : names.rbegin()->first + 1;
    std::vector<int> agencyAuthority(tables.agencies.size(), 0);
    for (size_t r = 0; r < tables.routes.size(); ++r) {
        const FeedRoute& route = tables.routes[r];
        int code = mapped(route.id, KeyKind::RouteId);
        if (!code && !route.shortName.empty())
            code = mapped(route.shortName, KeyKind::RouteShortName);
        if (!code)
            code = mapped(tables.agencies[static_cast<size_t>(route.agency)].id, KeyKind::AgencyId);
        if (!code)
            result.uncoveredRoutes.push_back(static_cast<int>(r));
        result.routeAuthority[r] = code;
    }
    for (int r : result.uncoveredRoutes)
        agencyAuthority[static_cast<size_t>(tables.routes[static_cast<size_t>(r)].agency)] = 1;
    // In agency_id order, as the companies are numbered.
    std::vector<size_t> agencyOrder(tables.agencies.size());
    for (size_t a = 0; a < agencyOrder.size(); ++a)
        agencyOrder[a] = a;
    std::stable_sort(agencyOrder.begin(), agencyOrder.end(),
                     [&](size_t a, size_t b) { return tables.agencies[a].id < tables.agencies[b].id; });
    for (size_t a : agencyOrder) {
        if (!agencyAuthority[a])
            continue;
        if (nextCode > 9999)
            throw FeedError("agency.txt", 0, "", "non restano codici di ente (fino a 9999) per le aziende non coperte");
        agencyAuthority[a] = nextCode;
        names[nextCode++] = tables.agencies[a].name;
    }
    for (int r : result.uncoveredRoutes)
        result.routeAuthority[static_cast<size_t>(r)] =
            agencyAuthority[static_cast<size_t>(tables.routes[static_cast<size_t>(r)].agency)];
    for (const auto& [code, name] : names)
        result.authorities.push_back({code, name});
    return result;
}

} // namespace korvan::gtfs
