// Transactions on every back end: a guard keeps only committed work, shows
// the first failure once, writers of one database take turns, and the
// connection tells what its last failure was and whether it survived it.

#include "db/DbTestFixture.h"
#include "db/SqlTypes.h"
#include "db/TransactionGuard.h"
#include "support/RecordingMessageSink.h"

#include <chrono>
#include <thread>

namespace korvan::test {
namespace {

// The beginning of every refusal for the database's lock.
const std::string kBusy = "ATTENZIONE: la base dati è in uso";

class DbTransaction : public DbLayerFixture {
  protected:
    // Another connection to the same database.
    std::unique_ptr<DbConnection> openAnother(MessageSink& otherSink)
    {
        std::unique_ptr<DbConnection> other;
        if (fileBackend()) {
            other = DbConnection::openSqlite(db().SqlitePath(), 25, 1, otherSink);
        } else {
            std::string driver;
            other = DbConnection::openOdbc(db().Dsn(), driver, 25, 1, otherSink);
        }
        EXPECT_TRUE(other->IsOpen());
        return other;
    }

    // Bulk-inserts conkal rows first..last (one per ID) on `connection`.
    static void addRows(DbConnection& connection, long first, long last)
    {
        TableCursor cursor(&connection, "conkal", true);
        for (long id = first; id <= last; ++id)
            cursor.AddNew() && cursor.SetField("azienda", "1") && cursor.SetField("ID", std::to_string(id)) &&
                cursor.SetField("data", "01/02/2004") && cursor.SetField("ente", "3") &&
                cursor.SetField("minima", "1") && cursor.SetField("euro", "1,5") && cursor.Update();
        cursor.Flush();
    }
};

TEST_P(DbTransaction, GuardKeepsOnlyWhatItCommits)
{
    {
        TransactionGuard guard(&db());
        ASSERT_TRUE(guard.IsActive());
        EXPECT_TRUE(guard.Protected());
        EXPECT_TRUE(db().InTransaction());
        addRows(db(), 1, 60);
        EXPECT_FALSE(guard.Failed());
    }
    EXPECT_FALSE(db().InTransaction());
    EXPECT_EQ(rawCount("conkal"), 0);
    {
        TransactionGuard guard(&db());
        addRows(db(), 1, 60);
        EXPECT_TRUE(guard.Commit());
        EXPECT_FALSE(guard.Commit());
    }
    EXPECT_EQ(rawCount("conkal"), 60);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    EXPECT_EQ(db().FailureCount(), 0);
}

TEST_P(DbTransaction, FirstFailureIsShownOnceAndCommitUndoesTheWork)
{
    rawInsertConkal({.id = 5, .data = "01/02/2004"}, "2004-02-01");
    rawInsertConkal({.id = 40, .data = "01/02/2004"}, "2004-02-01");
    TransactionGuard guard(&db());
    ASSERT_TRUE(guard.IsActive());
    // Two refused rows. The file back end stores each block as it fills
    // and refuses two blocks, the second not shown again; over ODBC the
    // blocks go in one batch, stored by the Flush, and the first refused
    // row is the one told.
    addRows(db(), 1, 60);
    EXPECT_TRUE(guard.Failed());
    EXPECT_FALSE(guard.Commit());
    ASSERT_EQ(sink.entries.size(), 1u);
    const std::string& text = sink.entries[0].text;
    const std::string step =
        fileBackend() ? "Errore aggiornamento tavola (conkal)" : "Errore scarico buffer tavola (conkal)";
    EXPECT_EQ(text.rfind(step + "\n\n - ", 0), 0u) << text;
    EXPECT_NE(text.find("Riga rifiutata n. 5 (blocco 1, riga 5 del blocco): "), std::string::npos) << text;
    EXPECT_EQ(text.substr(text.size() - std::string(kNothingStoredNote).size()), kNothingStoredNote);
    EXPECT_EQ(rawCount("conkal"), 2);
    EXPECT_EQ(db().FailureCount(), fileBackend() ? 2 : 1);
    // The connection keeps the failure, without the note, and is still open.
    EXPECT_EQ(db().LastError().text.rfind(step, 0), 0u);
    EXPECT_FALSE(db().LastError().connectionLost);
    if (GetParam() == Backend::PostgresOdbc) {
        EXPECT_EQ(db().LastError().sqlState, "23505");
    }
    EXPECT_TRUE(db().IsOpen());
    EXPECT_FALSE(db().InTransaction());
    // Outside a guard a failure is shown as it is.
    sink.clear();
    addRows(db(), 5, 5);
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.lastText().find(kNothingStoredNote), std::string::npos);
}

TEST_P(DbTransaction, SecondWriterIsRefusedWhenTheFirstOutlastsItsWait)
{
    if (GetParam() == Backend::SqliteOdbc)
        GTEST_SKIP() << "the SQLite driver waits for its data source's Timeout (5 s here), not for the wait asked";
    RecordingMessageSink otherSink;
    auto other = openAnother(otherSink);
    TransactionGuard first(&db());
    ASSERT_TRUE(first.IsActive());
    other->SetLockWaitMilliseconds(200);
    {
        TransactionGuard second(other.get());
        EXPECT_FALSE(second.IsActive());
        EXPECT_TRUE(second.Failed());
        EXPECT_FALSE(second.Commit());
    }
    ASSERT_EQ(otherSink.entries.size(), 1u) << otherSink.lastText();
    EXPECT_EQ(otherSink.lastText().rfind(kBusy, 0), 0u) << otherSink.lastText();
    EXPECT_FALSE(other->InTransaction());
    EXPECT_TRUE(first.Commit());
    TransactionGuard third(other.get());
    EXPECT_TRUE(third.IsActive());
}

TEST_P(DbTransaction, SecondWriterWaitsForTheFirstToFinish)
{
    RecordingMessageSink otherSink;
    auto other = openAnother(otherSink);
    TransactionGuard first(&db());
    ASSERT_TRUE(first.IsActive());
    addRows(db(), 1, 10);
    // The first writer finishes while the second waits for it.
    std::thread finisher([&] {
        std::this_thread::sleep_for(std::chrono::milliseconds(300));
        first.Commit();
    });
    other->SetLockWaitMilliseconds(20000);
    {
        TransactionGuard second(other.get());
        EXPECT_TRUE(second.IsActive()) << otherSink.lastText();
        // It sees what the first one wrote.
        addRows(*other, 11, 20);
        EXPECT_TRUE(second.Commit()) << otherSink.lastText();
    }
    finisher.join();
    EXPECT_EQ(rawCount("conkal"), 20);
    EXPECT_TRUE(otherSink.empty()) << otherSink.lastText();
}

// Which locks exclude which: a contract's work excludes the same contract
// and the database's exclusive work; on a SQLite file every writer excludes
// every other.
struct ScopePair {
    const char* name;
    LockScope first;
    LockScope second;
    bool secondTakenOnServer;
};

const ScopePair kScopePairs[] = {
    {"SameContract", LockScope::contract(10, 3), LockScope::contract(10, 3), false},
    {"OtherContract", LockScope::contract(10, 3), LockScope::contract(20, 3), true},
    {"OtherCompany", LockScope::contract(10, 3), LockScope::contract(10, 4), true},
    {"ContractThenDatabase", LockScope::contract(10, 3), LockScope::database(), false},
    {"DatabaseThenContract", LockScope::database(), LockScope::contract(20, 3), false},
    {"BrowserChangesThenContract", LockScope::browserChanges(10, 3), LockScope::contract(10, 3), false},
};

TEST_P(DbTransaction, LocksExcludeOnlyWorkOnTheSameData)
{
    if (GetParam() == Backend::SqliteOdbc)
        GTEST_SKIP() << "the SQLite driver waits for its data source's Timeout (5 s here) before each refusal";
    for (const ScopePair& pair : kScopePairs) {
        SCOPED_TRACE(pair.name);
        RecordingMessageSink otherSink;
        auto other = openAnother(otherSink);
        other->SetLockWaitMilliseconds(0);
        ASSERT_TRUE(db().BeginTrans(pair.first)) << sink.lastText();
        const bool expected = !fileBackend() && pair.secondTakenOnServer;
        EXPECT_EQ(other->BeginTrans(pair.second), expected) << otherSink.lastText();
        EXPECT_EQ(other->InTransaction(), expected);
        EXPECT_EQ(otherSink.empty(), expected) << otherSink.lastText();
        if (expected) {
            EXPECT_TRUE(other->Rollback());
        }
        EXPECT_TRUE(db().Rollback());
        // Released with the transaction.
        EXPECT_TRUE(other->BeginTrans(pair.second)) << otherSink.lastText();
        EXPECT_TRUE(other->Rollback());
    }
}

TEST_P(DbTransaction, RefusalOnTheServerNamesTheHolder)
{
    if (GetParam() != Backend::PostgresOdbc)
        GTEST_SKIP() << "only the server knows who holds a lock";
    RecordingMessageSink otherSink;
    auto other = openAnother(otherSink);
    other->SetLockWaitMilliseconds(0);
    ASSERT_TRUE(db().BeginTrans(LockScope::browserChanges(10, 3)));
    EXPECT_FALSE(other->BeginTrans(LockScope::contract(10, 3)));
    const std::string text = otherSink.lastText();
    EXPECT_EQ(
        text.rfind("ATTENZIONE: il contratto di servizio ente 0010, azienda 0003 è in uso: un altro operatore", 0), 0u)
        << text;
    EXPECT_NE(text.find("In uso da:\n- " + clientApplicationName() +
                        " (utente postgres, indirizzo 127.0.0.1), "
                        "collegato dal "),
              std::string::npos)
        << text;
    EXPECT_NE(text.find(", con variazioni in sospeso\n\nOccorre attendere che l'altro operatore registri"),
              std::string::npos)
        << text;
    EXPECT_TRUE(db().Rollback());
}

TEST_P(DbTransaction, ALockRefusedInsideATransactionKeepsItsWork)
{
    if (GetParam() == Backend::SqliteOdbc)
        GTEST_SKIP() << "the SQLite driver waits for its data source's Timeout (5 s here) before each refusal";
    RecordingMessageSink otherSink;
    auto other = openAnother(otherSink);
    other->SetLockWaitMilliseconds(0);
    if (!fileBackend()) {
        ASSERT_TRUE(other->BeginTrans(LockScope::contract(20, 3)));
    }
    ASSERT_TRUE(db().BeginTrans(LockScope::browserChanges(10, 3)));
    addRows(db(), 1, 10);
    db().SetLockWaitMilliseconds(0);
    // A file's one writer holds every contract already.
    EXPECT_EQ(db().AddLock(LockScope::browserChanges(20, 3)), fileBackend()) << sink.lastText();
    EXPECT_TRUE(db().InTransaction());
    if (!fileBackend()) {
        EXPECT_TRUE(other->Rollback());
    }
    EXPECT_TRUE(db().AddLock(LockScope::browserChanges(20, 3))) << sink.lastText();
    EXPECT_TRUE(db().CommitTrans()) << sink.lastText();
    EXPECT_EQ(rawCount("conkal"), 10);
}

TEST_P(DbTransaction, TransactionInsideATransactionIsRefused)
{
    ASSERT_TRUE(db().BeginTrans());
    EXPECT_FALSE(db().BeginTrans());
    EXPECT_EQ(sink.lastText(), "Errore in fase di avvio della transazione\n\nUna transazione è già in corso su "
                               "questa connessione.");
    EXPECT_TRUE(db().SupportsTransactions());
    EXPECT_TRUE(db().Rollback());
}

INSTANTIATE_TEST_SUITE_P(Backends, DbTransaction, ::testing::ValuesIn(kAllBackends), backendParamName);

// A connection whose server went away: the first failure says so, the
// connection is closed for good, and what follows is not shown again.
class DbLostConnection : public DbLayerFixture {};

TEST_P(DbLostConnection, FirstFailureEndsTheConnectionAndTheRestIsNotShown)
{
    SelectCursor pid(&db());
    pid.AddField("pg_stat_activity", "pid", SqlType::Integer);
    pid.SetFrom("pg_stat_activity");
    pid.SetWhere("pid = pg_backend_pid()");
    ASSERT_TRUE(pid.Execute()) << sink.lastText();
    int backendPid = 0;
    ASSERT_TRUE(pid.GetLong(0, backendPid));
    const std::string gone = "SELECT COUNT(*) FROM pg_stat_activity WHERE pid = " + std::to_string(backendPid);
    ASSERT_EQ(rawText("SELECT pg_terminate_backend(" + std::to_string(backendPid) + ")"), "1");
    for (int wait = 0; wait < 100 && rawText(gone) != "0"; ++wait)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));

    {
        TableCursor cursor(&db(), "conkal", true);
        for (long id = 1; id <= 100; ++id)
            cursor.AddNew() && cursor.SetField("azienda", "1") && cursor.SetField("ID", std::to_string(id)) &&
                cursor.SetField("data", "01/02/2004") && cursor.Update();
        cursor.Flush();
    }
    ASSERT_EQ(sink.entries.size(), 1u) << sink.lastText();
    EXPECT_TRUE(db().ConnectionLost());
    EXPECT_TRUE(db().LastError().connectionLost);
    EXPECT_EQ(db().LastError().text + "\n\n" + kConnectionLostNote, sink.lastText());
    EXPECT_FALSE(db().IsOpen());
    EXPECT_FALSE(db().BeginTrans());
    // Work asked later is refused aloud.
    TransactionGuard guard(&db());
    EXPECT_FALSE(guard.IsActive());
    ASSERT_EQ(sink.entries.size(), 2u);
    EXPECT_EQ(sink.lastText(), std::string("Errore in fase di avvio della transazione\n\n") + kConnectionLostNote);
    sink.entries.pop_back();
    SelectCursor after(&db());
    after.AddField("conkal", "ID", SqlType::Integer);
    after.SetFrom("conkal");
    EXPECT_FALSE(after.Execute());
    EXPECT_EQ(sink.entries.size(), 1u) << sink.lastText();
    EXPECT_EQ(rawCount("conkal"), 0);
}

INSTANTIATE_TEST_SUITE_P(Postgres, DbLostConnection, ::testing::Values(Backend::PostgresOdbc), backendParamName);

} // namespace
} // namespace korvan::test
