#pragma once

// Loads the demo network through an ODBC data source: creates the schema's
// tables, then inserts every table's rows in blocks, each block one prepared
// multi-row INSERT with bound parameters, all in one transaction.

#include "DemoNetwork.h"

#include <string>

namespace korvan::demo {

// `connection` is a DSN name or a full connection string. With `dropFirst`
// existing tables are dropped first; otherwise they must not exist yet.
bool writeOdbc(const Network& network, const std::string& connection, bool dropFirst, std::string& error);

} // namespace korvan::demo
