#pragma once

// Regenerates the service-day calendar (`conkal`) of one contract from the
// month calendars of its runs (`mesi`) under the company's type-'B'
// protocols, carrying over the additional-service days of the period and the
// additional-service financing of whole runs.
//
// Only the runs that had `conkal` rows in the period are deleted first
// (all their rows); every scheduled day of every run is then inserted in
// bulk, except the days the other runs kept (and days a month listed under
// two protocols names twice): those are present already, and are counted
// and reported once in the result message.
//
// The whole generation is one all-or-nothing transaction: interrupted or
// failed, it leaves the table as it found it, shows one message and reports
// itself not completed.

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
    bool completed = false; // committed; otherwise nothing changed
    long deleted = 0;       // existing rows removed
    long inserted = 0;      // new rows stored
    long total = 0;         // scheduled days to insert
    long rejected = 0;      // scheduled days not inserted: already present
};

std::string calendarWarningText();

// The period condition on `conkal.data`, in the connection's date dialect.
std::string calendarPeriodCondition(DbConnection* connection, const CivilDate& start, const CivilDate& end);

CalendarResult generateServiceDays(DbConnection* connection, const CalendarRequest& request, MessageSink& sink,
                                   OperationFeedback& feedback);

} // namespace korvan::accounting
