// Several operators on one database, as real processes: korvan-batch
// children against a run browser on a connection of the test's own. Work
// on another contract runs while a browser is open; a contract (or the
// database) in use is refused at once, naming who holds it on PostgreSQL,
// or waited for with --wait; a client killed while it holds a lock frees
// it; a SQLite file keeps one writer at a time, held only while writing,
// and a wait in the desktop never freezes it.

#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "batch/BatchProcess.h"
#include "core/LockWaiting.h"
#include "db/DbConnection.h"
#include "db/Values.h"
#include "lines/LineExtraction.h"
#include "runs/BrowserTransaction.h"
#include "runs/RunAccounting.h"
#include "runs/RunListLoader.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <memory>
#include <string>
#include <vector>

namespace korvan::batch {
namespace {

using korvan::test::BatchChild;
using korvan::test::BatchDbTest;
using korvan::test::BatchRun;
using korvan::test::progressReached;
using korvan::test::RecordingFeedback;
using korvan::test::RecordingMessageSink;
using Arguments = std::vector<std::string>;

constexpr int kAuthorityA = 10;
constexpr int kAuthorityB = 20;
constexpr int kCompany = 3;
// Run IDs of contract B start here.
constexpr long kFirstRunB = 100001;

const std::string kGenerationInsert = "Inserimento Giorni Effettuazione Corse";
const std::string kExtractionInsert = "Inserimento Informazioni Linee Normalizzate";
const std::string kFileInUse = "ATTENZIONE: la base dati è in uso per un'altra operazione (un solo operatore alla "
                               "volta vi scrive).";

// A run browser on a connection of its own, as a colleague's KORVAN has it.
struct Browser {
    RecordingMessageSink sink;
    std::unique_ptr<DbConnection> connection;
    std::unique_ptr<runs::BrowserTransaction> transaction;
};

// Stops asking to wait after `patience` questions, as a user pressing
// "Interrompi" would.
class ImpatientFeedback : public RecordingFeedback {
  public:
    explicit ImpatientFeedback(int patience) : patience_(patience) {}
    bool stopRequested() override { return ++asked > patience_; }
    int asked = 0;

  private:
    int patience_;
};

class BatchLocks : public BatchDbTest {
  protected:
    // Contract A (authority 10, company 3) with the runs of a long
    // generation and contract B (authority 20) with 50, every day of March
    // to May 2004 scheduled; the lines extracted, both assigned, A's days
    // generated (so that the browser lists its runs).
    void SetUp() override
    {
        BatchDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addAuthority(kAuthorityA, "Regione");
        addAuthority(kAuthorityB, "Provincia");
        addCompany(kCompany, "Autolinee");
        addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
        addRuns(1, isPostgres() ? 1000 : 3000, kAuthorityA, "L");
        addRuns(kFirstRunB, kFirstRunB + 49, kAuthorityB, "B");
        ASSERT_TRUE(lines::extractNormalizedLines(connection.get(), sink, feedback).completed) << sink.lastText();
        for (int authority : {kAuthorityA, kAuthorityB}) {
            accounting::AssignmentRequest assignment;
            assignment.contractAuthority = authority;
            assignment.contractCompany = kCompany;
            assignment.euroPerKm = 1.0;
            ASSERT_TRUE(accounting::runContractAssignment(connection.get(), assignment, sink, feedback).completed);
        }
        ASSERT_TRUE(accounting::generateServiceDays(
                        connection.get(), {kAuthorityA, kCompany, {2004, 3, 1}, {2004, 5, 31}}, sink, feedback)
                        .completed);
        sink.clear();
    }

    // Runs first..last of `authority`, line codes prefix + 0..49, scheduled
    // every day of March to May when asked.
    void addRuns(long first, long last, int authority, const std::string& prefix, bool scheduled = true)
    {
        const std::string series =
            formatText("WITH RECURSIVE s(g) AS (SELECT %ld UNION ALL SELECT g + 1 FROM s WHERE g < %ld)", first, last);
        exec("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, lung, hh_p, mm_p, hh_a, mm_a) " + series +
             formatText(" SELECT %d, g, %d, '%s' || (g %% 50), 'C' || g, 1000 + g %% 700, 8, 0, 9, 0 FROM s", kCompany,
                        authority, prefix.c_str()));
        if (scheduled)
            exec("INSERT INTO mesi (azienda, ID, protoc, anno, mese, giorni) " + series +
                 ", m(n) AS (SELECT 3 UNION ALL SELECT n + 1 FROM m WHERE n < 5) " +
                 formatText("SELECT %d, g, 1, 2004, n, '%s' FROM s, m", kCompany, std::string(31, 'S').c_str()));
    }

    // The subcommand on the fixture's database, then the rest.
    Arguments command(const std::string& subcommand, const Arguments& arguments) const
    {
        Arguments all{subcommand};
        if (isPostgres())
            all.insert(all.end(), {"--dsn", dataSource()});
        else
            all.insert(all.end(), {"--db", database->sqlitePath()});
        all.insert(all.end(), arguments.begin(), arguments.end());
        return all;
    }
    BatchRun run(const Arguments& arguments) { return korvan::test::runBatchProgram(arguments, dir.path()); }

    static Arguments generation(int authority, const Arguments& more = {})
    {
        Arguments arguments{"--authority", std::to_string(authority),
                            "--company",   std::to_string(kCompany),
                            "--period",    "01/03/2004",
                            "31/05/2004",  "--yes"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }
    static Arguments assignment(int authority, const Arguments& more = {})
    {
        Arguments arguments{
            "--authority", std::to_string(authority), "--company", std::to_string(kCompany), "--euro-km", "2,5",
            "--yes"};
        arguments.insert(arguments.end(), more.begin(), more.end());
        return arguments;
    }

    std::unique_ptr<DbConnection> openSecond(MessageSink& otherSink) const
    {
        if (!isPostgres())
            return DbConnection::openSqlite(database->sqlitePath(), 25, 1, otherSink);
        std::string driver;
        return DbConnection::openOdbc(dataSource(), driver, 25, 1, otherSink);
    }

    // A browser open on contract A; with `pending`, run 1 re-financed and
    // not yet kept.
    std::unique_ptr<Browser> openBrowser(bool pending)
    {
        auto browser = std::make_unique<Browser>();
        browser->connection = openSecond(browser->sink);
        browser->transaction = std::make_unique<runs::BrowserTransaction>(browser->connection.get(), browser->sink);
        EXPECT_TRUE(browser->transaction->open());
        browser->transaction->setContract(kAuthorityA, kCompany);
        const int line = static_cast<int>(
            parseIntegerText(raw->queryText("SELECT linea FROM conline WHERE azienda = 3 AND ID = 1")));
        runs::RunListModel model = runs::loadRunList(browser->connection.get(), {kAuthorityA, kCompany, line});
        EXPECT_NE(model.findRun(1), nullptr);
        if (pending && model.findRun(1)) {
            EXPECT_TRUE(browser->transaction->readyForChanges()) << browser->sink.lastText();
            runs::RunAccountingChange change;
            change.minimumService = true;
            change.value = 99;
            RecordingFeedback silent;
            EXPECT_TRUE(runs::applyRunAccounting(browser->connection.get(), model, *model.findRun(1), change, silent))
                << browser->sink.lastText();
        }
        return browser;
    }

    std::string storedAmountOfRunOne()
    {
        return raw->queryText("SELECT euro FROM concors WHERE azienda = 3 AND ID = 1");
    }

    // The command started with its standard error on a terminal and
    // stopped (SIGSTOP) once it shows `banner`: it holds its lock until it
    // goes on (SIGCONT) or is killed.
    std::unique_ptr<BatchChild> stoppedWhileWorking(const Arguments& arguments, const std::string& banner)
    {
        auto child = std::make_unique<BatchChild>(arguments, korvan::test::ChildOptions{.errorOnTerminal = true});
        EXPECT_TRUE(child->started());
        EXPECT_TRUE(child->readUntil([&banner](const std::string& err) { return progressReached(err, banner, 1); }))
            << "the command ended before it was caught at work";
        child->signal(SIGSTOP);
        return child;
    }
    static void expectCompletes(BatchChild& child)
    {
        child.signal(SIGCONT);
        const BatchRun finished = child.finish();
        EXPECT_EQ(finished.status, 0) << finished.err;
    }
};

TEST_P(BatchLocks, WorkOnAnotherContractRunsWhileABrowserIsOpen)
{
    for (const bool pending : {false, true}) {
        SCOPED_TRACE(pending ? "with pending changes" : "without pending changes");
        const std::string stored = storedAmountOfRunOne();
        std::unique_ptr<Browser> browser = openBrowser(pending);
        // A file has one writer: the browser's pending changes hold it.
        const bool refused = !isPostgres() && pending;
        // The two commands work on one contract: they take turns.
        const Arguments wait = refused ? Arguments{} : Arguments{"--wait", "300"};
        BatchChild assign(command("assign", assignment(kAuthorityB, wait)));
        BatchChild generate(command("generate-days", generation(kAuthorityB, wait)));
        const BatchRun assigned = assign.finish();
        const BatchRun generated = generate.finish();
        for (const BatchRun* done : {&assigned, &generated}) {
            EXPECT_EQ(done->status, refused ? 1 : 0) << done->err;
            if (refused) {
                EXPECT_EQ(done->err.rfind(kFileInUse, 0), 0u) << done->err;
            }
        }
        if (!refused) {
            EXPECT_EQ(count("conkal", "azienda = 3 AND ID >= 100001"), 50 * 92);
        }
        // The pending change stays invisible to the others until kept.
        EXPECT_EQ(storedAmountOfRunOne(), stored);
        ASSERT_TRUE(browser->transaction->finish()) << browser->sink.lastText();
        if (pending) {
            EXPECT_EQ(parseDecimalText(storedAmountOfRunOne()), 99);
        }
        EXPECT_TRUE(browser->sink.empty()) << browser->sink.lastText();
    }
}

TEST_P(BatchLocks, APendingChangeRefusesWorkOnItsContractAtOnceNamingTheHolder)
{
    if (!isPostgres())
        GTEST_SKIP() << "a file cannot tell who holds its writer lock";
    std::unique_ptr<Browser> browser = openBrowser(true);
    const BatchRun refused = run(command("generate-days", generation(kAuthorityA)));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(refused.err.rfind("ATTENZIONE: il contratto di servizio ente 0010, azienda 0003 è in uso: un altro "
                                "operatore ne ha variato le corse e non ha ancora registrato le variazioni.\n\n"
                                "In uso da:\n- " +
                                    clientApplicationName() + " (utente postgres, indirizzo 127.0.0.1), collegato dal ",
                                0),
              0u)
        << refused.err;
    EXPECT_NE(refused.err.find(", con variazioni in sospeso\n\nOccorre attendere che l'altro operatore registri o "
                               "annulli le variazioni (\"Aggiorna Vista\", \"Ripristina\" o \"Fine\""),
              std::string::npos)
        << refused.err;

    // The desktop does not wait for a colleague's pending changes either:
    // the refusal comes at the first question, with the same text.
    RecordingMessageSink desktopSink;
    std::unique_ptr<DbConnection> desktop = openSecond(desktopSink);
    ImpatientFeedback desktopFeedback(1000);
    FeedbackLockWaiter waiter(desktopFeedback, LockWaitPolicy{});
    desktop->SetLockWaiter(&waiter);
    EXPECT_FALSE(accounting::generateServiceDays(desktop.get(), {kAuthorityA, kCompany, {2004, 3, 1}, {2004, 3, 31}},
                                                 desktopSink, desktopFeedback)
                     .completed);
    EXPECT_EQ(desktopFeedback.asked, 0) << "no wait: the user was never asked whether to stop";
    EXPECT_EQ(desktopSink.lastText().rfind("ATTENZIONE: il contratto di servizio ente 0010, azienda 0003 è in uso", 0),
              0u)
        << desktopSink.lastText();

    // Kept, the contract is free again.
    ASSERT_TRUE(browser->transaction->keepAndContinue());
    const BatchRun again = run(command("generate-days", generation(kAuthorityA)));
    EXPECT_EQ(again.status, 0) << again.err;
}

TEST_P(BatchLocks, AContractOperationAtWorkExcludesTheExtraction)
{
    std::unique_ptr<BatchChild> generating =
        stoppedWhileWorking(command("generate-days", generation(kAuthorityA)), kGenerationInsert);
    const BatchRun extraction = run(command("extract-lines", {"--yes"}));
    EXPECT_EQ(extraction.status, 1);
    if (isPostgres()) {
        EXPECT_EQ(extraction.err.rfind("ATTENZIONE: la base dati è in uso: altri operatori lavorano sui contratti di "
                                       "servizio",
                                       0),
                  0u)
            << extraction.err;
        EXPECT_NE(extraction.err.find("- korvan-batch generate-days "), std::string::npos) << extraction.err;
        EXPECT_NE(extraction.err.find(", sul contratto ente 0010, azienda 0003\n"), std::string::npos)
            << extraction.err;
    } else {
        EXPECT_EQ(extraction.err.rfind(kFileInUse, 0), 0u) << extraction.err;
    }
    expectCompletes(*generating);
}

TEST_P(BatchLocks, AnExtractionAtWorkExcludesContractWork)
{
    // Enough runs for the extraction to be caught at work.
    addRuns(200001, isPostgres() ? 230000 : 400000, 30, "X", false);
    std::unique_ptr<BatchChild> extracting =
        stoppedWhileWorking(command("extract-lines", {"--yes", "--rowset", "5"}), kExtractionInsert);
    const BatchRun generation = run(command("generate-days", BatchLocks::generation(kAuthorityB)));
    EXPECT_EQ(generation.status, 1);
    EXPECT_EQ(generation.err.rfind(isPostgres() ? "ATTENZIONE: la base dati è in uso per l'estrazione o la modifica "
                                                  "delle linee normalizzate, che escludono ogni altra operazione."
                                                : kFileInUse,
                                   0),
              0u)
        << generation.err;
    if (isPostgres()) {
        EXPECT_NE(generation.err.find("- korvan-batch extract-lines "), std::string::npos) << generation.err;
    }
    expectCompletes(*extracting);
}

TEST_P(BatchLocks, OperationsOnTheSameContractTakeTurnsOnlyWhenAskedToWait)
{
    std::unique_ptr<BatchChild> generating =
        stoppedWhileWorking(command("generate-days", generation(kAuthorityA)), kGenerationInsert);
    const BatchRun refused = run(command("assign", assignment(kAuthorityA)));
    EXPECT_EQ(refused.status, 1);
    EXPECT_EQ(refused.err.rfind(isPostgres() ? "ATTENZIONE: il contratto di servizio ente 0010, azienda 0003 è in uso "
                                               "per un'altra operazione.\n\nIn uso da:\n- korvan-batch generate-days "
                                             : kFileInUse,
                                0),
              0u)
        << refused.err;
    // With --wait the assignment waits for the generation to end.
    BatchChild waiting(command("assign", assignment(kAuthorityA, {"--wait", "300"})));
    expectCompletes(*generating);
    const BatchRun waited = waiting.finish();
    EXPECT_EQ(waited.status, 0) << waited.err;
    EXPECT_EQ(count("concors", "azienda = 3 AND ID <= 1000 AND euro > 2"), 1000) << "the assignment ran";
}

TEST_P(BatchLocks, AClientKilledWhileItHoldsAContractFreesIt)
{
    std::unique_ptr<BatchChild> generating =
        stoppedWhileWorking(command("generate-days", generation(kAuthorityA)), kGenerationInsert);
    generating->signal(SIGKILL);
    EXPECT_EQ(generating->finish().status, 128 + SIGKILL);
    // The server (or the file's lock) lets the next one in once it has seen
    // the client go.
    const BatchRun next = run(command("generate-days", generation(kAuthorityA, {"--wait", "60"})));
    EXPECT_EQ(next.status, 0) << next.err;
}

TEST_P(BatchLocks, TheDesktopWaitsWithTheClockAndStopsWhenAsked)
{
    std::unique_ptr<BatchChild> generating =
        stoppedWhileWorking(command("generate-days", generation(kAuthorityA)), kGenerationInsert);
    RecordingMessageSink desktopSink;
    std::unique_ptr<DbConnection> desktop = openSecond(desktopSink);
    ImpatientFeedback desktopFeedback(3);
    LockWaitPolicy policy;
    policy.offerAfterMilliseconds = 0;
    FeedbackLockWaiter waiter(desktopFeedback, policy);
    desktop->SetLockWaiter(&waiter);
    // A file has one writer: contract B waits too; on the server, A.
    const int authority = isPostgres() ? kAuthorityA : kAuthorityB;
    EXPECT_FALSE(accounting::generateServiceDays(desktop.get(), {authority, kCompany, {2004, 3, 1}, {2004, 3, 31}},
                                                 desktopSink, desktopFeedback)
                     .completed);
    EXPECT_GE(desktopFeedback.asked, 4) << "asked between short waits until the user stopped";
    EXPECT_EQ(desktopFeedback.busyCalls.back(), true) << "the wait cursor and the clock";
    ASSERT_FALSE(desktopFeedback.banners.empty());
    EXPECT_EQ(desktopFeedback.banners.front().rfind("In attesa d", 0), 0u) << desktopFeedback.banners.front();
    EXPECT_EQ(desktopSink.entries.size(), 1u);
    EXPECT_EQ(desktopSink.lastText().rfind(isPostgres() ? "ATTENZIONE: il contratto di servizio ente 0010, azienda "
                                                          "0003 è in uso per un'altra operazione."
                                                        : kFileInUse,
                                           0),
              0u)
        << desktopSink.lastText();
    EXPECT_FALSE(desktop->InTransaction());
    expectCompletes(*generating);
}

KORVAN_BATCH_BACKENDS(BatchLocks);

} // namespace
} // namespace korvan::batch
