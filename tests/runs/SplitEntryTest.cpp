// The entries of the per-day and per-arc dialogs read at OK, in order, with
// their messages; the travel time over an arc.

#include "runs/SplitEntry.h"
#include "SplitFixture.h"
#include "runs/ArcTravelTime.h"
#include "runs/RunAccounting.h"

#include <gtest/gtest.h>

namespace korvan::runs {
namespace {

TEST(ArcTravelTime, StopToStopLessTheDwellCountingTheDayCrossedAtMidnight)
{
    EXPECT_EQ(arcTravelMinutes(8, 10, 2, 8, 25), 13);
    EXPECT_EQ(arcTravelMinutes(23, 58, 0, 0, 3), 5);
    EXPECT_EQ(arcTravelMinutes(23, 58, 2, 0, 3), 3);
    EXPECT_EQ(arcTravelMinutes(8, 10, 0, 8, 10), 0);
    EXPECT_EQ(arcTravelMinutes(8, 10, 20, 8, 25), 0); // a dwell longer than the stretch
}

class SplitEntryDb : public korvan::test::SplitDbTest {};

TEST_P(SplitEntryDb, TheAmountIsCheckedFirstThenThePayingAuthorityOfAdditionalService)
{
    addAuthority(12, "Provincia di Valdora  ");
    const refdata::PickList authorities{"0012 - Provincia di Valdora", "0031 - Comune di Lerino"};
    SplitEntryInput input;
    input.amountText = "abc";
    input.minimumService = false;
    input.authorityText = "9999 - Nessuno";
    EXPECT_EQ(readSplitEntry(connection.get(), input, authorities).message, invalidAmountMessage());

    input.amountText = "7,25";
    SplitEntryResult result = readSplitEntry(connection.get(), input, authorities);
    EXPECT_FALSE(result.change);
    EXPECT_EQ(result.message, "ATTENZIONE: Il Codice Ente Pagante non è valido.\n\n"
                              "Occorre selezionare un Codice Ente Pagante presente nella lista.\n\n");

    input.authorityText = "0012 - Provincia di Valdora";
    input.totalMode = false;
    input.applyToSelectedRuns = true;
    result = readSplitEntry(connection.get(), input, authorities);
    ASSERT_TRUE(result.change);
    EXPECT_EQ(result.change->payingAuthority, 12);
    EXPECT_EQ(result.change->payingAuthorityName, "Provincia di Valdora");
    EXPECT_DOUBLE_EQ(result.change->value, 7.25);
    EXPECT_FALSE(result.change->totalMode);
    EXPECT_TRUE(result.change->applyToSelectedRuns);

    // Listed, but deleted from regent since the list was filled.
    input.authorityText = "0031 - Comune di Lerino";
    result = readSplitEntry(connection.get(), input, authorities);
    ASSERT_TRUE(result.change);
    EXPECT_EQ(result.change->payingAuthorityName, "Sconosciuto: Ente=31");

    // Minimum service does not read the authority at all.
    input.minimumService = true;
    input.authorityText = "";
    result = readSplitEntry(connection.get(), input, authorities);
    ASSERT_TRUE(result.change);
    EXPECT_EQ(result.change->payingAuthority, -1);
}

KORVAN_ALL_BACKENDS(SplitEntryDb);

} // namespace
} // namespace korvan::runs
