#pragma once

// One operation that changes data (extraction, assignment, calendar
// generation, removal, line edit or merge), run as one all-or-nothing
// transaction. It begins before the operation's first read, taking the lock
// of what the operation changes (the database, or one contract: db/Locks.h),
// so that the operation sees and leaves its data whole and two operations on
// the same data run one after the other. The
// operation checks `going` as it works: at the first failure the layer has
// shown (once, with a note that nothing was stored), or when the user asks to
// stop, it stops and the transaction is undone; only a successful `commit`
// keeps its work. The operation then shows its result, or nothing more. From
// the moment the transaction has begun to its commit the user may stop the
// work (an InterruptScope).

#include "core/OperationFeedback.h"
#include "db/TransactionGuard.h"

#include <string>

namespace korvan {

class DbConnection;
class MessageSink;

class OperationTransaction {
  public:
    OperationTransaction(DbConnection* connection, MessageSink& sink, OperationFeedback& feedback,
                         const LockScope& scope = LockScope::database());

    // False when the transaction could not begin (a read-only database,
    // its lock in use elsewhere); the reason has been shown.
    bool begun() const { return guard_.IsActive(); }
    // Shows the status banner of a new step; an interruption names it.
    void step(const std::string& banner);
    // True while the work may go on. A stop asked by the user is shown here
    // once, naming the step.
    bool going();
    // Keeps the work when it may still go on; false when it was undone.
    bool commit();

  private:
    // The user may stop the work from the start, a wait for the lock too.
    InterruptScope interruptible_;
    TransactionGuard guard_;
    MessageSink& sink_;
    OperationFeedback& feedback_;
    std::string step_;
    bool stopped_ = false;
};

} // namespace korvan
