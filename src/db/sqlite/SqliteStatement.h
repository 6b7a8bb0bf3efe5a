#pragma once

// Small helpers over the sqlite3 C API shared by the file back end: an owning
// statement handle, identifier quoting and one-shot statements.

#include <sqlite3.h>

#include <memory>
#include <string>
#include <vector>

namespace korvan::detail::sqlite {

struct StatementFinalizer {
    void operator()(sqlite3_stmt* statement) const { sqlite3_finalize(statement); }
};
using Statement = std::unique_ptr<sqlite3_stmt, StatementFinalizer>;

// Prepares one statement; on failure `statement` is empty and false returned
// (the text is in sqlite3_errmsg of the database).
bool prepare(sqlite3* db, const std::string& sql, Statement& statement);

// Runs a statement that returns no rows we need; false on error.
bool execute(sqlite3* db, const char* sql);
// The same through a statement kept prepared in `statement` for the next call.
bool execute(sqlite3* db, Statement& statement, const char* sql);

// "name" with embedded quotes doubled, for table and column names.
std::string quoteIdentifier(const std::string& name);

// ASCII case-insensitive comparison: SQLite names ignore letter case.
bool sameName(const std::string& a, const char* b);

std::string errorText(sqlite3* db);

// "UPDATE "table" SET "a" = ?1, "b" = ?2 WHERE rowid = ?3" for the columns
// whose `changed` flag is set, in column order.
std::string updateByRowidSql(const std::string& table, const std::vector<std::string>& columnNames,
                             const std::vector<char>& changed);

} // namespace korvan::detail::sqlite
