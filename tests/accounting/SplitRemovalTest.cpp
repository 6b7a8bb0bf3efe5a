// Removal of additional financing, calendar splits and itinerary splits.

#include "accounting/SplitRemoval.h"
#include "support/AccountingFixture.h"

#include <gtest/gtest.h>

namespace korvan::accounting {
namespace {

using korvan::test::AccountingDbTest;
using Rows = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kPayer = 40;

class SplitRemoval : public AccountingDbTest {};

TEST_P(SplitRemoval, AdditionalFinancingReturnsToMinimumServiceKeepingAmounts)
{
    addRun(kCompany, 1, kAuthority, 1000);
    addRun(kCompany, 2, kAuthority, 1000);
    addRun(kCompany, 3, 11, 1000); // another contract of the company
    addConcors(kCompany, 1, kPayer, false, 4.5);
    addConcors(kCompany, 2, kAuthority, true, 1.0);
    addConcors(kCompany, 3, kPayer, false, 2.0);

    const RemovalCounts counts = removeAdditionalFinancing(connection.get(), kAuthority, kCompany, sink, feedback);

    EXPECT_EQ(counts.processed, 1);
    EXPECT_EQ(counts.changed, 1);
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|10|1|4.50", "2|10|1|1.00", "3|40|0|2.00"}));
    EXPECT_EQ(sink.lastText(), "Risultati dell'elaborazione:\n\n"
                               "Elaborate 1 corse (finanziamento servizio aggiuntivo)\n"
                               "Ripristinate 1 corse (finanziamento servizio minimo)\n");
    EXPECT_EQ(feedback.busyCalls, std::vector<bool>{false});
}

TEST_P(SplitRemoval, AdditionalFinancingWithNothingToDoShowsZero)
{
    addRun(kCompany, 1, kAuthority, 1000);
    addConcors(kCompany, 1, kAuthority, true, 1.0);
    const RemovalCounts counts = removeAdditionalFinancing(connection.get(), kAuthority, kCompany, sink, feedback);
    EXPECT_EQ(counts.processed, 0);
    EXPECT_NE(sink.lastText().find("Elaborate 0 corse"), std::string::npos);
    EXPECT_NE(sink.lastText().find("Ripristinate 0 corse"), std::string::npos);
}

TEST_P(SplitRemoval, CalendarSplitsResetEveryDayOfADifferingRun)
{
    addRun(kCompany, 1, kAuthority, 1000); // one day differs
    addRun(kCompany, 2, kAuthority, 1000); // all days equal the run
    addRun(kCompany, 3, kAuthority, 1000); // no concors row
    addRun(kCompany, 4, kAuthority, 1000); // additional run, one day of the contract
    addConcors(kCompany, 1, kAuthority, true, 1.0);
    addConcors(kCompany, 2, kPayer, false, 1.0);
    addConcors(kCompany, 4, kPayer, false, 2.0);
    addConkal(kCompany, 1, "2004-03-01", kAuthority, true, 1.0);
    addConkal(kCompany, 1, "2004-03-02", kPayer, false, 3.0);
    addConkal(kCompany, 2, "2004-03-01", kPayer, false, 1.0);
    addConkal(kCompany, 3, "2004-03-01", kPayer, false, 1.0);
    addConkal(kCompany, 4, "2004-03-01", kPayer, false, 2.0);
    addConkal(kCompany, 4, "2004-03-02", kAuthority, true, 2.0);

    const RemovalCounts counts = removeCalendarSplits(connection.get(), kAuthority, kCompany, sink, feedback);

    EXPECT_EQ(counts.changed, 4);
    EXPECT_EQ(conkalRows(kCompany),
              (Rows{"1|01/03/2004|10|1|1.00", "1|02/03/2004|10|1|3.00", "2|01/03/2004|40|0|1.00",
                    "3|01/03/2004|40|0|1.00", "4|01/03/2004|10|1|2.00", "4|02/03/2004|10|1|2.00"}));
    EXPECT_EQ(sink.lastText(), "Risultati dell'eliminazione:\n\nEliminate 4 righe frazionamento contabile calendari");
}

TEST_P(SplitRemoval, ItinerarySplitsOfTheContractAreDeleted)
{
    addRun(kCompany, 1, kAuthority, 1000);
    addRun(kCompany, 2, 11, 1000);
    addItinerarySplit(kCompany, 1, 1);
    addItinerarySplit(kCompany, 1, 2);
    addItinerarySplit(kCompany, 2, 1);
    addItinerarySplit(4, 1, 1); // same run ID, another company

    const RemovalCounts counts = removeItinerarySplits(connection.get(), kAuthority, kCompany, sink, feedback);

    EXPECT_EQ(counts.changed, 2);
    EXPECT_EQ(count("conitine", "azienda = 3 AND ID = 1"), 0);
    EXPECT_EQ(count("conitine"), 2);
    EXPECT_EQ(sink.lastText(), "Risultati dell'eliminazione:\n\nEliminate 2 righe frazionamento contabile itinerari");
}

TEST_P(SplitRemoval, ManyRunsAreProcessedAcrossSeveralStatements)
{
    if (!isPostgres())
        exec("BEGIN");
    for (long id = 1; id <= 1200; ++id) {
        addRun(kCompany, id, kAuthority, 1000);
        addConcors(kCompany, id, kPayer, false, 1.0);
    }
    if (!isPostgres())
        exec("COMMIT");

    const RemovalCounts counts = removeAdditionalFinancing(connection.get(), kAuthority, kCompany, sink, feedback);

    EXPECT_EQ(counts.changed, 1200);
    EXPECT_EQ(count("concors", "minima = 0"), 0);
}

KORVAN_ALL_BACKENDS(SplitRemoval);

} // namespace
} // namespace korvan::accounting
