#include "db/DbConnection.h"

#include "db/Backend.h"

namespace korvan {

DbConnection::DbConnection(bool isSqlite, int rowsetSizeOrdinary, int rowsetSizeBlob, MessageSink& sink)
    : isSqlite_(isSqlite), rowsetSizeOrdinary_(rowsetSizeOrdinary), rowsetSizeBlob_(rowsetSizeBlob), sink_(sink)
{
}

DbConnection::~DbConnection() = default;

std::unique_ptr<DbConnection> DbConnection::openSqlite(const std::string& path, int rowsetSizeOrdinary,
                                                       int rowsetSizeBlob, MessageSink& sink)
{
    // A rowset size below 1 would make every block empty.
    std::unique_ptr<DbConnection> connection(new DbConnection(true, rowsetSizeOrdinary < 1 ? 1 : rowsetSizeOrdinary,
                                                              rowsetSizeBlob < 1 ? 1 : rowsetSizeBlob, sink));
    connection->sqlitePath_ = path;
    connection->dialect_ = SqlDialect(SqlDialect::Kind::Sqlite);
    connection->backend_ = detail::openSqliteBackend(path, *connection);
    return connection;
}

std::unique_ptr<DbConnection> DbConnection::openOdbc(const std::string& dsn, std::string& driverNameOut,
                                                     int rowsetSizeOrdinary, int rowsetSizeBlob, MessageSink& sink)
{
    std::unique_ptr<DbConnection> connection(new DbConnection(false, rowsetSizeOrdinary < 1 ? 1 : rowsetSizeOrdinary,
                                                              rowsetSizeBlob < 1 ? 1 : rowsetSizeBlob, sink));
    driverNameOut.clear();
    connection->dsn_ = dsn;
    connection->dialect_ = SqlDialect(SqlDialect::Kind::QuotedDigits);
    connection->backend_ = detail::openOdbcBackend(dsn, *connection, connection->driverName_, connection->dialect_);
    driverNameOut = connection->driverName_;
    return connection;
}

bool DbConnection::IsOpen() const
{
    return backend_ && backend_->isOpen();
}

std::string DbConnection::SqliteVersion() const
{
    return isSqlite_ && backend_ ? backend_->versionText() : std::string();
}

void DbConnection::BeginTrans()
{
    if (IsOpen())
        backend_->beginTrans();
}

void DbConnection::CommitTrans()
{
    if (IsOpen())
        backend_->commitTrans();
}

void DbConnection::Rollback()
{
    if (IsOpen())
        backend_->rollback();
}

bool DbConnection::InTransaction() const
{
    return IsOpen() && backend_->inTransaction();
}

} // namespace korvan
