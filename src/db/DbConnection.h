#pragma once

#include "db/MessageSink.h"
#include "db/SqlDialect.h"

#include <memory>
#include <string>

namespace korvan {

namespace detail {
class ConnectionBackend;
}

// The program's one handle on the runs database, over one of two back ends:
// a SQLite file (the embedded file back end) or an ODBC data source. It
// carries the two rowset sizes used for block transfers, the SQL dialect and
// the three transaction operations. Opening always yields an object;
// IsOpen() tells whether it worked, and a failure has already been shown
// through the message sink.
class DbConnection {
  public:
    static constexpr int kDefaultRowsetSizeOrdinary = 25;
    static constexpr int kDefaultRowsetSizeBlob = 1;

    // The embedded file back end on a SQLite database file.
    static std::unique_ptr<DbConnection> openSqlite(const std::string& path, int rowsetSizeOrdinary, int rowsetSizeBlob,
                                                    MessageSink& sink);
    // An ODBC data source. `driverNameOut` is set to "" and then to the
    // driver name when the DSN is found among the system's data sources.
    static std::unique_ptr<DbConnection> openOdbc(const std::string& dsn, std::string& driverNameOut,
                                                  int rowsetSizeOrdinary, int rowsetSizeBlob, MessageSink& sink);

    ~DbConnection();
    DbConnection(const DbConnection&) = delete;
    DbConnection& operator=(const DbConnection&) = delete;

    bool IsOpen() const;
    bool IsSqlite() const { return isSqlite_; }
    bool IsOdbc() const { return !isSqlite_; }

    // ODBC: the DSN's driver description, or "Access" for a Microsoft Access
    // driver; empty when the DSN was not found or on the file back end.
    const std::string& DriverName() const { return driverName_; }
    const std::string& SqlitePath() const { return sqlitePath_; }
    const std::string& Dsn() const { return dsn_; }
    // The SQLite library version of the file back end (the about box).
    std::string SqliteVersion() const;

    int RowsetSizeOrdinary() const { return rowsetSizeOrdinary_; }
    int RowsetSizeBlob() const { return rowsetSizeBlob_; }

    // Each does nothing when the connection is not open; a failure is shown
    // and the call returns normally.
    void BeginTrans();
    void CommitTrans();
    void Rollback();
    bool InTransaction() const;

    const SqlDialect& Dialect() const { return dialect_; }
    MessageSink& Sink() const { return sink_; }

    // For the cursors of this layer.
    detail::ConnectionBackend* backend() const { return backend_.get(); }

  private:
    DbConnection(bool isSqlite, int rowsetSizeOrdinary, int rowsetSizeBlob, MessageSink& sink);

    bool isSqlite_;
    int rowsetSizeOrdinary_;
    int rowsetSizeBlob_;
    MessageSink& sink_;
    std::string sqlitePath_;
    std::string dsn_;
    std::string driverName_;
    SqlDialect dialect_;
    std::unique_ptr<detail::ConnectionBackend> backend_;
};

} // namespace korvan
