#pragma once

// The calendar view (command 1033) and the itinerary view (command 1034)
// of the run browser: the browser hands them the cursor run and what they
// need to write inside its transaction, and redraws or reloads after them.
// runSplitViews() gives the views the browser opens.

#include "core/OperationFeedback.h"
#include "db/MessageSink.h"
#include "runs/BrowserTransaction.h"
#include "runs/RunListModel.h"

class QWidget;

namespace korvan {
class DbConnection;
}

namespace korvan::ui::runs {

// What a view works with, for the length of one command.
struct RunViewContext {
    DbConnection* connection;
    MessageSink& sink;
    OperationFeedback& feedback;
    korvan::runs::RunListModel& model;
    // Before writing: transaction.readyForChanges() must be true.
    korvan::runs::BrowserTransaction& transaction;
    QWidget* parent;
};

// How a view ended.
enum class RunViewOutcome {
    Unchanged,   // nothing written: nothing to redraw
    Changed,     // written inside the transaction; rows' flags updated: the list is redrawn
    WriteFailed, // a write failed part-way (shown by the layer): the browser undoes all pending work and reloads
};

class RunSplitViews {
  public:
    virtual ~RunSplitViews() = default;
    virtual RunViewOutcome showCalendarView(RunViewContext& context, korvan::runs::RunRow& row) = 0;
    virtual RunViewOutcome showItineraryView(RunViewContext& context, korvan::runs::RunRow& row) = 0;
};

// The views of the browser: the calendar view and the itinerary view.
RunSplitViews& runSplitViews();

} // namespace korvan::ui::runs
