#pragma once

// Loading the runs of a contract line into a RunListModel: one query joining
// the runs, their line, their accounting row and their service days, ordered
// by run and day and grouped while reading; then the itinerary split marks
// and the stop and authority names (one "IN" list query each). A run is
// listed when it belongs to the line, has its accounting row and at least
// one service day.

#include "runs/RunListModel.h"

#include <string>

namespace korvan {
class DbConnection;
}

namespace korvan::runs {

// The contract and line a list shows.
struct RunListKey {
    int authority = -1;
    int company = -1;
    int line = -1;
};

// The SQL of the joined query (for the benchmark's plain reading).
std::string runListSql(DbConnection* connection, const RunListKey& key);

// The rows ordered by run ID. Failures have been shown by the database
// layer; the model holds what was read.
RunListModel loadRunList(DbConnection* connection, const RunListKey& key);

// Fills the stop names, the paying authority names and the two labels of
// every row.
void fillRunNames(DbConnection* connection, RunListModel& model);

} // namespace korvan::runs
