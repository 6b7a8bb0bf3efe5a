#include "db/odbc/OdbcCatalog.h"

#include "db/SqlTypes.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcStatement.h"

#include <algorithm>
#include <cctype>

namespace korvan::detail::odbc {

int normaliseSqlType(int sqlType)
{
    switch (sqlType) {
    case SQL_TYPE_DATE:
        return SqlType::Date;
    case SQL_TYPE_TIME:
        return SqlType::Time;
    case SQL_TYPE_TIMESTAMP:
        return SqlType::Timestamp;
    case SQL_WCHAR:
        return SqlType::Char;
    case SQL_WVARCHAR:
        return SqlType::VarChar;
    case SQL_WLONGVARCHAR:
        return SqlType::LongVarChar;
    // Byte arrays of any length are held alike (SQLite's BLOB through its
    // driver is SQL_BINARY).
    case SQL_BINARY:
    case SQL_VARBINARY:
        return SqlType::LongVarBinary;
    default:
        return sqlType;
    }
}

namespace {

// Reads one text column of the current catalogue row.
std::string textColumn(SQLHSTMT statement, SQLUSMALLINT column)
{
    char buffer[256] = {0};
    SQLLEN length = 0;
    if (!succeeded(SQLGetData(statement, column, SQL_C_CHAR, buffer, sizeof buffer, &length)) ||
        length == SQL_NULL_DATA)
        return {};
    return buffer;
}

SQLCHAR* nameOrNull(const std::string& name)
{
    return name.empty() ? nullptr : sqlText(name);
}

} // namespace

std::vector<ColumnInfo> tableColumns(SQLHDBC connection, const std::string& table, const std::string& column)
{
    std::vector<ColumnInfo> columns;
    Statement statement;
    if (!statement.allocate(connection))
        return columns;
    if (!succeeded(SQLColumns(statement.get(), nullptr, 0, nullptr, 0, sqlText(table), SQL_NTS, nameOrNull(column),
                              column.empty() ? 0 : SQL_NTS)))
        return columns;
    // Catalogue names are patterns ("_" matches any character): keep the
    // rows of the table itself, from the first schema reported.
    std::string schema;
    bool first = true;
    while (succeeded(SQLFetch(statement.get()))) {
        const std::string rowSchema = textColumn(statement.get(), 2);
        const std::string rowTable = textColumn(statement.get(), 3);
        if (!sameNameIgnoringCase(rowTable, table))
            continue;
        if (first) {
            schema = rowSchema;
            first = false;
        } else if (rowSchema != schema) {
            continue;
        }
        // Columns read in their order: not every driver reads them otherwise.
        const std::string name = textColumn(statement.get(), 4);
        SQLSMALLINT type = 0;
        SQLLEN length = 0;
        SQLGetData(statement.get(), 5, SQL_C_SSHORT, &type, sizeof type, &length);
        const std::string typeName = textColumn(statement.get(), 6);
        SQLINTEGER size = 0;
        if (!succeeded(SQLGetData(statement.get(), 7, SQL_C_SLONG, &size, sizeof size, &length)) ||
            length == SQL_NULL_DATA)
            size = 0;
        columns.push_back({name, normaliseSqlType(type), typeName, static_cast<int>(size)});
    }
    return columns;
}

namespace {

// SQLPrimaryKeys into `names`, the key columns in key order (none for a
// table without a key); false when the driver could not answer.
bool readPrimaryKey(SQLHDBC connection, const std::string& table, std::vector<std::string>& names)
{
    Statement statement;
    if (!statement.allocate(connection))
        return false;
    if (!succeeded(SQLPrimaryKeys(statement.get(), nullptr, 0, nullptr, 0, sqlText(table), SQL_NTS)))
        return false;
    std::vector<std::pair<int, std::string>> ordered;
    std::string schema;
    bool first = true;
    while (succeeded(SQLFetch(statement.get()))) {
        const std::string rowSchema = textColumn(statement.get(), 2);
        if (first) {
            schema = rowSchema;
            first = false;
        } else if (rowSchema != schema) {
            continue;
        }
        SQLSMALLINT sequence = 0;
        SQLLEN length = 0;
        SQLGetData(statement.get(), 5, SQL_C_SSHORT, &sequence, sizeof sequence, &length);
        ordered.emplace_back(sequence, textColumn(statement.get(), 4));
    }
    std::sort(ordered.begin(), ordered.end());
    for (auto& entry : ordered)
        names.push_back(std::move(entry.second));
    return true;
}

} // namespace

std::vector<ColumnInfo> CatalogCache::columns(SQLHDBC connection, const std::string& table)
{
    if (const auto found = columns_.find(table); found != columns_.end())
        return found->second;
    std::vector<ColumnInfo> columns = tableColumns(connection, table);
    if (!columns.empty())
        columns_.emplace(table, columns);
    return columns;
}

std::vector<std::string> CatalogCache::primaryKey(SQLHDBC connection, const std::string& table)
{
    if (const auto found = keys_.find(table); found != keys_.end())
        return found->second;
    std::vector<std::string> names;
    // A table without a key is remembered as such, but only a table found:
    // a failed call, or one on a table not made yet, is asked again.
    if (readPrimaryKey(connection, table, names) && columns_.count(table) != 0)
        keys_.emplace(table, names);
    return names;
}

void CatalogCache::clear()
{
    columns_.clear();
    keys_.clear();
}

bool sameNameIgnoringCase(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

int findColumn(const std::vector<ColumnInfo>& columns, const std::string& name)
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == name)
            return static_cast<int>(i);
    for (size_t i = 0; i < columns.size(); ++i)
        if (sameNameIgnoringCase(columns[i].name, name))
            return static_cast<int>(i);
    return -1;
}

std::optional<std::vector<CatalogColumn>> OdbcConnection::describeTable(const std::string& table)
{
    if (!open_)
        return std::nullopt;
    std::vector<CatalogColumn> columns;
    for (const ColumnInfo& column : catalog_.columns(dbc_, table)) {
        const bool text = column.sqlType == SqlType::Char || column.sqlType == SqlType::VarChar ||
                          column.sqlType == SqlType::LongVarChar;
        columns.push_back({column.name, column.sqlType, column.typeName, text ? column.size : 0, 0});
    }
    if (columns.empty())
        return std::nullopt;
    std::vector<ColumnInfo> found(columns.size());
    for (size_t i = 0; i < columns.size(); ++i)
        found[i].name = columns[i].name;
    int position = 0;
    for (const std::string& key : catalog_.primaryKey(dbc_, table)) {
        ++position;
        const int index = findColumn(found, key);
        if (index >= 0)
            columns[static_cast<size_t>(index)].keyPosition = position;
    }
    return columns;
}

std::string postgresTypeName(int sqlType)
{
    switch (sqlType) {
    case SqlType::SmallInt:
    case SqlType::TinyInt:
        return "smallint";
    case SqlType::Integer:
        return "integer";
    case SqlType::Float:
    case SqlType::Double:
        return "double precision";
    case SqlType::Real:
        return "real";
    case SqlType::Date:
        return "date";
    case SqlType::Time:
        return "time";
    case SqlType::Timestamp:
        return "timestamp";
    case SqlType::Char:
    case SqlType::VarChar:
    case SqlType::LongVarChar:
        return "varchar";
    case SqlType::Bit:
        return "boolean";
    default:
        return {};
    }
}

std::string postgresTypeName(const ColumnInfo& column)
{
    if (!column.typeName.empty())
        return column.typeName;
    const std::string name = postgresTypeName(column.sqlType);
    return name.empty() ? "varchar" : name;
}

} // namespace korvan::detail::odbc
