#include "gtfs/RunsNetwork.h"

#include "gtfs/FeedError.h"

#include <algorithm>
#include <cmath>
#include <numeric>
#include <set>

namespace korvan::gtfs {

namespace {

// The widths of the runs database's code columns.
constexpr size_t kLineCodeCharacters = 20;
constexpr size_t kRunCodeCharacters = 20;

enum Rank { kFeedDistances = 0, kShape = 1, kStraight = 2 };

} // namespace

std::string firstCharacters(const std::string& text, size_t characters)
{
    size_t count = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) {
            if (count == characters)
                return text.substr(0, i);
            ++count;
        }
    }
    return text;
}

RunsNetwork::RunsNetwork(const FeedTables& tables, const AuthorityAssignment& authorities)
    : tables_(tables), authorities_(authorities)
{
    std::vector<int> agencies(tables.agencies.size());
    std::iota(agencies.begin(), agencies.end(), 0);
    std::stable_sort(agencies.begin(), agencies.end(),
                     [&](int a, int b) { return tables.agencies[a].id < tables.agencies[b].id; });
    agencyCompany_.assign(agencies.size(), 0);
    for (size_t i = 0; i < agencies.size(); ++i) {
        companies_.push_back({static_cast<int>(i + 1), agencies[i]});
        agencyCompany_[static_cast<size_t>(agencies[i])] = static_cast<int>(i + 1);
    }
    runs_.reserve(tables.trips.size());
    for (size_t t = 0; t < tables.trips.size(); ++t) {
        const FeedTrip& trip = tables.trips[t];
        const FeedRoute& route = tables.routes[static_cast<size_t>(trip.route)];
        Run run;
        run.trip = static_cast<int>(t);
        run.company = agencyCompany_[static_cast<size_t>(route.agency)];
        run.authority = authorities.routeAuthority[static_cast<size_t>(trip.route)];
        run.lineCode = firstCharacters(route.shortName.empty() ? route.id : route.shortName, kLineCodeCharacters);
        run.direction = trip.direction;
        runs_.push_back(std::move(run));
    }
    tripSeen_.assign(tables.trips.size(), 0);
}

bool RunsNetwork::runsBefore(int tripA, int tripB) const
{
    const Run& a = runs_[static_cast<size_t>(tripA)];
    const Run& b = runs_[static_cast<size_t>(tripB)];
    if (a.company != b.company)
        return a.company < b.company;
    if (a.lineCode != b.lineCode)
        return a.lineCode < b.lineCode;
    if (a.direction != b.direction)
        return a.direction < b.direction;
    if (a.firstDeparture != b.firstDeparture)
        return a.firstDeparture < b.firstDeparture;
    return tables_.trips[static_cast<size_t>(tripA)].id < tables_.trips[static_cast<size_t>(tripB)].id;
}

int RunsNetwork::measuringRank(const TripStopTimes& trip) const
{
    if (trip.allDistances)
        return kFeedDistances;
    if (tables_.trips[static_cast<size_t>(trip.trip)].shape >= 0)
        return kShape;
    return kStraight;
}

void RunsNetwork::addTrip(const TripStopTimes& trip)
{
    // Runs are still in trip order here: runs_[trip] is the trip's run.
    Run& run = runs_[static_cast<size_t>(trip.trip)];
    tripSeen_[static_cast<size_t>(trip.trip)] = 1;
    run.firstDeparture = trip.times.front().departure;
    run.lastArrival = trip.times.back().arrival;
    std::vector<int> stops;
    stops.reserve(trip.times.size());
    for (const StopTime& time : trip.times)
        stops.push_back(time.stop);
    auto [found, added] = routeIndex_.emplace(std::make_pair(run.company, stops), static_cast<int>(routes_.size()));
    if (added) {
        Route route;
        route.company = run.company;
        route.stops = std::move(stops);
        routes_.push_back(std::move(route));
        measuredRank_.push_back(kStraight + 1);
    }
    run.route = found->second;
    Route& route = routes_[static_cast<size_t>(run.route)];
    const int rank = measuringRank(trip);
    int& bestRank = measuredRank_[static_cast<size_t>(run.route)];
    if (rank < bestRank || (rank == bestRank && runsBefore(trip.trip, route.measuredTrip))) {
        bestRank = rank;
        route.measuredTrip = trip.trip;
        route.feedDistances.clear();
        if (rank == kFeedDistances)
            for (const StopTime& time : trip.times)
                route.feedDistances.push_back(time.distance - trip.times.front().distance);
    }
}

void RunsNetwork::finish()
{
    for (size_t t = 0; t < tripSeen_.size(); ++t)
        if (!tripSeen_[t])
            throw FeedError("trips.txt", tables_.trips[t].line, "trip_id",
                            "la corsa \"" + tables_.trips[t].id + "\" non ha orari in stop_times.txt");
    numberRuns();
    measureRoutes();
    numberArcs();
    numberStops();
}

void RunsNetwork::numberRuns()
{
    std::vector<int> order(runs_.size());
    std::iota(order.begin(), order.end(), 0);
    std::sort(order.begin(), order.end(), [this](int a, int b) { return runsBefore(a, b); });
    std::vector<Run> sorted;
    sorted.reserve(runs_.size());
    runOfTrip_.assign(runs_.size(), 0);
    for (int trip : order) {
        Run run = std::move(runs_[static_cast<size_t>(trip)]);
        run.id = sorted.empty() || sorted.back().company != run.company ? 1 : sorted.back().id + 1;
        runOfTrip_[static_cast<size_t>(trip)] = static_cast<int>(sorted.size());
        sorted.push_back(std::move(run));
    }
    runs_ = std::move(sorted);

    // Routes in order of their first run.
    std::vector<int> newIndex(routes_.size(), -1);
    std::vector<Route> routes;
    routes.reserve(routes_.size());
    for (Run& run : runs_) {
        int& index = newIndex[static_cast<size_t>(run.route)];
        if (index < 0) {
            index = static_cast<int>(routes.size());
            Route route = std::move(routes_[static_cast<size_t>(run.route)]);
            route.number = routes.empty() || routes.back().company != route.company ? 1 : routes.back().number + 1;
            routes.push_back(std::move(route));
        }
        run.route = index;
    }
    std::vector<int> ranks(routes.size());
    for (size_t old = 0; old < newIndex.size(); ++old)
        ranks[static_cast<size_t>(newIndex[old])] = measuredRank_[old];
    routes_ = std::move(routes);
    measuredRank_ = std::move(ranks);

    // Run codes: the trip's short name where it is the company's only one
    // of that name, else the trip_id; cut to the column's width, and made
    // unique with the run's number where the cut leaves two alike.
    std::map<std::pair<int, std::string>, int> shortNames;
    for (const Run& run : runs_)
        ++shortNames[{run.company, tables_.trips[static_cast<size_t>(run.trip)].shortName}];
    std::map<std::pair<int, std::string>, int> codes;
    for (Run& run : runs_) {
        const FeedTrip& trip = tables_.trips[static_cast<size_t>(run.trip)];
        const bool ownName = !trip.shortName.empty() && shortNames[{run.company, trip.shortName}] == 1;
        run.runCode = firstCharacters(ownName ? trip.shortName : trip.id, kRunCodeCharacters);
        ++codes[{run.company, run.runCode}];
    }
    for (Run& run : runs_) {
        if (codes[{run.company, run.runCode}] < 2)
            continue;
        const std::string suffix = "#" + std::to_string(run.id);
        run.runCode = firstCharacters(run.runCode, kRunCodeCharacters - suffix.size()) + suffix;
    }
}

void RunsNetwork::measureRoutes()
{
    auto requireLocated = [this](const Route& route) {
        for (int stop : route.stops) {
            const FeedStop& s = tables_.stops[static_cast<size_t>(stop)];
            if (!s.located)
                throw FeedError("stops.txt", s.line, "stop_lat",
                                "mancano le coordinate della fermata \"" + s.id +
                                    "\", che servono a misurare le distanze della corsa \"" +
                                    tables_.trips[static_cast<size_t>(route.measuredTrip)].id + "\"");
        }
    };
    // The unit of shape_dist_traveled, once for the whole feed.
    double feedTotal = 0, straightTotal = 0;
    for (size_t r = 0; r < routes_.size(); ++r) {
        const Route& route = routes_[r];
        if (measuredRank_[r] != kFeedDistances)
            continue;
        const bool located = std::all_of(route.stops.begin(), route.stops.end(),
                                         [this](int s) { return tables_.stops[static_cast<size_t>(s)].located; });
        if (!located)
            continue;
        feedTotal += route.feedDistances.back();
        straightTotal += straightDistances(tables_, route.stops).back();
    }
    unit_ = guessDistanceUnit(feedTotal, straightTotal);

    for (size_t r = 0; r < routes_.size(); ++r) {
        Route& route = routes_[r];
        std::vector<double> along;
        if (measuredRank_[r] == kFeedDistances) {
            route.source = DistanceSource::FeedDistances;
            for (double d : route.feedDistances)
                along.push_back(d * unit_.metres);
        } else if (measuredRank_[r] == kShape) {
            requireLocated(route);
            route.source = DistanceSource::Shape;
            const int shape = tables_.trips[static_cast<size_t>(route.measuredTrip)].shape;
            along = shapeDistances(tables_.shapes[static_cast<size_t>(shape)], tables_, route.stops);
        } else {
            requireLocated(route);
            route.source = DistanceSource::StraightLines;
            along = straightDistances(tables_, route.stops);
        }
        route.feedDistances.clear();
        route.feedDistances.shrink_to_fit();
        // Whole metres at each stop; the arcs are their differences.
        route.progressive.clear();
        for (size_t i = 1; i < along.size(); ++i)
            route.progressive.push_back(std::lround(along[i]) - std::lround(along[0]));
    }
}

void RunsNetwork::numberArcs()
{
    std::map<std::tuple<int, int, int>, size_t> known;
    for (Route& route : routes_) {
        long before = 0;
        for (size_t i = 0; i + 1 < route.stops.size(); ++i) {
            const auto key = std::make_tuple(route.company, route.stops[i], route.stops[i + 1]);
            auto found = known.find(key);
            if (found == known.end()) {
                Arc arc;
                arc.company = route.company;
                arc.number = arcs_.empty() || arcs_.back().company != route.company ? 1 : arcs_.back().number + 1;
                arc.length = route.progressive[i] - before;
                arc.fromIndex = route.stops[i];
                arc.toIndex = route.stops[i + 1];
                found = known.emplace(key, arcs_.size()).first;
                arcs_.push_back(arc);
            }
            before = route.progressive[i];
            route.arcs.push_back(arcs_[found->second].number);
        }
        route.length = route.progressive.empty() ? 0 : route.progressive.back();
    }
}

void RunsNetwork::numberStops()
{
    std::set<std::pair<int, int>> used; // company, stop index
    for (const Route& route : routes_)
        for (int stop : route.stops)
            used.insert({route.company, stop});
    std::vector<std::pair<int, int>> ordered(used.begin(), used.end());
    std::stable_sort(ordered.begin(), ordered.end(), [this](const auto& a, const auto& b) {
        if (a.first != b.first)
            return a.first < b.first;
        return tables_.stops[static_cast<size_t>(a.second)].id < tables_.stops[static_cast<size_t>(b.second)].id;
    });
    for (const auto& [company, stop] : ordered) {
        const long number = stops_.empty() || stops_.back().company != company ? 1 : stops_.back().number + 1;
        stops_.push_back({company, number, stop});
        stopNumbers_[{company, stop}] = number;
    }
    // The arcs' ends, now that the stops have numbers.
    for (Arc& arc : arcs_) {
        arc.fromStop = stopNumbers_.at({arc.company, arc.fromIndex});
        arc.toStop = stopNumbers_.at({arc.company, arc.toIndex});
    }
}

int RunsNetwork::routesMeasuredBy(DistanceSource source) const
{
    return static_cast<int>(
        std::count_if(routes_.begin(), routes_.end(), [source](const Route& r) { return r.source == source; }));
}

} // namespace korvan::gtfs
