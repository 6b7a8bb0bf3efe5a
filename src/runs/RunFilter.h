#pragma once

// The choice of a contract line for the run list ("Filtro Selezione
// Corse", and the batch command that prints the same list): authority,
// company and line read from pick-list entries, checked in that order.

#include "refdata/ContractEntries.h"
#include "refdata/PickLists.h"
#include "runs/RunListLoader.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvan {
class MessageSink;
}

namespace korvan::runs {

// A line entry ("0003 - 12"): its first four characters digits, the value
// 0 or more, and an entry beginning with it written "%04d".
std::optional<int> readLineNumberEntry(const std::string& text, const refdata::PickList& entries);

struct RunFilterEntries {
    refdata::ContractEntries contract;
    // The line entry ("0003 - 12"), or with `lineByCode` the line's code as
    // the per-line assignment reads it.
    std::string line;
    bool lineByCode = false;
    // The lines offered once the contract has been read, by number
    // (refdata::contractLinesById) and, with `lineByCode`, by code
    // (refdata::contractLinesByCode).
    std::function<refdata::PickList(int authority, int company)> lineEntries;
    std::function<refdata::PickList(int authority, int company)> lineCodeEntries;
};

// The numbers of the lines whose code is `code` in a list by number
// ("0003 - 12"), ascending.
std::vector<int> lineNumbersWithCode(const refdata::PickList& linesByNumber, const std::string& code);

// A code that names more than one line of the contract: which line is meant
// cannot be told, the numbers can.
std::string ambiguousLineCodeMessage(const std::string& code, const std::vector<int>& numbers);

// The contract as every contract dialog reads it, then the line (by code:
// refused when the code names no line or several lines of the contract).
// The first refusal is shown through `sink` (stop icon) and gives nothing.
std::optional<RunListKey> readRunFilter(const RunFilterEntries& entries, MessageSink& sink);

} // namespace korvan::runs
