#pragma once

// korvan-batch import-gtfs: a GTFS feed (folder or .zip) into a new SQLite
// file (--db) or into an empty ODBC database (--dsn). Its command line is
// its own: the feed comes first and there is no database to open before.

#include "batch/BatchCommands.h"

#include <ostream>
#include <string>
#include <vector>

namespace korvan::batch {

inline constexpr const char* kImportGtfsCommand = "import-gtfs";

std::string importGtfsUsage();

// Arguments after "import-gtfs". Returns the exit status.
int runImportGtfs(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                  const Terminal& terminal);

} // namespace korvan::batch
