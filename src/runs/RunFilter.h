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

namespace korvan {
class MessageSink;
}

namespace korvan::runs {

// A line entry ("0003 - 12"): its first four characters digits, the value
// 0 or more, and an entry beginning with it written "%04d".
std::optional<int> readLineNumberEntry(const std::string& text, const refdata::PickList& entries);

struct RunFilterEntries {
    refdata::ContractEntries contract;
    std::string line;
    // The lines offered once the contract has been read.
    std::function<refdata::PickList(int authority, int company)> lineEntries;
};

// The contract as every contract dialog reads it, then the line. The first
// refusal is shown through `sink` (stop icon) and gives nothing.
std::optional<RunListKey> readRunFilter(const RunFilterEntries& entries, MessageSink& sink);

} // namespace korvan::runs
