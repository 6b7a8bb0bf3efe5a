#pragma once

// The choice of a contract line for the run list ("Filtro Selezione
// Corse", and the batch command that prints the same list): authority,
// company and line read from pick-list entries, checked in that order.

#include "refdata/PickLists.h"
#include "runs/RunListLoader.h"

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
    std::string authority;
    refdata::PickList authorities;
    std::string company;
    refdata::PickList companies;
    std::string line;
    refdata::PickList lines;
};

// The first refusal is shown through `sink` (stop icon) and gives nothing.
std::optional<RunListKey> readRunFilter(const RunFilterEntries& entries, MessageSink& sink);

} // namespace korvan::runs
