#include "gtfs/FeedReading.h"

#include "core/ProgressSteps.h"
#include "gtfs/FeedError.h"

#include <filesystem>

namespace korvan::gtfs {

namespace {

void readStopTimes(ReadFeed& feed, OperationFeedback& feedback)
{
    feedback.showStatusBanner("Lettura degli orari (stop_times.txt)");
    ProgressSteps progress(feedback, 1000);
    StopTimesReader reader(*feed.source, feed.tables, feed.stopTimesWhole);
    TripStopTimes trip;
    while (reader.next(trip)) {
        if (feedback.stopRequested())
            throw ImportStopped{};
        feed.network->addTrip(trip);
        progress.reach(static_cast<long>(reader.progress() * 1000));
    }
}

} // namespace

std::unique_ptr<ReadFeed> readFeed(const std::string& feedPath, const std::string& mappingPath,
                                   OperationFeedback& feedback)
{
    auto feed = std::make_unique<ReadFeed>();
    feedback.showStatusBanner("Lettura del feed GTFS");
    feed->source = std::make_unique<FeedSource>(feedPath);
    for (const char* required : {"agency.txt", "routes.txt", "trips.txt", "stop_times.txt", "stops.txt"})
        if (!feed->source->has(required))
            throw FeedError(required, 0, "", "manca il file nel feed");
    feed->source->checkArchive({"agency.txt", "routes.txt", "trips.txt", "stop_times.txt", "stops.txt", "shapes.txt",
                                "calendar.txt", "calendar_dates.txt"});
    readNetworkFiles(*feed->source, feed->tables);
    feed->calendar = ServiceCalendar::read(*feed->source);
    readTrips(*feed->source, feed->calendar.index(), feed->tables);
    feed->authorities = assignAuthorities(feed->tables, mappingPath);
    if (!mappingPath.empty())
        feed->mappingName = std::filesystem::path(mappingPath).filename().string();
    feed->network = std::make_unique<RunsNetwork>(feed->tables, feed->authorities);
    try {
        readStopTimes(*feed, feedback);
    } catch (const NotGroupedByTrip&) {
        // Read again, whole: the trips' stop times are spread over the file.
        feed->stopTimesWhole = true;
        feed->network = std::make_unique<RunsNetwork>(feed->tables, feed->authorities);
        readStopTimes(*feed, feedback);
    }
    feedback.endProgress();
    feed->network->finish();
    return feed;
}

} // namespace korvan::gtfs
