#pragma once

// A report's rows as CSV for a spreadsheet: UTF-8 with a byte-order mark,
// ";" between fields, CRLF line ends, one header row, and the page-group
// keys as the first columns of every row, then the row's kind when the
// report names one. Numbers are unquoted with a decimal comma ("1234,50")
// and their value's own decimals, whatever their printed form; texts are
// quoted with inner quotes doubled. A text that begins with "=", "+", "-",
// "@", a tab or a carriage return is written with an apostrophe before it,
// inside the quotes ("'=SUM(A1)"), so that a spreadsheet shows it as text
// instead of running it as a formula.

#include "reports/PrintableReport.h"

#include <ostream>
#include <string>

namespace korvan::reports {

// One field as written.
std::string csvField(const Cell& cell);

// False when the stream failed.
bool writeCsv(const Report& report, std::ostream& out);

// The same lines as one text without the byte-order mark, for the
// clipboard, where a paste would show it as a character.
std::string csvText(const Report& report);

// The CSV into the file at `path` (UTF-8 name), replacing it. False with
// the message in `error` when it cannot be written.
bool writeCsvFile(const Report& report, const std::string& path, std::string& error);

} // namespace korvan::reports
