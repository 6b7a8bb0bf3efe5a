#pragma once

// Bulk assignment of the base accounting values of a contract's runs: minimum
// service of the granting authority or additional service of a paying
// authority, and the amount from the run's length and a price per km. Four
// runs choose the runs differently: the whole contract, one normalized line,
// a time band (all three write `concors`, one row per run) and a period with
// chosen weekdays (writes `conkal`, one row per run and service day).
//
// Each run is one all-or-nothing transaction: it ends with its result box
// through the message sink and returns its counts, or, interrupted or failed,
// leaves every row as it was after one message.

#include "db/Values.h"

#include <array>
#include <string>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::accounting {

enum class AssignmentKind { Contract, Line, TimeBand, DayType };

struct AssignmentRequest {
    int contractAuthority = -1;
    int contractCompany = -1;
    bool minimumService = true;
    int payingAuthority = -1; // read only for additional service
    double euroPerKm = 0.0;
    bool updateExisting = true;
    std::string lineCode;                                                   // Line
    int bandFrom = 0, bandTo = 2359;                                        // TimeBand: hours * 100 + minutes
    CivilDate periodStart, periodEnd;                                       // DayType
    std::array<bool, 7> weekdays{true, true, true, true, true, true, true}; // DayType: Monday ... Sunday
};

struct AssignmentCounts {
    bool completed = false; // committed; otherwise nothing changed
    int added = 0;          // rows inserted
    int changed = 0;        // existing rows overwritten
};

// The confirmation asked before the dialog of each command opens.
std::string assignmentWarningText(AssignmentKind kind);

AssignmentCounts runContractAssignment(DbConnection* connection, const AssignmentRequest& request, MessageSink& sink,
                                       OperationFeedback& feedback);
// The runs whose normalized line has the request's code.
AssignmentCounts runLineAssignment(DbConnection* connection, const AssignmentRequest& request, MessageSink& sink,
                                   OperationFeedback& feedback);
// The runs departing at or after bandFrom and arriving at or before bandTo.
AssignmentCounts runTimeBandAssignment(DbConnection* connection, const AssignmentRequest& request, MessageSink& sink,
                                       OperationFeedback& feedback);
// The scheduled days of the contract's runs (month calendars struck by the
// protocols' validity) inside the period and on the chosen weekdays. Days
// that do not exist in their month are skipped.
AssignmentCounts runDayTypeAssignment(DbConnection* connection, const AssignmentRequest& request, MessageSink& sink,
                                      OperationFeedback& feedback);

AssignmentCounts runAssignment(AssignmentKind kind, DbConnection* connection, const AssignmentRequest& request,
                               MessageSink& sink, OperationFeedback& feedback);

} // namespace korvan::accounting
