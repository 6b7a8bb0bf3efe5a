#pragma once

// The report a checked choice asks for, collected from the database: the
// one step the report commands of the program and korvan-batch share
// between their choice and their output.

#include "reports/PrintableReport.h"
#include "reports/ReportChoice.h"

#include <ctime>
#include <optional>

namespace korvan {
class DbConnection;
class OperationFeedback;
} // namespace korvan

namespace korvan::reports {

// Shown (information icon) when a collected report has no rows.
inline constexpr const char* kNoDataMessage = "Non ci sono dati da stampare !!!";

// The report of `kind` for the choice, created at `createdAt`. Nothing when
// it could not be computed: a query failed or the database holds amounts
// that are not numbers (said through the connection's message sink), or
// the choice's period is not two dates. A report without rows means there
// is nothing to print.
std::optional<Report> collectReport(ReportKind kind, const ReportChoice& choice, DbConnection* connection,
                                    OperationFeedback& feedback, std::time_t createdAt);

} // namespace korvan::reports
