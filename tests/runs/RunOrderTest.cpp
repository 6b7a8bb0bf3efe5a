// The thirteen orders of the run list against orders computed here from
// their keys, and the amount order as a strict weak ordering.

#include "runs/RunOrder.h"
#include "runs/RunListModel.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <random>
#include <tuple>

namespace korvan::runs {
namespace {

std::vector<RunRow> randomRows(size_t count, unsigned seed)
{
    std::mt19937 random(seed);
    auto pick = [&random](int from, int to) { return std::uniform_int_distribution<int>(from, to)(random); };
    const char* names[] = {"Piazza Dante", "piazza Dante", "Stazione", "", "Ospedale", "Città"};
    std::vector<RunRow> rows;
    std::vector<long> ids(count);
    for (size_t i = 0; i < count; ++i)
        ids[i] = static_cast<long>(i * 7 + 3);
    std::shuffle(ids.begin(), ids.end(), random);
    for (size_t i = 0; i < count; ++i) {
        RunRow row;
        row.runId = ids[i];
        row.runCode = std::string(1, static_cast<char>('A' + pick(0, 3))) + std::to_string(pick(0, 9));
        row.payingAuthority = pick(1, 4);
        row.lengthMetres = pick(0, 5) * 1000;
        row.duration = pick(10, 14);
        row.amount = pick(0, 400) * 0.05;
        row.departureMinutes = pick(0, 3) * 30;
        row.arrivalMinutes = pick(0, 3) * 30 + 45;
        row.departureStopName = names[pick(0, 5)];
        row.arrivalStopName = names[pick(0, 5)];
        row.serviceDays = pick(1, 3);
        const int day = pick(1, 28), month = pick(1, 12), year = pick(2023, 2025);
        char text[32];
        std::snprintf(text, sizeof text, "%02d/%02d/%04d", day, month, year);
        row.firstDay = text;
        std::snprintf(text, sizeof text, "%02d/%02d/%04d", 28 - day + 1, 13 - month, year);
        row.lastDay = text;
        rows.push_back(row);
    }
    return rows;
}

// The key of each order as a tuple, ending with the run ID.
std::tuple<std::string, double, long> keyOf(const RunRow& r, char order)
{
    auto date = [](const std::string& t) { return t.substr(6, 4) + t.substr(3, 2) + t.substr(0, 2); };
    switch (order) {
    case 'C':
        return {r.runCode, 0, r.runId};
    case 'E':
        return {"", r.payingAuthority, r.runId};
    case 'L':
        return {"", double(r.lengthMetres), r.runId};
    case 'T':
        return {"", double(r.duration), r.runId};
    case '$':
        return {"", std::floor(r.amount), r.runId};
    case 'P':
        return {"", double(r.departureMinutes), r.runId};
    case 'A':
        return {"", double(r.arrivalMinutes), r.runId};
    case 'p':
        return {r.departureStopName, double(r.departureMinutes), r.runId};
    case 'a':
        return {r.arrivalStopName, double(r.arrivalMinutes), r.runId};
    case 'G':
        return {"", double(r.serviceDays), r.runId};
    case 'i':
        return {date(r.firstDay), 0, r.runId};
    case 'F':
        return {date(r.lastDay), 0, r.runId};
    default:
        return {"", 0, r.runId};
    }
}

TEST(RunOrders, EachOrderSortsByItsKeyThenByRunId)
{
    const std::vector<RunRow> rows = randomRows(500, 12);
    for (const RunOrder& order : runOrders()) {
        std::vector<long> expected;
        std::vector<RunRow> copy = rows;
        std::sort(copy.begin(), copy.end(),
                  [&](const RunRow& a, const RunRow& b) { return keyOf(a, order.code) < keyOf(b, order.code); });
        for (const RunRow& row : copy)
            expected.push_back(row.runId);
        std::vector<long> actual;
        for (size_t index : sortedPositions(rows, order.code))
            actual.push_back(rows[index].runId);
        EXPECT_EQ(actual, expected) << "order " << order.code;
    }
    // Any other character: by run ID.
    std::vector<size_t> byUnknown = sortedPositions(rows, 'x');
    EXPECT_TRUE(std::is_sorted(byUnknown.begin(), byUnknown.end(),
                               [&](size_t a, size_t b) { return rows[a].runId < rows[b].runId; }));
}

TEST(RunOrders, TheThirteenOrdersHaveTheirCommandsAndCharacters)
{
    std::string codes;
    for (const RunOrder& order : runOrders())
        codes += order.code;
    EXPECT_EQ(codes, "ICELT$PApaGiF");
    EXPECT_EQ(runOrderForCommand(5133)->code, '$');
    EXPECT_EQ(runOrderForCommand(5140)->code, 'F');
    EXPECT_EQ(runOrderForCommand(5127), nullptr);
    EXPECT_EQ(runOrderNamed("amount")->code, '$');
    EXPECT_EQ(runOrderNamed("p")->commandId, 5136);
    EXPECT_EQ(runOrderNamed("P")->commandId, 5134);
    EXPECT_EQ(runOrderNamed("nothing"), nullptr);
}

TEST(RunOrders, AmountsWithinAEuroKeepTheirIdOrderWithoutFault)
{
    // 10,20 and 10,90 are the same whole euro: ID order between them.
    RunRow a, b;
    a.runId = 2;
    a.amount = 10.90;
    b.runId = 5;
    b.amount = 10.20;
    EXPECT_TRUE(comesBefore(a, b, '$'));
    EXPECT_FALSE(comesBefore(b, a, '$'));

    // 10,000 amounts within a euro of each other and across whole euros:
    // a difference truncated toward zero would make 10,9 equal to 11,2 and
    // 10,2 less than 11,2, which is no ordering at all.
    std::mt19937 random(7);
    std::uniform_real_distribution<double> amounts(10.0, 12.0);
    std::vector<RunRow> rows(10000);
    for (size_t i = 0; i < rows.size(); ++i) {
        rows[i].runId = static_cast<long>(rows.size() - i);
        rows[i].amount = amounts(random);
    }
    rows[17].amount = std::nan("");
    RunListModel model;
    for (const RunRow& row : rows)
        model.addRow(row);
    model.sort('$');
    EXPECT_EQ(model.order(), '$');
    ASSERT_EQ(model.count(), 10000);
    EXPECT_TRUE(std::isnan(model.rowAt(0)->amount)) << "a value that is not a number sorts first";
    for (int i = 2; i < model.count(); ++i) {
        const RunRow& before = *model.rowAt(i - 1);
        const RunRow& after = *model.rowAt(i);
        const double euroBefore = std::floor(before.amount), euroAfter = std::floor(after.amount);
        ASSERT_TRUE(euroBefore < euroAfter || (euroBefore == euroAfter && before.runId < after.runId)) << i;
    }
}

TEST(RunListModel, PositionsSelectionAndMarkers)
{
    RunListModel model(3);
    for (long id : {5L, 9L, 12L}) {
        RunRow row;
        row.runId = id;
        row.lengthMetres = 100 - id;
        model.addRow(row);
    }
    EXPECT_EQ(model.rowAt(-1), nullptr);
    EXPECT_EQ(model.rowAt(3), nullptr);
    model.sort('L');
    EXPECT_EQ(model.rowAt(0)->runId, 12);
    EXPECT_TRUE(model.markCalendarSplit(9));
    EXPECT_FALSE(model.markItinerarySplit(77));
    EXPECT_TRUE(model.findRun(9)->calendarMarker);
    RunRow& first = *model.rowAt(0);
    EXPECT_FALSE(model.anyOtherSelected(first));
    first.selected = true;
    EXPECT_FALSE(model.anyOtherSelected(first));
    EXPECT_TRUE(model.anyOtherSelected(*model.rowAt(1)));
    model.selectAll();
    EXPECT_TRUE(model.rowAt(2)->selected);
    model.clearSelection();
    EXPECT_FALSE(model.rowAt(0)->selected);
}

TEST(RunRows, LabelsAndDayKeys)
{
    EXPECT_EQ(terminusLabel(7 * 60 + 5, "Piazza Dante"), "07:05 Piazza Dante");
    EXPECT_EQ(terminusLabel(23 * 60 + 59, ""), "23:59 ???");
    EXPECT_EQ(dayKey("07/01/2024"), "20240107");
    EXPECT_EQ(dayKey("7/1/24"), "7/1/24");
}

} // namespace
} // namespace korvan::runs
