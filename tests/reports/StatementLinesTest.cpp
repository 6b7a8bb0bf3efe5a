// The lines of the two statements computed from runs, service days and
// itinerary splits given in memory: the days of each service kind and payer,
// every itinerary group taken out of every calendar line of its run (and of
// no other line), companies whose run IDs coincide kept apart, the
// contributions' itinerary lines over the run's days in the period, and the
// totals with both directions of a line together.

#include "reports/ContractsStatement.h"
#include "reports/ContributionsStatement.h"
#include "reports/StatementTotals.h"

#include <gtest/gtest.h>

#include <map>

namespace korvan::reports {
namespace {

constexpr Amount kEuro = kAmountUnitsPerEuro;

RunRecord run(int company, long id, int authority, const std::string& lineCode, const std::string& direction,
              long length, int minutes, Amount dayAmount)
{
    RunRecord record;
    record.key = {company, id};
    record.contractAuthority = authority;
    record.lineCode = lineCode;
    record.directionText = direction;
    record.runCode = lineCode + "/" + direction + std::to_string(id);
    record.length = length;
    record.minutes = minutes;
    record.minimumService = true;
    record.payingAuthority = authority;
    record.dayAmount = dayAmount;
    return record;
}

void addDays(StatementSources& sources, const RunKey& key, bool minimum, int payer, long days, Amount amount)
{
    RunDays& run = sources.days[key];
    run.days += days;
    run.groups.push_back({minimum, payer, days, amount});
}

void addArcs(StatementSources& sources, const RunKey& key, bool minimum, int payer, long long length, long long minutes,
             Amount dayAmount)
{
    sources.arcs[key].push_back({minimum, payer, length, minutes, dayAmount});
}

struct RunSums {
    long long metres = 0;
    long long minutes = 0;
    Amount amount = 0;
    bool operator==(const RunSums&) const = default;
};

std::map<std::pair<int, long>, RunSums> sumsByRun(const std::vector<ReportLine>& lines)
{
    std::map<std::pair<int, long>, RunSums> sums;
    for (const ReportLine& line : lines) {
        RunSums& sum = sums[{line.company, line.runId}];
        sum.metres += line.metresOverDays();
        sum.minutes += line.minutesOverDays();
        sum.amount += line.amount;
    }
    return sums;
}

TEST(ContractLines, MinimumDaysFirstThenEachPayerOfAdditionalService)
{
    StatementSources sources;
    sources.runs = {run(1, 7, 10, "101", "A", 12000, 30, 25 * kEuro)};
    addDays(sources, {1, 7}, true, 10, 20, 0);
    addDays(sources, {1, 7}, false, 8, 4, 4 * 31 * kEuro);
    addDays(sources, {1, 7}, false, 9, 2, 2 * 33 * kEuro);

    const std::vector<ReportLine> lines = contractRunLines(sources);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_TRUE(lines[0].minimumService);
    EXPECT_EQ(lines[0].days, 20);
    EXPECT_EQ(lines[0].amount, 20 * 25 * kEuro) << "the run's daily amount over the minimum days";
    EXPECT_EQ(lines[0].payingAuthority, 10);
    EXPECT_FALSE(lines[1].minimumService);
    EXPECT_EQ(lines[1].payingAuthority, 8);
    EXPECT_EQ(lines[1].amount, 4 * 31 * kEuro) << "the days' own amounts";
    EXPECT_EQ(lines[2].payingAuthority, 9);
    for (const ReportLine& line : lines) {
        EXPECT_EQ(line.length, 12000);
        EXPECT_EQ(line.minutes, 30);
        EXPECT_FALSE(line.arcSplit);
    }
}

TEST(ContractLines, AnItineraryGroupIsTakenOutOfTheRunAndShownAfterIt)
{
    // 10000 m, 15 minutes and 2.50 euro a day of arcs paid by authority 8,
    // over 20 days of minimum service.
    StatementSources sources;
    sources.runs = {run(1, 7, 10, "101", "A", 30000, 60, 100 * kEuro)};
    addDays(sources, {1, 7}, true, 10, 20, 0);
    addArcs(sources, {1, 7}, false, 8, 10000, 15, 25000);

    const std::vector<ReportLine> lines = contractRunLines(sources);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0].length, 20000);
    EXPECT_EQ(lines[0].minutes, 45);
    EXPECT_EQ(lines[0].amount, 20 * 100 * kEuro - 50 * kEuro);
    EXPECT_TRUE(lines[0].minimumService);
    EXPECT_TRUE(lines[1].arcSplit);
    EXPECT_EQ(lines[1].length, 10000);
    EXPECT_EQ(lines[1].minutes, 15);
    EXPECT_EQ(lines[1].days, 20);
    EXPECT_EQ(lines[1].amount, 50 * kEuro);
    EXPECT_FALSE(lines[1].minimumService);
    EXPECT_EQ(lines[1].payingAuthority, 8);
}

TEST(ContractLines, EveryGroupSplitsEveryCalendarLineOnceAndTheRunKeepsItsFigures)
{
    StatementSources sources;
    sources.runs = {run(1, 7, 10, "101", "A", 30000, 60, 100 * kEuro)};
    addDays(sources, {1, 7}, true, 10, 20, 0);
    addDays(sources, {1, 7}, false, 8, 5, 5 * 90 * kEuro);
    // As the sources keep them: minimum service first, then by payer.
    addArcs(sources, {1, 7}, true, 10, 1500, 3, 5000);
    addArcs(sources, {1, 7}, false, 8, 2500, 4, 7777);
    addArcs(sources, {1, 7}, false, 9, 4000, 6, 12345);

    const std::vector<ReportLine> lines = contractRunLines(sources);
    // Each calendar line followed by its three splits, none split again.
    ASSERT_EQ(lines.size(), 8U);
    for (size_t first : {size_t(0), size_t(4)}) {
        EXPECT_FALSE(lines[first].arcSplit);
        EXPECT_EQ(lines[first].length, 30000 - 4000 - 1500 - 2500) << "each group once";
        EXPECT_EQ(lines[first].minutes, 60 - 6 - 3 - 4);
        for (size_t k = first + 1; k < first + 4; ++k) {
            EXPECT_TRUE(lines[k].arcSplit);
            EXPECT_EQ(lines[k].days, lines[first].days);
        }
    }
    EXPECT_EQ(lines[5].length, 1500);
    EXPECT_EQ(lines[6].payingAuthority, 8);
    EXPECT_EQ(lines[7].payingAuthority, 9);

    // The run's kilometres, minutes and money over its 25 days are what
    // they were without splits.
    StatementSources unsplit = sources;
    unsplit.arcs.clear();
    EXPECT_EQ(sumsByRun(lines), sumsByRun(contractRunLines(unsplit)));
    // Minimum service lost the additional arcs on its days and kept its own.
    Amount minimum = 0;
    for (const ReportLine& line : lines)
        if (line.minimumService)
            minimum += line.amount;
    EXPECT_EQ(minimum, 20 * 100 * kEuro - 20 * (12345 + 7777) + 5 * 5000);
}

TEST(ContractLines, CompaniesSharingARunIdKeepTheirOwnDaysAndSplits)
{
    // Run 1001 of company 1 (authority 10) and run 1001 of company 2
    // (authority 20): the split belongs to company 2's run only.
    StatementSources sources;
    sources.runs = {run(1, 1001, 10, "101", "A", 10000, 20, 10 * kEuro),
                    run(2, 1001, 20, "201", "A", 8000, 16, 8 * kEuro)};
    addDays(sources, {1, 1001}, true, 10, 3, 0);
    addDays(sources, {2, 1001}, true, 20, 5, 0);
    addArcs(sources, {2, 1001}, false, 8, 2000, 4, 2 * kEuro);

    const std::vector<ReportLine> lines = contractRunLines(sources);
    ASSERT_EQ(lines.size(), 3U);
    EXPECT_EQ(lines[0].company, 1);
    EXPECT_EQ(lines[0].days, 3);
    EXPECT_EQ(lines[0].length, 10000);
    EXPECT_EQ(lines[1].company, 2);
    EXPECT_EQ(lines[1].days, 5);
    EXPECT_EQ(lines[1].length, 6000);
    EXPECT_EQ(lines[2].company, 2);
    EXPECT_TRUE(lines[2].arcSplit);
    EXPECT_FALSE(sameRun(lines[0], lines[1])) << "same ID, other company";
    EXPECT_TRUE(sameRun(lines[1], lines[2]));
}

TEST(ContractLines, AZeroLengthRunWithSplitsStaysExact)
{
    StatementSources sources;
    sources.runs = {run(1, 7, 10, "101", "A", 0, 0, 0)};
    addDays(sources, {1, 7}, true, 10, 3, 0);
    addArcs(sources, {1, 7}, false, 8, 500, 2, 12345);
    const std::vector<ReportLine> lines = contractRunLines(sources);
    ASSERT_EQ(lines.size(), 2U);
    EXPECT_EQ(lines[0].length, -500) << "what the arcs claim beyond the run, shown, not hidden";
    EXPECT_EQ(lines[0].amount + lines[1].amount, 0);
    const std::vector<ReportLine> totals = withTotals(lines, TotalBlocks::Contract);
    EXPECT_EQ(totals.back().totalMetres, 0);
    EXPECT_EQ(totals.back().grandTotal, 0);
    EXPECT_EQ(euroText(totals.back().additionalTotal), "3.70") << "3 x 1.2345 = 3.7035";
}

TEST(StatementTotals, LinesAndContractsCloseTheirBlocksAndBothDirectionsSumTogether)
{
    StatementSources sources;
    sources.runs = {run(1, 1, 10, "101", "A", 10000, 20, 10 * kEuro), run(1, 2, 10, "101", "R", 11000, 21, 11 * kEuro),
                    run(1, 3, 10, "102", "A", 5000, 10, 5 * kEuro), run(2, 1, 10, "101", "A", 7000, 14, 7 * kEuro)};
    for (const RunRecord& r : sources.runs)
        addDays(sources, r.key, true, 10, 2, 0);
    addArcs(sources, {1, 2}, false, 8, 1000, 2, kEuro);

    const std::vector<ReportLine> lines = withTotals(contractRunLines(sources), TotalBlocks::Contract);
    std::vector<LineKind> kinds;
    for (const ReportLine& line : lines)
        kinds.push_back(line.kind);
    using K = LineKind;
    EXPECT_EQ(kinds, (std::vector<K>{K::Run, K::Run, K::Run, K::LineTotal, K::Run, K::LineTotal, K::ContractTotal,
                                     K::Run, K::LineTotal, K::ContractTotal}));
    const ReportLine& line101 = lines[3];
    EXPECT_EQ(line101.lineCode, "101");
    EXPECT_EQ(line101.direction, ' ');
    EXPECT_EQ(line101.totalMetres, 2 * 10000 + 2 * 11000) << "both directions";
    EXPECT_EQ(line101.totalMinutes, 2 * 20 + 2 * 21);
    EXPECT_EQ(line101.totalDays, 4) << "a split stretch adds no days";
    EXPECT_EQ(line101.minimumTotal, 2 * 10 * kEuro + 2 * 11 * kEuro - 2 * kEuro);
    EXPECT_EQ(line101.additionalTotal, 2 * kEuro);
    EXPECT_EQ(line101.grandTotal, 2 * 10 * kEuro + 2 * 11 * kEuro);
    const ReportLine& contract = lines[6];
    EXPECT_EQ(contract.company, 1);
    EXPECT_EQ(contract.totalDays, 6);
    EXPECT_EQ(contract.totalMetres, 2 * (10000 + 11000 + 5000));
    EXPECT_EQ(contract.grandTotal, 2 * (10 + 11 + 5) * kEuro);
    EXPECT_EQ(lines.back().company, 2);
    EXPECT_EQ(lines.back().grandTotal, 2 * 7 * kEuro);
    EXPECT_TRUE(withTotals({}, TotalBlocks::Contract).empty());
}

TEST(ContributionLines, ItineraryLinesCountTheRunsDaysAndTakeTheirArcsOutOnce)
{
    // Run 7: 20 minimum days, 5 days paid by 8; an arc paid by 9 and an arc
    // paid by 8 (both additional), and a minimum-service arc.
    StatementSources sources;
    sources.runs = {run(1, 7, 10, "101", "A", 30000, 60, 100 * kEuro)};
    addDays(sources, {1, 7}, true, 10, 20, 0);
    addDays(sources, {1, 7}, false, 8, 5, 5 * 90 * kEuro);
    addArcs(sources, {1, 7}, true, 10, 1000, 1, 3000);
    addArcs(sources, {1, 7}, false, 8, 2500, 4, 7777);
    addArcs(sources, {1, 7}, false, 9, 4000, 6, 12345);

    const std::vector<ReportLine> lines = contributionRunLines(sources, std::nullopt);
    ASSERT_EQ(lines.size(), 3U);
    // Authority 8: its days less every arc over them, then its arc over all
    // 25 days of the run.
    EXPECT_EQ(lines[0].payingAuthority, 8);
    EXPECT_FALSE(lines[0].arcSplit);
    EXPECT_EQ(lines[0].days, 5);
    EXPECT_EQ(lines[0].length, 30000 - 1000 - 2500 - 4000);
    EXPECT_EQ(lines[0].amount, 5 * 90 * kEuro - 5 * (3000 + 7777 + 12345));
    EXPECT_EQ(lines[1].payingAuthority, 8);
    EXPECT_TRUE(lines[1].arcSplit);
    EXPECT_EQ(lines[1].days, 25);
    EXPECT_EQ(lines[1].amount, 25 * 7777);
    EXPECT_EQ(lines[2].payingAuthority, 9);
    EXPECT_EQ(lines[2].days, 25);
    EXPECT_EQ(lines[2].amount, 25 * 12345);

    // Each payer gets exactly its additional service of the contracts
    // statement.
    std::map<int, Amount> contracts, contributions;
    for (const ReportLine& line : contractRunLines(sources))
        if (!line.minimumService)
            contracts[line.payingAuthority] += line.amount;
    for (const ReportLine& line : lines)
        contributions[line.payingAuthority] += line.amount;
    EXPECT_EQ(contributions, contracts);

    const std::vector<ReportLine> only9 = contributionRunLines(sources, 9);
    ASSERT_EQ(only9.size(), 1U);
    EXPECT_EQ(only9[0].amount, 25 * 12345);
}

TEST(ContributionLines, EachPayersPartStaysInRunOrderWithItsItineraryLines)
{
    StatementSources sources;
    sources.runs = {run(1, 1, 10, "101", "A", 10000, 20, 0), run(1, 2, 10, "102", "A", 10000, 20, 0)};
    addDays(sources, {1, 1}, false, 9, 3, 3 * kEuro);
    addDays(sources, {1, 2}, true, 10, 4, 0);
    addArcs(sources, {1, 1}, false, 8, 100, 1, kEuro);
    addArcs(sources, {1, 2}, false, 8, 100, 1, kEuro);
    addArcs(sources, {1, 2}, false, 9, 100, 1, kEuro);

    const std::vector<ReportLine> lines =
        withTotals(contributionRunLines(sources, std::nullopt), TotalBlocks::PayerAndContract);
    std::vector<std::string> order;
    for (const ReportLine& line : lines)
        order.push_back(std::to_string(line.payingAuthority) + (line.isRun() ? ":" + std::to_string(line.runId) : "") +
                        (line.arcSplit ? "i" : "") +
                        (line.kind == LineKind::LineTotal       ? "L"
                         : line.kind == LineKind::ContractTotal ? "T"
                                                                : ""));
    EXPECT_EQ(order, (std::vector<std::string>{"8:1i", "8L", "8:2i", "8L", "8T", "9:1", "9L", "9:2i", "9L", "9T"}));
}

} // namespace
} // namespace korvan::reports
