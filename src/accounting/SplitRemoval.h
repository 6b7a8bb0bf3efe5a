#pragma once

// Removal of a layer of accounting detail of one contract (authority A,
// company C):
//   'A' additional financing: the runs' additional-service `concors` rows
//       go back to minimum service of A;
//   'K' calendar splits: every day of a run with a day differing from its
//       `concors` row goes back to minimum service of A;
//   'I' itinerary splits: the `conitine` rows of the runs are deleted.
// Amounts are never changed. Each is one all-or-nothing transaction and ends
// with its result box, or, interrupted or failed, changes nothing.

#include <string>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::accounting {

enum class RemovalMode : char { AdditionalFinancing = 'A', CalendarSplits = 'K', ItinerarySplits = 'I' };

// The warning shown inside the dialog of the mode.
std::string removalWarningText(RemovalMode mode);

struct RemovalCounts {
    bool completed = false; // committed; otherwise nothing changed
    int processed = 0;      // 'A': rows walked
    int changed = 0;        // rows restored ('A', 'K') or deleted ('I')
};

RemovalCounts removeAdditionalFinancing(DbConnection* connection, int authority, int company, MessageSink& sink,
                                        OperationFeedback& feedback);
RemovalCounts removeCalendarSplits(DbConnection* connection, int authority, int company, MessageSink& sink,
                                   OperationFeedback& feedback);
RemovalCounts removeItinerarySplits(DbConnection* connection, int authority, int company, MessageSink& sink,
                                    OperationFeedback& feedback);

RemovalCounts runRemoval(RemovalMode mode, DbConnection* connection, int authority, int company, MessageSink& sink,
                         OperationFeedback& feedback);

} // namespace korvan::accounting
