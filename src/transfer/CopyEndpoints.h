#pragma once

// Where a copy reads from and writes to, as the user names them, and the
// opening of both: the source read-only, the target new (a SQLite file that
// does not exist yet, written under a temporary name and moved into place
// only when the copy is complete) or an ODBC data source without the tables
// the copy makes.

#include "core/PendingFile.h"
#include "db/DbConnection.h"
#include "transfer/CopySource.h"

#include <memory>
#include <optional>
#include <string>

namespace korvan::transfer {

enum class EndpointKind { SqliteFile, DataSource, JetFile };

struct CopyEndpoint {
    EndpointKind kind = EndpointKind::SqliteFile;
    std::string name; // the file's path or the data source's name
};

// "il file X", "la sorgente dati ODBC X", "il file JET X".
std::string describeEndpoint(const CopyEndpoint& endpoint);

// The source, opened for reading; nothing after a failure, shown through
// `sink`.
struct OpenedSource {
    std::unique_ptr<DbConnection> connection; // SQLite file or ODBC
    std::unique_ptr<CopySource> source;
};
std::optional<OpenedSource> openCopySource(const CopyEndpoint& endpoint, int rowsetSize, MessageSink& sink);

// The target: an open connection and, for a file, the pending file it
// writes. Nothing after a failure, shown through `sink`.
struct OpenedTarget {
    std::unique_ptr<PendingFile> file;
    std::unique_ptr<DbConnection> connection;
};
std::optional<OpenedTarget> openCopyTarget(const CopyEndpoint& endpoint, int rowsetSize, MessageSink& sink);

} // namespace korvan::transfer
