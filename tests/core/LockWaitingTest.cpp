// How work waits for a lock a colleague holds: refused at once for changes
// pending in a run browser unless the policy waits for them, for at most the
// policy's time, until the user stops; the busy clock and the stop from the
// first refusal, the banner once the offer is due.

#include "core/LockWaiting.h"
#include "support/RecordingFeedback.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace korvan {
namespace {

using test::RecordingFeedback;

// Counts the interrupt scopes the waiter opens and closes.
class ScopeFeedback : public RecordingFeedback {
  public:
    void enterInterruptScope() override { ++depth; }
    void leaveInterruptScope() override { --depth; }
    int depth = 0;
};

LockConflict conflictHeldBy(bool pendingChanges)
{
    LockConflict conflict;
    conflict.scope = LockScope::contract(4, 2);
    LockHolder holder;
    holder.application = "KORVAN mario@ufficio-2";
    holder.pendingChanges = pendingChanges;
    conflict.holders.push_back(holder);
    return conflict;
}

struct WaitCase {
    const char* name;
    LockWaitPolicy policy;
    bool pendingChanges;
    long waited;
    bool stop;
    bool waitsOn;
};

LockWaitPolicy policyOf(long maxWait, bool waitForPending)
{
    LockWaitPolicy policy;
    policy.maxWaitMilliseconds = maxWait;
    policy.waitForPendingChanges = waitForPending;
    return policy;
}

const WaitCase kWaitCases[] = {
    {"DesktopWaitsForAnOperation", policyOf(LockWaitPolicy::kUntilStopped, false), false, 120000, false, true},
    {"DesktopRefusesPendingChangesAtOnce", policyOf(LockWaitPolicy::kUntilStopped, false), true, 0, false, false},
    {"DesktopStopsWhenTheUserAsks", policyOf(LockWaitPolicy::kUntilStopped, false), false, 10, true, false},
    {"BatchWithoutWaitRefusesAtOnce", policyOf(0, true), false, 0, false, false},
    {"BatchWaitsForPendingChangesWithinItsTime", policyOf(5000, true), true, 4999, false, true},
    {"BatchGivesUpWhenItsTimeIsOver", policyOf(5000, true), true, 5000, false, false},
};

class LockWaiting : public ::testing::TestWithParam<WaitCase> {};

TEST_P(LockWaiting, DecidesWhetherToWaitOn)
{
    const WaitCase& c = GetParam();
    RecordingFeedback feedback;
    feedback.stop = c.stop;
    FeedbackLockWaiter waiter(feedback, c.policy);
    EXPECT_EQ(waiter.keepWaiting(conflictHeldBy(c.pendingChanges), c.waited), c.waitsOn);
    waiter.waitEnded();
}

INSTANTIATE_TEST_SUITE_P(Policies, LockWaiting, ::testing::ValuesIn(kWaitCases),
                         [](const ::testing::TestParamInfo<WaitCase>& param) { return param.param.name; });

TEST(LockWaitingFeedback, ShowsTheClockAtOnceAndTheOfferOnceItIsDue)
{
    ScopeFeedback feedback;
    FeedbackLockWaiter waiter(feedback, LockWaitPolicy{});
    const LockConflict conflict = conflictHeldBy(false);
    ASSERT_TRUE(waiter.keepWaiting(conflict, 0));
    EXPECT_EQ(feedback.busyCalls, std::vector<bool>{true}) << "the wait cursor and the clock";
    EXPECT_EQ(feedback.depth, 1) << "the user may stop the wait";
    EXPECT_TRUE(feedback.banners.empty());
    ASSERT_TRUE(waiter.keepWaiting(conflict, 2999));
    EXPECT_TRUE(feedback.banners.empty());
    ASSERT_TRUE(waiter.keepWaiting(conflict, 3000));
    ASSERT_TRUE(waiter.keepWaiting(conflict, 3250));
    EXPECT_EQ(feedback.banners, std::vector<std::string>{lockWaitBanner(conflict)}) << "offered once";
    EXPECT_EQ(feedback.busyCalls.size(), 1u);
    EXPECT_EQ(feedback.depth, 1);
    waiter.waitEnded();
    EXPECT_EQ(feedback.depth, 0);
    EXPECT_EQ(feedback.banners.back(), "") << "the banner goes with the wait";
}

TEST(LockWaitingFeedback, ARefusalAtOnceShowsNothing)
{
    ScopeFeedback feedback;
    FeedbackLockWaiter waiter(feedback, LockWaitPolicy{});
    EXPECT_FALSE(waiter.keepWaiting(conflictHeldBy(true), 0));
    waiter.waitEnded();
    EXPECT_TRUE(feedback.busyCalls.empty());
    EXPECT_TRUE(feedback.banners.empty());
    EXPECT_EQ(feedback.depth, 0);
}

} // namespace
} // namespace korvan
