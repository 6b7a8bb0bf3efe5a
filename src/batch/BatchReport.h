#pragma once

// korvan-batch report: the lines directory, the contracts statement or the
// additional contributions statement, chosen with the rules of the report
// dialogs and written as PDF and/or CSV, each to a file or to standard
// output.

#include <ostream>
#include <string>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::reports {
struct Report;
}

namespace korvan::batch {

struct BatchOptions;

// Writes the CSV to the file `path`, or to `out` when `path` is "-"; false
// with `error` set when the write failed.
bool writeCsvTo(const reports::Report& report, const std::string& path, std::ostream& out, std::string& error);

// Refusals, an empty report and write failures go to `sink` as errors.
void writeReport(const BatchOptions& options, DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                 std::ostream& out);

} // namespace korvan::batch
