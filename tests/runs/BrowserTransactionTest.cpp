// The browser's one transaction seen from a second connection: pending
// changes stay invisible until "Aggiorna Vista", "Fine" or Escape keeps
// them, and "Ripristina" leaves the database as the second connection saw
// it, on every back end.

#include "runs/BrowserFixture.h"

#include "runs/BrowserTransaction.h"
#include "runs/RunAccounting.h"
#include "support/RecordingFeedback.h"

namespace korvan::test {
namespace {

class BrowserTransactionTest : public BrowserDbTest {
  protected:
    void SetUp() override
    {
        BrowserDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        buildLine();
        before = accountingChecksum(*raw);
        transaction.emplace(connection.get(), sink);
        ASSERT_TRUE(transaction->open()) << sink.lastText();
        EXPECT_TRUE(transaction->protecting());
        EXPECT_TRUE(sink.empty()) << "a back end with transactions opens without a notice";
    }
    void TearDown() override
    {
        transaction.reset();
        BrowserDbTest::TearDown();
    }

    // Re-finances run 1 with a total of 99 for it and every selected run.
    void editRunOne()
    {
        model = runs::loadRunList(connection.get(), kLine);
        model.findRun(6)->selected = true;
        runs::RunAccountingChange change;
        change.value = 99;
        change.payingAuthority = 40;
        change.applyToSelected = false;
        ASSERT_TRUE(transaction->readyForChanges());
        ASSERT_TRUE(runs::applyRunAccounting(connection.get(), model, *model.findRun(1), change, feedback));
        change.minimumService = true;
        change.totalMode = false;
        ASSERT_TRUE(runs::applyRunAccounting(connection.get(), model, *model.findRun(2), change, feedback));
    }

    // What the program's own connection reads of run 1.
    double amountOfRunOne() { return runs::loadRunList(connection.get(), kLine).findRun(1)->amount; }

    std::string before;
    std::optional<runs::BrowserTransaction> transaction;
    runs::RunListModel model;
    RecordingFeedback feedback;
};

TEST_P(BrowserTransactionTest, RestoreUndoesWhatTheSecondConnectionNeverSaw)
{
    editRunOne();
    EXPECT_DOUBLE_EQ(amountOfRunOne(), 99) << "the browser reads its own pending change";
    EXPECT_EQ(accountingChecksum(*raw), before) << "pending: not visible to a second connection";
    EXPECT_TRUE(transaction->undoAndContinue());
    EXPECT_EQ(accountingChecksum(*raw), before);
    EXPECT_DOUBLE_EQ(amountOfRunOne(), 5);
    EXPECT_TRUE(transaction->protecting()) << "a new transaction runs at once";
    // The next edit after a restore is again pending, and undone again.
    editRunOne();
    transaction->undoAfterFailure();
    EXPECT_EQ(sink.lastText(), runs::pendingChangesUndoneNotice());
    EXPECT_EQ(accountingChecksum(*raw), before);
    EXPECT_TRUE(transaction->protecting());
}

TEST_P(BrowserTransactionTest, AChangeUndoneAloneLeavesTheEarlierOnesPending)
{
    editRunOne();
    EXPECT_TRUE(transaction->afterFailedChange());
    EXPECT_EQ(sink.lastText(), runs::changeNotWrittenNotice());
    EXPECT_DOUBLE_EQ(amountOfRunOne(), 99) << "the earlier change is still pending";
    EXPECT_EQ(accountingChecksum(*raw), before);
    ASSERT_TRUE(transaction->keepAndContinue()) << sink.lastText();
    EXPECT_NE(accountingChecksum(*raw), before);
}

TEST_P(BrowserTransactionTest, RefreshKeepsTheChangesAndGoesOnPending)
{
    editRunOne();
    ASSERT_TRUE(transaction->keepAndContinue()) << sink.lastText();
    const std::string kept = accountingChecksum(*raw);
    EXPECT_NE(kept, before);
    EXPECT_EQ(parseDecimalText(raw->queryText("SELECT euro FROM concors WHERE azienda = 3 AND ID = 1")), 99);
    // A restore now undoes only what came after.
    editRunOne();
    ASSERT_TRUE(transaction->undoAndContinue());
    EXPECT_EQ(accountingChecksum(*raw), kept);
}

TEST_P(BrowserTransactionTest, FinishKeepsThePendingChanges)
{
    editRunOne();
    EXPECT_EQ(accountingChecksum(*raw), before);
    ASSERT_TRUE(transaction->finish()) << sink.lastText();
    EXPECT_FALSE(transaction->isOpen());
    EXPECT_FALSE(connection->InTransaction());
    EXPECT_EQ(parseDecimalText(raw->queryText("SELECT euro FROM conkal WHERE azienda = 3 AND ID = 1 AND ente = 40")),
              99);
    EXPECT_EQ(raw->queryText("SELECT COUNT(*) FROM conkal WHERE azienda = 3 AND ID = 2 AND ente = 10 AND minima = 1"),
              "2");
}

TEST_P(BrowserTransactionTest, ClosingWithoutFinishKeepsThePendingChanges)
{
    editRunOne();
    transaction.reset();
    EXPECT_NE(accountingChecksum(*raw), before);
}

KORVAN_ALL_BACKENDS(BrowserTransactionTest);

} // namespace
} // namespace korvan::test
