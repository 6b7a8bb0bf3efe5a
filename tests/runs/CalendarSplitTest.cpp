// The calendar of one run: loading its days, the per-day change with its
// reach, and "Registra Modifiche" inside the browser's transaction.

#include "SplitFixture.h"
#include "runs/CalendarDay.h"
#include "runs/RunCalendarWrite.h"
#include "runs/SplitEntry.h"
#include "runs/SplitRefusals.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace korvan::runs {
namespace {

using korvan::test::accountingSnapshot;
using Rows = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kPayer = 40;

class CalendarSplit : public korvan::test::SplitDbTest {
  protected:
    SplitChange additional(double value, bool total = true)
    {
        SplitChange change;
        change.minimumService = false;
        change.totalMode = total;
        change.value = value;
        change.payingAuthority = kPayer;
        change.payingAuthorityName = "Comune di Lerino";
        return change;
    }
    // The day at `date` ("dd/mm/yyyy") in the list.
    static int positionOf(const CalendarDayList& days, const std::string& date)
    {
        for (size_t i = 0; i < days.size(); ++i)
            if (days.days()[i].date == date)
                return static_cast<int>(i);
        return -1;
    }
};

TEST_P(CalendarSplit, DaysLoadInDateOrderAndMinimumServiceDaysShowTheRunsFinancing)
{
    addAuthority(kPayer, "Comune di Lerino   ");
    const SplitRun run = addSplitRun(kCompany, 1, kAuthority, 7, 10000, 25.0);
    addConkal(kCompany, 1, "2024-03-04", kPayer, false, 3.5);   // a Monday paid by another authority
    addConkal(kCompany, 1, "2024-03-02", kAuthority, true, 99); // minimum service: the row's 99 is not shown
    addConkal(kCompany, 1, "2024-03-03", 77, false, 1.0);       // an authority missing from regent
    addConkal(4, 1, "2024-03-01", kAuthority, true, 1.0);       // the same run ID of another company

    const CalendarDayList days = CalendarDayList::load(connection.get(), run);

    ASSERT_EQ(days.size(), 3u);
    const CalendarDay& saturday = days.days()[0];
    EXPECT_EQ(saturday.date, "02/03/2024");
    EXPECT_EQ(saturday.weekdayName, "Sabato");
    EXPECT_TRUE(saturday.minimumService);
    EXPECT_EQ(saturday.payingAuthority, kAuthority);
    EXPECT_DOUBLE_EQ(saturday.amount, 25.0);
    EXPECT_EQ(saturday.payingAuthorityName, "");
    EXPECT_EQ(days.days()[1].weekdayName, "Domenica");
    EXPECT_EQ(days.days()[1].payingAuthorityName, "");
    const CalendarDay& monday = days.days()[2];
    EXPECT_EQ(monday.weekdayName, "Lunedi");
    EXPECT_FALSE(monday.minimumService);
    EXPECT_EQ(monday.payingAuthority, kPayer);
    EXPECT_DOUBLE_EQ(monday.amount, 3.5);
    EXPECT_EQ(monday.payingAuthorityName, "Comune di Lerino");
    EXPECT_EQ(monday.lengthMetres, 10000);
    EXPECT_FALSE(days.propagateToSelectedRuns());
}

TEST_P(CalendarSplit, ADayChangedOnATenKmRunGivesTheSelectedFiveKmRunItsShare)
{
    addAuthority(kPayer, "Comune di Lerino");
    const SplitRun edited = addSplitRun(kCompany, 1, kAuthority, 7, 10000, 25.0);
    const SplitRun shorter = addSplitRun(kCompany, 2, kAuthority, 8, 5000, 12.5);
    const SplitRun lacking = addSplitRun(kCompany, 3, kAuthority, 7, 8000, 20.0);
    const SplitRun unselected = addSplitRun(kCompany, 4, kAuthority, 7, 5000, 12.5);
    for (long id : {1L, 2L, 4L}) {
        addConkal(kCompany, id, "2024-03-04", kAuthority, true, 25.0);
        addConkal(kCompany, id, "2024-03-05", kAuthority, true, 25.0);
    }
    addConkal(kCompany, 3, "2024-03-05", kAuthority, true, 20.0); // no row for 04/03

    CalendarDayList days = CalendarDayList::load(connection.get(), edited);
    SplitChange change = additional(20.0);
    change.applyToSelectedRuns = true;
    ASSERT_TRUE(days.applyChange(positionOf(days, "04/03/2024"), change));
    EXPECT_TRUE(days.propagateToSelectedRuns());

    connection->BeginTrans();
    const SplitWriteResult result = writeCalendarChanges(connection.get(), days, {edited, shorter, lacking}, sink);
    connection->CommitTrans();

    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.rowsWritten, 2);
    EXPECT_EQ(result.rowsMissing, 1);
    EXPECT_EQ(result.markedRuns, (std::vector<long>{1, 2, 3}));
    EXPECT_EQ(conkalRows(kCompany),
              (Rows{"1|04/03/2024|40|0|20.00", "1|05/03/2024|10|1|25.00", "2|04/03/2024|40|0|10.00",
                    "2|05/03/2024|10|1|25.00", "3|05/03/2024|10|1|20.00", "4|04/03/2024|10|1|25.00",
                    "4|05/03/2024|10|1|25.00"}));
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|10|1|25.00", "2|10|1|12.50", "3|10|1|20.00", "4|10|1|12.50"}));
    (void)unselected;
}

TEST_P(CalendarSplit, SelectedDaysTakeTheChangeAndAnUnpropagatedChangeStaysOnTheRun)
{
    const SplitRun edited = addSplitRun(kCompany, 1, kAuthority, 7, 15400, 30.8, false, kPayer);
    const SplitRun other = addSplitRun(kCompany, 2, kAuthority, 7, 5000, 10.0);
    for (const char* date : {"2024-03-04", "2024-03-05", "2024-03-06"}) {
        addConkal(kCompany, 1, date, kPayer, false, 30.8);
        addConkal(kCompany, 2, date, kAuthority, true, 10.0);
    }
    CalendarDayList days = CalendarDayList::load(connection.get(), edited);
    days.setSelected(2, true);
    EXPECT_TRUE(days.anyOtherSelected(0));
    EXPECT_FALSE(days.anyOtherSelected(2));

    SplitChange change;
    change.minimumService = true;
    change.totalMode = false; // 2 euro per km on 15,400 m
    change.value = 2.0;
    change.applyToSelected = true;
    ASSERT_TRUE(days.applyChange(0, change));
    EXPECT_DOUBLE_EQ(days.days()[0].amount, 30.8);
    EXPECT_EQ(days.days()[0].payingAuthority, kAuthority);
    EXPECT_FALSE(days.days()[1].modified);
    EXPECT_TRUE(days.days()[2].modified);

    const SplitWriteResult result = writeCalendarChanges(connection.get(), days, {edited, other}, sink);

    EXPECT_TRUE(result.written);
    EXPECT_EQ(result.markedRuns, std::vector<long>{1});
    EXPECT_EQ(conkalRows(kCompany, " AND ID = 1"),
              (Rows{"1|04/03/2024|10|1|30.80", "1|05/03/2024|40|0|30.80", "1|06/03/2024|10|1|30.80"}));
    EXPECT_EQ(conkalRows(kCompany, " AND ID = 2"),
              (Rows{"2|04/03/2024|10|1|10.00", "2|05/03/2024|10|1|10.00", "2|06/03/2024|10|1|10.00"}));
}

TEST_P(CalendarSplit, AZeroLengthRunRefusesToSpreadByLengthAndWritesNothing)
{
    const SplitRun edited = addSplitRun(kCompany, 1, kAuthority, 7, 0, 5.0);
    const SplitRun other = addSplitRun(kCompany, 2, kAuthority, 7, 5000, 10.0);
    addConkal(kCompany, 1, "2024-03-04", kAuthority, true, 5.0);
    addConkal(kCompany, 2, "2024-03-04", kAuthority, true, 10.0);
    CalendarDayList days = CalendarDayList::load(connection.get(), edited);

    SplitChange change = additional(20.0);
    change.applyToSelectedRuns = true;
    EXPECT_EQ(days.refusal(change), zeroLengthRunMessage());
    EXPECT_FALSE(days.applyChange(0, change));
    EXPECT_FALSE(days.anyModified());

    // Without the other runs the same run takes a total, and 0 per km.
    change.applyToSelectedRuns = false;
    ASSERT_TRUE(days.applyChange(0, change));
    EXPECT_DOUBLE_EQ(days.days()[0].amount, 20.0);
    change.totalMode = false;
    ASSERT_TRUE(days.applyChange(0, change));
    EXPECT_DOUBLE_EQ(days.days()[0].amount, 0.0);

    change.totalMode = true;
    change.applyToSelectedRuns = true;
    EXPECT_FALSE(days.applyChange(0, change));
    EXPECT_FALSE(days.propagateToSelectedRuns());
    ASSERT_TRUE(writeCalendarChanges(connection.get(), days, {edited, other}, sink).written);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    // The run's own day took 0 per km; the other run was left alone.
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|04/03/2024|40|0|0.00", "2|04/03/2024|10|1|10.00"}));
    (void)other;
}

TEST_P(CalendarSplit, RegistraThenRipristinaLeavesTheDatabaseAsASecondConnectionSawIt)
{
    const SplitRun edited = addSplitRun(kCompany, 1, kAuthority, 7, 10000, 25.0);
    const SplitRun other = addSplitRun(kCompany, 2, kAuthority, 7, 5000, 12.5);
    addConkal(kCompany, 1, "2024-03-04", kAuthority, true, 25.0);
    addConkal(kCompany, 2, "2024-03-04", kAuthority, true, 12.5);
    korvan::test::RecordingMessageSink otherSink;
    std::unique_ptr<DbConnection> second = database->open(otherSink);
    ASSERT_TRUE(second && second->IsOpen());
    const Rows before = accountingSnapshot(second.get());

    ASSERT_TRUE(connection->BeginTrans()); // the browser opens
    CalendarDayList days = CalendarDayList::load(connection.get(), edited);
    SplitChange change = additional(40.0);
    change.applyToSelectedRuns = true;
    ASSERT_TRUE(days.applyChange(0, change));
    ASSERT_TRUE(writeCalendarChanges(connection.get(), days, {edited, other}, sink).written);
    EXPECT_NE(accountingSnapshot(connection.get()), before);
    EXPECT_EQ(accountingSnapshot(second.get()), before); // pending, unseen

    ASSERT_TRUE(connection->Rollback()); // "Ripristina"
    EXPECT_EQ(accountingSnapshot(second.get()), before);
    EXPECT_EQ(accountingSnapshot(connection.get()), before);
    EXPECT_TRUE(otherSink.empty()) << otherSink.lastText();
}

TEST_P(CalendarSplit, AFailingRowUndoesThisRegistraOnlyAndKeepsTheTransactionsEarlierWork)
{
    const SplitRun edited = addSplitRun(kCompany, 1, kAuthority, 7, 10000, 25.0);
    const SplitRun other = addSplitRun(kCompany, 2, kAuthority, 7, 5000, 12.5);
    addConkal(kCompany, 1, "2024-03-04", kAuthority, true, 25.0);
    addConkal(kCompany, 2, "2024-03-04", kAuthority, true, 12.5);
    addConkal(kCompany, 2, "2024-03-05", kAuthority, true, 12.5);
    // The database refuses any change to run 2's rows.
    if (isPostgres()) {
        exec("CREATE OR REPLACE FUNCTION korvan_refuse() RETURNS trigger AS $$ BEGIN "
             "RAISE EXCEPTION 'refused'; END; $$ LANGUAGE plpgsql");
        exec("CREATE TRIGGER korvan_refuse BEFORE UPDATE ON conkal FOR EACH ROW WHEN (NEW.ID = 2) "
             "EXECUTE FUNCTION korvan_refuse()");
    } else {
        exec("CREATE TRIGGER korvan_refuse BEFORE UPDATE ON conkal WHEN NEW.ID = 2 "
             "BEGIN SELECT RAISE(ABORT, 'refused'); END");
    }

    ASSERT_TRUE(connection->BeginTrans());
    // Earlier work of the same transaction: run 1's day set to 30.
    CalendarDayList first = CalendarDayList::load(connection.get(), edited);
    ASSERT_TRUE(first.applyChange(0, additional(30.0)));
    ASSERT_TRUE(writeCalendarChanges(connection.get(), first, {}, sink).written);
    const Rows afterFirst = accountingSnapshot(connection.get());

    CalendarDayList second = CalendarDayList::load(connection.get(), edited);
    SplitChange change = additional(50.0);
    change.applyToSelectedRuns = true;
    ASSERT_TRUE(second.applyChange(0, change));
    const SplitWriteResult result = writeCalendarChanges(connection.get(), second, {edited, other}, sink);

    EXPECT_FALSE(result.written);
    EXPECT_TRUE(result.markedRuns.empty());
    EXPECT_FALSE(sink.empty());
    EXPECT_TRUE(connection->InTransaction());
    EXPECT_EQ(accountingSnapshot(connection.get()), afterFirst);
    ASSERT_TRUE(connection->CommitTrans());
    EXPECT_EQ(conkalRows(kCompany, " AND ID = 1"), Rows{"1|04/03/2024|40|0|30.00"});
    if (isPostgres())
        exec("DROP FUNCTION korvan_refuse() CASCADE");
}

KORVAN_ALL_BACKENDS(CalendarSplit);

} // namespace
} // namespace korvan::runs
