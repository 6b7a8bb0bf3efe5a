#pragma once

// "Registra Modifiche" of the calendar view: the modified days go into
// their `conkal` rows (financing, and the amount with two decimals); when
// the last per-day change asked for it, the same dates of the other runs
// selected in the browser get the same financing and the day's amount in
// proportion to their length. `concors` is never touched.
//
// The writes go into the transaction the caller keeps open (the run
// browser's) and stand or fall together: a failure undoes every row of this
// call and nothing else.

#include "runs/SplitRun.h"

#include <vector>

namespace korvan {
class DbConnection;
class MessageSink;
} // namespace korvan

namespace korvan::runs {

class CalendarDayList;

// `selectedRuns`: the runs selected in the browser (the edited run among
// them is skipped). A day or date without its row is skipped and counted;
// the runs are marked all the same.
SplitWriteResult writeCalendarChanges(DbConnection* connection, const CalendarDayList& days,
                                      const std::vector<SplitRun>& selectedRuns, MessageSink& sink);

} // namespace korvan::runs
