#pragma once

// The text shown when an import is done: what was made, from what, how the
// distances were measured, and who grants which runs.

#include "gtfs/FeedReading.h"
#include "gtfs/RunsWriter.h"

#include <string>

namespace korvan::gtfs {

std::string importSummary(const ReadFeed& feed, const WrittenRows& written, const std::string& target);

} // namespace korvan::gtfs
