#pragma once

// Writes the demo network into a new SQLite file: the schema's tables, then
// every row through one prepared INSERT per table, in one transaction.

#include "DemoNetwork.h"

#include <string>

namespace korvan::demo {

// An existing file at `path` is replaced. False with `error` set on failure
// (the file is then removed).
bool writeSqliteFile(const Network& network, const std::string& path, std::string& error);

} // namespace korvan::demo
