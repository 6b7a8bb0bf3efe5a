#pragma once

// The import of a GTFS feed (a folder or a .zip) as a new runs database:
// the tables of the schema description, the reference tables filled from
// the feed, the accounting tables empty. The whole feed is read and checked
// before anything is written; a fault is told in one message naming the
// file, the line and the field, and then no database is made. The target is
// either a new SQLite file, which appears at its place only when the import
// succeeded, or an open connection to a database without the schema's
// tables, written in one transaction. The summary is shown at the end.

#include "core/OperationFeedback.h"
#include "db/MessageSink.h"

#include <string>

namespace korvan {
class DbConnection;
}

namespace korvan::gtfs {

struct ImportRequest {
    std::string feedPath;
    std::string mappingPath; // the authorities' mapping file, "" for none
};

// Rows per block of the bulk insert into a new file: nothing else reads it
// meanwhile, so large blocks cost nothing.
inline constexpr int kNewFileRowsetSize = 1000;

// `replace`: the file may take the place of one that exists. True when the
// file is in place.
bool importIntoNewFile(const ImportRequest& request, const std::string& path, bool replace, MessageSink& sink,
                       OperationFeedback& feedback, int rowsetSize = kNewFileRowsetSize);
// A database that already has a table of the schema is refused.
bool importIntoConnection(const ImportRequest& request, DbConnection* connection, MessageSink& sink,
                          OperationFeedback& feedback);

} // namespace korvan::gtfs
