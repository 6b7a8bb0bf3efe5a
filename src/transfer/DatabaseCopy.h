#pragma once

// The copy of a runs database (or of named tables of any database) into a
// new one: from a SQLite file, an ODBC data source or a JET file to a SQLite
// file that does not exist yet or an ODBC data source without those tables.
//
// The source's schema is checked first, and nothing is written when it is
// refused. The target is written in one transaction, through the database
// layer's bulk insert, every value converted to its column's kind; a value
// the target cannot hold stops the copy with one message naming the table,
// the row's key and the column, or with skipBadValues is stored as NULL and
// listed. Before the transaction is kept, every table is read back from the
// target and its row count and checksum compared with the source's: any
// difference undoes the copy. A file target appears at its place only when
// the copy is complete; a failed copy leaves no target behind.

#include "core/OperationFeedback.h"
#include "db/MessageSink.h"
#include "transfer/CopyEndpoints.h"
#include "transfer/TableChecksum.h"

#include <string>
#include <vector>

namespace korvan::transfer {

// Rows per block on both connections unless the caller says otherwise.
inline constexpr int kCopyRowsetSize = 1000;

struct CopyRequest {
    CopyEndpoint source;
    CopyEndpoint target;
    std::vector<std::string> tables; // empty: the runs database
    bool skipBadValues = false;
    int rowsetSize = kCopyRowsetSize;
    // Added to the message of a value the target cannot hold: how the
    // caller's user can store NULL instead.
    std::string badValueHint;
};

struct CopiedTable {
    std::string name;
    long sourceCount = 0;      // the source's own count of its rows
    TableChecksum read;        // the rows read from the source, as written
    TableChecksum stored;      // the rows the target holds afterwards
    bool createdEmpty = false; // an accounting table the source did not have
};

// A value stored as NULL because the target could not hold it.
struct SkippedValue {
    std::string table;
    std::string row; // "chiave (azienda 1, ID 7)" or "n. 12"
    std::string column;
    std::string value;
    std::string reason;
};

struct CopyResult {
    bool completed = false;
    std::vector<CopiedTable> tables;
    std::vector<SkippedValue> skipped;
};

// Runs the copy. Messages (refusals, failures) go to `sink`; progress,
// the status banner and the busy clock to `feedback`, which may also stop
// the copy (which then undoes itself).
CopyResult copyDatabase(const CopyRequest& request, MessageSink& sink, OperationFeedback& feedback);

// The result of a completed copy: one line per table with its rows and
// checksums, a total, and the values stored as NULL.
std::string copyReportText(const CopyRequest& request, const CopyResult& result);

} // namespace korvan::transfer
