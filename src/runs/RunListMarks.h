#pragma once

// What the run browser keeps of its list when the list is read again
// ("Aggiorna Vista", "Ripristina", a change that failed and was undone
// alone): the runs changed since the last keep, shown red while their
// change is pending, and the runs the user selected. Both are kept by run
// (company and run ID), not by row, so they follow their runs into the
// rows read anew.

#include "runs/RunListModel.h"

#include <set>
#include <utility>

namespace korvan::runs {

class RunListMarks {
  public:
    // After a change was written into the pending work: every modified row
    // of `model` is pending until the work is kept or undone.
    void notePending(const RunListModel& model);
    // The pending work was kept or undone: nothing is pending any more.
    void clearPending();
    bool isPending(int company, long runId) const;

    // Before the list is read again: the runs selected in `model`.
    void noteSelection(const RunListModel& model);
    void clearSelection();

    // Marks the rows of a list read anew: pending runs as modified, the
    // noted runs as selected.
    void applyTo(RunListModel& model) const;

  private:
    using RunKey = std::pair<int, long>;
    std::set<RunKey> pending_;
    std::set<RunKey> selected_;
};

} // namespace korvan::runs
