#pragma once

// The one list of back ends the tests run on: the SQLite file (the file back
// end), PostgreSQL through psqlODBC and SQLite through its ODBC driver; and a
// fresh runs database on any of them. The ODBC data sources are those the
// test command configures (scripts/test-servers.sh).

#include "SchemaCreator.h"
#include "db/DbConnection.h"

#include <array>
#include <memory>
#include <optional>
#include <string>

namespace korvan::test {

class TempDir;

enum class Backend { SqliteFile, PostgresOdbc, SqliteOdbc };

inline constexpr std::array<Backend, 3> kAllBackends{Backend::SqliteFile, Backend::PostgresOdbc, Backend::SqliteOdbc};
inline constexpr std::array<Backend, 2> kOdbcBackends{Backend::PostgresOdbc, Backend::SqliteOdbc};

// "SqliteFile", "PostgresOdbc", "SqliteOdbc".
std::string backendName(Backend backend);
inline bool isOdbc(Backend backend)
{
    return backend != Backend::SqliteFile;
}
// The back end's ODBC data source; "" for the file back end, and for an ODBC
// back end the test command did not configure.
std::string dataSourceOf(Backend backend);
// An ODBC back end without its data source: its tests are skipped (or fail,
// when the test command requires every back end: odbcRequired()).
bool dataSourceMissing(Backend backend);

// A runs database on one back end for one test: on the file back end a new
// file in the test's folder, over ODBC the data source's own database, which
// every test program shares (tests run one after the other).
class TestDatabase {
  public:
    TestDatabase(Backend backend, const TempDir& dir, const std::string& fileName = "runs.db");

    // Creates every table of the schema anew, dropping what was there; the
    // error, or "".
    std::string createTables();
    // Plain SQL on the database, outside the program's layer.
    tools::RawDatabase& raw() { return *raw_; }
    // A connection of the program's own layer, its messages to `sink`.
    std::unique_ptr<DbConnection> open(MessageSink& sink,
                                       int rowsetSizeOrdinary = DbConnection::kDefaultRowsetSizeOrdinary,
                                       int rowsetSizeBlob = DbConnection::kDefaultRowsetSizeBlob) const;

    Backend backend() const { return backend_; }
    const std::string& sqlitePath() const { return sqlitePath_; }
    const std::string& dataSource() const { return dataSource_; }

  private:
    Backend backend_;
    std::string sqlitePath_;
    std::string dataSource_;
    std::optional<tools::RawDatabase> raw_;
};

} // namespace korvan::test
