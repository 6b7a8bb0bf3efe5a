#include "db/sqlite/SqliteStatement.h"

#include <strings.h>

namespace korvan::detail::sqlite {

bool prepare(sqlite3* db, const std::string& sql, Statement& statement)
{
    sqlite3_stmt* raw = nullptr;
    const int rc = sqlite3_prepare_v2(db, sql.c_str(), static_cast<int>(sql.size()), &raw, nullptr);
    statement.reset(raw);
    // An empty text prepares to no statement at all.
    return rc == SQLITE_OK && raw != nullptr;
}

bool execute(sqlite3* db, const char* sql)
{
    return sqlite3_exec(db, sql, nullptr, nullptr, nullptr) == SQLITE_OK;
}

bool execute(sqlite3* db, Statement& statement, const char* sql)
{
    if (!statement && !prepare(db, sql, statement))
        return false;
    const int rc = sqlite3_step(statement.get());
    sqlite3_reset(statement.get());
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

std::string quoteIdentifier(const std::string& name)
{
    std::string quoted = "\"";
    for (char c : name) {
        if (c == '"')
            quoted += '"';
        quoted += c;
    }
    quoted += '"';
    return quoted;
}

bool sameName(const std::string& a, const char* b)
{
    return b && strcasecmp(a.c_str(), b) == 0;
}

std::string errorText(sqlite3* db)
{
    return db ? sqlite3_errmsg(db) : sqlite3_errstr(SQLITE_MISUSE);
}

std::string updateByRowidSql(const std::string& table, const std::vector<std::string>& columnNames,
                             const std::vector<char>& changed)
{
    std::string sql = "UPDATE " + quoteIdentifier(table) + " SET ";
    int parameter = 0;
    for (size_t i = 0; i < columnNames.size(); ++i) {
        if (!changed[i])
            continue;
        if (parameter > 0)
            sql += ", ";
        sql += quoteIdentifier(columnNames[i]) + " = ?" + std::to_string(++parameter);
    }
    return sql + " WHERE rowid = ?" + std::to_string(parameter + 1);
}

} // namespace korvan::detail::sqlite
