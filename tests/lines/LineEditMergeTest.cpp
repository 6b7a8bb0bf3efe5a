// Line editing and merge on real fixture databases.

#include "support/RunsFixture.h"

#include "lines/LineEdit.h"
#include "lines/LineMerge.h"

using namespace korvan;
using namespace korvan::lines;
using korvan::test::RunsDbTest;
using Rows = std::vector<std::string>;

namespace {

class LineEditMergeTest : public RunsDbTest {
  protected:
    // Authority 1 with lines 0 ("A"), 1 ("B") and 2 ("C", no runs); runs of
    // two companies on lines 0 and 1.
    void addLines()
    {
        addLine(0, 1, "A", "Prima");
        addLine(1, 1, "B", "Seconda");
        addLine(2, 1, "C", "");
        addRunLine(1, 10, 1, 0);
        addRunLine(1, 11, 1, 1);
        addRunLine(2, 10, 1, 1);
        addRunLine(2, 12, 1, 1);
    }
};

TEST_P(LineEditMergeTest, LineZeroIsReadAndRewrittenLeavingItsRunsAlone)
{
    addLines();
    const std::optional<LineText> line = readLine(connection.get(), "0000");
    ASSERT_TRUE(line) << sink.lastText();
    EXPECT_EQ(line->code, "A");
    EXPECT_EQ(line->name, "Prima");
    const Rows runsBefore = runLineRows();
    EXPECT_TRUE(writeLine(connection.get(), "0000", {"SANT'ANNA", "Via dell'Orto - Città"})) << sink.lastText();
    EXPECT_EQ(lineRows()[0], "0|1|[SANT'ANNA]|[Via dell'Orto - Città]");
    EXPECT_EQ(runLineRows(), runsBefore);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(LineEditMergeTest, EmptyCodeAndNameAreWrittenEmpty)
{
    addLines();
    EXPECT_TRUE(writeLine(connection.get(), "  0001", {"", ""})) << sink.lastText();
    EXPECT_EQ(lineRows()[1], "1|1|[]|[]");
    const std::optional<LineText> line = readLine(connection.get(), "0001");
    ASSERT_TRUE(line);
    EXPECT_EQ(line->code, "");
    EXPECT_EQ(line->name, "");
}

TEST_P(LineEditMergeTest, AbsentOrMalformedLineNumbersFindNothingAndChangeNothing)
{
    addLines();
    const Rows before = lineRows();
    EXPECT_FALSE(readLine(connection.get(), "0042"));
    EXPECT_FALSE(writeLine(connection.get(), "0042", {"X", "Y"}));
    EXPECT_FALSE(readLine(connection.get(), "1 OR 1=1"));
    EXPECT_FALSE(writeLine(connection.get(), "", {"X", "Y"}));
    EXPECT_EQ(lineRows(), before);
}

TEST_P(LineEditMergeTest, MergeMovesEveryRunWhateverItsCompanyAndDeletesTheSource)
{
    addLines();
    EXPECT_EQ(mergeLines(connection.get(), 1, 0, sink), 3);
    EXPECT_EQ(sink.lastText(), "Trasferite 3 Corse");
    EXPECT_EQ(sink.entries.back().icon, MessageIcon::Information);
    EXPECT_EQ(runLineRows(), (Rows{"1|10|1|0", "1|11|1|0", "2|10|1|0", "2|12|1|0"}));
    EXPECT_EQ(lineRows(), (Rows{"0|1|[A]|[Prima]", "2|1|[C]|[]"}));
}

TEST_P(LineEditMergeTest, MergingALineWithoutRunsCountsNoneAndStillDeletesIt)
{
    addLines();
    const Rows runsBefore = runLineRows();
    EXPECT_EQ(mergeLines(connection.get(), 2, 1, sink), 0);
    EXPECT_EQ(sink.lastText(), "Trasferite 0 Corse");
    EXPECT_EQ(runLineRows(), runsBefore);
    EXPECT_EQ(count("linee"), 2);
    EXPECT_EQ(count("linee", "ID = 2"), 0);
}

TEST_P(LineEditMergeTest, LineZeroCanGiveItsRunsAway)
{
    addLines();
    EXPECT_EQ(mergeLines(connection.get(), 0, 2, sink), 1);
    EXPECT_EQ(runLineRows()[0], "1|10|1|2");
    EXPECT_EQ(count("linee", "ID = 0"), 0);
}

KORVAN_ALL_BACKENDS(LineEditMergeTest);

} // namespace
