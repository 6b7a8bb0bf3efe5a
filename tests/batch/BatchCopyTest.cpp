// korvan-batch copy as a user runs it: its command line, the report of a
// copy on standard output, and its refusals on standard error with exit
// status 1 and no target, on the demo database and the real JET files.

#include "batch/BatchFixture.h"

#include "DemoNetwork.h"
#include "DemoSqliteWriter.h"
#include "support/SharedData.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace korvan::test {
namespace {

namespace fs = std::filesystem;

class BatchCopy : public ::testing::Test {
  protected:
    BatchRun copy(const std::vector<std::string>& arguments)
    {
        std::vector<std::string> all{"copy"};
        all.insert(all.end(), arguments.begin(), arguments.end());
        return runBatchProgram(all, dir.path());
    }
    std::vector<std::string> files() const
    {
        std::vector<std::string> names;
        // Besides what the program's output was kept in.
        for (const auto& entry : fs::directory_iterator(dir.path()))
            if (entry.path().filename() != "batch.out" && entry.path().filename() != "batch.err")
                names.push_back(entry.path().filename().string());
        std::sort(names.begin(), names.end());
        return names;
    }
    TempDir dir;
};

TEST_F(BatchCopy, WrongCommandLinesExitTwo)
{
    const std::vector<std::vector<std::string>> cases = {
        {"--db", "new.sqlite"},
        {"--from-db", "a.sqlite", "--from-jet", "b.mdb", "--db", "new.sqlite"},
        {"--from-db", "a.sqlite"},
        {"--from-db", "a.sqlite", "--db", "new.sqlite", "--dsn", "korvan_pg"},
        {"--from-jet", "b.mdb", "--db", "new.sqlite", "--tables", " , "},
        {"--from-jet", "b.mdb", "--db", "new.sqlite", "--authority", "1"},
    };
    for (const auto& arguments : cases) {
        const BatchRun run = copy(arguments);
        EXPECT_EQ(run.status, 2) << arguments.size() << " " << run.err;
        EXPECT_NE(run.err.find("Usage: korvan-batch copy"), std::string::npos) << run.err;
    }
    EXPECT_TRUE(files().empty());
}

TEST_F(BatchCopy, ADemoDatabaseIsCopiedAndTheReportPrinted)
{
    std::string error;
    ASSERT_TRUE(demo::writeSqliteFile(demo::generateNetwork({100, 2025}), dir.file("demo.sqlite"), error)) << error;
    const BatchRun run = copy({"--from-db", dir.file("demo.sqlite"), "--db", dir.file("copia.sqlite")});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Sorgente: il file " + dir.file("demo.sqlite") + "\nDestinazione: il file " +
                           dir.file("copia.sqlite") + "\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("Copia completata e verificata: 14 tavole"), std::string::npos) << run.out;
    EXPECT_EQ(files(), (std::vector<std::string>{"copia.sqlite", "demo.sqlite"}));
    // Once more to the same place: refused, the copy left alone.
    const BatchRun again = copy({"--from-db", dir.file("demo.sqlite"), "--db", dir.file("copia.sqlite")});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("esiste già"), std::string::npos) << again.err;
    EXPECT_EQ(again.out, "");
}

TEST_F(BatchCopy, JetTablesAreCopiedWithNothingButTheReport)
{
    KORVAN_REQUIRE_JET_DATA(folder);
    const BatchRun run = copy(
        {"--from-jet", folder + "/nwind.mdb", "--db", dir.file("nwind.sqlite"), "--tables", "Order Details, Umsätze"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.err, "");
    EXPECT_NE(run.out.find("Order Details                      2155           2155"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Umsätze"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("Copia completata e verificata: 2 tavole, 2985 righe."), std::string::npos) << run.out;
}

TEST_F(BatchCopy, JetRefusalsGoToStandardErrorAndLeaveNoFile)
{
    KORVAN_REQUIRE_JET_DATA(folder);
    struct Case {
        std::vector<std::string> arguments;
        const char* says;
    };
    std::ofstream(dir.file("short.mdb")) << "Standard Jet DB, cut short";
    const std::vector<Case> cases = {
        {{"--from-jet", folder + "/nwind.mdb", "--db", dir.file("runs.sqlite")},
         "Tavole mancanti: regent, regazi, corse"},
        {{"--from-jet", folder + "/DateTestDatabase.mdb", "--db", dir.file("dates.sqlite"), "--tables", "DateTest"},
         "Con --skip-bad-values la copia memorizza NULL"},
        {{"--from-jet", dir.file("short.mdb"), "--db", dir.file("short.sqlite"), "--tables", "Orders"},
         "non è un database JET"},
        {{"--from-jet", folder + "/nwind.mdb", "--db", dir.file("none.sqlite"), "--tables", "Ordini"},
         "Tavole non presenti nella sorgente: Ordini"},
    };
    for (const Case& c : cases) {
        const BatchRun run = copy(c.arguments);
        EXPECT_EQ(run.status, 1) << c.says;
        EXPECT_EQ(run.out, "") << c.says;
        EXPECT_NE(run.err.find(c.says), std::string::npos) << run.err;
    }
    EXPECT_EQ(files(), std::vector<std::string>{"short.mdb"});
}

TEST_F(BatchCopy, SkippedValuesAreListedInTheReport)
{
    KORVAN_REQUIRE_JET_DATA(folder);
    const BatchRun run = copy({"--from-jet", folder + "/DateTestDatabase.mdb", "--db", dir.file("dates.sqlite"),
                               "--tables", "DateTest", "--skip-bad-values"});
    EXPECT_EQ(run.status, 0) << run.err;
    EXPECT_NE(run.out.find("memorizzati come NULL: 6\n"), std::string::npos) << run.out;
    EXPECT_NE(run.out.find("  Tavola (DateTest), riga n. 2, colonna (DateTimeCol): <01/01/9999> La data 01/01/9999 "
                           "è fuori dall'intervallo delle date gestite"),
              std::string::npos)
        << run.out;
}

} // namespace
} // namespace korvan::test
