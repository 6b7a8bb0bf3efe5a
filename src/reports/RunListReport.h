#pragma once

// The run list of a contract line as korvan-batch prints it: one row per
// run with what the browser's list shows, its service days and markers,
// written by the reports' CSV writer (";", decimal comma, UTF-8 with a
// byte-order mark, a header row); the contract and line lead every row.

#include "reports/PrintableReport.h"
#include "runs/RunListLoader.h"

namespace korvan::batch {

reports::Report runListReport(const runs::RunListModel& model, const runs::RunListKey& key);

} // namespace korvan::batch
