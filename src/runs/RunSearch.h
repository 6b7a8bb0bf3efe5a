#pragma once

// Finding a run of the list by what the user types: its ID or its code.

#include "runs/RunListModel.h"

#include <string>

namespace korvan::runs {

// The position of the run the text names, searching the list in its order
// from the row after `from` round to `from` itself: first a run whose ID is
// the number typed or whose code is the text (letters in either case), then
// one whose code begins with it, then one whose code holds it. Blanks
// around the text do not count. -1 when no run matches or the text is
// empty.
int findRunPosition(const RunListModel& model, const std::string& typed, int from);

} // namespace korvan::runs
