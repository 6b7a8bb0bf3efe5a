#include "runs/RunListMarks.h"

namespace korvan::runs {

void RunListMarks::notePending(const RunListModel& model)
{
    for (const RunRow& row : model.rows())
        if (row.modified)
            pending_.emplace(row.company, row.runId);
}

void RunListMarks::clearPending()
{
    pending_.clear();
}

bool RunListMarks::isPending(int company, long runId) const
{
    return pending_.count({company, runId}) != 0;
}

void RunListMarks::noteSelection(const RunListModel& model)
{
    selected_.clear();
    for (const RunRow& row : model.rows())
        if (row.selected)
            selected_.emplace(row.company, row.runId);
}

void RunListMarks::clearSelection()
{
    selected_.clear();
}

void RunListMarks::applyTo(RunListModel& model) const
{
    for (RunRow& row : model.rows()) {
        const RunKey key{row.company, row.runId};
        if (pending_.count(key) != 0)
            row.modified = true;
        if (selected_.count(key) != 0)
            row.selected = true;
    }
}

} // namespace korvan::runs
