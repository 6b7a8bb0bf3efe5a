#pragma once

// Shared by the copy's tests: runs databases to copy (the demo, and the demo
// with accounting: lines extracted, contracts assigned, service days
// generated, itinerary splits), the real JET files of the shared data
// folder, the data sources emptied of what a copy creates, the copy run with
// a recording sink, and a SQLite file dumped table by table, row by row.

#include "support/RecordingFeedback.h"
#include "support/RecordingMessageSink.h"
#include "support/SharedData.h"
#include "support/TestSupport.h"
#include "transfer/DatabaseCopy.h"

#include <gtest/gtest.h>

#include <map>
#include <string>
#include <vector>

namespace korvan::test {

// The demo runs database, generated into a new SQLite file.
void writeDemoDatabase(const std::string& path, int runs = 300);
// The demo with accounting: the lines extracted, every contract assigned
// minimum service, the first one additional service on Saturdays paid by
// another authority, the service days of March generated; the demo's
// itinerary splits stay. Fails the test on any message.
void writeAccountingDatabase(const std::string& path, int runs = 300);

// Every table of a SQLite file: its rows, each as its values quoted with
// their storage classes, sorted; and the declared columns of the table.
struct TableDump {
    std::string columns;
    std::vector<std::string> rows;
};
std::map<std::string, TableDump> dumpSqlite(const std::string& path);

// Drops the runs database's tables and the named ones from a data source.
void dropTables(const std::string& dsn, const std::vector<std::string>& others = {});

// One copy with its messages and feedback.
struct CopyRun {
    transfer::CopyResult result;
    RecordingMessageSink sink;
    RecordingFeedback feedback;
};
void runCopy(const transfer::CopyRequest& request, CopyRun& run);

// A copy of the runs database, or of the named tables.
transfer::CopyRequest copyRequest(const transfer::CopyEndpoint& source, const transfer::CopyEndpoint& target,
                                  const std::vector<std::string>& tables = {}, bool skipBadValues = false);

transfer::CopyEndpoint sqliteFile(const std::string& path);
transfer::CopyEndpoint dataSource(const std::string& name);
transfer::CopyEndpoint jetFile(const std::string& path);

// Files in a folder (names only), to see what a copy left behind.
std::vector<std::string> filesIn(const std::string& folder);

} // namespace korvan::test
