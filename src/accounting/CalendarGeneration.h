#pragma once

// Regenerates the service-day calendar (`conkal`) of one contract from the
// month calendars of its runs (`mesi`) under the company's type-'B'
// protocols, carrying over the additional-service days of the period and the
// additional-service financing of whole runs.
//
// Only the runs that had `conkal` rows in the period are deleted first
// (all their rows); every scheduled day of every run is then inserted in
// bulk, so the kept rows of the other runs collide with the new ones where
// dates coincide. Those rows are not stored; they are counted and reported
// once in the result message.

#include "db/Values.h"

#include <string>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::accounting {

struct CalendarRequest {
    int authority = -1;
    int company = -1;
    CivilDate periodStart, periodEnd;
};

struct CalendarResult {
    long deleted = 0;  // existing rows removed
    long inserted = 0; // new rows stored
    long total = 0;    // scheduled days to insert
    long rejected = 0; // new rows the database refused (kept rows colliding)
};

std::string calendarWarningText();

// The period condition on `conkal.data`, in the connection's date dialect.
std::string calendarPeriodCondition(DbConnection* connection, const CivilDate& start, const CivilDate& end);

CalendarResult generateServiceDays(DbConnection* connection, const CalendarRequest& request, MessageSink& sink,
                                   OperationFeedback& feedback);

} // namespace korvan::accounting
