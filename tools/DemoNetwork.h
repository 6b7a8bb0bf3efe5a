#pragma once

// The demo runs database as plain data: a regional bus network with its
// authorities, companies, stops, arcs, routes, runs, timetables, contract
// protocols and month calendars. generateNetwork builds it deterministically;
// the writers (DemoSqliteWriter, DemoPostgresScript, DemoOdbcWriter) store it.

#include "DemoCalendar.h"
#include "db/Values.h"

#include <string>
#include <vector>

namespace korvan::demo {

struct Authority {
    int code = 0;
    std::string name;
    bool paysAdditionalOnly = false; // grants no contract: appears in no run
};

struct Company {
    int code = 0;
    std::string name;
    char notOperatedFlag = 'N'; // the character its calendars use for days off
};

struct Stop {
    int company = 0;
    long id = 0;
    std::string name;
};

struct Arc {
    int company = 0;
    long id = 0;
    long fromStop = 0;
    long toStop = 0;
    long length = 0; // metres
};

struct RouteArc {
    int sub = 0; // 1, 2, ... along the route
    long arc = 0;
    long distance = 0; // progressive metres at the end of the arc
};

struct Route {
    int company = 0;
    long id = 0;
    std::vector<RouteArc> arcs;
};

// Passing time at the stop that starts arc `sub`; the stop after the last arc
// has sub = number of arcs + 1. `dwell` minutes are spent at the stop.
struct StopTime {
    int sub = 0;
    int hour = 0;
    int minute = 0;
    int dwell = 0;
};

struct Run {
    int company = 0;
    long id = 0;
    int authority = 0;
    std::string lineCode; // raw, blanks kept
    std::string runCode;
    long route = 0;
    std::string direction;    // "A" or "R"
    long length = 0;          // lung
    long accountedLength = 0; // ct_lung
    int minutes = 0;          // ct_tempo
    int departureHour = 0;
    int departureMinute = 0;
    long departureStop = 0;
    int arrivalHour = 0;
    int arrivalMinute = 0;
    long arrivalStop = 0;
    ServicePattern pattern = ServicePattern::Weekdays;
    std::vector<StopTime> times;
};

struct Protocol {
    int company = 0;
    std::string kind; // "B" are the service contract protocols
    long number = 0;
    CivilDate start;
    CivilDate end;
    bool reset = false;
};

struct MonthCalendar {
    int company = 0;
    long run = 0;
    long protocol = 0;
    int year = 0;
    int month = 0;
    std::string days; // 31 flags
};

// A stretch of a run paid apart (`conitine`): the demo gives some runs one,
// so that the itinerary view, its marker and the statements show one on a
// fresh database.
struct ArcSplit {
    int company = 0;
    long run = 0;
    long route = 0;
    int sub = 0;
    int authority = 0;
    bool minimum = false;
    double euro = 0.0;
    long length = 0; // metres of the arc
    int minutes = 0; // travel time over the arc
};

struct Network {
    std::vector<Authority> authorities;
    std::vector<Company> companies;
    std::vector<Stop> stops;
    std::vector<Arc> arcs;
    std::vector<Route> routes;
    std::vector<Run> runs;
    std::vector<Protocol> protocols;
    std::vector<MonthCalendar> months;
    std::vector<ArcSplit> arcSplits;

    const Stop* findStop(int company, long id) const;
    const Arc* findArc(int company, long id) const;
    const Route* findRoute(int company, long id) const;
};

struct DemoOptions {
    long runs = 3000;
    int year = 2025;
};

inline constexpr long kMinimumRuns = 100;

// The same options always give the same network.
Network generateNetwork(const DemoOptions& options);

} // namespace korvan::demo
