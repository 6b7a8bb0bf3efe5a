#pragma once

// korvan-batch copy: a runs database from a SQLite file, an ODBC data source
// or a JET file into a new SQLite file or an empty ODBC data source
// (transfer/DatabaseCopy.h); the report of tables, rows and checksums on
// standard output.

#include "batch/BatchCommands.h"
#include "batch/BatchOptions.h"

#include <ostream>

namespace korvan::batch {

int runCopyCommand(const BatchOptions& options, std::ostream& out, std::ostream& err, const Terminal& terminal);

} // namespace korvan::batch
