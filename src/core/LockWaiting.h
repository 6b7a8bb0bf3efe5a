#pragma once

// How work waits for a lock that a colleague holds (db/Locks.h), told
// through the operation's feedback: the busy clock and the wait cursor from
// the first refusal, the windows drawn and the user's stop taken between
// two short waits, and after a few seconds a banner that says what the work
// waits for and how to give up ("Interrompi", Escape; Ctrl-C in the batch
// program). A wait that ends without the lock shows who holds it.

#include "core/OperationFeedback.h"
#include "db/Locks.h"

#include <optional>

namespace korvan {

struct LockWaitPolicy {
    static constexpr long kUntilStopped = -1;
    // How long to wait at most; kUntilStopped waits until the user stops.
    long maxWaitMilliseconds = kUntilStopped;
    // Changes pending in a colleague's run browser may stay there for
    // hours: false refuses at once instead of waiting for them.
    bool waitForPendingChanges = false;
    // When the banner offers to stop waiting.
    long offerAfterMilliseconds = 3000;
};

class FeedbackLockWaiter : public LockWaiter {
  public:
    FeedbackLockWaiter(OperationFeedback& feedback, const LockWaitPolicy& policy) : feedback_(feedback), policy_(policy)
    {
    }

    bool keepWaiting(const LockConflict& conflict, long waitedMilliseconds) override;
    void waitEnded() override;

    const LockWaitPolicy& policy() const { return policy_; }
    void setPolicy(const LockWaitPolicy& policy) { policy_ = policy; }

  protected:
    // Whether the user asked to stop waiting. The desktop lets the user's
    // events through here at once: a wait asks only every quarter second.
    virtual bool stopAsked() { return feedback_.stopRequested(); }

  private:
    OperationFeedback& feedback_;
    LockWaitPolicy policy_;
    std::optional<InterruptScope> scope_;
    bool offered_ = false;
};

} // namespace korvan
