#include "lines/LineEdit.h"

#include "db/DbConnection.h"
#include "db/TableCursor.h"
#include "db/TransactionGuard.h"

#include <cctype>

namespace korvan::lines {

namespace {

// The line number as typed, without leading blanks; empty when anything
// but digits remains (such a text never names a line and must not reach a
// filter).
std::string lineNumberText(const std::string& idText)
{
    const size_t start = idText.find_first_not_of(' ');
    if (start == std::string::npos)
        return {};
    std::string digits = idText.substr(start);
    for (char c : digits)
        if (!std::isdigit(static_cast<unsigned char>(c)))
            return {};
    return digits;
}

// Positions the cursor on the line: the "codice" key on the file back end,
// a filter over ODBC.
bool findLine(DbConnection* connection, TableCursor& cursor, const std::string& number)
{
    if (number.empty() || !cursor.IsOpen())
        return false;
    if (connection->IsSqlite()) {
        cursor.SelectIndex("codice");
        return cursor.SeekKey({number});
    }
    return cursor.FindWhere("ID = " + number);
}

} // namespace

std::optional<LineText> readLine(DbConnection* connection, const std::string& idText)
{
    if (!connection || !connection->IsOpen())
        return std::nullopt;
    TableCursor cursor(connection, "linee");
    if (!findLine(connection, cursor, lineNumberText(idText)))
        return std::nullopt;
    LineText text;
    cursor.GetField("linea", text.code);
    cursor.GetField("denom", text.name);
    return text;
}

bool writeLine(DbConnection* connection, const std::string& idText, const LineText& text)
{
    if (!connection || !connection->IsOpen())
        return false;
    const std::string number = lineNumberText(idText);
    if (number.empty())
        return false;
    TransactionGuard guard(connection);
    if (!guard.IsActive())
        return false;
    {
        TableCursor cursor(connection, "linee");
        if (!findLine(connection, cursor, number) || !cursor.Edit())
            return false;
        cursor.SetField("linea", text.code);
        cursor.SetField("denom", text.name);
        if (!cursor.Update())
            return false;
    }
    return guard.Commit();
}

} // namespace korvan::lines
