// The per-run accounting change: the entries' checks and messages, the
// amounts written to concors and to every day in conkal, the spread over
// the selected runs, on every back end.

#include "runs/BrowserFixture.h"

#include "runs/RunAccounting.h"
#include "support/RecordingFeedback.h"

#include <cmath>

namespace korvan::test {
namespace {

using runs::RunAccountingEntry;
using runs::RunRow;

const refdata::PickList kPayers{"0040 - Provincia Quaranta", "0010 - Regione Dieci"};

TEST(RunAccountingEntries, AmountsAreWrittenWithADecimalComma)
{
    EXPECT_EQ(runs::runAmountText(12.5), "12,50");
    EXPECT_EQ(runs::dayAmountText(12.5), "12,5000");
    EXPECT_EQ(runs::runAmountText(30.8), "30,80");
}

TEST(RunAccountingEntries, ChecksAmountThenPayerThenTheSpread)
{
    RecordingMessageSink sink;
    RunRow edited;
    edited.lengthMetres = 0;
    RunAccountingEntry entry;
    entry.amountText = "abc";
    entry.payerText = "nobody";
    EXPECT_FALSE(runs::readRunAccountingEntry(entry, kPayers, edited, sink));
    EXPECT_EQ(sink.lastText(), runs::invalidAmountMessage());
    entry.amountText = "50";
    EXPECT_FALSE(runs::readRunAccountingEntry(entry, kPayers, edited, sink));
    EXPECT_EQ(sink.lastText(), refdata::invalidEntryMessage(refdata::EntryKind::PayingAuthority));
    // Minimum service does not read the payer; a total spread from a run of
    // length 0 would divide by zero: refused.
    entry.minimumService = true;
    entry.applyToSelected = true;
    sink.clear();
    EXPECT_FALSE(runs::readRunAccountingEntry(entry, kPayers, edited, sink));
    EXPECT_EQ(sink.lastText(), runs::zeroLengthSpreadMessage());
    EXPECT_EQ(sink.entries.front().icon, MessageIcon::Error);
    // Per km, or a total for the run alone, is fine at length 0.
    entry.totalMode = false;
    EXPECT_TRUE(runs::readRunAccountingEntry(entry, kPayers, edited, sink));
    entry.totalMode = true;
    entry.applyToSelected = false;
    const auto change = runs::readRunAccountingEntry(entry, kPayers, edited, sink);
    ASSERT_TRUE(change);
    EXPECT_EQ(change->payingAuthority, -1);
    entry.minimumService = false;
    entry.payerText = "0040 - Provincia Quaranta";
    EXPECT_EQ(runs::readRunAccountingEntry(entry, kPayers, edited, sink)->payingAuthority, 40);
}

class RunAccountingWrites : public BrowserDbTest {
  protected:
    void SetUp() override
    {
        BrowserDbTest::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        buildLine();
        model = runs::loadRunList(connection.get(), kLine);
        ASSERT_EQ(model.count(), 3);
    }

    RunRow& run(long id) { return *model.findRun(id); }

    runs::RunAccountingChange change(const char* amount, bool totalMode, int payer, bool applyToSelected = false)
    {
        RunAccountingEntry entry;
        entry.amountText = amount;
        entry.totalMode = totalMode;
        entry.minimumService = payer < 0;
        entry.payerText = payer < 0 ? "" : formatText("%04d", payer);
        entry.applyToSelected = applyToSelected;
        const auto read = runs::readRunAccountingEntry(entry, kPayers, *model.findRun(1), sink);
        EXPECT_TRUE(read) << sink.lastText();
        return read.value_or(runs::RunAccountingChange{});
    }

    double value(const std::string& sql) { return parseDecimalText(raw->queryText(sql)); }

    runs::RunListModel model;
    RecordingFeedback feedback;
};

TEST_P(RunAccountingWrites, ATotalGoesToTheRunRowAndToEveryDay)
{
    ASSERT_TRUE(runs::applyRunAccounting(connection.get(), model, run(1), change("12,5", true, 40), feedback));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    EXPECT_TRUE(run(1).modified);
    EXPECT_FALSE(run(1).minimumService);
    EXPECT_EQ(run(1).payingAuthorityName, "Provincia Quaranta");
    EXPECT_DOUBLE_EQ(run(1).amount, 12.5);
    EXPECT_EQ(concorsRows(3).front(), "1|40|0|12.50");
    EXPECT_EQ(
        conkalRows(3, " AND ID = 1"),
        (std::vector<std::string>{"1|07/01/2024|40|0|12.50", "1|01/02/2024|40|0|12.50", "1|28/06/2024|40|0|12.50"}));
    // Nothing else changed.
    EXPECT_EQ(count("conkal", "ID = 2 AND ente = 40"), 1);
    EXPECT_EQ(feedback.busyCalls, std::vector<bool>{false});
}

TEST_P(RunAccountingWrites, PerKilometreAndMinimumServiceOfTheGrantingAuthority)
{
    exec("UPDATE corse SET ct_lung = 15400 WHERE azienda = 3 AND ID = 2");
    model = runs::loadRunList(connection.get(), kLine);
    ASSERT_TRUE(runs::applyRunAccounting(connection.get(), model, run(2), change("2", false, -1), feedback));
    EXPECT_NEAR(run(2).amount, 30.80, 1e-9);
    EXPECT_TRUE(run(2).minimumService);
    EXPECT_EQ(run(2).payingAuthority, 10);
    EXPECT_EQ(concorsRows(3).at(1), "2|10|1|30.80");
    EXPECT_EQ(count("conkal", "azienda = 3 AND ID = 2 AND ente = 10 AND minima = 1"), 2);
    EXPECT_NEAR(value("SELECT MAX(euro) FROM conkal WHERE azienda = 3 AND ID = 2"), 30.8, 1e-9);
}

TEST_P(RunAccountingWrites, ATotalIsSpreadOverTheSelectedRunsByLength)
{
    exec("UPDATE corse SET ct_lung = 4000 WHERE azienda = 3 AND ID = 6");
    model = runs::loadRunList(connection.get(), kLine);
    run(6).selected = true;
    ASSERT_TRUE(runs::applyRunAccounting(connection.get(), model, run(1), change("50", true, 40, true), feedback));
    EXPECT_NEAR(run(1).amount, 50, 1e-9);
    EXPECT_NEAR(run(6).amount, 20, 1e-9);
    EXPECT_TRUE(run(6).modified);
    EXPECT_FALSE(run(2).modified);
    EXPECT_EQ(concorsRows(3).at(4), "6|40|0|20.00");
    EXPECT_EQ(conkalRows(3, " AND ID = 6"), std::vector<std::string>{"6|05/05/2024|40|0|20.00"});
    EXPECT_EQ(concorsRows(3).at(1), "2|40|0|12.30") << "not selected";
}

TEST_P(RunAccountingWrites, AMissingRunRowLeavesConcorsAloneButChangesTheDays)
{
    exec("DELETE FROM concors WHERE azienda = 3 AND ID = 1");
    ASSERT_TRUE(runs::applyRunAccounting(connection.get(), model, run(1), change("7", true, -1), feedback));
    EXPECT_EQ(count("concors", "azienda = 3 AND ID = 1"), 0);
    EXPECT_EQ(count("conkal", "azienda = 3 AND ID = 1 AND euro = 7"), 3);
}

TEST_P(RunAccountingWrites, AFailingWriteUndoesThisChangeAloneAndKeepsTheEarlierPendingOnes)
{
    exec("UPDATE corse SET ct_lung = 4000 WHERE azienda = 3 AND ID = 6");
    // The database refuses any change to run 6's days.
    if (isPostgres()) {
        exec("CREATE OR REPLACE FUNCTION korvan_refuse() RETURNS trigger AS $$ BEGIN "
             "RAISE EXCEPTION 'refused'; END; $$ LANGUAGE plpgsql");
        exec("CREATE TRIGGER korvan_refuse BEFORE UPDATE ON conkal FOR EACH ROW WHEN (NEW.ID = 6) "
             "EXECUTE FUNCTION korvan_refuse()");
    } else {
        exec("CREATE TRIGGER korvan_refuse BEFORE UPDATE ON conkal WHEN NEW.ID = 6 "
             "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }
    model = runs::loadRunList(connection.get(), kLine);
    ASSERT_TRUE(connection->BeginTrans());
    ASSERT_TRUE(runs::applyRunAccounting(connection.get(), model, run(2), change("9", true, -1), feedback));
    const std::vector<std::string> afterFirst = accountingSnapshot(connection.get());

    // The spread reaches run 6, whose days are refused: the whole change
    // goes, run 1's rows included, and run 2's earlier change stays.
    run(6).selected = true;
    EXPECT_FALSE(runs::applyRunAccounting(connection.get(), model, run(1), change("50", true, 40, true), feedback));
    EXPECT_FALSE(sink.empty());
    EXPECT_TRUE(connection->InTransaction());
    EXPECT_EQ(accountingSnapshot(connection.get()), afterFirst);
    ASSERT_TRUE(connection->CommitTrans());
    EXPECT_EQ(concorsRows(3).at(1), "2|10|1|9.00");
    EXPECT_EQ(count("conkal", "azienda = 3 AND ID = 1 AND euro = 50"), 0);
    if (isPostgres())
        exec("DROP FUNCTION korvan_refuse() CASCADE");
}

KORVAN_ALL_BACKENDS(RunAccountingWrites);

} // namespace
} // namespace korvan::test
