#pragma once

// A whole feed read and checked, and numbered as the runs database it
// becomes, before anything is written: a feed with a fault is refused here,
// so that a bad feed never leaves a database behind.

#include "core/OperationFeedback.h"
#include "gtfs/AuthorityMap.h"
#include "gtfs/FeedSource.h"
#include "gtfs/FeedTables.h"
#include "gtfs/RunsNetwork.h"
#include "gtfs/ServiceCalendar.h"

#include <memory>
#include <string>

namespace korvan::gtfs {

// Thrown when the user asks the import to stop while the feed is read.
struct ImportStopped {};

struct ReadFeed {
    std::unique_ptr<FeedSource> source;
    FeedTables tables;
    ServiceCalendar calendar;
    AuthorityAssignment authorities;
    std::unique_ptr<RunsNetwork> network;
    // stop_times.txt lists some trip in more than one place: it is read whole.
    bool stopTimesWhole = false;
    std::string mappingName; // the mapping file's name, "" without one
};

// Throws FeedError or ImportStopped. Banners and progress go to `feedback`.
std::unique_ptr<ReadFeed> readFeed(const std::string& feedPath, const std::string& mappingPath,
                                   OperationFeedback& feedback);

} // namespace korvan::gtfs
