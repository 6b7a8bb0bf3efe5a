#pragma once

// The fixed parts of the demo network: authorities, companies, towns, street
// names and the line plan. The generator only adds stops, arcs, routes, runs
// and calendars to them.

#include <cstddef>
#include <string>
#include <vector>

namespace korvan::demo {

enum class LineKind {
    Urban,    // short arcs inside one town
    Regional, // from town to town
    Tourist,  // regional, busiest in summer
    Night,    // urban, evenings only
};

struct LinePlan {
    int authority;
    int company;
    const char* code; // raw code, trailing blanks included
    LineKind kind;
    std::vector<int> towns; // regional lines: the towns passed, in order; urban: the one town
    int weight;             // share of the runs
};

struct TownPlan {
    const char* name;
    bool urban; // urban lines use its street names
};

struct NamedCode {
    int code;
    const char* name;
};

const std::vector<NamedCode>& grantingAuthorityNames();
const std::vector<NamedCode>& additionalAuthorityNames();
const std::vector<NamedCode>& companyNames();
const std::vector<TownPlan>& towns();
const std::vector<LinePlan>& linePlans();

// Stop names of a regional route inside a town, after the town's name; the
// first kCentralPlaces are central places where lines start and end.
inline constexpr size_t kCentralPlaces = 4;
const std::vector<std::string>& townPlaces();
// Street stop names of an urban town; the first three are its hubs.
const std::vector<std::string>& urbanStreets(int town);

} // namespace korvan::demo
