#pragma once

// Texts of the user or of the database placed inside SQL statements. The
// cursors of the database layer take whole clause texts, so a text value is
// written as a quoted literal whose apostrophes are doubled ("L'Aquila"
// becomes 'L''Aquila'), which every back end reads back as the same text.

#include <string>

namespace korvan {

inline std::string quoteSqlText(const std::string& text)
{
    std::string quoted;
    quoted.reserve(text.size() + 2);
    quoted += '\'';
    for (char c : text) {
        quoted += c;
        if (c == '\'')
            quoted += '\'';
    }
    quoted += '\'';
    return quoted;
}

} // namespace korvan
