// korvan-batch command lines: usage errors (exit 2, nothing opened), the
// help of every subcommand, and the readings of weekday lists and time
// bands.

#include "batch/BatchCommands.h"
#include "batch/BatchFixture.h"
#include "batch/BatchOptions.h"
#include "core/Version.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace korvan::batch {
namespace {

using korvan::test::BatchRun;
using korvan::test::runBatchProgram;
using korvan::test::TempDir;

TEST(BatchUsage, WrongCommandLinesExitTwoWithoutOpeningTheDatabase)
{
    TempDir dir;
    const std::string db = dir.file("never.db");
    const std::vector<std::string> contract = {"--db", db, "--authority", "1", "--company", "2"};
    auto with = [&contract](std::vector<std::string> head, std::vector<std::string> tail) {
        head.insert(head.end(), contract.begin(), contract.end());
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"frobnicate", "--db", db},
        {"list", "--db", db},
        {"list", "--db", db, "runs"},
        {"list", "--db", db, "companies"},
        {"list", "--db", db, "authorities", "extra"},
        {"extract-lines"},
        {"extract-lines", "--db", db, "--dsn", "korvan_pg"},
        {"extract-lines", "--db"},
        {"extract-lines", "--db", db, "--rowset", "0"},
        {"extract-lines", "--db", db, "--rowset-blob", "x"},
        {"extract-lines", "--db", db, "--euro-km", "1"},
        {"extract-lines", "--db", db, "--yes", "--yes"},
        {"assign", "--db", db, "--euro-km", "1"},
        with({"assign"}, {}),
        with({"assign"}, {"--euro-km", "1", "--minimum", "--additional", "3"}),
        with({"assign"}, {"--euro-km", "1", "--line", "12", "--band", "8.00-9.00"}),
        with({"assign"}, {"--euro-km", "1", "--weekdays", "Lunedi"}),
        with({"assign"}, {"--euro-km", "1", "--period", "01/01/2004", "--weekdays", "Lunedi"}),
        with({"assign"}, {"--euro-km", "1", "--period", "01/01/2004", "31/01/2004", "--weekdays", "Lun"}),
        with({"assign"}, {"--euro-km", "1", "--mode", "calendar"}),
        with({"generate-days"}, {}),
        with({"generate-days"}, {"--all-contracts", "--period", "01/01/2004", "31/01/2004"}),
        {"generate-days", "--db", db, "--authority", "1", "--period", "01/01/2004", "31/01/2004"},
        with({"remove"}, {}),
        with({"remove"}, {"--mode", "everything"}),
    };
    for (const std::vector<std::string>& arguments : cases) {
        std::string shown;
        for (const std::string& a : arguments)
            shown += a + " ";
        SCOPED_TRACE(shown);
        const BatchRun run = runBatchProgram(arguments, dir.path());
        EXPECT_EQ(run.status, 2);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err.rfind("korvan-batch: ", 0), 0u) << run.err;
        EXPECT_NE(run.err.find("Usage: korvan-batch"), std::string::npos);
        EXPECT_FALSE(std::filesystem::exists(db));
    }
}

TEST(BatchUsage, EverySubcommandHasItsHelp)
{
    TempDir dir;
    for (const std::string subcommand : {"extract-lines", "assign", "generate-days", "remove", "list"}) {
        const BatchRun run = runBatchProgram({subcommand, "--help"}, dir.path());
        EXPECT_EQ(run.status, 0) << subcommand;
        EXPECT_EQ(run.err, "");
        EXPECT_EQ(run.out.rfind("Usage: korvan-batch " + subcommand + " ", 0), 0u) << run.out;
    }
    const BatchRun general = runBatchProgram({"--help"}, dir.path());
    EXPECT_EQ(general.status, 0);
    EXPECT_EQ(general.out, usageText(Command::None));
    const BatchRun shortForm = runBatchProgram({"remove", "-h", "--mode", "bogus"}, dir.path());
    EXPECT_EQ(shortForm.status, 0);
    EXPECT_EQ(shortForm.out, usageText(Command::Remove));
    EXPECT_NE(usageText(Command::Assign).find("--keep-existing"), std::string::npos);
}

TEST(BatchUsage, VersionIsTheProgramsOwn)
{
    TempDir dir;
    for (const std::vector<std::string>& arguments : std::vector<std::vector<std::string>>{
             {"--version"}, {"report", "--version"}, {"list", "--db", "x", "--version"}}) {
        const BatchRun run = runBatchProgram(arguments, dir.path());
        EXPECT_EQ(run.status, 0);
        EXPECT_EQ(run.out, std::string("korvan-batch (KORVAN) ") + programVersion() + "\n");
        EXPECT_EQ(run.err, "");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("x")));
}

TEST(BatchUsage, WeekdayListsUseTheDialogNames)
{
    using Days = std::array<bool, 7>;
    EXPECT_EQ(parseWeekdayList("Lunedi"), (Days{true, false, false, false, false, false, false}));
    EXPECT_EQ(parseWeekdayList("domenica,SABATO,mercoledi"), (Days{false, false, true, false, false, true, true}));
    EXPECT_EQ(parseWeekdayList("Lunedi,Lunedi"), (Days{true, false, false, false, false, false, false}));
    EXPECT_FALSE(parseWeekdayList(""));
    EXPECT_FALSE(parseWeekdayList("Lunedi,"));
    EXPECT_FALSE(parseWeekdayList("Monday"));
    EXPECT_FALSE(parseWeekdayList("Lunedi, Martedi"));
}

TEST(BatchUsage, TimeBandsSplitWhereBothTimesRead)
{
    using Halves = std::pair<std::string, std::string>;
    EXPECT_EQ(splitTimeBand("08.00-09.30"), (Halves{"08.00", "09.30"}));
    EXPECT_EQ(splitTimeBand("8-30-9-45"), (Halves{"8-30", "9-45"}));
    EXPECT_EQ(splitTimeBand("8.30-9-45"), (Halves{"8.30", "9-45"}));
    // No pair of times: the start is kept when it reads, so the end is refused.
    EXPECT_EQ(splitTimeBand("8-30-99"), (Halves{"8-30", "99"}));
    EXPECT_EQ(splitTimeBand("x-9.00"), (Halves{"x", "9.00"}));
    EXPECT_FALSE(splitTimeBand("0800"));
}

} // namespace
} // namespace korvan::batch
