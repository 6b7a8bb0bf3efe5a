// Finding a run by what the user types: ID or code, a whole code before its
// beginning before a part of it, searching on from the cursor round the
// list in its current order.

#include "runs/RunSearch.h"

#include <gtest/gtest.h>

namespace korvan::runs {
namespace {

// Runs 7 "A12", 12 "B7", 30 "a1", 41 "XA12", 55 "0004187192024090920250612",
// listed in that order.
RunListModel sampleList()
{
    RunListModel model(3);
    const std::pair<long, const char*> runs[] = {
        {7, "A12"}, {12, "B7"}, {30, "a1"}, {41, "XA12"}, {55, "0004187192024090920250612"}};
    for (const auto& [id, code] : runs) {
        RunRow row;
        row.runId = id;
        row.runCode = code;
        model.addRow(row);
    }
    return model;
}

struct SearchCase {
    const char* typed;
    int from;
    int expected; // position, -1 none
};

TEST(RunSearch, FindsTheRunTheTextNamesBestFirst)
{
    const RunListModel model = sampleList();
    const SearchCase cases[] = {
        {"12", 0, 1},       // the ID 12 before the codes holding "12"
        {"41", 4, 3},       // an ID
        {"A1", 0, 2},       // the code "a1" whole, letters in either case
        {"a12", 4, 0},      // the whole code "A12" before "XA12"
        {"A", 0, 2},        // no whole code: the first code beginning with it after the cursor
        {"A", 2, 0},        // ... searching on round the list
        {"7", 0, 0},        // the ID 7 on the cursor row itself, reached last, before "B7" holding it
        {"X", 0, 3},        // a code's beginning
        {"20250612", 0, 4}, // a part of a code
        {"  xa12 ", 0, 3},  // blanks around
        {"99", 0, -1},      // nothing
        {"", 0, -1},        // no text
        {"   ", 0, -1},     // blanks only
    };
    for (const SearchCase& c : cases)
        EXPECT_EQ(findRunPosition(model, c.typed, c.from), c.expected) << "'" << c.typed << "' from " << c.from;
}

// Searching again from the found run goes to the next one as good.
TEST(RunSearch, SearchingAgainGoesOnToTheNextMatch)
{
    RunListModel model = sampleList();
    EXPECT_EQ(findRunPosition(model, "A", 0), 2); // "a1" begins with it
    EXPECT_EQ(findRunPosition(model, "A", 2), 0); // then "A12"
    // The list's order, not the load order.
    model.sort('C'); // codes byte-wise: 0004..., A12, B7, XA12, a1
    EXPECT_EQ(model.rowAt(0)->runId, 55);
    EXPECT_EQ(findRunPosition(model, "A", 1), 4);
    EXPECT_EQ(findRunPosition(model, "A", 4), 1);
}

TEST(RunSearch, AnEmptyListHasNothingToFind)
{
    EXPECT_EQ(findRunPosition(RunListModel(3), "A12", 0), -1);
}

} // namespace
} // namespace korvan::runs
