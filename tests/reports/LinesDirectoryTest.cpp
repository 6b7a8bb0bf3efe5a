// The lines directory collected from small fixture databases on the SQLite
// file and on PostgreSQL through ODBC: one entry per line with its run
// count, authorities as page groups, the authority headings, the choice of
// one authority, and a broken database.

#include "reports/LinesDirectory.h"
#include "support/RunsFixture.h"

#include <gtest/gtest.h>

namespace korvan::test {
namespace {

using reports::DirectoryEntry;

std::vector<std::string> entryTexts(const std::vector<DirectoryEntry>& entries)
{
    std::vector<std::string> texts;
    for (const DirectoryEntry& entry : entries)
        texts.push_back(formatText("%d|%d|[%s]|[%s]|%ld", entry.authority, entry.lineId, entry.lineCode.c_str(),
                                   entry.lineName.c_str(), entry.runCount));
    return texts;
}

class LinesDirectoryTest : public RunsDbTest {
  protected:
    void SetUp() override
    {
        RunsDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addAuthority(10, "Regione Dieci  ");
        addAuthority(20, "Comune d'Altavilla");
        addCompany(1, "Società Uno");
        addCompany(2, "Società Due");
        // Line 101 is run by both companies of authority 10: two lines with
        // the same code. Their runs are tied alternately, so that an order
        // by code alone would interleave them.
        addLine(0, 10, "101", "Centro");
        addLine(1, 10, "101", "Stazione");
        addLine(2, 10, "7  ", "Mare  ");
        addLine(3, 10, "9", "Senza corse");
        addLine(4, 20, "1", "Circolare \"A\"");
        addLine(5, 30, "X", "Ente non in anagrafe");
        addRunLine(1, 1, 10, 0);
        addRunLine(2, 1, 10, 1);
        addRunLine(1, 2, 10, 0);
        addRunLine(2, 2, 10, 1);
        addRunLine(1, 3, 10, 0);
        addRunLine(1, 4, 10, 2);
        addRunLine(1, 5, 20, 4);
        addRunLine(2, 5, 30, 5);
    }

    std::vector<DirectoryEntry> collect(bool all, int authority = 0)
    {
        return reports::collectDirectoryEntries(connection.get(), {all, authority}, feedback);
    }
};

TEST_P(LinesDirectoryTest, EveryLineWithRunsOnceWithItsOwnCount)
{
    const std::vector<DirectoryEntry> entries = collect(true);
    // Twins keep their own counts, trailing blanks go, a line without runs
    // is left out.
    EXPECT_EQ(entryTexts(entries),
              (std::vector<std::string>{"10|0|[101]|[Centro]|3", "10|1|[101]|[Stazione]|2", "10|2|[7]|[Mare]|1",
                                        "20|4|[1]|[Circolare \"A\"]|1", "30|5|[X]|[Ente non in anagrafe]|1"}));
    EXPECT_EQ(feedback.busyCalls, std::vector<bool>{true});
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(LinesDirectoryTest, OneAuthorityOnly)
{
    EXPECT_EQ(entryTexts(collect(false, 20)), std::vector<std::string>{"20|4|[1]|[Circolare \"A\"]|1"});
    EXPECT_TRUE(collect(false, 99).empty());
}

TEST_P(LinesDirectoryTest, EachAuthorityIsAPageGroupHeadedByItsName)
{
    const reports::Report report =
        reports::collectLinesDirectory(connection.get(), {true, 0}, feedback, std::time_t(0));
    EXPECT_EQ(report.title, "Rubrica Linee");
    ASSERT_EQ(report.groups.size(), 3U);
    EXPECT_EQ(report.groups[0].headerLines.at(0).left, "10 - Regione Dieci");
    EXPECT_EQ(report.groups[1].headerLines.at(0).left, "20 - Comune d'Altavilla");
    EXPECT_EQ(report.groups[2].headerLines.at(0).left, "30 - *** Ente sconosciuto ***");
    EXPECT_EQ(report.groups[2].keys.at(1).text, "");
    ASSERT_EQ(report.rows.size(), 5U);
    const std::vector<size_t> groups = {report.rows[0].group, report.rows[1].group, report.rows[2].group,
                                        report.rows[3].group, report.rows[4].group};
    EXPECT_EQ(groups, (std::vector<size_t>{0, 0, 0, 1, 2}));
    // Row texts as printed: number, code, name, count.
    EXPECT_EQ(report.rows[0].cells.at(0).text, "0");
    EXPECT_EQ(report.rows[0].cells.at(3).text, "3");
    EXPECT_EQ(report.rows[1].cells.at(2).text, "Stazione");
}

TEST_P(LinesDirectoryTest, NoRunsAtAllGivesAnEmptyReport)
{
    exec("DELETE FROM conline");
    const reports::Report report =
        reports::collectLinesDirectory(connection.get(), {true, 0}, feedback, std::time_t(0));
    EXPECT_TRUE(report.empty());
    EXPECT_TRUE(report.groups.empty());
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(LinesDirectoryTest, AMissingTableIsReportedAndGivesNoEntries)
{
    exec("DROP TABLE conline");
    EXPECT_TRUE(collect(true).empty());
    EXPECT_FALSE(sink.empty());
}

KORVAN_ALL_BACKENDS(LinesDirectoryTest);

TEST(LinesDirectoryHeading, NameOrUnknownAuthority)
{
    const std::map<int, std::string> names = {{7, "Provincia di Valdora"}, {8, ""}};
    EXPECT_EQ(reports::authorityHeading(7, names), "7 - Provincia di Valdora");
    EXPECT_EQ(reports::authorityHeading(8, names), "8 - ");
    EXPECT_EQ(reports::authorityHeading(9, names), "9 - *** Ente sconosciuto ***");
}

} // namespace
} // namespace korvan::test
