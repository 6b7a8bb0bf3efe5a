#pragma once

// korvan-batch report: the lines directory, the contracts statement or the
// additional contributions statement, chosen with the rules of the report
// dialogs and written as PDF and/or CSV, each to a file or to standard
// output.

#include <ostream>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::batch {

struct BatchOptions;

// Refusals, an empty report and write failures go to `sink` as errors.
void writeReport(const BatchOptions& options, DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                 std::ostream& out);

} // namespace korvan::batch
