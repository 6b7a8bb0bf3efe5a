#include "runs/RunCalendarWrite.h"

#include "db/DbConnection.h"
#include "db/KeyLookup.h"
#include "db/MessageSink.h"
#include "db/SavepointGuard.h"
#include "runs/CalendarDay.h"
#include "runs/RunAccounting.h"
#include "runs/SplitRefusals.h"
#include "runs/SplitRowWrite.h"

#include <cmath>

namespace korvan::runs {

namespace {

bool isOtherRun(const SplitRun& run, const SplitRun& edited)
{
    return run.runId != edited.runId || run.company != edited.company;
}

// Finds the `conkal` row of (company, run, date) by its key.
bool findDay(DbConnection* connection, KeyLookup& lookup, int company, long runId, const CalendarDay& day)
{
    return lookup.find(
        {keyNumber("azienda", company), keyNumber("ID", runId), keyDate("data", day.calendarDate, *connection)});
}

bool storeDay(TableCursor& cursor, const CalendarDay& day, double amount)
{
    if (!cursor.Edit())
        return false;
    setFinancingFields(cursor, amount, 2, day.minimumService, day.grantingAuthority, day.payingAuthority);
    return cursor.Update();
}

// The rows of the edited run, then those of the other runs; stops at the
// first failure.
void writeDays(DbConnection* connection, const SplitRun& edited, const std::vector<SplitRun>& others,
               const std::vector<const CalendarDay*>& modified, const SavepointGuard& guard, SplitWriteResult& result)
{
    KeyLookup lookup(connection, "conkal");
    if (!lookup.IsOpen())
        return;
    TableCursor& cursor = lookup.cursor();

    for (const CalendarDay* day : modified) {
        if (guard.Failed())
            break;
        if (!findDay(connection, lookup, edited.company, edited.runId, *day))
            ++result.rowsMissing;
        else if (storeDay(cursor, *day, day->amount))
            ++result.rowsWritten;
    }
    result.markedRuns.push_back(edited.runId);

    const double editedKm = static_cast<double>(edited.lengthMetres) * 0.001;
    for (const SplitRun& run : others) {
        const double runKm = static_cast<double>(run.lengthMetres) * 0.001;
        for (const CalendarDay* day : modified) {
            if (guard.Failed())
                break;
            if (!findDay(connection, lookup, run.company, run.runId, *day))
                ++result.rowsMissing;
            else if (storeDay(cursor, *day, day->amount / editedKm * runKm))
                ++result.rowsWritten;
        }
        result.markedRuns.push_back(run.runId);
    }
}

} // namespace

SplitWriteResult writeCalendarChanges(DbConnection* connection, const CalendarDayList& days,
                                      const std::vector<SplitRun>& selectedRuns, MessageSink& sink)
{
    SplitWriteResult result;
    const SplitRun& edited = days.run();
    std::vector<const CalendarDay*> modified;
    for (const CalendarDay& day : days.days())
        if (day.modified)
            modified.push_back(&day);
    std::vector<SplitRun> others;
    if (days.propagateToSelectedRuns())
        for (const SplitRun& run : selectedRuns)
            if (isOtherRun(run, edited))
                others.push_back(run);
    if (modified.empty()) {
        result.written = true;
        return result;
    }

    // Everything that could make an amount infinite or NaN is refused before
    // the first write.
    if (!others.empty() && edited.lengthMetres <= 0) {
        sink.showMessage(zeroLengthRunMessage(), MessageIcon::Error);
        return result;
    }
    for (const CalendarDay* day : modified)
        if (!std::isfinite(day->amount)) {
            sink.showMessage(invalidAmountMessage(), MessageIcon::Error);
            return result;
        }

    return writeInSavepoint(connection, [&](const SavepointGuard& guard, SplitWriteResult& stored) {
        writeDays(connection, edited, others, modified, guard, stored);
    });
}

} // namespace korvan::runs
