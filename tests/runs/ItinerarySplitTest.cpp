// The itinerary of one run: its arcs from the route, amounts spread by
// length or taken from the stored split, the per-arc change and
// "Registra Modifiche" into `conitine`.

#include "SplitFixture.h"
#include "runs/ItineraryArc.h"
#include "runs/ItinerarySplitWrite.h"
#include "runs/SplitRefusals.h"

#include <gtest/gtest.h>

#include <cmath>

namespace korvan::runs {
namespace {

using Rows = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kPayer = 40;
constexpr long kRoute = 70;

class ItinerarySplit : public korvan::test::SplitDbTest {
  protected:
    // Route kRoute: stops 100 -> 101 -> 102 -> 103, arcs of 2,000, 4,007 and
    // 3,993 m (10 km), inserted out of order; another company's route and
    // arcs carry the same IDs.
    void addRoute()
    {
        addStop(kCompany, 100, "Piazza Duomo   ");
        addStop(kCompany, 101, "Via dell'Orso");
        addStop(kCompany, 102, "Stazione");
        addStop(kCompany, 103, "Ospedale");
        addRouteArc(kCompany, kRoute, 3, 503, 102, 103, 3993, 10000);
        addRouteArc(kCompany, kRoute, 1, 501, 100, 101, 2000, 2000);
        addRouteArc(kCompany, kRoute, 2, 502, 101, 102, 4007, 6007);
        addRouteArc(4, kRoute, 1, 501, 900, 901, 99999, 99999);
    }
    SplitChange perKm(double value, int payer = kPayer)
    {
        SplitChange change;
        change.minimumService = false;
        change.totalMode = false;
        change.value = value;
        change.payingAuthority = payer;
        change.payingAuthorityName = "Comune di Lerino";
        return change;
    }
};

TEST_P(ItinerarySplit, TheFirstStopThenTheArcsInRouteOrderWithTheRunsAmountSpreadByLength)
{
    addRoute();
    const SplitRun run = addSplitRun(kCompany, 1, kAuthority, kRoute, 10000, 20.0);

    const ItineraryArcList arcs = ItineraryArcList::load(connection.get(), run);

    ASSERT_EQ(arcs.size(), 4u);
    EXPECT_DOUBLE_EQ(arcs.rate(), 2.0);
    const ItineraryArc& first = arcs.arcs()[0];
    EXPECT_EQ(first.sub, -1);
    EXPECT_EQ(first.stopId, 100);
    EXPECT_EQ(first.stopName, "Piazza Duomo");
    EXPECT_DOUBLE_EQ(first.amount, 0.0);
    EXPECT_DOUBLE_EQ(first.lengthKm, 0.0);
    std::vector<int> subs;
    std::vector<std::string> names;
    for (const ItineraryArc& arc : arcs.arcs()) {
        subs.push_back(arc.sub);
        names.push_back(arc.stopName);
        EXPECT_TRUE(arc.minimumService);
        EXPECT_EQ(arc.routeCode, kRoute);
    }
    EXPECT_EQ(subs, (std::vector<int>{-1, 1, 2, 3}));
    EXPECT_EQ(names, (std::vector<std::string>{"Piazza Duomo", "Via dell'Orso", "Stazione", "Ospedale"}));
    EXPECT_DOUBLE_EQ(arcs.arcs()[2].amount, 8.014);
    EXPECT_DOUBLE_EQ(arcs.arcs()[2].progressiveKm, 6.007);
    EXPECT_EQ(arcs.arcs()[2].lengthMetres, 4007);
    EXPECT_NEAR(arcs.arcSum(), arcs.originalAmount(), 1e-9);
}

TEST_P(ItinerarySplit, StoredRowsReplaceTheComputedArcsOfTheSameRouteOnly)
{
    addRoute();
    addAuthority(kPayer, "Comune di Lerino  ");
    const SplitRun run = addSplitRun(kCompany, 1, kAuthority, kRoute, 20000, 20.0); // arcs cover half the run
    addArcSplit(kCompany, 1, kRoute, 2, kPayer, false, 3.25);
    addArcSplit(kCompany, 1, 71, 3, kPayer, false, 99.0); // an older route of the run
    addArcSplit(4, 1, kRoute, 3, kPayer, false, 98.0);    // another company

    const ItineraryArcList arcs = ItineraryArcList::load(connection.get(), run);

    ASSERT_EQ(arcs.size(), 4u);
    EXPECT_DOUBLE_EQ(arcs.arcs()[1].amount, 2.0);
    EXPECT_FALSE(arcs.arcs()[2].minimumService);
    EXPECT_EQ(arcs.arcs()[2].payingAuthority, kPayer);
    EXPECT_EQ(arcs.arcs()[2].payingAuthorityName, "Comune di Lerino");
    EXPECT_DOUBLE_EQ(arcs.arcs()[2].amount, 3.25);
    EXPECT_DOUBLE_EQ(arcs.arcs()[3].amount, 3.993);
    EXPECT_NEAR(arcs.arcSum(), 2.0 + 3.25 + 3.993, 1e-9);
}

TEST_P(ItinerarySplit, ARouteWithoutArcsShowsNothingAndAZeroLengthRunShowsZeroAmounts)
{
    addRoute();
    const SplitRun lost = addSplitRun(kCompany, 1, kAuthority, 999, 10000, 20.0);
    EXPECT_EQ(ItineraryArcList::load(connection.get(), lost).size(), 0u);
    EXPECT_DOUBLE_EQ(ItineraryArcList::load(connection.get(), lost).arcSum(), 0.0);

    const SplitRun empty = addSplitRun(kCompany, 2, kAuthority, kRoute, 0, 20.0);
    const ItineraryArcList arcs = ItineraryArcList::load(connection.get(), empty);
    EXPECT_DOUBLE_EQ(arcs.rate(), 0.0);
    for (const ItineraryArc& arc : arcs.arcs())
        EXPECT_EQ(arc.amount, 0.0);
}

TEST_P(ItinerarySplit, OnlyArcsAreSelectedAndATotalIsSpreadOverTheSelectedArcsByLength)
{
    addRoute();
    const SplitRun run = addSplitRun(kCompany, 1, kAuthority, kRoute, 10000, 20.0);
    ItineraryArcList arcs = ItineraryArcList::load(connection.get(), run);
    arcs.toggleSelected(0);
    EXPECT_FALSE(arcs.arcs()[0].selected);
    arcs.selectAll();
    EXPECT_FALSE(arcs.arcs()[0].selected);
    EXPECT_TRUE(arcs.arcs()[3].selected);
    arcs.toggleSelected(2);

    SplitChange total = perKm(10.0);
    total.totalMode = true;
    total.applyToSelected = true;
    EXPECT_FALSE(arcs.applyChange(0, total)); // the first stop is no arc
    ASSERT_TRUE(arcs.applyChange(1, total));  // 10 euro on 2 km: 5 per km
    EXPECT_DOUBLE_EQ(arcs.arcs()[1].amount, 10.0);
    EXPECT_FALSE(arcs.arcs()[2].modified);
    EXPECT_DOUBLE_EQ(arcs.arcs()[2].amount, 8.014);
    EXPECT_DOUBLE_EQ(arcs.arcs()[3].amount, 5.0 * 3.993);
    EXPECT_EQ(arcs.arcs()[3].payingAuthority, kPayer);
}

TEST_P(ItinerarySplit, ATotalOverSelectedArcsFromAZeroLengthArcIsRefused)
{
    addStop(kCompany, 100, "A");
    addRouteArc(kCompany, kRoute, 1, 501, 100, 100, 0, 0);
    addRouteArc(kCompany, kRoute, 2, 502, 100, 101, 3000, 3000);
    const SplitRun run = addSplitRun(kCompany, 1, kAuthority, kRoute, 3000, 6.0);
    ItineraryArcList arcs = ItineraryArcList::load(connection.get(), run);
    arcs.setSelected(2, true);

    SplitChange total = perKm(10.0);
    total.totalMode = true;
    total.applyToSelected = true;
    EXPECT_EQ(arcs.refusal(1, total), zeroLengthArcMessage());
    EXPECT_FALSE(arcs.applyChange(1, total));
    EXPECT_FALSE(arcs.arcs()[2].modified);

    // Per km, or on that arc alone, there is nothing to divide.
    total.applyToSelected = false;
    EXPECT_TRUE(arcs.applyChange(1, total));
    EXPECT_DOUBLE_EQ(arcs.arcs()[1].amount, 10.0);
    SplitChange rate = perKm(2.0);
    rate.applyToSelected = true;
    EXPECT_TRUE(arcs.applyChange(1, rate));
    EXPECT_DOUBLE_EQ(arcs.arcs()[1].amount, 0.0);
    EXPECT_DOUBLE_EQ(arcs.arcs()[2].amount, 6.0);
}

TEST_P(ItinerarySplit, RegistraWritesModifiedArcsWithTheirMetresAndTravelTimesToTheRunsOfTheSameRoute)
{
    addRoute();
    const SplitRun run = addSplitRun(kCompany, 1, kAuthority, kRoute, 10000, 20.0);
    const SplitRun sameRoute = addSplitRun(kCompany, 2, kAuthority, kRoute, 10000, 20.0);
    const SplitRun otherRoute = addSplitRun(kCompany, 3, kAuthority, 71, 10000, 20.0);
    addPassing(kCompany, 1, 1, 8, 0);
    addPassing(kCompany, 1, 2, 8, 10, 2);
    addPassing(kCompany, 1, 3, 8, 25);
    addPassing(kCompany, 2, 2, 23, 58);
    addPassing(kCompany, 2, 3, 0, 3);                           // past midnight
    addArcSplit(kCompany, 1, kRoute, 2, kAuthority, true, 1.0); // stored: edited, not added

    ItineraryArcList arcs = ItineraryArcList::load(connection.get(), run);
    arcs.setSelected(3, true);
    SplitChange change = perKm(1.5);
    change.applyToSelected = true;
    change.applyToSelectedRuns = true;
    ASSERT_TRUE(arcs.applyChange(2, change));

    connection->BeginTrans();
    const SplitWriteResult result = writeItineraryChanges(connection.get(), arcs, {run, sameRoute, otherRoute}, sink);
    connection->CommitTrans();

    EXPECT_TRUE(result.written) << sink.lastText();
    EXPECT_EQ(result.rowsWritten, 4);
    EXPECT_EQ(result.markedRuns, (std::vector<long>{1, 2}));
    EXPECT_EQ(arcSplitRows(kCompany), (Rows{"1|70|2|40|0|6.0105|4007|13", "1|70|3|40|0|5.9895|3993|0",
                                            "2|70|2|40|0|6.0105|4007|5", "2|70|3|40|0|5.9895|3993|0"}));
    EXPECT_EQ(count("concors", "euro <> 20"), 0);
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(ItinerarySplit, NothingModifiedWritesNothingAndMinimumServiceWritesTheGrantingAuthority)
{
    addRoute();
    const SplitRun run = addSplitRun(kCompany, 1, kAuthority, kRoute, 10000, 20.0, false, kPayer);
    ItineraryArcList arcs = ItineraryArcList::load(connection.get(), run);
    SplitWriteResult result = writeItineraryChanges(connection.get(), arcs, {}, sink);
    EXPECT_TRUE(result.written);
    EXPECT_TRUE(result.markedRuns.empty());
    EXPECT_EQ(count("conitine"), 0);

    SplitChange minimum;
    minimum.minimumService = true;
    minimum.value = 7.0;
    ASSERT_TRUE(arcs.applyChange(1, minimum));
    EXPECT_EQ(arcs.arcs()[1].payingAuthority, kAuthority);
    result = writeItineraryChanges(connection.get(), arcs, {}, sink);
    EXPECT_TRUE(result.written);
    EXPECT_EQ(arcSplitRows(kCompany), Rows{"1|70|1|10|1|7.0000|2000|0"});
}

KORVAN_ALL_BACKENDS(ItinerarySplit);

} // namespace
} // namespace korvan::runs
