#pragma once

// stop_times.txt read one trip at a time. Feeds list each trip's stop times
// together, and then only one trip is held in memory at a time; a file that
// lists a trip's stop times in more than one place is read whole instead
// (the import learns it from NotGroupedByTrip and reads it again so).
//
// Each trip comes in stop_sequence order with both times of every stop: a
// stop given only one takes it for both, and stops without times between
// two timed ones are interpolated along the straight line between the stops.

#include "gtfs/CsvReader.h"
#include "gtfs/FeedTables.h"

#include <memory>
#include <optional>
#include <vector>

namespace korvan::gtfs {

struct StopTime {
    long long sequence = 0;
    int stop = 0;     // index in FeedTables::stops
    int arrival = -1; // seconds after the service day's midnight
    int departure = -1;
    double distance = -1; // shape_dist_traveled, -1 when not given
    long line = 0;        // its line in stop_times.txt
};

struct TripStopTimes {
    int trip = 0;
    std::vector<StopTime> times;
    bool allDistances = false; // every stop has shape_dist_traveled
};

// Thrown by a streaming reader that meets a trip a second time.
struct NotGroupedByTrip {};

class StopTimesReader {
  public:
    // `wholeFile`: read every stop time first (a file not grouped by trip).
    StopTimesReader(const FeedSource& source, const FeedTables& tables, bool wholeFile);
    ~StopTimesReader();

    // The next trip, checked and with its times resolved; false at the end.
    bool next(TripStopTimes& trip);
    // Fraction of the file read, 0 to 1.
    double progress() const;

  private:
    bool readRow(StopTime& row, int& trip);
    bool nextStreamed(TripStopTimes& trip);

    const FeedTables& tables_;
    CsvReader csv_;
    int tripColumn_, arrivalColumn_, departureColumn_, stopColumn_, sequenceColumn_, distanceColumn_;
    std::vector<char> seen_;
    std::optional<std::pair<StopTime, int>> pending_; // the first row of the next trip
    std::string lastTripId_;
    int lastTrip_ = -1;
    bool wholeFile_;
    std::vector<std::vector<StopTime>> all_; // wholeFile: each trip's rows
    std::vector<int> order_;                 // wholeFile: trips in order of first appearance
    size_t nextInOrder_ = 0;
};

// Sorts, completes and checks one trip's rows (StopTimesReader does it; apart
// for tests). Throws FeedError.
void resolveTripTimes(const FeedTables& tables, TripStopTimes& trip);

} // namespace korvan::gtfs
