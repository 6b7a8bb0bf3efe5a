#pragma once

// Writes the demo network as a psql script: CREATE TABLE statements, then
// one COPY ... FROM STDIN block per table, all in one transaction, for
// `psql -f FILE` into a PostgreSQL database.

#include "DemoNetwork.h"

#include <ostream>
#include <string>

namespace korvan::demo {

// With `dropFirst` the script drops the fourteen tables before creating them.
bool writePostgresScript(const Network& network, std::ostream& out, bool dropFirst);
bool writePostgresScriptFile(const Network& network, const std::string& path, bool dropFirst, std::string& error);

// A text in the COPY text format: backslash, tab, newline and carriage return
// escaped.
std::string copyText(std::string_view text);

} // namespace korvan::demo
