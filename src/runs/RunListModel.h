#pragma once

// The runs of one contract line as the browser holds them: the rows in load
// order (ascending run ID), the current order and the positions it gives.
// Position i of the list window is entry i of the positions; a position
// outside 0..count-1 holds no row.

#include "runs/RunOrder.h"
#include "runs/RunRow.h"

#include <unordered_map>
#include <vector>

namespace korvan::runs {

class RunListModel {
  public:
    explicit RunListModel(int company = -1) : company_(company) {}

    int company() const { return company_; }

    // Appends a row (load order); the positions follow the ID order until
    // the next sort.
    void addRow(RunRow row);
    // Set the marker of the first row with the ID; false when there is none.
    bool markCalendarSplit(long runId);
    bool markItinerarySplit(long runId);

    int count() const { return static_cast<int>(rows_.size()); }
    RunRow* rowAt(int position);
    const RunRow* rowAt(int position) const;
    RunRow* findRun(long runId);
    // Where the run stands in the current order; -1 when it is not listed.
    int positionOf(long runId) const;

    void sort(char order);
    char order() const { return order_; }

    void selectAll();
    void clearSelection();
    // Some row other than `row` is selected.
    bool anyOtherSelected(const RunRow& row) const;

    // The rows in load order.
    std::vector<RunRow>& rows() { return rows_; }
    const std::vector<RunRow>& rows() const { return rows_; }

  private:
    int company_;
    std::vector<RunRow> rows_;
    std::vector<size_t> positions_;
    std::unordered_map<long, size_t> firstById_;
    char order_ = kRunIdOrder;
};

} // namespace korvan::runs
