#pragma once

// The small files of a feed read whole: agencies, routes, stops, trips and
// shapes, each row checked as it is read and every reference between them
// resolved to an index. stop_times.txt, the big one, is streamed apart
// (StopTimes.h).

#include "gtfs/FeedSource.h"

#include <string>
#include <unordered_map>
#include <vector>

namespace korvan::gtfs {

struct Agency {
    std::string id;
    std::string name;
};

struct FeedRoute {
    std::string id;
    std::string shortName;
    int agency = 0;
};

struct FeedStop {
    std::string id;
    std::string name;
    double latitude = 0;
    double longitude = 0;
    bool located = false; // both coordinates given
    long line = 0;        // its line in stops.txt, for messages
};

struct FeedTrip {
    std::string id;
    std::string shortName;
    int route = 0;
    int service = 0;
    int direction = -1; // direction_id, -1 when not given
    int shape = -1;     // index in the shapes, -1 when none
    long line = 0;      // its line in trips.txt
};

struct ShapePoint {
    double latitude = 0;
    double longitude = 0;
};

using IdIndex = std::unordered_map<std::string, int>;

struct FeedTables {
    std::vector<Agency> agencies;
    IdIndex agencyIndex;
    std::vector<FeedRoute> routes;
    IdIndex routeIndex;
    std::vector<FeedStop> stops;
    IdIndex stopIndex;
    std::vector<std::vector<ShapePoint>> shapes; // points in shape_pt_sequence order
    IdIndex shapeIndex;
    std::vector<FeedTrip> trips;
    IdIndex tripIndex;
};

// Reads agency.txt, routes.txt, stops.txt and shapes.txt (when present).
void readNetworkFiles(const FeedSource& source, FeedTables& tables);
// Reads trips.txt; `services` resolves service_id.
void readTrips(const FeedSource& source, const IdIndex& services, FeedTables& tables);

} // namespace korvan::gtfs
