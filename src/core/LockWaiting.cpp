#include "core/LockWaiting.h"

namespace korvan {

bool FeedbackLockWaiter::keepWaiting(const LockConflict& conflict, long waitedMilliseconds)
{
    if (conflict.heldForPendingChanges() && !policy_.waitForPendingChanges)
        return false;
    if (policy_.maxWaitMilliseconds != LockWaitPolicy::kUntilStopped &&
        waitedMilliseconds >= policy_.maxWaitMilliseconds)
        return false;
    if (!scope_) {
        feedback_.beginBusy(true);
        scope_.emplace(feedback_);
    }
    if (!offered_ && waitedMilliseconds >= policy_.offerAfterMilliseconds) {
        offered_ = true;
        feedback_.showStatusBanner(lockWaitBanner(conflict));
    }
    return !stopAsked();
}

void FeedbackLockWaiter::waitEnded()
{
    scope_.reset();
    if (offered_)
        feedback_.showStatusBanner("");
    offered_ = false;
}

} // namespace korvan
