#pragma once

// What a split view receives from the run browser: the connection inside
// the browser's open transaction, where messages and the busy indicator go,
// the browser's rows (the selected runs the change may reach, the rows whose
// `modified` and marker flags "Registra Modifiche" sets) and the edited run.

#include "runs/RunListModel.h"
#include "runs/SplitRun.h"

#include <vector>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::ui::runs {

struct SplitViewContext {
    DbConnection* connection;
    MessageSink& sink;
    OperationFeedback& feedback;
    korvan::runs::RunListModel& model;
    korvan::runs::RunRow& run;
};

korvan::runs::SplitRun splitRunOf(const korvan::runs::RunRow& row);
// The runs selected in the browser, the edited one included.
std::vector<korvan::runs::SplitRun> selectedSplitRuns(const korvan::runs::RunListModel& model);
// Some run other than the edited one is selected.
bool otherRunsSelected(const SplitViewContext& context);

} // namespace korvan::ui::runs
