#pragma once

// Which authority grants each route's runs. Without a mapping file each
// agency's runs go to an authority of their own, named as the agency. A
// mapping file (";"-separated, UTF-8, no header, "#" starts a comment line)
// gives on each line a key, an authority code (1 to 9999) and its name; the
// key is a route_id, a route_short_name or an agency_id, and a route takes
// the line of its route_id, else of its short name, else of its agency.
// Routes the mapping does not cover go to their agency's own authority, coded
// after the highest code of the mapping, in agency_id order (the companies'
// order: without a mapping authority N is company N's agency).

#include "gtfs/FeedTables.h"

#include <optional>
#include <string>
#include <vector>

namespace korvan::gtfs {

struct Authority {
    int code = 0;
    std::string name;
};

enum class KeyKind { RouteId, RouteShortName, AgencyId };
const char* keyKindName(KeyKind kind);

struct MappingLine {
    std::string key;
    KeyKind kind = KeyKind::RouteId; // how it matched the feed
    int authority = 0;               // its code
    long line = 0;
};

struct AuthorityAssignment {
    std::vector<Authority> authorities; // ascending code
    std::vector<int> routeAuthority;    // per route, the authority's code
    std::vector<MappingLine> mapping;   // the file's lines, in its order
    std::vector<int> uncoveredRoutes;   // routes no line of the mapping covers (all without a file)
};

// `mappingPath` "" for none. Throws FeedError naming the mapping file's line
// and field (a key that nothing of the feed has is a fault too).
AuthorityAssignment assignAuthorities(const FeedTables& tables, const std::string& mappingPath);

} // namespace korvan::gtfs
