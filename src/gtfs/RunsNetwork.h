#pragma once

// The runs database a feed becomes, before it is written: companies,
// authorities, runs, routes with their arcs, and stops, each numbered in a
// documented order so that the same feed always gives the same database.
//
// - Companies: the agencies in agency_id order (bytes), coded 1, 2, ...
// - Runs: per company, numbered 1, 2, ... in order of line code, direction
//   (none, 0, 1), first departure and trip_id.
// - Routes: one per company and distinct sequence of stops, numbered per
//   company in order of their first run.
// - Arcs: one per company and directed pair of consecutive stops, numbered
//   per company in order of first use along the routes (route number, then
//   position); an arc's metres are those measured on its first route. A
//   route keeps its own metres in its progressive distances and its runs'
//   length, also where it runs between two stops by another way than the
//   route that measured the arc.
// - Stops: the stops the company's runs call at, numbered per company in
//   stop_id order (bytes).
//
// A route is measured on one of its trips: the first, in run order, among
// those with shape_dist_traveled at every stop, else among those with a
// shape, else the first.

#include "gtfs/AuthorityMap.h"
#include "gtfs/Distances.h"
#include "gtfs/FeedTables.h"
#include "gtfs/StopTimes.h"

#include <map>
#include <string>
#include <vector>

namespace korvan::gtfs {

struct Company {
    int code = 0;
    int agency = 0;
};

struct Run {
    int trip = 0;
    int company = 0;
    int authority = 0;
    long id = 0;
    std::string lineCode;
    std::string runCode;
    int direction = -1;
    int firstDeparture = 0; // seconds after the service day's midnight
    int lastArrival = 0;
    int route = 0; // index in routes
};

struct Route {
    int company = 0;
    long number = 0;
    std::vector<int> stops;        // FeedTables::stops indices, in order
    std::vector<long> arcs;        // arc numbers, one per stop pair
    std::vector<long> progressive; // metres at the end of each arc
    long length = 0;
    DistanceSource source = DistanceSource::StraightLines;
    // The trip it is measured on, while the stop times are read.
    int measuredTrip = -1;
    std::vector<double> feedDistances;
};

struct Arc {
    int company = 0;
    long number = 0;
    long fromStop = 0; // stop numbers
    long toStop = 0;
    long length = 0;
    int fromIndex = 0; // FeedTables::stops indices of its ends
    int toIndex = 0;
};

struct NumberedStop {
    int company = 0;
    long number = 0;
    int stop = 0; // FeedTables::stops index
};

class RunsNetwork {
  public:
    RunsNetwork(const FeedTables& tables, const AuthorityAssignment& authorities);

    // Takes one trip of stop_times.txt (resolved), in any order.
    void addTrip(const TripStopTimes& trip);
    // After the last trip: numbers everything and measures the routes.
    // Throws FeedError (a trip without stop times, a stop without
    // coordinates where they are needed).
    void finish();

    const std::vector<Company>& companies() const { return companies_; }
    const std::vector<Run>& runs() const { return runs_; }       // in (company, ID) order
    const std::vector<Route>& routes() const { return routes_; } // in (company, number) order
    const std::vector<Arc>& arcs() const { return arcs_; }       // in (company, number) order
    const std::vector<NumberedStop>& stops() const { return stops_; }
    // The run of a trip (index in runs()), and a stop's number in a company.
    const Run& runOfTrip(int trip) const { return runs_[static_cast<size_t>(runOfTrip_[static_cast<size_t>(trip)])]; }
    long stopNumber(int company, int stop) const { return stopNumbers_.at({company, stop}); }
    int companyOfAgency(int agency) const { return agencyCompany_[static_cast<size_t>(agency)]; }

    // How the routes were measured, for the summary.
    DistanceUnit feedDistanceUnit() const { return unit_; }
    int routesMeasuredBy(DistanceSource source) const;

  private:
    bool runsBefore(int tripA, int tripB) const;
    int measuringRank(const TripStopTimes& trip) const;
    void numberRuns();
    void measureRoutes();
    void numberArcs();
    void numberStops();

    const FeedTables& tables_;
    const AuthorityAssignment& authorities_;
    std::vector<Company> companies_;
    std::vector<int> agencyCompany_;
    std::vector<Run> runs_;
    std::vector<int> runOfTrip_;
    std::vector<char> tripSeen_;
    std::vector<Route> routes_;
    std::map<std::pair<int, std::vector<int>>, int> routeIndex_;
    std::vector<int> measuredRank_;
    std::vector<Arc> arcs_;
    std::vector<NumberedStop> stops_;
    std::map<std::pair<int, int>, long> stopNumbers_;
    DistanceUnit unit_;
};

// The first `characters` characters of a UTF-8 text.
std::string firstCharacters(const std::string& text, size_t characters);

} // namespace korvan::gtfs
