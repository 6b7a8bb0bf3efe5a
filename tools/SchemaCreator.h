#pragma once

// Creates the runs-database tables described in refdata/Schema.h, for test
// fixtures and the demo database. KORVAN itself never creates tables.

#include "refdata/Schema.h"

#include <string>
#include <vector>

struct sqlite3;

namespace korvan::tools {

// Runs SQL statements directly on a SQLite file or an ODBC data source,
// outside the program's database layer. Errors come back as text.
class RawDatabase {
  public:
    static RawDatabase sqliteFile(const std::string& path);
    // A full ODBC connection string ("DSN=...;") or a bare DSN name.
    static RawDatabase odbc(const std::string& connection);

    RawDatabase(RawDatabase&&) noexcept;
    RawDatabase& operator=(RawDatabase&&) noexcept;
    ~RawDatabase();

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    schema::Dialect dialect() const { return dialect_; }

    // Runs one statement; false and error() set on failure.
    bool exec(const std::string& sql);
    // First column of the first row as text ("" when none).
    std::string queryText(const std::string& sql);

    // The open connection for bulk writers: the SQLite handle (null on
    // ODBC) or the ODBC connection handle, an SQLHDBC (null on SQLite).
    sqlite3* sqliteHandle() const;
    void* odbcHandle() const;

  private:
    RawDatabase() = default;
    struct Handles;
    Handles* handles_ = nullptr;
    schema::Dialect dialect_ = schema::Dialect::Sqlite;
    std::string error_;
};

// Drops (when asked) and creates the given tables, or all of them, in the
// schema's order. A name that is not a table of the schema is an error and
// nothing is created.
bool createTables(RawDatabase& db, bool dropFirst, std::string& error, const std::vector<std::string>& only = {});

} // namespace korvan::tools
