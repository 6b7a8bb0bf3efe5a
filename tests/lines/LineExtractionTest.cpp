// Extraction of normalized lines on real fixture databases: numbering,
// normalization of codes, the assignment of runs, and what is removed.

#include "support/RunsFixture.h"

#include "lines/LineExtraction.h"

using namespace korvan;
using namespace korvan::lines;
using korvan::test::RunsDbTest;
using Rows = std::vector<std::string>;

namespace {

class LineExtractionTest : public RunsDbTest {
  protected:
    ExtractionResult extract() { return extractNormalizedLines(connection.get(), sink, feedback); }
};

TEST_P(LineExtractionTest, LinesAreNumberedByCompanyAuthorityAndCodeAndRunsFollowThem)
{
    addRun(2, 10, 1, "B");
    addRun(1, 20, 3, "A");
    addRun(1, 21, 1, "B");
    addRun(1, 22, 1, "A");
    addRun(1, 23, 1, "A");
    const ExtractionResult result = extract();
    EXPECT_TRUE(result.confirmed);
    EXPECT_EQ(lineRows(), (Rows{"0|1|[A]|[]", "1|1|[B]|[]", "2|3|[A]|[]", "3|1|[B]|[]"}));
    EXPECT_EQ(runLineRows(), (Rows{"1|20|3|2", "1|21|1|1", "1|22|1|0", "1|23|1|0", "2|10|1|3"}));
    EXPECT_EQ(result.linesCreated, 4);
    EXPECT_EQ(result.runsAssigned, 5);
}

TEST_P(LineExtractionTest, AsksFirstThenShowsPhasesProgressAndTheClosingNotice)
{
    addRun(1, 1, 1, "A");
    addRun(1, 2, 1, "B");
    extract();
    ASSERT_EQ(sink.entries.size(), 2u);
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Question);
    EXPECT_EQ(sink.entries[0].text,
              "Questa funzione provvederà a generare automaticamente le\ninformazioni relative alle Linee "
              "(normalizzate).\n\nLe informazioni relative alle Linee (normalizzate) eventualmente\ngià presenti "
              "verranno annullate.\n\nIntendi procedere?");
    EXPECT_EQ(sink.entries[1].icon, MessageIcon::Information);
    EXPECT_EQ(sink.entries[1].text, "Le informazioni relative alle Linee (normalizzate) sono state generate");
    EXPECT_EQ(feedback.busyCalls, (std::vector<bool>{true}));
    // The runs are read before the old lines are removed.
    EXPECT_EQ(feedback.banners,
              (Rows{"Estrazione Linee Normalizzate", "Eliminazione Informazioni Linee Normalizzate pre-esistenti",
                    "Inserimento Informazioni Linee Normalizzate"}));
    // Bar shown at 0, then 50 and 100 for each of the three two-row walks.
    EXPECT_EQ(feedback.progress, (std::vector<int>{0, 50, 100, 50, 100, 50, 100}));
    EXPECT_EQ(feedback.endCalls, 1);
}

TEST_P(LineExtractionTest, DecliningTouchesNothing)
{
    addRun(1, 1, 1, "A");
    addLine(5, 1, "OLD", "Vecchia");
    addRunLine(1, 1, 1, 5);
    sink.confirmReply = false;
    EXPECT_FALSE(extract().confirmed);
    EXPECT_EQ(lineRows(), (Rows{"5|1|[OLD]|[Vecchia]"}));
    EXPECT_EQ(count("conline"), 1);
    EXPECT_TRUE(feedback.progress.empty());
    EXPECT_TRUE(feedback.busyCalls.empty());
    EXPECT_EQ(sink.entries.size(), 1u);
}

TEST_P(LineExtractionTest, CodesDifferingByTrailingBlanksGiveTwoLinesAndTheFirstGetsEveryRun)
{
    addRun(1, 1, 1, "12");
    addRun(1, 2, 1, "12 ");
    addRun(1, 3, 1, "12");
    extract();
    EXPECT_EQ(lineRows(), (Rows{"0|1|[12]|[]", "1|1|[12]|[]"}));
    EXPECT_EQ(runLineRows(), (Rows{"1|1|1|0", "1|2|1|0", "1|3|1|0"}));
}

TEST_P(LineExtractionTest, OneCodeOfTwoCompaniesGivesTwoLinesOfTheAuthority)
{
    addRun(1, 1, 4, "7");
    addRun(2, 1, 4, "7");
    extract();
    EXPECT_EQ(lineRows(), (Rows{"0|4|[7]|[]", "1|4|[7]|[]"}));
    EXPECT_EQ(runLineRows(), (Rows{"1|1|4|0", "2|1|4|1"}));
}

TEST_P(LineExtractionTest, BlankCodesBelongToALineCodedWithOneBlank)
{
    addRun(1, 1, 1, "");
    addRun(1, 2, 1, "   ");
    addRun(1, 3, 1, " ");
    extract();
    // Three raw codes, three lines, all coded blank; the runs go to the
    // first. The one blank is written as it is; over ODBC the table cursor
    // stores texts without trailing blanks, which leaves an empty (not NULL)
    // code.
    const char* blank = isOdbcBackend() ? "" : " ";
    const Rows lines = lineRows();
    ASSERT_EQ(lines.size(), 3u);
    for (size_t i = 0; i < lines.size(); ++i)
        EXPECT_EQ(lines[i], formatText("%zu|1|[%s]|[]", i, blank));
    EXPECT_EQ(count("linee", "linea IS NULL"), 0);
    EXPECT_EQ(runLineRows(), (Rows{"1|1|1|0", "1|2|1|0", "1|3|1|0"}));
}

TEST_P(LineExtractionTest, NullAuthorityAndNullCodeSortFirstOnEveryBackEnd)
{
    // The same database numbers its lines the same way on every back end:
    // PostgreSQL would sort the NULLs last and shift every line after them.
    addRun(1, 1, 1, "A");
    addRun(1, 2, 1, "B");
    exec("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, lung) VALUES (1, 3, 1, NULL, 'C3', 1000)");
    addRun(2, 4, 1, "A");
    exec("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, lung) VALUES (1, 5, NULL, 'A', 'C5', 1000)");
    extract();
    // The NULL code is normalized to one blank (stored empty over ODBC);
    // the NULL authority reads 0.
    const std::string blank = isOdbcBackend() ? "" : " ";
    EXPECT_EQ(lineRows(), (Rows{"0|0|[A]|[]", "1|1|[" + blank + "]|[]", "2|1|[A]|[]", "3|1|[B]|[]", "4|1|[A]|[]"}));
    EXPECT_EQ(runLineRows(), (Rows{"1|1|1|2", "1|2|1|3", "1|3|1|1", "1|5|0|0", "2|4|1|4"}));
}

TEST_P(LineExtractionTest, EveryEarlierLineAssignmentAndNameIsRemoved)
{
    addLine(0, 9, "X", "Nome perso");
    addLine(1, 8, "Y", "Altro nome");
    addRunLine(5, 99, 9, 0);
    addRunLine(6, 98, 8, 1);
    addRun(1, 1, 1, "A");
    const ExtractionResult result = extract();
    EXPECT_EQ(result.rowsDeleted, 4);
    EXPECT_EQ(lineRows(), (Rows{"0|1|[A]|[]"}));
    EXPECT_EQ(runLineRows(), (Rows{"1|1|1|0"}));
    EXPECT_EQ(count("linee", "denom IS NOT NULL AND denom <> ''"), 0);
}

TEST_P(LineExtractionTest, EmptyRunsLeaveBothTablesEmptyAndStillReport)
{
    addLine(0, 9, "X", "Nome");
    addRunLine(5, 99, 9, 0);
    extract();
    EXPECT_EQ(count("linee"), 0);
    EXPECT_EQ(count("conline"), 0);
    EXPECT_EQ(sink.lastText(), "Le informazioni relative alle Linee (normalizzate) sono state generate");
}

TEST_P(LineExtractionTest, CodesWithApostrophesAndManyRowsSurvive)
{
    // More rows than one cursor block, so deletion and insertion work in
    // several blocks.
    for (long id = 1; id <= 60; ++id)
        addRun(1, id, 1, id % 2 ? "SANT'ANNA" : "L'AQUILA ");
    extract();
    EXPECT_EQ(lineRows(), (Rows{"0|1|[L'AQUILA]|[]", "1|1|[SANT'ANNA]|[]"}));
    EXPECT_EQ(count("conline", "linea = 0"), 30);
    EXPECT_EQ(count("conline", "linea = 1"), 30);
    EXPECT_EQ(count("linee", "linea = " + quoteSqlText("SANT'ANNA")), 1);
    // A second extraction removes the 60 assignments in blocks.
    sink.clear();
    EXPECT_EQ(extract().rowsDeleted, 62);
    EXPECT_EQ(count("conline"), 60);
}

TEST_P(LineExtractionTest, AFailingStepLeavesBothTablesAsTheyWereAfterOneMessage)
{
    addRun(1, 1, 1, "A");
    addLine(5, 1, "OLD", "Vecchia");
    exec("DROP TABLE conline");
    const ExtractionResult result = extract();
    EXPECT_TRUE(result.confirmed);
    EXPECT_FALSE(result.completed);
    EXPECT_EQ(lineRows(), (Rows{"5|1|[OLD]|[Vecchia]"}));
    // The confirmation and one database message; no closing notice.
    ASSERT_EQ(sink.entries.size(), 2u);
    EXPECT_NE(sink.entries[1].icon, MessageIcon::Information);
    EXPECT_NE(sink.entries[1].text.find("conline"), std::string::npos) << sink.entries[1].text;
    EXPECT_NE(sink.entries[1].text.find("Operazione annullata: nessuna modifica è stata registrata."),
              std::string::npos);
    EXPECT_EQ(feedback.endCalls, 1);
}

TEST_P(LineExtractionTest, RunsThatCannotBeReadLeaveTheOldLinesAndTheirNames)
{
    // Nothing is removed before the new lines are known.
    addRun(1, 1, 1, "A");
    addLine(5, 1, "OLD", "Vecchia");
    addRunLine(1, 1, 1, 5);
    exec(isPostgres() ? "ALTER TABLE corse DROP COLUMN codlinea"
                      : "ALTER TABLE corse RENAME COLUMN codlinea TO codice");
    EXPECT_FALSE(extract().completed);
    EXPECT_EQ(lineRows(), (Rows{"5|1|[OLD]|[Vecchia]"}));
    EXPECT_EQ(count("conline"), 1);
    EXPECT_EQ(sink.entries.size(), 2u) << sink.lastText();
    EXPECT_EQ(feedback.banners, (Rows{"Estrazione Linee Normalizzate"}));
}

TEST(NormalizeLineCode, TrimsTrailingBlanksOnlyAndKeepsOneBlankForEmptyCodes)
{
    EXPECT_EQ(normalizeLineCode("12  "), "12");
    EXPECT_EQ(normalizeLineCode(" a B "), " a B");
    EXPECT_EQ(normalizeLineCode(""), " ");
    EXPECT_EQ(normalizeLineCode("    "), " ");
}

KORVAN_ALL_BACKENDS(LineExtractionTest);

} // namespace
