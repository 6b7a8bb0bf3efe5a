// A process killed while it bulk-inserts into a database file leaves the file
// consistent, with every row it was told had been written.

#include "SchemaCreator.h"
#include "db/DbConnection.h"
#include "db/TableCursor.h"
#include "support/RecordingMessageSink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <random>
#include <string>
#include <thread>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

namespace korvan::test {
namespace {

// The child: inserts conkal rows with IDs 1, 2, 3... in bulk mode and, after
// every stored block, writes the total stored so far to `reportFd`.
[[noreturn]] void insertUntilKilled(const std::string& path, int reportFd)
{
    RecordingMessageSink sink;
    auto connection = DbConnection::openSqlite(path, 25, 1, sink);
    if (!connection->IsOpen())
        _exit(2);
    TableCursor cursor(connection.get(), "conkal", true);
    long total = 0;
    for (long id = 1; id < 50'000'000; ++id) {
        const bool added = cursor.AddNew() && cursor.SetField("azienda", "1") &&
                           cursor.SetField("ID", std::to_string(id)) && cursor.SetField("data", "01/02/2004") &&
                           cursor.SetField("ente", "3") && cursor.SetField("minima", "1") &&
                           cursor.SetField("euro", "12,50") && cursor.Update();
        if (!added)
            _exit(3);
        if (cursor.RowsWritten() > 0) {
            total += cursor.RowsWritten();
            if (write(reportFd, &total, sizeof total) != static_cast<ssize_t>(sizeof total))
                _exit(4);
        }
    }
    _exit(0);
}

TEST(DbCrash, KilledBulkInsertLeavesAConsistentFileWithEveryReportedRow)
{
    std::mt19937 random(std::random_device{}());
    for (int round = 0; round < 3; ++round) {
        TempDir dir;
        const std::string path = dir.file("runs.sqlite");
        {
            auto raw = tools::RawDatabase::sqliteFile(path);
            std::string error;
            ASSERT_TRUE(tools::createTables(raw, false, error, {"conkal"})) << error;
        }
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(fds[0]);
            insertUntilKilled(path, fds[1]);
        }
        close(fds[1]);

        // Wait until the child is writing, then kill it at a random moment.
        long reported = 0;
        ASSERT_EQ(read(fds[0], &reported, sizeof reported), static_cast<ssize_t>(sizeof reported));
        std::this_thread::sleep_for(std::chrono::milliseconds(std::uniform_int_distribution<int>(5, 300)(random)));
        ASSERT_EQ(kill(child, SIGKILL), 0);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the child ended by itself with status " << WEXITSTATUS(status);
        long value = 0;
        while (read(fds[0], &value, sizeof value) == static_cast<ssize_t>(sizeof value))
            reported = value;
        close(fds[0]);

        auto raw = tools::RawDatabase::sqliteFile(path);
        EXPECT_EQ(raw.queryText("PRAGMA integrity_check"), "ok");
        const long present =
            std::stol(raw.queryText("SELECT COUNT(*) FROM conkal WHERE ID <= " + std::to_string(reported)));
        EXPECT_EQ(present, reported) << "round " << round;
        RecordProperty("reported_rows_round_" + std::to_string(round), std::to_string(reported));
        // Blocks are stored whole or not at all.
        const long all = std::stol(raw.queryText("SELECT COUNT(*) FROM conkal"));
        EXPECT_EQ(all % 25, 0) << all;
        EXPECT_GE(all, reported);
    }
}

} // namespace
} // namespace korvan::test
