#include "refdata/Schema.h"

#include "db/SqlTypes.h"

#include <algorithm>
#include <cctype>
#include <iterator>

namespace korvan::schema {

namespace {

constexpr int kShort = SqlType::SmallInt;
constexpr int kLong = SqlType::Integer;
constexpr int kDouble = SqlType::Double;
constexpr int kText = SqlType::VarChar;
constexpr int kDate = SqlType::Date;
constexpr int kBit = SqlType::Bit;

std::vector<Table> buildTables()
{
    return {
        {"regent", {{"codice", kShort}, {"denom", kText, 60}}, {"codice"}},
        {"regazi", {{"codice", kShort}, {"denom", kText, 60}}, {"codice"}},
        {"corse",
         {{"azienda", kShort},
          {"ID", kLong},
          {"ente", kShort},
          {"codlinea", kText, 20},
          {"codcorsa", kText, 20},
          {"codperc", kLong},
          {"verso", kText, 10},
          {"lung", kLong},
          {"ct_lung", kLong},
          {"ct_tempo", kShort},
          {"hh_p", kShort},
          {"mm_p", kShort},
          {"capol_p", kLong},
          {"hh_a", kShort},
          {"mm_a", kShort},
          {"capol_a", kLong}},
         {"azienda", "ID"}},
        {"proto",
         {{"azienda", kShort},
          {"tipo", kText, 1},
          {"protoc", kLong},
          {"datini", kDate},
          {"datfin", kDate},
          {"azzera", kBit}},
         {"azienda", "tipo", "protoc"}},
        {"mesi",
         {{"azienda", kShort},
          {"ID", kLong},
          {"protoc", kLong},
          {"anno", kShort},
          {"mese", kShort},
          {"giorni", kText, 31}},
         {"azienda", "ID", "protoc", "anno", "mese"}},
        {"detitine",
         {{"azienda", kShort}, {"ID", kLong}, {"sub", kShort}, {"arco", kLong}, {"dist", kLong}},
         {"azienda", "ID", "sub"}},
        {"archi",
         {{"azienda", kShort}, {"ID", kLong}, {"inizio", kLong}, {"fine", kLong}, {"lung", kLong}},
         {"azienda", "ID"}},
        {"orari",
         {{"azienda", kShort}, {"ID", kLong}, {"sub", kShort}, {"hh", kShort}, {"mm", kShort}, {"sosta", kShort}},
         {"azienda", "ID", "sub"}},
        {"fermate", {{"azienda", kShort}, {"ID", kLong}, {"denom", kText, 60}}, {"azienda", "ID"}},
        // The line editor takes codes of 10 and names of 120 characters; the
        // extraction writes the codes of corse.codlinea (20).
        {"linee", {{"ID", kShort}, {"ente", kShort}, {"linea", kText, 20}, {"denom", kText, 120}}, {"ID"}, true},
        {"conline", {{"azienda", kShort}, {"ID", kLong}, {"ente", kShort}, {"linea", kShort}}, {"azienda", "ID"}, true},
        {"concors",
         {{"azienda", kShort}, {"ID", kLong}, {"ente", kShort}, {"minima", kBit}, {"euro", kDouble}},
         {"azienda", "ID"},
         true},
        {"conkal",
         {{"azienda", kShort}, {"ID", kLong}, {"data", kDate}, {"ente", kShort}, {"minima", kBit}, {"euro", kDouble}},
         {"azienda", "ID", "data"},
         true},
        {"conitine",
         {{"azienda", kShort},
          {"ID", kLong},
          {"codperc", kLong},
          {"sub", kShort},
          {"ente", kShort},
          {"minima", kBit},
          {"euro", kDouble},
          {"lung", kLong},
          {"tempo", kShort}},
         {"azienda", "ID", "codperc", "sub"},
         true},
    };
}

bool plainWord(const std::string& name)
{
    return !name.empty() && !std::isdigit(static_cast<unsigned char>(name[0])) &&
           std::all_of(name.begin(), name.end(), [](char c) {
               const auto u = static_cast<unsigned char>(c);
               return u < 0x80 && (std::isalnum(u) || c == '_');
           });
}

// Words that SQL reserves: a column of another database named so is quoted.
bool reservedWord(const std::string& name)
{
    static const char* const kWords[] = {
        "ALL",      "AND",        "ANY",        "AS",     "ASC",    "BETWEEN", "BY",      "CASE",   "CAST",
        "CHECK",    "COLUMN",     "CONSTRAINT", "CREATE", "CROSS",  "CURRENT", "DEFAULT", "DELETE", "DESC",
        "DISTINCT", "DO",         "DROP",       "ELSE",   "END",    "EXCEPT",  "EXISTS",  "FALSE",  "FETCH",
        "FOR",      "FOREIGN",    "FROM",       "FULL",   "GRANT",  "GROUP",   "HAVING",  "IN",     "INDEX",
        "INNER",    "INSERT",     "INTERSECT",  "INTO",   "IS",     "JOIN",    "KEY",     "LEFT",   "LIKE",
        "LIMIT",    "NATURAL",    "NOT",        "NULL",   "OFFSET", "ON",      "OR",      "ORDER",  "OUTER",
        "PRIMARY",  "REFERENCES", "RIGHT",      "SELECT", "SET",    "TABLE",   "THEN",    "TO",     "TRUE",
        "UNION",    "UNIQUE",     "UPDATE",     "USER",   "USING",  "VALUES",  "WHEN",    "WHERE",  "WITH",
    };
    std::string upper = name;
    for (char& c : upper)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return std::any_of(std::begin(kWords), std::end(kWords), [&upper](const char* word) { return upper == word; });
}

std::string typeName(const Column& column, Dialect dialect)
{
    const bool pg = dialect == Dialect::PostgreSql;
    switch (column.sqlType) {
    case kShort:
        return "SMALLINT";
    case kLong:
        return "INTEGER";
    case kDouble:
        return pg ? "DOUBLE PRECISION" : "DOUBLE";
    case SqlType::Real:
        return "REAL";
    case SqlType::LongVarChar:
        return "TEXT";
    case SqlType::LongVarBinary:
        return pg ? "BYTEA" : "BLOB";
    case kDate:
        return "DATE";
    case kBit:
        // PostgreSQL's boolean does not compare with 0, and the program's
        // bit tests are written "= 0": a small integer holds 0 or 1 there.
        return pg ? "SMALLINT CHECK (" + sqlName(column.name, dialect) + " IN (0, 1))" : "BIT";
    default:
        return "VARCHAR(" + std::to_string(column.width > 0 ? column.width : 255) + ")";
    }
}

std::string joinNames(const std::vector<std::string>& names, Dialect dialect)
{
    std::string text;
    for (const std::string& name : names) {
        if (!text.empty())
            text += ", ";
        text += sqlName(name, dialect);
    }
    return text;
}

} // namespace

const Column* Table::column(const std::string& columnName) const
{
    for (const Column& c : columns)
        if (c.name == columnName)
            return &c;
    return nullptr;
}

const std::vector<Table>& tables()
{
    static const std::vector<Table> all = buildTables();
    return all;
}

const Table* table(const std::string& name)
{
    for (const Table& t : tables())
        if (t.name == name)
            return &t;
    return nullptr;
}

std::string physicalColumnName(const std::string& name, Dialect dialect)
{
    if (dialect == Dialect::Sqlite)
        return name;
    std::string lower = name;
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string physicalName(const std::string& name, Dialect dialect)
{
    return plainWord(name) ? physicalColumnName(name, dialect) : name;
}

std::string sqlName(const std::string& name, Dialect dialect)
{
    const std::string physical = physicalName(name, dialect);
    if (plainWord(name) && !reservedWord(name))
        return physical;
    std::string quoted = "\"";
    for (char c : physical) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    return quoted + "\"";
}

std::vector<std::string> createStatements(const Table& table, Dialect dialect)
{
    std::string create = "CREATE TABLE " + sqlName(table.name, dialect) + " (";
    bool first = true;
    for (const Column& column : table.columns) {
        if (!first)
            create += ", ";
        first = false;
        create += sqlName(column.name, dialect) + " " + typeName(column, dialect);
        // A key column holds no NULL on either engine (SQLite would take one
        // in a key that is not an INTEGER PRIMARY KEY).
        if (std::find(table.key.begin(), table.key.end(), column.name) != table.key.end())
            create += " NOT NULL";
    }
    if (!table.key.empty())
        create += ", CONSTRAINT " + sqlName(table.name + "_codice", dialect) + " PRIMARY KEY (" +
                  joinNames(table.key, dialect) + ")";
    create += ")";
    return {create};
}

std::string dropStatement(const Table& table)
{
    return "DROP TABLE IF EXISTS " + sqlName(table.name, Dialect::Sqlite);
}

} // namespace korvan::schema
