// Validity periods of contract protocols: the cut made by a reset protocol,
// the leap rule of the day after and before, and striking month flags.

#include "accounting/ProtocolValidity.h"
#include "support/AccountingFixture.h"

#include <gtest/gtest.h>

namespace korvan::accounting {
namespace {

std::vector<std::pair<int, int>> intervalsOf(const ProtocolEntry& protocol)
{
    std::vector<std::pair<int, int>> result;
    for (const DateInterval& interval : protocol.intervals)
        result.push_back({interval.start, interval.end});
    return result;
}

using Intervals = std::vector<std::pair<int, int>>;

TEST(ProtocolCut, InnerPeriodSplitsTheIntervalInTwo)
{
    ProtocolEntry protocol{1, {{20040101, 20041231}}};
    cutPeriod(protocol, 20040301, 20040315);
    EXPECT_EQ(intervalsOf(protocol), (Intervals{{20040101, 20040229}, {20040316, 20041231}}));
}

TEST(ProtocolCut, StartOnFirstJanuaryEndsTheYearBefore)
{
    ProtocolEntry protocol{1, {{20030601, 20040630}}};
    cutPeriod(protocol, 20040101, 20041231);
    EXPECT_EQ(intervalsOf(protocol), (Intervals{{20030601, 20031231}}));
}

TEST(ProtocolCut, FullCoverEmptiesTheInterval)
{
    ProtocolEntry protocol{1, {{20040201, 20040430}}};
    cutPeriod(protocol, 20040101, 20041231);
    EXPECT_EQ(intervalsOf(protocol), (Intervals{{0, 0}}));
    EXPECT_FALSE(isValidOn(protocol, "15/03/2004"));
}

TEST(ProtocolCut, LaterPartContinuesAfterTheLastFebruaryDay)
{
    ProtocolEntry common{1, {{20040101, 20061231}}};
    cutPeriod(common, 20041101, 20050228);
    EXPECT_EQ(intervalsOf(common), (Intervals{{20040101, 20041031}, {20050301, 20061231}}));

    ProtocolEntry leap{1, {{20030101, 20061231}}};
    cutPeriod(leap, 20031101, 20040228);
    EXPECT_EQ(intervalsOf(leap), (Intervals{{20030101, 20031031}, {20040229, 20061231}}));
}

TEST(ProtocolCut, DayBeforeTheFirstOfMarchFollowsTheLeapRule)
{
    EXPECT_EQ(protocolDayBefore(20040301), 20040229);
    EXPECT_EQ(protocolDayBefore(20050301), 20050228);
    EXPECT_EQ(protocolDayBefore(20040501), 20040430);
    EXPECT_EQ(protocolDayAfter(20041231), 20050101);
    EXPECT_EQ(protocolDayAfter(20040430), 20040501);
}

TEST(StrikeDays, DaysOutsideTheIntervalsBecomeN)
{
    ProtocolValidity validity;
    validity.companies.push_back({7, {{3, {{20040101, 20040315}}}}});
    std::string flags(31, 'S');
    strikeInvalidDays(validity, 7, 3, 2004, 3, flags);
    EXPECT_EQ(flags, std::string(15, 'S') + std::string(16, 'N'));

    // Another protocol number or another company leaves the flags alone.
    std::string untouched(31, 'S');
    strikeInvalidDays(validity, 7, 4, 2004, 3, untouched);
    strikeInvalidDays(validity, 8, 3, 2004, 3, untouched);
    EXPECT_EQ(untouched, std::string(31, 'S'));
}

TEST(StrikeDays, ShortFlagTextsAreCompletedNotOverrun)
{
    EXPECT_EQ(normalizedDayFlags("SS"), "SS" + std::string(29, 'N'));
    EXPECT_EQ(normalizedDayFlags(std::string(40, 'S')), std::string(31, 'S'));
}

using korvan::test::AccountingDbTest;

class ProtocolLoading : public AccountingDbTest {};

TEST_P(ProtocolLoading, ResetProtocolCutsOnlyLowerNumbers)
{
    addProtocol(5, 1, "2004-01-01", "2004-12-31", false);
    addProtocol(5, 2, "2004-07-01", "2005-12-31", true);
    addProtocol(5, 3, "2004-01-01", "2004-12-31", false); // higher: never cut by protocol 2
    addProtocol(6, 1, "2004-01-01", "2004-12-31", false); // another company
    exec("INSERT INTO proto (azienda, tipo, protoc, datini, datfin, azzera) "
         "VALUES (5, 'A', 9, '2004-01-01', '2004-12-31', 1)"); // not type 'B'

    const ProtocolValidity validity = loadProtocolValidity(connection.get(), 5);
    ASSERT_EQ(validity.companies.size(), 1u);
    const CompanyProtocols& company = validity.companies.front();
    ASSERT_EQ(company.protocols.size(), 3u);
    EXPECT_EQ(intervalsOf(company.protocols[0]), (Intervals{{20040101, 20040630}}));
    EXPECT_EQ(intervalsOf(company.protocols[1]), (Intervals{{20040701, 20051231}}));
    EXPECT_EQ(intervalsOf(company.protocols[2]), (Intervals{{20040101, 20041231}}));

    std::string july(31, 'S');
    strikeInvalidDays(validity, 5, 1, 2004, 7, july);
    EXPECT_EQ(july, std::string(31, 'N'));
}

TEST_P(ProtocolLoading, CompanyWithoutProtocolsHasNoEntry)
{
    addProtocol(6, 1, "2004-01-01", "2004-12-31", false);
    EXPECT_TRUE(loadProtocolValidity(connection.get(), 5).companies.empty());
}

KORVAN_ALL_BACKENDS(ProtocolLoading);

} // namespace
} // namespace korvan::accounting
