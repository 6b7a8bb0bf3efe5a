#pragma once

// The thirteen orders of the run list. Each compares one key and then the
// run ID, so every order is total and sorting is well defined.

#include "runs/RunRow.h"

#include <array>
#include <string>
#include <vector>

namespace korvan::runs {

struct RunOrder {
    int commandId;           // the pop-up command (5128..5140)
    const char* popupText;   // its text in the "&Ordinamento" sub-menu
    char code;               // the order character
    const char* name;        // the name korvan-batch takes
    const char* description; // what it orders by, for the help text
};

inline constexpr char kRunIdOrder = 'I';

const std::array<RunOrder, 13>& runOrders();
// The order of a command id, or of a batch name or character; nullptr when
// none.
const RunOrder* runOrderForCommand(int commandId);
const RunOrder* runOrderNamed(const std::string& nameOrCode);

// True when `a` comes before `b` in the order (any unknown character orders
// by run ID). The amount order compares whole euros (rounded down), so that
// amounts less than a euro apart keep their ID order.
bool comesBefore(const RunRow& a, const RunRow& b, char order);

// "yyyymmdd" of a "dd/mm/yyyy" text; a shorter text is returned unchanged.
std::string dayKey(const std::string& dayText);

// Positions of `rows` in the order: entry i is the index of the row shown at i.
std::vector<size_t> sortedPositions(const std::vector<RunRow>& rows, char order);

} // namespace korvan::runs
