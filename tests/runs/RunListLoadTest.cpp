// Loading a contract line: which runs are listed, their days, markers,
// names and labels, on every back end.

#include "runs/BrowserFixture.h"

#include "runs/RunListLoader.h"

namespace korvan::test {
namespace {

using runs::RunRow;

class RunListLoad : public BrowserDbTest {};

TEST_P(RunListLoad, ListsTheRunsOfTheLineWithDaysMarkersAndNames)
{
    buildLine();
    runs::RunListModel model = runs::loadRunList(connection.get(), kLine);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    ASSERT_EQ(model.count(), 3) << "runs without days, accounting row or on another line are not listed";
    EXPECT_EQ(model.order(), 'I');

    const RunRow& one = *model.rowAt(0);
    EXPECT_EQ(one.runId, 1);
    EXPECT_EQ(one.company, 3);
    EXPECT_EQ(one.runCode, "C1");
    EXPECT_EQ(one.routeCode, 7);
    EXPECT_EQ(one.grantingAuthority, 10);
    EXPECT_TRUE(one.minimumService);
    EXPECT_EQ(one.lengthMetres, 10000);
    EXPECT_EQ(one.duration, 45);
    EXPECT_DOUBLE_EQ(one.amount, 5);
    EXPECT_EQ(one.serviceDays, 3);
    EXPECT_EQ(one.firstDay, "07/01/2024");
    EXPECT_EQ(one.lastDay, "28/06/2024");
    EXPECT_FALSE(one.calendarMarker);
    EXPECT_TRUE(one.itineraryMarker);
    EXPECT_EQ(one.departureStopName, "Piazza Dante");
    EXPECT_EQ(one.departureLabel, "07:30 Piazza Dante");
    EXPECT_EQ(one.arrivalLabel, "08:15 Stazione");
    EXPECT_EQ(one.payingAuthorityName, "");

    const RunRow& two = *model.rowAt(1);
    EXPECT_EQ(two.runId, 2);
    EXPECT_FALSE(two.minimumService);
    EXPECT_EQ(two.payingAuthority, 40);
    EXPECT_EQ(two.payingAuthorityName, "Provincia Quaranta");
    EXPECT_TRUE(two.calendarMarker) << "its days carry two accountings";
    EXPECT_FALSE(two.itineraryMarker) << "company 4's split of its own run 2 is not this run's";
    EXPECT_EQ(two.departureLabel, "09:00 ???") << "stop 102 is company 4's";
    EXPECT_EQ(two.serviceDays, 2);

    const RunRow& six = *model.rowAt(2);
    EXPECT_EQ(six.runId, 6);
    EXPECT_FALSE(six.calendarMarker) << "its one day differs from its run row, not from other days";
    EXPECT_EQ(six.payingAuthorityName, "") << "authority 99 does not exist";
    EXPECT_EQ(six.arrivalLabel, "05:05 ???");
    for (int i = 0; i < model.count(); ++i) {
        EXPECT_FALSE(model.rowAt(i)->modified);
        EXPECT_FALSE(model.rowAt(i)->selected);
    }
}

TEST_P(RunListLoad, AnEmptyOrMissingLineGivesAnEmptyList)
{
    buildLine();
    EXPECT_EQ(runs::loadRunList(connection.get(), {10, 3, 2}).count(), 1);
    EXPECT_EQ(runs::loadRunList(connection.get(), {10, 3, 55}).count(), 0);
    EXPECT_EQ(runs::loadRunList(connection.get(), {11, 3, 1}).count(), 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

KORVAN_ALL_BACKENDS(RunListLoad);

} // namespace
} // namespace korvan::test
