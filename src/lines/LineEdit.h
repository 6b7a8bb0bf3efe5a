#pragma once

// Line editing: reading and rewriting the code and name of one normalized
// line, found by its number in `linee` (by the "codice" key on the file back
// end, by a filter over ODBC). The runs stay with the line: `conline` refers
// to its number, which editing never changes.

#include <optional>
#include <string>

namespace korvan {
class DbConnection;
}

namespace korvan::lines {

// The most characters the dialog lets the user type.
inline constexpr int kLineCodeMaxLength = 10;
inline constexpr int kLineNameMaxLength = 120;

struct LineText {
    std::string code; // linee.linea
    std::string name; // linee.denom
};

// The line whose number is `idText` ("0007" or "7"; leading blanks are
// ignored); nothing when the text is not a number or no such line exists.
std::optional<LineText> readLine(DbConnection* connection, const std::string& idText);

// Stores code and name as given (empty texts are written empty), in a
// transaction of its own; false when the line is not found or the database
// refused the change (already shown).
bool writeLine(DbConnection* connection, const std::string& idText, const LineText& text);

} // namespace korvan::lines
