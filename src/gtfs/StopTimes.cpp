#include "gtfs/StopTimes.h"

#include "gtfs/Distances.h"
#include "gtfs/FeedError.h"
#include "gtfs/FeedValues.h"

#include <algorithm>

namespace korvan::gtfs {

namespace {

constexpr const char* kFile = "stop_times.txt";

std::string clockText(int seconds)
{
    return formatText("%02d:%02d:%02d", seconds / 3600, seconds / 60 % 60, seconds % 60);
}

void fillBetween(const FeedTables& tables, std::vector<StopTime>& times, size_t from, size_t to)
{
    // Along the straight lines between the stops; evenly when the stops
    // are not located or all at one place.
    std::vector<double> along(to - from + 1, 0.0);
    bool located = true;
    for (size_t i = from; i <= to; ++i)
        located = located && tables.stops[static_cast<size_t>(times[i].stop)].located;
    for (size_t i = from + 1; i <= to; ++i) {
        const double step = located ? straightMetres(tables.stops[static_cast<size_t>(times[i - 1].stop)],
                                                     tables.stops[static_cast<size_t>(times[i].stop)])
                                    : 0.0;
        along[i - from] = along[i - from - 1] + step;
    }
    const double total = along.back();
    const double start = times[from].departure;
    const double span = times[to].arrival - start;
    for (size_t i = from + 1; i < to; ++i) {
        const double share =
            total > 0 ? along[i - from] / total : static_cast<double>(i - from) / static_cast<double>(to - from);
        const int at = static_cast<int>(start + span * share + 0.5);
        times[i].arrival = times[i].departure = at;
    }
}

} // namespace

void resolveTripTimes(const FeedTables& tables, TripStopTimes& trip)
{
    std::vector<StopTime>& times = trip.times;
    std::stable_sort(times.begin(), times.end(),
                     [](const StopTime& a, const StopTime& b) { return a.sequence < b.sequence; });
    const std::string& tripId = tables.trips[static_cast<size_t>(trip.trip)].id;
    for (size_t i = 1; i < times.size(); ++i)
        if (times[i].sequence == times[i - 1].sequence)
            throw FeedError(kFile, std::max(times[i].line, times[i - 1].line), "stop_sequence",
                            "la corsa \"" + tripId + "\" ha due fermate con lo stesso numero d'ordine " +
                                std::to_string(times[i].sequence));
    if (times.size() < 2)
        throw FeedError(kFile, times.front().line, "trip_id",
                        "la corsa \"" + tripId + "\" ha una sola fermata: ne servono almeno due");
    trip.allDistances = true;
    for (StopTime& t : times) {
        if (t.arrival < 0)
            t.arrival = t.departure;
        if (t.departure < 0)
            t.departure = t.arrival;
        trip.allDistances = trip.allDistances && t.distance >= 0;
    }
    for (const StopTime* end : {&times.front(), &times.back()})
        if (end->arrival < 0)
            throw FeedError(kFile, end->line, "arrival_time",
                            std::string("manca l'orario alla ") + (end == &times.front() ? "prima" : "ultima") +
                                " fermata della corsa \"" + tripId + "\": non si può interpolare");
    size_t timed = 0;
    for (size_t i = 1; i < times.size(); ++i) {
        if (times[i].arrival < 0)
            continue;
        if (i > timed + 1)
            fillBetween(tables, times, timed, i);
        timed = i;
    }
    double lastDistance = -1;
    for (size_t i = 0; i < times.size(); ++i) {
        const StopTime& t = times[i];
        if (t.departure < t.arrival)
            throw FeedError(kFile, t.line, "departure_time",
                            "la partenza " + clockText(t.departure) + " precede l'arrivo " + clockText(t.arrival));
        if (i > 0 && t.arrival < times[i - 1].departure)
            throw FeedError(kFile, t.line, "arrival_time",
                            "l'orario " + clockText(t.arrival) + " precede la partenza " +
                                clockText(times[i - 1].departure) + " dalla fermata precedente della corsa");
        if (t.distance >= 0) {
            if (t.distance < lastDistance)
                throw FeedError(kFile, t.line, "shape_dist_traveled",
                                "la distanza percorsa diminuisce rispetto alla fermata precedente");
            lastDistance = t.distance;
        }
    }
}

StopTimesReader::StopTimesReader(const FeedSource& source, const FeedTables& tables, bool wholeFile)
    : tables_(tables), csv_(source.open(kFile), kFile), wholeFile_(wholeFile)
{
    tripColumn_ = csv_.requiredColumn("trip_id");
    arrivalColumn_ = csv_.requiredColumn("arrival_time");
    departureColumn_ = csv_.requiredColumn("departure_time");
    stopColumn_ = csv_.requiredColumn("stop_id");
    sequenceColumn_ = csv_.requiredColumn("stop_sequence");
    distanceColumn_ = csv_.column("shape_dist_traveled");
    seen_.assign(tables.trips.size(), 0);
    if (!wholeFile_)
        return;
    all_.resize(tables.trips.size());
    StopTime row;
    int trip = 0;
    while (readRow(row, trip)) {
        if (all_[static_cast<size_t>(trip)].empty())
            order_.push_back(trip);
        all_[static_cast<size_t>(trip)].push_back(row);
    }
}

StopTimesReader::~StopTimesReader() = default;

double StopTimesReader::progress() const
{
    return csv_.totalBytes() > 0 ? static_cast<double>(csv_.bytesRead()) / static_cast<double>(csv_.totalBytes()) : 0.0;
}

bool StopTimesReader::readRow(StopTime& row, int& trip)
{
    if (!csv_.next())
        return false;
    const std::string_view tripId = csv_.required(tripColumn_);
    if (lastTrip_ < 0 || tripId != lastTripId_) {
        const auto found = tables_.tripIndex.find(std::string(tripId));
        if (found == tables_.tripIndex.end())
            csv_.fail(tripColumn_, "\"" + std::string(tripId) + "\" non compare in trips.txt");
        lastTrip_ = found->second;
        lastTripId_ = tripId;
    }
    trip = lastTrip_;
    row = StopTime();
    row.line = csv_.line();
    const std::string_view stopId = csv_.required(stopColumn_);
    const auto stop = tables_.stopIndex.find(std::string(stopId));
    if (stop == tables_.stopIndex.end())
        csv_.fail(stopColumn_, "\"" + std::string(stopId) + "\" non compare in stops.txt");
    row.stop = stop->second;
    const std::string_view sequence = csv_.required(sequenceColumn_);
    const std::optional<long long> order = parseFeedInteger(sequence);
    if (!order || *order < 0)
        csv_.fail(sequenceColumn_, "\"" + std::string(sequence) + "\" non è un numero intero non negativo");
    row.sequence = *order;
    for (const auto& [column, target] : {std::pair{arrivalColumn_, &row.arrival}, {departureColumn_, &row.departure}}) {
        const std::string_view text = csv_.field(column);
        if (text.empty())
            continue;
        const std::optional<int> seconds = parseFeedTime(text);
        if (!seconds)
            csv_.fail(column, "\"" + std::string(text) + "\" non è un orario HH:MM:SS");
        *target = *seconds;
    }
    const std::string_view distance = csv_.field(distanceColumn_);
    if (!distance.empty()) {
        const std::optional<double> value = parseFeedDecimal(distance);
        if (!value || *value < 0)
            csv_.fail(distanceColumn_, "\"" + std::string(distance) + "\" non è una distanza non negativa");
        row.distance = *value;
    }
    return true;
}

bool StopTimesReader::nextStreamed(TripStopTimes& trip)
{
    trip.times.clear();
    StopTime row;
    int tripIndex = 0;
    if (pending_) {
        trip.trip = pending_->second;
        trip.times.push_back(pending_->first);
        pending_.reset();
    } else if (readRow(row, tripIndex)) {
        trip.trip = tripIndex;
        trip.times.push_back(row);
    } else {
        return false;
    }
    if (seen_[static_cast<size_t>(trip.trip)])
        throw NotGroupedByTrip{};
    seen_[static_cast<size_t>(trip.trip)] = 1;
    while (readRow(row, tripIndex)) {
        if (tripIndex != trip.trip) {
            pending_.emplace(row, tripIndex);
            break;
        }
        trip.times.push_back(row);
    }
    return true;
}

bool StopTimesReader::next(TripStopTimes& trip)
{
    if (wholeFile_) {
        if (nextInOrder_ == order_.size())
            return false;
        trip.trip = order_[nextInOrder_++];
        trip.times = std::move(all_[static_cast<size_t>(trip.trip)]);
    } else if (!nextStreamed(trip)) {
        return false;
    }
    resolveTripTimes(tables_, trip);
    return true;
}

} // namespace korvan::gtfs
