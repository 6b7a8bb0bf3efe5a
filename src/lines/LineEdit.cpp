#include "lines/LineEdit.h"

#include "db/DbConnection.h"
#include "db/KeyLookup.h"
#include "db/TransactionGuard.h"

#include <cctype>

namespace korvan::lines {

namespace {

// The line number as typed, without leading blanks; nothing when anything
// but digits remains or the number cannot be a line's (such a text never
// names a line and must not reach a filter).
std::optional<long> lineNumber(const std::string& idText)
{
    const size_t start = idText.find_first_not_of(' ');
    if (start == std::string::npos)
        return std::nullopt;
    const std::string digits = idText.substr(start);
    for (char c : digits)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return std::nullopt;
    const std::optional<long long> value = parseWholeInteger(digits);
    if (!value || *value > 32767)
        return std::nullopt;
    return static_cast<long>(*value);
}

// Positions the lookup on the line.
bool findLine(KeyLookup& lookup, const std::optional<long>& number)
{
    return number && lookup.find({keyNumber("ID", *number)});
}

} // namespace

std::optional<LineText> readLine(DbConnection* connection, const std::string& idText)
{
    if (!connection || !connection->IsOpen())
        return std::nullopt;
    KeyLookup lookup(connection, "linee");
    if (!findLine(lookup, lineNumber(idText)))
        return std::nullopt;
    LineText text;
    lookup.cursor().GetField("linea", text.code);
    lookup.cursor().GetField("denom", text.name);
    return text;
}

bool writeLine(DbConnection* connection, const std::string& idText, const LineText& text)
{
    if (!connection || !connection->IsOpen())
        return false;
    const std::optional<long> number = lineNumber(idText);
    if (!number)
        return false;
    TransactionGuard guard(connection);
    if (!guard.IsActive())
        return false;
    {
        KeyLookup lookup(connection, "linee");
        TableCursor& cursor = lookup.cursor();
        if (!findLine(lookup, number) || !cursor.Edit())
            return false;
        cursor.SetField("linea", text.code);
        cursor.SetField("denom", text.name);
        if (!cursor.Update())
            return false;
    }
    return guard.Commit();
}

} // namespace korvan::lines
