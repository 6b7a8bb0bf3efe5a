// korvan-batch runs: the run list of a contract line as CSV, in the
// browser's rows and in any order, to standard output or a file; the
// dialog's refusals.

#include "batch/BatchFixture.h"
#include "refdata/PickLists.h"
#include "runs/RunFilter.h"

#include <gtest/gtest.h>

#include <fstream>
#include <sstream>

namespace korvan::batch {
namespace {

using korvan::test::BatchDbTest;
using korvan::test::BatchRun;

class BatchRuns : public BatchDbTest {
  protected:
    void SetUp() override
    {
        BatchDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        addAuthority(10, "Regione");
        addAuthority(40, "Provincia dell'Aquila");
        addCompany(3, "Autolinee");
        addLine(1, 10, "12");
        addLine(2, 10, "7");
        addRun(3, 1, 10, 12345, 8, 0, 9, 0);
        addRun(3, 2, 10, 1000, 7, 30, 9, 45);
        addRun(3, 3, 10, 2000, 6, 0, 7, 0);
        exec("UPDATE corse SET ct_lung = lung, codcorsa = '=1+1' WHERE ID = 3");
        for (long id = 1; id <= 3; ++id)
            addRunLine(3, id, 10, 1);
        addConcors(3, 1, 10, true, 10.9);
        addConcors(3, 2, 40, false, 10.2);
        addConcors(3, 3, 10, true, 3.5);
        addConkal(3, 1, "2025-01-07", 10, true, 10.9);
        addConkal(3, 1, "2025-01-08", 40, false, 10.9);
        addConkal(3, 2, "2025-02-01", 40, false, 10.2);
        addConkal(3, 3, "2025-03-01", 10, true, 3.5);
        addItinerarySplit(3, 2, 1);
    }

    // Line `line` (code `code`) of the contract with one run `id` of a
    // day of minimum service.
    void addLineWithRun(int line, const std::string& code, long id)
    {
        addLine(line, 10, code);
        addRun(3, id, 10, 3000);
        addRunLine(3, id, 10, line);
        addConcors(3, id, 10, true, 1.0);
        addConkal(3, id, "2025-04-01", 10, true, 1.0);
    }

    BatchRun runs(std::vector<std::string> arguments)
    {
        arguments.insert(arguments.begin(), {"--authority", "10", "--company", "3"});
        return batch("runs", arguments);
    }

    // The run IDs of the CSV rows, in order.
    static std::vector<std::string> ids(const std::string& csv)
    {
        std::vector<std::string> found;
        std::istringstream lines(csv);
        std::string line;
        std::getline(lines, line); // header
        while (std::getline(lines, line)) {
            std::vector<std::string> fields;
            std::istringstream cells(line);
            for (std::string cell; std::getline(cells, cell, ';');)
                fields.push_back(cell);
            if (fields.size() > 3)
                found.push_back(fields[3]);
        }
        return found;
    }
};

TEST_P(BatchRuns, PrintsTheLineAsTheBrowserListsIt)
{
    const BatchRun run = runs({"--line", "12"});
    ASSERT_EQ(run.status, 0) << run.err;
    EXPECT_EQ(run.out.rfind("\xEF\xBB\xBF\"Ente\";\"Azienda\";\"Linea\";\"ID\";\"Corsa\";\"Partenza\";\"Arrivo\";"
                            "\"Lunghezza Km\";\"Finanziamento\";\"Ente Pagante\";\"Importo Euro\";"
                            "\"Giorni Effettuazione\";\"Dal\";\"Al\";\"CAL\";\"PERC\"\r\n",
                            0),
              0U)
        << run.out;
    EXPECT_NE(run.out.find("\r\n10;3;1;1;\"C1\";\"08:00 ???\";\"09:00 ???\";0,00;\"Servizio Minimo\";10;10,90;2;"
                           "\"07/01/2025\";\"08/01/2025\";1;0\r\n"),
              std::string::npos)
        << run.out;
    EXPECT_NE(run.out.find("\r\n10;3;1;2;\"C2\";\"07:30 ???\";\"09:45 ???\";0,00;\"Provincia dell'Aquila\";40;10,20;1;"
                           "\"01/02/2025\";\"01/02/2025\";0;1\r\n"),
              std::string::npos)
        << run.out;
    // A run code that a spreadsheet would take for a formula stays text.
    EXPECT_NE(run.out.find(";\"'=1+1\";"), std::string::npos);
    EXPECT_NE(run.out.find(";2,00;"), std::string::npos);
    EXPECT_EQ(ids(run.out), (std::vector<std::string>{"1", "2", "3"}));
}

TEST_P(BatchRuns, SortsInTheOrderAskedWithTheRunIdLast)
{
    // 10,90 and 10,20 are the same whole euro: ID order between them.
    EXPECT_EQ(ids(runs({"--line-number", "0001", "--order", "amount"}).out), (std::vector<std::string>{"3", "1", "2"}));
    EXPECT_EQ(ids(runs({"--line-number", "1", "--order", "$"}).out), (std::vector<std::string>{"3", "1", "2"}));
    EXPECT_EQ(ids(runs({"--line-number", "1", "--order", "departure"}).out), (std::vector<std::string>{"3", "2", "1"}));
    EXPECT_EQ(ids(runs({"--line-number", "1", "--order", "G"}).out), (std::vector<std::string>{"2", "3", "1"}));
    EXPECT_EQ(ids(runs({"--line-number", "1", "--order", "payer"}).out), (std::vector<std::string>{"1", "3", "2"}));
}

TEST_P(BatchRuns, WritesTheSameRowsToAFile)
{
    const std::string path = dir.file("corse.csv");
    const BatchRun toFile = runs({"--line", "12", "--csv", path});
    ASSERT_EQ(toFile.status, 0) << toFile.err;
    EXPECT_EQ(toFile.out, "");
    std::ifstream file(path, std::ios::binary);
    std::ostringstream written;
    written << file.rdbuf();
    EXPECT_EQ(written.str(), runs({"--line", "12"}).out);
    const BatchRun nowhere = runs({"--line", "12", "--csv", dir.file("no/such/folder/corse.csv")});
    EXPECT_EQ(nowhere.status, 1);
    EXPECT_NE(nowhere.err.find("Impossibile scrivere il file CSV"), std::string::npos) << nowhere.err;
    EXPECT_EQ(runs({"--line", "12", "--csv", "-"}).out, written.str());
}

TEST_P(BatchRuns, RefusesWhatTheLineChoiceRefuses)
{
    const BatchRun otherLine = runs({"--line", "5"});
    EXPECT_EQ(otherLine.status, 1);
    EXPECT_NE(otherLine.err.find(refdata::invalidEntryMessage(refdata::EntryKind::Line)), std::string::npos)
        << otherLine.err;
    const BatchRun badCompany = batch("runs", {"--authority", "10", "--company", "9", "--line", "12"});
    EXPECT_EQ(badCompany.status, 1);
    EXPECT_NE(badCompany.err.find(refdata::invalidEntryMessage(refdata::EntryKind::Company)), std::string::npos);
    EXPECT_EQ(runs({"--line", "12", "--order", "price"}).status, 2);
    EXPECT_EQ(runs({}).status, 2);
    EXPECT_EQ(runs({"--line", "12", "--line-number", "1"}).status, 2);
    // Line 2 (code 7) has no runs of the contract: not in its lists.
    EXPECT_EQ(runs({"--line", "7"}).status, 1);
    EXPECT_EQ(runs({"--line-number", "2"}).status, 1);
    // Runs without service days are not listed: the header alone.
    exec("DELETE FROM conkal");
    const BatchRun empty = runs({"--line", "12"});
    EXPECT_EQ(empty.status, 0);
    EXPECT_TRUE(ids(empty.out).empty());
}

TEST_P(BatchRuns, LineIsTheCodeAsAssignTakesItAndLineNumberTheNumber)
{
    // Line number 12 has the code "3": --line 12 is the line whose code is
    // 12 (number 1), the line that assign --line 12 assigns.
    addLineWithRun(12, "3", 4);
    EXPECT_EQ(ids(runs({"--line", "12"}).out), (std::vector<std::string>{"1", "2", "3"}));
    EXPECT_EQ(ids(runs({"--line-number", "12"}).out), (std::vector<std::string>{"4"}));
    EXPECT_EQ(ids(runs({"--line", "3"}).out), (std::vector<std::string>{"4"}));
    const BatchRun assigned =
        batch("assign", {"--authority", "10", "--company", "3", "--line", "12", "--euro-km", "2", "--yes"});
    ASSERT_EQ(assigned.status, 0) << assigned.err;
    EXPECT_NE(assigned.out.find("Modificate 3 Corse"), std::string::npos) << assigned.out;
}

TEST_P(BatchRuns, ACodeOfTwoLinesOfTheContractIsRefusedWithTheirNumbers)
{
    addLineWithRun(5, "12", 4);
    const BatchRun run = runs({"--line", "12"});
    EXPECT_EQ(run.status, 1);
    EXPECT_EQ(run.out, "");
    EXPECT_EQ(run.err, runs::ambiguousLineCodeMessage("12", {1, 5}) + "\n");
    EXPECT_NE(run.err.find("0001, 0005"), std::string::npos) << run.err;
    EXPECT_EQ(ids(runs({"--line-number", "5"}).out), (std::vector<std::string>{"4"}));
}

KORVAN_BATCH_BACKENDS(BatchRuns);

} // namespace
} // namespace korvan::batch
