// The file back end opens a runs database as it is: korvan-batch list reads a
// file it cannot write, no command changes the journal mode of the file, and
// the write commands refuse a read-only file with a clear message.

#include "DemoNetwork.h"
#include "DemoSqliteWriter.h"
#include "SchemaCreator.h"
#include "batch/BatchProcess.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvan::batch {
namespace {

using korvan::test::BatchChild;
using korvan::test::BatchRun;
using korvan::test::TempDir;

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// The user that cannot write a file of root's: root itself writes anything.
long unprivilegedUser()
{
    return geteuid() == 0 ? 65534 : -1;
}

class BatchFileModes : public ::testing::Test {
  protected:
    void SetUp() override
    {
        std::string error;
        ASSERT_TRUE(demo::writeSqliteFile(demo::generateNetwork({.runs = 100}), path(), error)) << error;
    }

    std::string path() const { return dir.file("share/runs.sqlite"); }
    std::string journalMode()
    {
        auto raw = tools::RawDatabase::sqliteFile(path());
        return raw.queryText("PRAGMA journal_mode");
    }
    void setJournalMode(const std::string& mode)
    {
        auto raw = tools::RawDatabase::sqliteFile(path());
        ASSERT_EQ(raw.queryText("PRAGMA journal_mode=" + mode), mode);
    }
    // The folder and the file readable by everyone and writable by nobody.
    void makeReadOnly()
    {
        chmod(dir.path().c_str(), 0755);
        chmod(path().c_str(), 0444);
        chmod(dir.file("share").c_str(), 0555);
    }
    void makeWritable() { chmod(dir.file("share").c_str(), 0755), chmod(path().c_str(), 0644); }
    void TearDown() override { makeWritable(); }

    TempDir dir{};
    struct Share {
        explicit Share(const std::string& folder) { std::filesystem::create_directories(folder); }
    } share{dir.file("share")};
};

TEST_F(BatchFileModes, ListReadsAFileThatCannotBeWrittenAndChangesNothing)
{
    for (const std::string mode : {"delete", "wal"}) {
        makeWritable();
        setJournalMode(mode);
        const BatchRun writable = korvan::test::runBatchProgram({"list", "authorities", "--db", path()}, dir.path());
        ASSERT_EQ(writable.status, 0) << writable.err;
        ASSERT_NE(writable.out, "");
        EXPECT_EQ(journalMode(), mode);

        // A write-ahead log needs its shared memory beside the file: the
        // folder cannot hold it either.
        const std::string bytes = fileBytes(path());
        makeReadOnly();
        BatchChild child({"list", "authorities", "--db", path()}, {.user = unprivilegedUser()});
        const BatchRun run = child.finish();
        EXPECT_EQ(run.status, 0) << mode << ": " << run.err;
        EXPECT_EQ(run.out, writable.out);
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(fileBytes(path()), bytes);
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.file("share")), {}), 1);
        makeWritable();
        EXPECT_EQ(journalMode(), mode);
    }
}

TEST_F(BatchFileModes, WriteCommandOnAReadOnlyFileIsRefusedAndChangesNothing)
{
    const std::string bytes = fileBytes(path());
    makeReadOnly();
    BatchChild child({"extract-lines", "--db", path(), "--yes"}, {.user = unprivilegedUser()});
    const BatchRun run = child.finish();
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.err, "Errore in fase di avvio della transazione\n\nLa base dati è aperta in sola lettura: nessuna "
                       "modifica è possibile.\n");
    EXPECT_EQ(fileBytes(path()), bytes);
}

TEST_F(BatchFileModes, OperationsKeepTheJournalModeOfTheFile)
{
    for (const std::string mode : {"delete", "wal"}) {
        setJournalMode(mode);
        const BatchRun list = korvan::test::runBatchProgram({"list", "authorities", "--db", path()}, dir.path());
        EXPECT_EQ(list.status, 0) << list.err;
        const BatchRun extract = korvan::test::runBatchProgram({"extract-lines", "--db", path(), "--yes"}, dir.path());
        EXPECT_EQ(extract.status, 0) << extract.err;
        EXPECT_EQ(journalMode(), mode);
    }
}

TEST_F(BatchFileModes, EmptyFileIsRefusedAndStaysEmpty)
{
    const std::string empty = dir.file("share/empty.sqlite");
    std::ofstream(empty).close();
    for (const char* command : {"list", "extract-lines"}) {
        const BatchRun run = korvan::test::runBatchProgram(
            std::string(command) == "list" ? std::vector<std::string>{"list", "authorities", "--db", empty}
                                           : std::vector<std::string>{"extract-lines", "--db", empty, "--yes"},
            dir.path());
        EXPECT_EQ(run.status, 1);
        EXPECT_EQ(run.err, "Errore in fase di apertura del database\n\nIl file non contiene alcuna tabella: non è "
                           "una base dati delle corse.\n");
        EXPECT_EQ(std::filesystem::file_size(empty), 0u);
    }
}

} // namespace
} // namespace korvan::batch
