// The four bulk assignments of base accounting values, on fixture databases.

#include "accounting/BaseAssignment.h"
#include "support/AccountingFixture.h"

#include <gtest/gtest.h>

namespace korvan::accounting {
namespace {

using korvan::test::AccountingDbTest;
using korvan::test::allDays;
using korvan::test::flagsOn;
using Rows = std::vector<std::string>;

constexpr int kAuthority = 10;
constexpr int kCompany = 3;
constexpr int kPayer = 40;

AssignmentRequest contract(double euroPerKm = 0.75)
{
    AssignmentRequest request;
    request.contractAuthority = kAuthority;
    request.contractCompany = kCompany;
    request.euroPerKm = euroPerKm;
    return request;
}

class RunAssignment : public AccountingDbTest {};

TEST_P(RunAssignment, InsertsEveryRunOfTheContractWithItsAmount)
{
    addRun(kCompany, 1, kAuthority, 12345);
    addRun(kCompany, 2, kAuthority, 1000);
    addRun(kCompany, 3, 11, 1000);  // another authority
    addRun(4, 1, kAuthority, 1000); // another company, same ID

    const AssignmentCounts counts = runContractAssignment(connection.get(), contract(), sink, feedback);

    EXPECT_EQ(counts.added, 2);
    EXPECT_EQ(counts.changed, 0);
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|10|1|9.26", "2|10|1|0.75"}));
    EXPECT_EQ(count("concors", "azienda = 4"), 0);
    ASSERT_FALSE(sink.empty());
    EXPECT_EQ(sink.lastText(), "Risultati dell'assegnazione:\n\nAssegnate 2 Corse (nuove)\n"
                               "Modificate 0 Corse (già assegnate)");
    EXPECT_EQ(sink.entries.back().icon, MessageIcon::Information);
    EXPECT_EQ(sink.entries.size(), 1u) << sink.entries.front().text;
}

TEST_P(RunAssignment, KeepsExistingRowsWhenNotUpdating)
{
    addRun(kCompany, 1, kAuthority, 12345);
    addConcors(kCompany, 1, kPayer, false, 3.5);
    AssignmentRequest request = contract();
    request.updateExisting = false;

    const AssignmentCounts counts = runContractAssignment(connection.get(), request, sink, feedback);

    EXPECT_EQ(counts.added, 0);
    EXPECT_EQ(counts.changed, 0);
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|40|0|3.50"}));
}

TEST_P(RunAssignment, OverwritesExistingRowsWithTheContractAuthority)
{
    addRun(kCompany, 1, kAuthority, 12345);
    addRun(kCompany, 2, kAuthority, 2000);
    addConcors(kCompany, 1, kPayer, false, 3.5);
    AssignmentRequest request = contract();
    request.payingAuthority = kPayer; // ignored for minimum service

    const AssignmentCounts counts = runContractAssignment(connection.get(), request, sink, feedback);

    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(counts.changed, 1);
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|10|1|9.26", "2|10|1|1.50"}));
}

TEST_P(RunAssignment, AdditionalServiceWritesThePayingAuthority)
{
    addRun(kCompany, 1, kAuthority, 2000);
    AssignmentRequest request = contract(1.0);
    request.minimumService = false;
    request.payingAuthority = kPayer;

    runContractAssignment(connection.get(), request, sink, feedback);

    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|40|0|2.00"}));
}

TEST_P(RunAssignment, LineCodeWithAnApostropheSelectsOnlyTheContractsRuns)
{
    addLine(0, kAuthority, "L'1");
    addLine(1, kAuthority, "L2");
    addRun(kCompany, 1, kAuthority, 1000);
    addRun(kCompany, 2, kAuthority, 1000);
    addRun(4, 1, kAuthority, 1000); // same run ID in another company
    addRunLine(kCompany, 1, kAuthority, 1);
    addRunLine(kCompany, 2, kAuthority, 0);
    addRunLine(4, 1, kAuthority, 0);
    AssignmentRequest request = contract(1.0);
    request.lineCode = "L'1";

    const AssignmentCounts counts = runLineAssignment(connection.get(), request, sink, feedback);

    // Run 1 of company 3 is on line L2: only run 2 is on "L'1" for this
    // contract, and it is counted once.
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(concorsRows(kCompany), (Rows{"2|10|1|1.00"}));
    EXPECT_EQ(count("concors"), 1);
}

TEST_P(RunAssignment, TimeBandBoundsAreInclusive)
{
    addRun(kCompany, 1, kAuthority, 1000, 8, 29, 9, 0);   // leaves before the band
    addRun(kCompany, 2, kAuthority, 1000, 8, 30, 12, 0);  // arrives exactly at the end
    addRun(kCompany, 3, kAuthority, 1000, 11, 0, 12, 1);  // arrives after the band
    addRun(kCompany, 4, kAuthority, 1000, 9, 15, 10, 15); // inside
    AssignmentRequest request = contract(1.0);
    request.bandFrom = 830;
    request.bandTo = 1200;

    const AssignmentCounts counts = runTimeBandAssignment(connection.get(), request, sink, feedback);

    EXPECT_EQ(counts.added, 2);
    EXPECT_EQ(concorsRows(kCompany), (Rows{"2|10|1|1.00", "4|10|1|1.00"}));
}

TEST_P(RunAssignment, TimeBandOverwritesOnlyTheRunsInsideIt)
{
    addRun(kCompany, 1, kAuthority, 1000, 6, 0, 7, 0);    // before the band
    addRun(kCompany, 4, kAuthority, 1000, 9, 15, 10, 15); // inside
    addConcors(kCompany, 1, kPayer, false, 3.5);
    addConcors(kCompany, 4, kPayer, false, 3.5);
    AssignmentRequest request = contract(1.0);
    request.bandFrom = 830;
    request.bandTo = 1200;

    const AssignmentCounts counts = runTimeBandAssignment(connection.get(), request, sink, feedback);

    EXPECT_EQ(counts.added, 0);
    EXPECT_EQ(counts.changed, 1);
    EXPECT_EQ(concorsRows(kCompany), (Rows{"1|40|0|3.50", "4|10|1|1.00"}));
}

TEST_P(RunAssignment, ContractWithoutRunsShowsZeroCounts)
{
    const AssignmentCounts counts = runContractAssignment(connection.get(), contract(), sink, feedback);
    EXPECT_EQ(counts.added, 0);
    EXPECT_NE(sink.lastText().find("Assegnate 0 Corse"), std::string::npos);
}

KORVAN_ALL_BACKENDS(RunAssignment);

class DayTypeAssignment : public AccountingDbTest {
  protected:
    AssignmentRequest march2004()
    {
        AssignmentRequest request = contract(1.0);
        request.periodStart = {2004, 3, 1};
        request.periodEnd = {2004, 3, 31};
        return request;
    }
};

TEST_P(DayTypeAssignment, WritesScheduledDaysOfThePeriodOnChosenWeekdays)
{
    addRun(kCompany, 1, kAuthority, 2000);
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    // 6 March 2004 is a Saturday, 7 a Sunday, 8 a Monday.
    addMonth(kCompany, 1, 1, 2004, 3, flagsOn({6, 7, 8}));
    addMonth(kCompany, 1, 1, 2004, 4, flagsOn({1})); // outside the period
    AssignmentRequest request = march2004();
    request.weekdays[5] = false; // Sabato cleared

    const AssignmentCounts counts = runDayTypeAssignment(connection.get(), request, sink, feedback);

    EXPECT_EQ(counts.added, 2);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|07/03/2004|10|1|2.00", "1|08/03/2004|10|1|2.00"}));
    EXPECT_EQ(sink.lastText(), "Risultati dell'assegnazione:\n\nAssegnati 2 Giorni/Corsa (nuovi)\n"
                               "Modificati 0 Giorni/Corsa (già assegnati)");
}

TEST_P(DayTypeAssignment, UpdatesExistingDaysOnlyWhenAsked)
{
    addRun(kCompany, 1, kAuthority, 2000);
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addMonth(kCompany, 1, 1, 2004, 3, flagsOn({8, 9}));
    addConkal(kCompany, 1, "2004-03-08", kPayer, false, 5.0);
    AssignmentRequest request = march2004();
    request.updateExisting = false;

    AssignmentCounts counts = runDayTypeAssignment(connection.get(), request, sink, feedback);
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(counts.changed, 0);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|08/03/2004|40|0|5.00", "1|09/03/2004|10|1|2.00"}));

    request.updateExisting = true;
    counts = runDayTypeAssignment(connection.get(), request, sink, feedback);
    EXPECT_EQ(counts.added, 0);
    EXPECT_EQ(counts.changed, 2);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|08/03/2004|10|1|2.00", "1|09/03/2004|10|1|2.00"}));
}

TEST_P(DayTypeAssignment, DayMissingFromItsMonthIsNeverWritten)
{
    addRun(kCompany, 1, kAuthority, 1000);
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addMonth(kCompany, 1, 1, 2004, 4, flagsOn({30, 31})); // 31 April
    AssignmentRequest request = march2004();
    request.periodEnd = {2004, 5, 31};

    const AssignmentCounts counts = runDayTypeAssignment(connection.get(), request, sink, feedback);

    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|30/04/2004|10|1|1.00"}));
    EXPECT_EQ(sink.entries.size(), 1u) << sink.entries.front().text;
}

TEST_P(DayTypeAssignment, ProtocolValidityStrikesDaysAndMissingProtocolsStrikeAll)
{
    addRun(kCompany, 1, kAuthority, 1000);
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    addProtocol(kCompany, 2, "2004-03-10", "2004-12-31", true);
    addMonth(kCompany, 1, 1, 2004, 3, allDays());
    addMonth(kCompany, 1, 2, 2004, 3, flagsOn({20}));
    // A month repeated under a later protocol takes that row's flags.
    const AssignmentCounts counts = runDayTypeAssignment(connection.get(), march2004(), sink, feedback);
    EXPECT_EQ(counts.added, 1);
    EXPECT_EQ(conkalRows(kCompany), (Rows{"1|20/03/2004|10|1|1.00"}));

    // Company 4 has months but no type-'B' protocol: nothing is written.
    addRun(4, 1, kAuthority, 1000);
    addMonth(4, 1, 1, 2004, 3, allDays());
    AssignmentRequest other = march2004();
    other.contractCompany = 4;
    EXPECT_EQ(runDayTypeAssignment(connection.get(), other, sink, feedback).added, 0);
    EXPECT_EQ(count("conkal", "azienda = 4"), 0);
}

TEST_P(DayTypeAssignment, PeriodAcrossTheYearTakesTheDaysOfBothYears)
{
    addRun(kCompany, 1, kAuthority, 1000);
    addProtocol(kCompany, 1, "2004-01-01", "2005-12-31", false);
    addMonth(kCompany, 1, 1, 2004, 11, flagsOn({30}));     // before the period's months
    addMonth(kCompany, 1, 1, 2004, 12, flagsOn({19, 31})); // 19 December is before the period
    addMonth(kCompany, 1, 1, 2005, 1, flagsOn({1, 10, 11}));
    addMonth(kCompany, 1, 1, 2005, 2, flagsOn({1})); // after
    AssignmentRequest request = contract(1.0);
    request.periodStart = {2004, 12, 20};
    request.periodEnd = {2005, 1, 10};

    const AssignmentCounts counts = runDayTypeAssignment(connection.get(), request, sink, feedback);

    EXPECT_EQ(counts.added, 3);
    EXPECT_EQ(conkalRows(kCompany),
              (Rows{"1|31/12/2004|10|1|1.00", "1|01/01/2005|10|1|1.00", "1|10/01/2005|10|1|1.00"}));
}

TEST_P(DayTypeAssignment, ContractOfManyRunsIsWrittenWhole)
{
    // More runs than one statement lists: each part of them gets its days,
    // and a day already there in a later part is overwritten, not doubled.
    constexpr long kRuns = 1203;
    addProtocol(kCompany, 1, "2004-01-01", "2004-12-31", false);
    for (long id = kRuns; id >= 1; --id) {
        addRun(kCompany, id, kAuthority, 1000);
        addMonth(kCompany, id, 1, 2004, 3, flagsOn({8}));
    }
    addConkal(kCompany, 1100, "2004-03-08", kPayer, false, 5.0);

    const AssignmentCounts counts = runDayTypeAssignment(connection.get(), march2004(), sink, feedback);

    EXPECT_EQ(counts.added, kRuns - 1);
    EXPECT_EQ(counts.changed, 1);
    EXPECT_EQ(count("conkal", "azienda = 3 AND minima = 1 AND ente = 10"), kRuns);
}

KORVAN_ALL_BACKENDS(DayTypeAssignment);

} // namespace
} // namespace korvan::accounting
