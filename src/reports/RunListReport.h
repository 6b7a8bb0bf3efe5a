#pragma once

// The run list of a contract line as korvan-batch prints it and the run
// browser copies and saves it: one row per run with what the browser's
// list shows, its service days and markers, for the reports' CSV writer
// (";", decimal comma, a header row); the contract and line lead every row.

#include "reports/PrintableReport.h"
#include "runs/RunListLoader.h"

#include <vector>

namespace korvan::reports {

// The runs given, in their order.
Report runListReport(const std::vector<const runs::RunRow*>& runs, const runs::RunListKey& key);
// Every run of the model, in its current order.
Report runListReport(const runs::RunListModel& model, const runs::RunListKey& key);

} // namespace korvan::reports
