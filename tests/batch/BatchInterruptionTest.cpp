// korvan-batch interrupted in the middle of an operation (SIGKILL, SIGTERM,
// SIGINT), run twice at once, and starved of disk: every table stays as it
// was, a stop asked by a signal is told in one message with exit status 1,
// and running the operation again gives the result of an uninterrupted run.

#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "batch/BatchProcess.h"
#include "db/Values.h"
#include "lines/LineExtraction.h"

#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <functional>

namespace korvan::batch {
namespace {

using korvan::test::accountingSnapshot;
using korvan::test::BatchChild;
using korvan::test::BatchDbTest;
using korvan::test::BatchRun;
using korvan::test::ChildOptions;
using korvan::test::progressReached;
using Snapshot = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kPayer = 40;

const std::string kGenerationInsert = "Inserimento Giorni Effettuazione Corse";
const std::string kExtractionInsert = "Inserimento Informazioni Linee Normalizzate";

class BatchInterruption : public BatchDbTest {
  protected:
    // A contract of `runs` runs (line codes L0 to L49), the first
    // `scheduledRuns` of them scheduled every day of March and April 2004, its lines extracted and named, its runs
    // assigned, its days generated with two days of every tenth run paid by
    // another authority, and May scheduled since: the state each interrupted
    // operation must leave as it was.
    void buildState(long runs, long scheduledRuns)
    {
        std::string error;
        ASSERT_TRUE(tools::createTables(*raw, true, error)) << error;
        addAuthority(kAuthority, "Regione");
        addAuthority(kPayer, "Provincia");
        addCompany(kCompany, "Autolinee");
        addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
        const std::string series =
            formatText("WITH RECURSIVE s(g) AS (SELECT 1 UNION ALL SELECT g + 1 FROM s WHERE g < %ld)", runs);
        exec("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, lung, hh_p, mm_p, hh_a, mm_a) " + series +
             " SELECT 3, g, 10, 'L' || (g % 50), 'C' || g, 1000 + g % 700, 8, 0, 9, 0 FROM s");
        const std::string months = "INSERT INTO mesi (azienda, ID, protoc, anno, mese, giorni) " + series +
                                   ", m(n) AS (SELECT %d UNION ALL SELECT n + 1 FROM m WHERE n < %d) "
                                   "SELECT 3, g, 1, 2004, n, '" +
                                   std::string(31, 'S') + "' FROM s, m WHERE g <= " + std::to_string(scheduledRuns);
        exec(formatText(months.c_str(), 3, 4));
        ASSERT_TRUE(lines::extractNormalizedLines(connection.get(), sink, feedback).completed) << sink.lastText();
        exec("UPDATE linee SET denom = 'Linea ' || linea");
        accounting::AssignmentRequest assignment;
        assignment.contractAuthority = kAuthority;
        assignment.contractCompany = kCompany;
        assignment.euroPerKm = 1.0;
        ASSERT_TRUE(accounting::runContractAssignment(connection.get(), assignment, sink, feedback).completed);
        ASSERT_TRUE(accounting::generateServiceDays(connection.get(),
                                                    {kAuthority, kCompany, {2004, 3, 1}, {2004, 3, 31}}, sink, feedback)
                        .completed);
        exec("UPDATE conkal SET ente = 40, minima = 0, euro = 7.25 WHERE ID % 10 = 7 AND data IN ('2004-03-02', "
             "'2004-03-09')");
        // May is scheduled after the days were generated.
        exec(formatText(months.c_str(), 5, 5));
        sink.clear();
    }

    // The program on the fixture database, rowset `rowset`.
    std::vector<std::string> command(const std::string& subcommand, std::vector<std::string> arguments)
    {
        std::vector<std::string> all{subcommand};
        if (isPostgres())
            all.insert(all.end(), {"--dsn", dataSource()});
        else
            all.insert(all.end(), {"--db", dir.file("runs.db")});
        all.insert(all.end(), arguments.begin(), arguments.end());
        return all;
    }

    // Builds the state, runs the command to the end (the uninterrupted
    // result), builds the state again, interrupts the command with `signal`
    // once `working` holds (it sees the child's terminal), checks that every
    // table is as before, and runs it again to the uninterrupted result.
    // Returns the interrupted run.
    BatchRun interruptAndRerun(long runs, long scheduledRuns, const std::vector<std::string>& arguments,
                               const std::function<bool(const std::string&)>& working, int signal)
    {
        buildState(runs, scheduledRuns);
        if (HasFatalFailure())
            return {};
        const BatchRun whole = korvan::test::runBatchProgram(arguments, dir.path());
        EXPECT_EQ(whole.status, 0) << whole.err;
        const Snapshot expected = accountingSnapshot(connection.get());

        buildState(runs, scheduledRuns);
        if (HasFatalFailure())
            return {};
        const Snapshot before = accountingSnapshot(connection.get());
        EXPECT_NE(before, expected);
        BatchChild child(arguments, {.errorOnTerminal = true});
        EXPECT_TRUE(child.started());
        EXPECT_TRUE(child.readUntil(working)) << "the operation ended before it was interrupted";
        child.signal(signal);
        const BatchRun interrupted = child.finish();
        EXPECT_TRUE(accountingSnapshot(connection.get()) == before)
            << "the interrupted operation changed the tables; it ended with " << interrupted.status << "\n"
            << interrupted.err;

        const BatchRun again = korvan::test::runBatchProgram(arguments, dir.path());
        EXPECT_EQ(again.status, 0) << again.err;
        EXPECT_TRUE(accountingSnapshot(connection.get()) == expected);
        return interrupted;
    }

    // The one message after the progress lines of the terminal.
    static std::string messageAfterProgress(const std::string& terminalText)
    {
        const size_t at = terminalText.find("Interruzione");
        return at == std::string::npos ? terminalText : terminalText.substr(at);
    }

    long scaled(long sqliteRuns, long postgresRuns) const { return isPostgres() ? postgresRuns : sqliteRuns; }

    static std::function<bool(const std::string&)> progressOf(const std::string& banner, int percent)
    {
        return [banner, percent](const std::string& err) { return progressReached(err, banner, percent); };
    }

    // The child has begun changing `table`: its first change opens the
    // file's rollback journal, or takes a lock on the table that its
    // session keeps until the transaction ends.
    std::function<bool(const std::string&)> changing(const std::string& table)
    {
        return [this, table](const std::string&) {
            if (!isPostgres())
                return std::filesystem::exists(dir.file("runs.db-journal"));
            return raw->queryText("SELECT COUNT(*) FROM pg_locks l JOIN pg_class c ON c.oid = l.relation "
                                  "WHERE c.relname = '" +
                                  table + "' AND l.mode = 'RowExclusiveLock' AND l.pid <> pg_backend_pid()") != "0";
        };
    }
};

TEST_P(BatchInterruption, KilledCalendarGenerationLeavesEveryTableAsItWas)
{
    const BatchRun run = interruptAndRerun(scaled(3000, 1000), scaled(3000, 1000),
                                           command("generate-days", {"--authority", "10", "--company", "3", "--period",
                                                                     "01/03/2004", "31/05/2004", "--yes"}),
                                           progressOf(kGenerationInsert, 20), SIGKILL);
    EXPECT_EQ(run.status, 128 + SIGKILL);
}

TEST_P(BatchInterruption, TerminatedExtractionLeavesEveryTableAsItWasAndSaysSo)
{
    const BatchRun run =
        interruptAndRerun(scaled(200000, 30000), 10, command("extract-lines", {"--yes", "--rowset", "5"}),
                          progressOf(kExtractionInsert, 1), SIGTERM);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(messageAfterProgress(run.err),
              "Interruzione in fase di " + kExtractionInsert +
                  "\r\n\r\nOperazione annullata: nessuna modifica è stata registrata.\r\n");
    EXPECT_EQ(run.out, "");
}

TEST_P(BatchInterruption, InterruptedAssignmentLeavesEveryTableAsItWasAndSaysSo)
{
    // The assignment shows no progress: it is interrupted once it writes.
    const BatchRun run =
        interruptAndRerun(scaled(200000, 5000), 10,
                          command("assign", {"--authority", "10", "--company", "3", "--euro-km", "2,5", "--yes"}),
                          changing("concors"), SIGINT);
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(messageAfterProgress(run.err),
              "Interruzione dell'operazione\r\n\r\nOperazione annullata: nessuna modifica è stata registrata.\r\n");
}

TEST_P(BatchInterruption, TwoGenerationsOfOneContractAtOnceKeepEverySplit)
{
    const long runs = scaled(3000, 1000);
    const std::vector<std::string> arguments = command(
        "generate-days", {"--authority", "10", "--company", "3", "--period", "01/03/2004", "31/05/2004", "--yes"});
    buildState(runs, runs);
    ASSERT_EQ(korvan::test::runBatchProgram(arguments, dir.path()).status, 0);
    const Snapshot expected = accountingSnapshot(connection.get());

    // The second starts while the first has deleted part of the days it
    // regenerates (as far as another session can see), or while it inserts.
    buildState(runs, runs);
    const long days = count("conkal");
    BatchChild first(arguments, {.errorOnTerminal = true});
    EXPECT_TRUE(first.readUntil([&](const std::string& err) {
        return progressReached(err, kGenerationInsert, 1) ||
               (err.find("Eliminazione Giorni Effettuazione Esistenti") != err.npos && count("conkal") < days / 5);
    }));
    std::vector<std::string> waiting = arguments;
    waiting.insert(waiting.end(), {"--wait", "300"});
    BatchChild second(waiting);
    const BatchRun firstRun = first.finish();
    const BatchRun secondRun = second.finish();
    // The second waits for the first (--wait), then finds the days the first
    // wrote.
    EXPECT_EQ(firstRun.status, 0) << firstRun.err;
    EXPECT_EQ(secondRun.status, 0) << secondRun.err;
    EXPECT_EQ(count("conkal", "ente = 40 AND minima = 0"), 2 * runs / 10);
    EXPECT_TRUE(accountingSnapshot(connection.get()) == expected);
}

KORVAN_BATCH_BACKENDS(BatchInterruption);

// The file back end on a disk that fills up in the middle of a generation:
// one message, exit status 1, the file as it was.
class BatchFullDisk : public BatchInterruption {};

TEST_P(BatchFullDisk, GenerationOnAFullDiskLeavesTheFileAsItWas)
{
    buildState(3000, 3000);
    const Snapshot before = accountingSnapshot(connection.get());
    const auto size = static_cast<long>(std::filesystem::file_size(dir.file("runs.db")));
    BatchChild child(command("generate-days",
                             {"--authority", "10", "--company", "3", "--period", "01/03/2004", "31/05/2004", "--yes"}),
                     {.fileSizeLimit = size + 65536});
    const BatchRun run = child.finish();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err.rfind("Errore", 0), 0u) << run.err;
    EXPECT_EQ(run.err.find("Errore", 1), std::string::npos) << run.err;
    EXPECT_NE(run.err.find("Operazione annullata: nessuna modifica è stata registrata."), std::string::npos) << run.err;
    EXPECT_TRUE(accountingSnapshot(connection.get()) == before);
    EXPECT_EQ(raw->queryText("PRAGMA integrity_check"), "ok");
}

INSTANTIATE_TEST_SUITE_P(File, BatchFullDisk, ::testing::Values(::korvan::test::Backend::SqliteFile),
                         ::korvan::test::backendParamName);

} // namespace
} // namespace korvan::batch
