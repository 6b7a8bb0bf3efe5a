#include "runs/RunListModel.h"

namespace korvan::runs {

void RunListModel::addRow(RunRow row)
{
    firstById_.emplace(row.runId, rows_.size());
    positions_.push_back(rows_.size());
    rows_.push_back(std::move(row));
}

bool RunListModel::markCalendarSplit(long runId)
{
    RunRow* row = findRun(runId);
    if (row)
        row->calendarMarker = true;
    return row != nullptr;
}

bool RunListModel::markItinerarySplit(long runId)
{
    RunRow* row = findRun(runId);
    if (row)
        row->itineraryMarker = true;
    return row != nullptr;
}

RunRow* RunListModel::rowAt(int position)
{
    if (position < 0 || position >= count())
        return nullptr;
    return &rows_[positions_[static_cast<size_t>(position)]];
}

const RunRow* RunListModel::rowAt(int position) const
{
    return const_cast<RunListModel*>(this)->rowAt(position);
}

RunRow* RunListModel::findRun(long runId)
{
    const auto found = firstById_.find(runId);
    return found == firstById_.end() ? nullptr : &rows_[found->second];
}

int RunListModel::positionOf(long runId) const
{
    const auto found = firstById_.find(runId);
    if (found == firstById_.end())
        return -1;
    for (size_t position = 0; position < positions_.size(); ++position)
        if (positions_[position] == found->second)
            return static_cast<int>(position);
    return -1;
}

void RunListModel::sort(char order)
{
    positions_ = sortedPositions(rows_, order);
    order_ = order;
}

void RunListModel::selectAll()
{
    for (RunRow& row : rows_)
        row.selected = true;
}

void RunListModel::clearSelection()
{
    for (RunRow& row : rows_)
        row.selected = false;
}

bool RunListModel::anyOtherSelected(const RunRow& row) const
{
    for (const RunRow& other : rows_)
        if (other.selected && &other != &row)
            return true;
    return false;
}

} // namespace korvan::runs
