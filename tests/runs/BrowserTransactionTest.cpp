// The browser's one transaction seen from a second connection: pending
// changes stay invisible until "Aggiorna Vista", "Fine" or Escape keeps
// them, and "Ripristina" leaves the database as the second connection saw
// it, on every back end. The browser locks nothing until its first change,
// and the keep or undo releases what it took.

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
        transaction->setContract(kLine.authority, kLine.company);
        EXPECT_FALSE(transaction->protecting()) << "nothing is held before the first change";
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
    EXPECT_FALSE(transaction->protecting()) << "nothing is held until the next change";
    // The next edit after a restore is again pending, and undone again.
    editRunOne();
    transaction->undoAfterFailure();
    EXPECT_EQ(sink.lastText(), runs::pendingChangesUndoneNotice());
    EXPECT_EQ(accountingChecksum(*raw), before);
    EXPECT_FALSE(transaction->protecting());
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

// Whether another connection may write the browser's contract, another
// contract, or take the database's exclusive lock, while the browser is open.
struct OtherWork {
    const char* name;
    LockScope scope;
    bool takenOnServerWhilePending;
};

const OtherWork kOtherWork[] = {
    {"SameContract", LockScope::contract(10, 3), false},
    {"OtherContract", LockScope::contract(20, 3), true},
    {"Extraction", LockScope::database(), false},
};

TEST_P(BrowserTransactionTest, OnlyPendingChangesHoldTheirContract)
{
    if (GetParam() == Backend::SqliteOdbc)
        GTEST_SKIP() << "the SQLite driver waits for its data source's Timeout (5 s here) before each refusal";
    RecordingMessageSink otherSink;
    std::unique_ptr<DbConnection> other;
    if (GetParam() == Backend::SqliteFile) {
        other = DbConnection::openSqlite(database->sqlitePath(), 25, 1, otherSink);
    } else {
        std::string driver;
        other = DbConnection::openOdbc(dataSource(), driver, 25, 1, otherSink);
    }
    other->SetLockWaitMilliseconds(0);
    auto tryWork = [&](const LockScope& scope) {
        const bool taken = other->BeginTrans(scope);
        if (taken)
            other->Rollback();
        return taken;
    };
    for (const OtherWork& work : kOtherWork) {
        SCOPED_TRACE(work.name);
        model = runs::loadRunList(connection.get(), kLine);
        EXPECT_TRUE(tryWork(work.scope)) << "opened and read, the browser holds nothing: " << otherSink.lastText();
        editRunOne();
        // A file has one writer; the server excludes only the same contract.
        EXPECT_EQ(tryWork(work.scope), isPostgres() && work.takenOnServerWhilePending) << otherSink.lastText();
        ASSERT_TRUE(transaction->keepAndContinue());
        EXPECT_TRUE(tryWork(work.scope)) << "kept: released";
        editRunOne();
        ASSERT_TRUE(transaction->undoAndContinue());
        EXPECT_TRUE(tryWork(work.scope)) << "undone: released";
    }
}

TEST_P(BrowserTransactionTest, AChangeOfAnotherContractTakesItsLockToo)
{
    if (!isPostgres())
        GTEST_SKIP() << "a file's one writer holds every contract";
    editRunOne();
    transaction->setContract(20, 3);
    ASSERT_TRUE(transaction->readyForChanges()) << sink.lastText();
    const std::vector<std::pair<int, int>> both{{10, 3}, {20, 3}};
    EXPECT_EQ(transaction->lockedContracts(), both);
    EXPECT_DOUBLE_EQ(amountOfRunOne(), 99) << "the first contract's change is still pending";
    EXPECT_EQ(raw->queryText("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory' AND granted AND "
                             "classid = 1263489603 AND objid IN (655363, 1310723) AND pid <> pg_backend_pid()"),
              "2");
    ASSERT_TRUE(transaction->keepAndContinue());
    EXPECT_TRUE(transaction->lockedContracts().empty());
    EXPECT_EQ(raw->queryText("SELECT COUNT(*) FROM pg_locks WHERE locktype = 'advisory' AND pid <> "
                             "pg_backend_pid()"),
              "0");
}

KORVAN_ALL_BACKENDS(BrowserTransactionTest);

} // namespace
} // namespace korvan::test
