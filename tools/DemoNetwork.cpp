#include "DemoNetwork.h"

#include "DemoNames.h"
#include "DemoRandom.h"
#include "runs/ArcTravelTime.h"

#include <algorithm>
#include <cmath>
#include <iterator>
#include <map>
#include <tuple>

namespace korvan::demo {

namespace {

// Two independent streams: the network's shape (stops, arcs, routes) does not
// change with the number of runs asked for.
constexpr std::uint64_t kShapeSeed = 0x4B4F5256414E0001ULL;
constexpr std::uint64_t kRunSeed = 0x4B4F5256414E0002ULL;
constexpr long kFirstRunId = 1001;

struct Hop {
    long fromStop;
    long toStop;
    long minLength;
    long maxLength;
};

// The routes made for one line plan.
struct LineRoutes {
    const LinePlan* plan = nullptr;
    long forward = 0;
    long backward = 0;
    long shortForward = 0; // 0 when the line has no short variant
};

class ShapeBuilder {
  public:
    explicit ShapeBuilder(Network& network) : network_(network), random_(kShapeSeed) {}

    LineRoutes buildLine(const LinePlan& plan, int lineIndex);

  private:
    long stopId(int company, const std::string& name);
    long arcId(int company, const Hop& hop);
    long addRoute(int company, const std::vector<Hop>& hops);
    std::vector<std::string> urbanStopNames(const LinePlan& plan, int lineIndex);
    std::vector<std::pair<std::string, bool>> regionalStopNames(const LinePlan& plan);
    const std::vector<std::string>& placesOf(int town);

    Network& network_;
    DemoRandom random_;
    std::map<std::pair<int, std::string>, long> stops_;
    std::map<std::tuple<int, long, long>, long> arcs_;
    std::map<std::tuple<int, long, long>, long> pairLengths_;
    std::map<std::pair<int, long>, long> arcLengths_;
    std::map<int, long> lastStop_, lastArc_, lastRoute_;
    std::map<int, std::vector<std::string>> townPlaces_;
};

long ShapeBuilder::stopId(int company, const std::string& name)
{
    const auto key = std::make_pair(company, name);
    const auto found = stops_.find(key);
    if (found != stops_.end())
        return found->second;
    const long id = ++lastStop_[company];
    stops_.emplace(key, id);
    network_.stops.push_back({company, id, name});
    return id;
}

long ShapeBuilder::arcId(int company, const Hop& hop)
{
    const auto key = std::make_tuple(company, hop.fromStop, hop.toStop);
    const auto found = arcs_.find(key);
    if (found != arcs_.end())
        return found->second;
    // Both directions between two stops are about as long; one-way streets
    // make them differ a little.
    const auto pair = std::make_tuple(company, std::min(hop.fromStop, hop.toStop), std::max(hop.fromStop, hop.toStop));
    long length = 0;
    const auto known = pairLengths_.find(pair);
    if (known == pairLengths_.end()) {
        length = random_.range(hop.minLength, hop.maxLength) / 10 * 10;
        pairLengths_.emplace(pair, length);
    } else {
        length = std::max(100L, known->second + random_.range(-4, 4) * 10);
    }
    const long id = ++lastArc_[company];
    arcs_.emplace(key, id);
    network_.arcs.push_back({company, id, hop.fromStop, hop.toStop, length});
    arcLengths_[{company, id}] = length;
    return id;
}

long ShapeBuilder::addRoute(int company, const std::vector<Hop>& hops)
{
    Route route{company, ++lastRoute_[company], {}};
    long distance = 0;
    int sub = 0;
    for (const Hop& hop : hops) {
        const long arc = arcId(company, hop);
        distance += arcLengths_[{company, arc}];
        route.arcs.push_back({++sub, arc, distance});
    }
    network_.routes.push_back(std::move(route));
    return network_.routes.back().id;
}

const std::vector<std::string>& ShapeBuilder::placesOf(int town)
{
    auto found = townPlaces_.find(town);
    if (found != townPlaces_.end())
        return found->second;
    // Each town lists its places in its own fixed order, so that the lines
    // through a town share its first stops.
    // The first is a central place, where its lines start and end.
    std::vector<std::string> places = townPlaces();
    const size_t centre = static_cast<size_t>(town) % kCentralPlaces;
    std::swap(places[0], places[centre]);
    DemoRandom order(kShapeSeed + static_cast<std::uint64_t>(town) * 7919);
    for (size_t i = places.size() - 1; i > 1; --i)
        std::swap(places[i], places[static_cast<size_t>(order.range(1, static_cast<long>(i)))]);
    return townPlaces_.emplace(town, std::move(places)).first->second;
}

std::vector<std::string> ShapeBuilder::urbanStopNames(const LinePlan& plan, int lineIndex)
{
    const std::vector<std::string>& streets = urbanStreets(plan.towns.front());
    const bool night = plan.kind == LineKind::Night;
    const long count = night ? random_.range(6, 9) : random_.range(8, 14);
    std::vector<size_t> pool;
    for (size_t i = 3; i < streets.size(); ++i)
        pool.push_back(i);
    std::vector<std::string> names{streets[static_cast<size_t>(lineIndex % 3)]};
    for (long i = 0; i < count && !pool.empty(); ++i) {
        const size_t pick = static_cast<size_t>(random_.range(0, static_cast<long>(pool.size()) - 1));
        names.push_back(streets[pool[pick]]);
        pool.erase(pool.begin() + static_cast<long>(pick));
    }
    if (lineIndex % 2 == 0)
        names.push_back(streets[static_cast<size_t>((lineIndex + 1) % 3)]);
    return names;
}

// Stop names of a regional line with, for each, whether it is the first stop
// in a new town (the hop to it is a long one).
std::vector<std::pair<std::string, bool>> ShapeBuilder::regionalStopNames(const LinePlan& plan)
{
    std::vector<std::pair<std::string, bool>> names;
    const size_t last = plan.towns.size() - 1;
    for (size_t i = 0; i <= last; ++i) {
        const int town = plan.towns[i];
        const std::vector<std::string>& places = placesOf(town);
        const long inTown = (i == 0 || i == last) ? random_.range(2, 4) : random_.range(1, 2);
        std::vector<std::string> here(places.begin(), places.begin() + inTown);
        // Leaving the first town from its centre; reaching the last one's.
        if (i == last)
            std::reverse(here.begin(), here.end());
        bool first = true;
        for (const std::string& place : here) {
            names.emplace_back(std::string(towns()[static_cast<size_t>(town)].name) + " " + place, first && i > 0);
            first = false;
        }
    }
    return names;
}

LineRoutes ShapeBuilder::buildLine(const LinePlan& plan, int lineIndex)
{
    std::vector<long> ids;
    std::vector<std::pair<long, long>> ranges; // length range of the hop into each stop
    if (plan.kind == LineKind::Urban || plan.kind == LineKind::Night) {
        for (const std::string& name : urbanStopNames(plan, lineIndex)) {
            ids.push_back(stopId(plan.company, name));
            ranges.emplace_back(250, 700);
        }
    } else {
        for (const auto& [name, newTown] : regionalStopNames(plan)) {
            ids.push_back(stopId(plan.company, name));
            ranges.push_back(newTown ? std::make_pair(1800L, 7500L) : std::make_pair(300L, 900L));
        }
    }
    auto hopsOf = [&](size_t first, size_t last, bool backwards) {
        std::vector<Hop> hops;
        for (size_t i = first; i < last; ++i) {
            const auto [low, high] = ranges[i + 1];
            if (backwards)
                hops.push_back({ids[i + 1], ids[i], low, high});
            else
                hops.push_back({ids[i], ids[i + 1], low, high});
        }
        if (backwards)
            std::reverse(hops.begin(), hops.end());
        return hops;
    };
    LineRoutes routes;
    routes.plan = &plan;
    routes.forward = addRoute(plan.company, hopsOf(0, ids.size() - 1, false));
    routes.backward = addRoute(plan.company, hopsOf(0, ids.size() - 1, true));
    // Some lines have short runs that turn back part way.
    if (ids.size() >= 6 && lineIndex % 3 == 0)
        routes.shortForward = addRoute(plan.company, hopsOf(0, ids.size() * 3 / 5, false));
    return routes;
}

// Runs per line in proportion to the plans' weights, at least two each, adding
// up to exactly the requested total.
std::vector<long> runsPerLine(long total)
{
    const std::vector<LinePlan>& plans = linePlans();
    long weights = 0;
    for (const LinePlan& plan : plans)
        weights += plan.weight;
    const long spare = total - 2 * static_cast<long>(plans.size());
    std::vector<long> counts;
    std::vector<std::pair<long, size_t>> remainders;
    long given = 0;
    for (size_t i = 0; i < plans.size(); ++i) {
        const long share = spare * plans[i].weight;
        counts.push_back(2 + share / weights);
        given += counts.back();
        remainders.emplace_back(share % weights, i);
    }
    std::stable_sort(remainders.begin(), remainders.end(),
                     [](const auto& a, const auto& b) { return a.first > b.first; });
    for (size_t i = 0; given < total; ++i, ++given)
        ++counts[remainders[i % remainders.size()].second];
    return counts;
}

ServicePattern pickPattern(LineKind kind, DemoRandom& random)
{
    const long roll = random.range(0, 99);
    switch (kind) {
    case LineKind::Urban:
        return roll < 50   ? ServicePattern::Weekdays
               : roll < 75 ? ServicePattern::Holidays
               : roll < 88 ? ServicePattern::Daily
                           : ServicePattern::SchoolDays;
    case LineKind::Regional:
        return roll < 45   ? ServicePattern::Weekdays
               : roll < 75 ? ServicePattern::SchoolDays
               : roll < 90 ? ServicePattern::Holidays
                           : ServicePattern::Daily;
    case LineKind::Tourist:
        return roll < 40   ? ServicePattern::Summer
               : roll < 60 ? ServicePattern::Daily
               : roll < 90 ? ServicePattern::Weekdays
                           : ServicePattern::Holidays;
    case LineKind::Night:
        return ServicePattern::Daily;
    }
    return ServicePattern::Weekdays;
}

int speedKmh(LineKind kind)
{
    switch (kind) {
    case LineKind::Urban:
        return 15;
    case LineKind::Night:
        return 22;
    case LineKind::Regional:
        return 34;
    case LineKind::Tourist:
        return 28;
    }
    return 20;
}

// The minute of the day at which a share (0 to 1) of a line's daytime runs
// have left: service from 05:30 to 23:30, densest in the morning and
// afternoon peaks.
int daytimeDeparture(double share)
{
    // Relative frequency of departures in each hour from 05:30 to 23:30.
    static const double weights[] = {1, 3, 5, 4, 2, 2, 2, 3, 4, 2, 2, 3, 4, 4, 2, 1, 1, 1};
    constexpr int firstHour = 5;
    double total = 0;
    for (const double weight : weights)
        total += weight;
    double target = share * total;
    for (size_t hour = 0; hour < std::size(weights); ++hour) {
        if (target <= weights[hour])
            return (firstHour + static_cast<int>(hour)) * 60 + 30 + static_cast<int>(target / weights[hour] * 60);
        target -= weights[hour];
    }
    return 23 * 60 + 30;
}

class RunBuilder {
  public:
    // The network's stops, arcs and routes must be complete: the builder
    // keeps pointers into them.
    explicit RunBuilder(Network& network) : network_(network), random_(kRunSeed)
    {
        for (const Arc& arc : network.arcs)
            arcs_[{arc.company, arc.id}] = &arc;
        for (const Route& route : network.routes)
            routes_[{route.company, route.id}] = &route;
    }
    void buildLine(const LineRoutes& routes, long count);

  private:
    Run makeRun(const LinePlan& plan, long routeId, bool backwards, int slot, int slots);

    Network& network_;
    DemoRandom random_;
    std::map<int, long> lastRun_;
    std::map<std::pair<int, long>, const Arc*> arcs_;
    std::map<std::pair<int, long>, const Route*> routes_;
};

void RunBuilder::buildLine(const LineRoutes& routes, long count)
{
    const long forward = (count + 1) / 2;
    const long backward = count - forward;
    for (const bool backwards : {false, true}) {
        const long runs = backwards ? backward : forward;
        std::vector<Run> direction;
        for (long i = 0; i < runs; ++i) {
            const bool isShort = !backwards && routes.shortForward != 0 && i % 5 == 4;
            const long route = backwards ? routes.backward : isShort ? routes.shortForward : routes.forward;
            direction.push_back(makeRun(*routes.plan, route, backwards, static_cast<int>(i), static_cast<int>(runs)));
        }
        // Run numbers and codes follow the departure times.
        std::stable_sort(direction.begin(), direction.end(), [](const Run& a, const Run& b) {
            return a.departureHour * 60 + a.departureMinute < b.departureHour * 60 + b.departureMinute;
        });
        int sequence = 0;
        const std::string code = trimTrailingBlanks(routes.plan->code);
        for (Run& run : direction) {
            run.id = kFirstRunId + lastRun_[run.company]++;
            run.runCode =
                formatText("%s/%s%02d", code.empty() ? "NAV" : code.c_str(), run.direction.c_str(), ++sequence);
            network_.runs.push_back(std::move(run));
        }
    }
}

Run RunBuilder::makeRun(const LinePlan& plan, long routeId, bool backwards, int slot, int slots)
{
    const Route& route = *routes_.at({plan.company, routeId});
    Run run;
    run.company = plan.company;
    run.authority = plan.authority;
    run.lineCode = plan.code;
    run.route = routeId;
    run.direction = backwards ? "R" : "A";
    run.pattern = pickPattern(plan.kind, random_);

    // Passing times: whole minutes from the arcs' lengths at the line's speed,
    // at least one minute per arc, with an occasional dwell.
    const double metresPerMinute = speedKmh(plan.kind) * 1000.0 / 60.0;
    std::vector<int> offsets{0};
    std::vector<int> dwells{0};
    double exact = 0;
    for (size_t i = 0; i < route.arcs.size(); ++i) {
        const Arc& arc = *arcs_.at({plan.company, route.arcs[i].arc});
        exact += dwells.back() + static_cast<double>(arc.length) / metresPerMinute;
        const int at = std::max(offsets.back() + dwells.back() + 1, static_cast<int>(exact + 0.5));
        exact = std::max(exact, static_cast<double>(at));
        offsets.push_back(at);
        const bool terminus = i + 1 == route.arcs.size();
        dwells.push_back(terminus ? 0 : random_.percent(10) ? 1 : random_.percent(3) ? 2 : 0);
    }
    const int duration = offsets.back();

    const double share = (2.0 * slot + 1) / (2.0 * slots);
    int departure =
        plan.kind == LineKind::Night ? 20 * 60 + 30 + static_cast<int>(share * 170) : daytimeDeparture(share);
    departure += static_cast<int>(random_.range(-4, 4));
    if (run.pattern == ServicePattern::SchoolDays)
        departure = (slot % 2 == 0 ? 6 * 60 + 55 : 12 * 60 + 50) + static_cast<int>(random_.range(0, 70));
    departure = std::clamp(departure, 5 * 60, 23 * 60 + 59 - duration);

    for (size_t i = 0; i < offsets.size(); ++i) {
        const int at = departure + offsets[i];
        run.times.push_back({static_cast<int>(i + 1), at / 60, at % 60, dwells[i]});
    }
    run.departureHour = departure / 60;
    run.departureMinute = departure % 60;
    run.arrivalHour = (departure + duration) / 60;
    run.arrivalMinute = (departure + duration) % 60;
    run.minutes = duration;
    run.departureStop = arcs_.at({plan.company, route.arcs.front().arc})->fromStop;
    run.arrivalStop = arcs_.at({plan.company, route.arcs.back().arc})->toStop;
    run.length = route.arcs.back().distance;
    // A few runs are accounted with a detour to a depot or a school.
    run.accountedLength = run.length + (random_.percent(6) ? random_.range(20, 150) * 10 : 0);
    return run;
}

std::vector<Protocol> protocolsFor(int year)
{
    const CivilDate january{year, 1, 1};
    const CivilDate december{year, 12, 31};
    // Other kinds ('A', 'C') share numbers and periods with the service
    // contract protocols but are not theirs: a reader that forgot the kind
    // would see them reset whole periods.
    return {
        {1, "B", 1, january, december, false},
        {1, "B", 2, {year, 6, 15}, {year, 9, 14}, false}, // summer reinforcement
        {1, "A", 2, january, december, true},
        {2, "B", 1, january, december, false},
        {2, "B", 3, {year, 7, 1}, december, true}, // new contract from July
        {3, "B", 1, january, december, false},
        {3, "C", 5, {year, 3, 1}, {year, 3, 31}, true},
        {4, "B", 4, january, december, false},
        {4, "A", 9, january, december, true},
    };
}

// Whether the run is scheduled under the protocol, and by which pattern.
bool scheduledUnder(const Run& run, const Protocol& protocol, size_t runIndexInCompany, bool touristLine,
                    ServicePattern& pattern)
{
    pattern = run.pattern;
    if (protocol.company == 1 && protocol.number == 2) {
        pattern = ServicePattern::Daily;
        return touristLine;
    }
    if (protocol.company == 2 && protocol.number == 3)
        return runIndexInCompany % 10 != 9; // every tenth run was dropped by the new contract
    return true;
}

void addCalendars(Network& network, int year)
{
    network.protocols = protocolsFor(year);
    std::map<std::string, bool> touristCodes;
    for (const LinePlan& plan : linePlans())
        if (plan.kind == LineKind::Tourist)
            touristCodes[std::to_string(plan.company) + "|" + plan.code] = true;
    std::map<int, char> offFlag;
    for (const Company& company : network.companies)
        offFlag[company.code] = company.notOperatedFlag;
    std::map<int, size_t> indexInCompany;
    std::map<std::tuple<int, int, int, int, char>, std::string> monthCache;
    for (const Run& run : network.runs) {
        const size_t index = indexInCompany[run.company]++;
        const bool tourist = touristCodes.count(std::to_string(run.company) + "|" + run.lineCode) > 0;
        for (const Protocol& protocol : network.protocols) {
            ServicePattern pattern;
            if (protocol.company != run.company || protocol.kind != "B" ||
                !scheduledUnder(run, protocol, index, tourist, pattern))
                continue;
            for (int month = protocol.start.month; month <= protocol.end.month; ++month) {
                // Few distinct months exist: patterns x protocols x months.
                const auto key = std::make_tuple(static_cast<int>(pattern), protocol.start.key(), protocol.end.key(),
                                                 month, offFlag[run.company]);
                auto flags = monthCache.find(key);
                if (flags == monthCache.end())
                    flags = monthCache
                                .emplace(key, monthFlags(pattern, year, month, protocol.start, protocol.end,
                                                         offFlag[run.company]))
                                .first;
                network.months.push_back({run.company, run.id, protocol.number, year, month, flags->second});
            }
        }
    }
}

// From every 25th run on, the first with an odd ID whose route has four arcs
// or more has its middle arc paid by an authority of additional service (the
// two take turns), at 2.35 euro per km; every other one also the arc after
// it, as minimum service at 1.90. The arcs are the third or later, so that a
// test may add its own splits on the first three arcs of any run, or on the
// third of even-numbered runs, without meeting these.
void addArcSplits(Network& network)
{
    std::vector<int> payers;
    for (const Authority& authority : network.authorities)
        if (authority.paysAdditionalOnly)
            payers.push_back(authority.code);
    if (payers.empty())
        return;
    std::map<std::pair<int, long>, const Route*> routes;
    for (const Route& route : network.routes)
        routes[{route.company, route.id}] = &route;
    std::map<std::pair<int, long>, const Arc*> arcs;
    for (const Arc& arc : network.arcs)
        arcs[{arc.company, arc.id}] = &arc;
    auto amount = [](long metres, double perKm) {
        return std::round(static_cast<double>(metres) * 0.001 * perKm * 10000.0) / 10000.0;
    };
    size_t turn = 0;
    for (size_t from = 0; from < network.runs.size(); from += 25) {
        const Route* route = nullptr;
        size_t i = from;
        for (; i < network.runs.size() && i < from + 25; ++i) {
            const Run& candidate = network.runs[i];
            const auto found = routes.find({candidate.company, candidate.route});
            if (candidate.id % 2 == 1 && found != routes.end() && found->second->arcs.size() >= 4) {
                route = found->second;
                break;
            }
        }
        if (!route)
            continue;
        const Run& run = network.runs[i];
        const bool twoArcs = turn % 2 == 0;
        const size_t middle = route->arcs.size() / 2;
        const size_t last = twoArcs ? middle + 1 : middle;
        runs::RunPassingTimes times;
        for (const StopTime& t : run.times)
            times.add(t.sub, t.hour, t.minute, t.dwell);
        for (size_t k = middle; k <= last && k < route->arcs.size(); ++k) {
            const RouteArc& stretch = route->arcs[k];
            const auto arc = arcs.find({run.company, stretch.arc});
            if (arc == arcs.end())
                continue;
            const bool minimum = k != middle;
            network.arcSplits.push_back({run.company, run.id, run.route, stretch.sub,
                                         minimum ? run.authority : payers[turn % payers.size()], minimum,
                                         amount(arc->second->length, minimum ? 1.90 : 2.35), arc->second->length,
                                         times.travelMinutes(stretch.sub)});
        }
        ++turn;
    }
}

} // namespace

const Stop* Network::findStop(int company, long id) const
{
    for (const Stop& stop : stops)
        if (stop.company == company && stop.id == id)
            return &stop;
    return nullptr;
}

const Arc* Network::findArc(int company, long id) const
{
    for (const Arc& arc : arcs)
        if (arc.company == company && arc.id == id)
            return &arc;
    return nullptr;
}

const Route* Network::findRoute(int company, long id) const
{
    for (const Route& route : routes)
        if (route.company == company && route.id == id)
            return &route;
    return nullptr;
}

Network generateNetwork(const DemoOptions& options)
{
    Network network;
    for (const NamedCode& authority : grantingAuthorityNames())
        network.authorities.push_back({authority.code, authority.name, false});
    for (const NamedCode& authority : additionalAuthorityNames())
        network.authorities.push_back({authority.code, authority.name, true});
    for (const NamedCode& company : companyNames())
        // One company's calendars leave the days off blank instead of 'N'.
        network.companies.push_back({company.code, company.name, company.code == 4 ? ' ' : 'N'});

    ShapeBuilder shapes(network);
    std::vector<LineRoutes> lines;
    const std::vector<LinePlan>& plans = linePlans();
    for (size_t i = 0; i < plans.size(); ++i)
        lines.push_back(shapes.buildLine(plans[i], static_cast<int>(i)));

    const std::vector<long> counts = runsPerLine(std::max(options.runs, kMinimumRuns));
    RunBuilder runs(network);
    for (size_t i = 0; i < lines.size(); ++i)
        runs.buildLine(lines[i], counts[i]);

    addCalendars(network, options.year);
    addArcSplits(network);
    return network;
}

} // namespace korvan::demo
