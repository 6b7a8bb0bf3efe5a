#pragma once

// Writes a read feed into a runs database whose tables were just created:
// the reference tables through the layer's bulk insert, the accounting
// tables left empty. stop_times.txt is read a second time for the passing
// times, one trip at a time, so that they are never all in memory.

#include "core/OperationTransaction.h"
#include "gtfs/FeedReading.h"

namespace korvan {
class DbConnection;
}

namespace korvan::gtfs {

// Rows written per table, for the summary.
struct WrittenRows {
    long authorities = 0, companies = 0, runs = 0, protocols = 0, months = 0, routeArcs = 0, arcs = 0, passingTimes = 0,
         stops = 0;
};

// False when the work stopped (a refused row, the user's stop): the layer or
// the operation has said why, and the transaction is to be undone.
bool writeRunsDatabase(DbConnection* connection, const ReadFeed& feed, OperationTransaction& operation,
                       OperationFeedback& feedback, WrittenRows& written);

} // namespace korvan::gtfs
