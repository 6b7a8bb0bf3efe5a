#pragma once

// The runs of the browser as the split views hand them to the core: the
// edited run, and the runs selected in the browser that a change may reach.

#include "runs/RunListModel.h"
#include "runs/SplitRun.h"

#include <vector>

namespace korvan::ui::runs {

korvan::runs::SplitRun splitRunOf(const korvan::runs::RunRow& row);
// The runs selected in the browser, the edited one included.
std::vector<korvan::runs::SplitRun> selectedSplitRuns(const korvan::runs::RunListModel& model);

} // namespace korvan::ui::runs
