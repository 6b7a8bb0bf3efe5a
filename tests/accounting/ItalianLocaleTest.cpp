// The bulk operations under the users' locale, it_IT.UTF-8, where the C
// library's decimal point is a comma: every amount keeps its decimals.

#include "accounting/AccountingInput.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "support/AccountingFixture.h"

#include <gtest/gtest.h>

namespace korvan::accounting {
namespace {

using korvan::test::AccountingDbTest;
using korvan::test::flagsOn;
using korvan::test::kItalianLocale;
using korvan::test::ScopedLocale;
using Rows = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kPayer = 40;

class AmountsInTheItalianLocale : public AccountingDbTest {
  protected:
    // No message but the operations' own results (information icon).
    void expectOnlyResults()
    {
        for (const auto& entry : sink.entries)
            EXPECT_EQ(entry.icon, MessageIcon::Information) << entry.text;
    }
};

TEST_P(AmountsInTheItalianLocale, AssignmentsAndCalendarKeepTheDecimals)
{
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addRun(kCompany, 1, kAuthority, 12345);
    addMonth(kCompany, 1, 1, 2004, 3, flagsOn({1, 2})); // Monday 1 and Tuesday 2 March
    addConkal(kCompany, 1, "2004-03-02", kPayer, false, 7.25);
    {
        ScopedLocale italian(kItalianLocale);
        ASSERT_TRUE(italian.active()) << kItalianLocale << " is not installed";
        AssignmentRequest request;
        request.contractAuthority = kAuthority;
        request.contractCompany = kCompany;
        const auto euroPerKm = parseEuroPerKm("0,75");
        ASSERT_TRUE(euroPerKm);
        request.euroPerKm = *euroPerKm;
        EXPECT_EQ(runContractAssignment(connection.get(), request, sink, feedback).added, 1);
        // The additional day paid by 40 is carried over with its amount.
        generateServiceDays(connection.get(), {kAuthority, kCompany, {2004, 1, 1}, {2004, 12, 31}}, sink, feedback);
        // Mondays only: the carried Tuesday keeps its amount.
        request.periodStart = {2004, 3, 1};
        request.periodEnd = {2004, 3, 31};
        request.weekdays = {true, false, false, false, false, false, false};
        EXPECT_EQ(runDayTypeAssignment(connection.get(), request, sink, feedback).changed, 1);
    }
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|10|1|9.26"}));
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|01/03/2004|10|1|9.26", "1|02/03/2004|40|0|7.25"}));
    expectOnlyResults();
}

KORVAN_ALL_BACKENDS(AmountsInTheItalianLocale);

} // namespace
} // namespace korvan::accounting
