#include "refdata/SchemaCheck.h"

#include "db/Catalog.h"
#include "db/DbConnection.h"
#include "db/SqlTypes.h"
#include "refdata/Schema.h"

#include <algorithm>
#include <cctype>
#include <initializer_list>

namespace korvan::refdata {

namespace {

bool sameName(const std::string& a, const std::string& b)
{
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool oneOf(int type, std::initializer_list<int> types)
{
    return std::find(types.begin(), types.end(), type) != types.end();
}

enum class ValueClass { Number, Date, Text };

ValueClass valueClass(int schemaType)
{
    switch (schemaType) {
    case SqlType::Date:
        return ValueClass::Date;
    case SqlType::VarChar:
        return ValueClass::Text;
    default:
        return ValueClass::Number;
    }
}

// Whether a column of `actualType` holds the values the program keeps in a
// column of `schemaType`. On the file back end the declared type decides
// how a value is stored, and any number is read back when it fits. Over
// ODBC the table cursor binds a column by its catalogue type, so the
// accounting tables need types it stores (NUMERIC and long texts it does
// not); the reference tables are only read through selects, where the
// driver converts to the type the program asks for.
bool holdsValues(int schemaType, int actualType, bool fileBackEnd, bool written)
{
    using namespace SqlType;
    switch (valueClass(schemaType)) {
    case ValueClass::Number:
        if (fileBackEnd)
            return oneOf(actualType, {SmallInt, Integer, Double, Bit});
        return oneOf(actualType, {SmallInt, Integer, TinyInt, Bit, Double, Float, Real}) ||
               (!written && oneOf(actualType, {Numeric, Decimal, BigInt}));
    case ValueClass::Date:
        return oneOf(actualType, {Date, Timestamp});
    case ValueClass::Text:
        if (fileBackEnd)
            return actualType == VarChar || actualType == 0; // no declared type keeps texts as given
        return oneOf(actualType, {Char, VarChar}) || (!written && actualType == LongVarChar);
    }
    return false;
}

const char* expectedKindText(int schemaType)
{
    switch (valueClass(schemaType)) {
    case ValueClass::Date:
        return "attesa una data";
    case ValueClass::Text:
        return "atteso un testo";
    case ValueClass::Number:
        break;
    }
    return "atteso un numero";
}

void appendList(std::string& text, const char* title, const std::vector<std::string>& names)
{
    if (names.empty())
        return;
    text += title;
    for (size_t i = 0; i < names.size(); ++i)
        text += (i == 0 ? "" : ", ") + names[i];
    text += "\n";
}

} // namespace

namespace {

// `copySource`: the tables are only read, and the accounting tables may be
// missing.
SchemaProblems findProblems(const TableDescriber& describe, bool fileBackEnd, bool copySource)
{
    SchemaProblems problems;
    for (const schema::Table& table : schema::tables()) {
        const auto columns = describe(table.name);
        if (!columns) {
            if (!(copySource && table.accounting))
                problems.missingTables.push_back(table.name);
            continue;
        }
        for (const schema::Column& wanted : table.columns) {
            const auto found = std::find_if(columns->begin(), columns->end(), [&wanted](const CatalogColumn& column) {
                return sameName(column.name, wanted.name);
            });
            const std::string name = table.name + "." + wanted.name;
            if (found == columns->end())
                problems.missingColumns.push_back(name);
            else if (!holdsValues(wanted.sqlType, found->sqlType, fileBackEnd, table.accounting && !copySource))
                problems.wrongKinds.push_back(name + " (" + (found->typeName.empty() ? "senza tipo" : found->typeName) +
                                              ", " + expectedKindText(wanted.sqlType) + ")");
        }
    }
    return problems;
}

} // namespace

SchemaProblems findSchemaProblems(DbConnection* connection)
{
    if (!connection || !connection->IsOpen())
        return {};
    return findProblems([connection](const std::string& table) { return describeTable(connection, table); },
                        connection->IsSqlite(), false);
}

SchemaProblems findCopySourceProblems(const TableDescriber& describe, bool fileBackEnd)
{
    return findProblems(describe, fileBackEnd, true);
}

std::string schemaProblemsMessage(const SchemaProblems& problems)
{
    std::string text = "ATTENZIONE: il database non contiene le tavole e le colonne utilizzate da KORVAN "
                       "nella forma attesa.\n\n";
    appendList(text, "Tavole mancanti: ", problems.missingTables);
    appendList(text, "Colonne mancanti: ", problems.missingColumns);
    appendList(text, "Colonne di tipo inatteso: ", problems.wrongKinds);
    text += "\nOccorre completare o correggere il database: la connessione è stata chiusa.\n\n";
    return text;
}

bool acceptRunsDatabase(DbConnection& connection)
{
    const SchemaProblems problems = findSchemaProblems(&connection);
    if (problems.empty())
        return true;
    connection.Sink().showMessage(schemaProblemsMessage(problems), MessageIcon::Error);
    return false;
}

} // namespace korvan::refdata
