#include "support/TestBackends.h"

#include "support/TestSupport.h"

namespace korvan::test {

std::string backendName(Backend backend)
{
    switch (backend) {
    case Backend::SqliteFile:
        return "SqliteFile";
    case Backend::PostgresOdbc:
        return "PostgresOdbc";
    case Backend::SqliteOdbc:
        break;
    }
    return "SqliteOdbc";
}

std::string dataSourceOf(Backend backend)
{
    switch (backend) {
    case Backend::SqliteFile:
        break;
    case Backend::PostgresOdbc:
        return postgresDsn();
    case Backend::SqliteOdbc:
        return sqliteOdbcDsn();
    }
    return "";
}

bool dataSourceMissing(Backend backend)
{
    return isOdbc(backend) && dataSourceOf(backend).empty();
}

TestDatabase::TestDatabase(Backend backend, const TempDir& dir, const std::string& fileName)
    : backend_(backend), dataSource_(dataSourceOf(backend))
{
    if (!isOdbc(backend))
        sqlitePath_ = dir.file(fileName);
}

std::string TestDatabase::createTables()
{
    if (dataSourceMissing(backend_))
        return "no data source for " + backendName(backend_);
    raw_.emplace(isOdbc(backend_) ? tools::RawDatabase::odbc(dataSource_)
                                  : tools::RawDatabase::sqliteFile(sqlitePath_));
    if (!raw_->ok())
        return raw_->error();
    std::string error;
    tools::createTables(*raw_, true, error);
    return error;
}

std::unique_ptr<DbConnection> TestDatabase::open(MessageSink& sink, int rowsetSizeOrdinary, int rowsetSizeBlob) const
{
    if (!isOdbc(backend_))
        return DbConnection::openSqlite(sqlitePath_, rowsetSizeOrdinary, rowsetSizeBlob, sink);
    std::string driver;
    return DbConnection::openOdbc(dataSource_, driver, rowsetSizeOrdinary, rowsetSizeBlob, sink);
}

} // namespace korvan::test
