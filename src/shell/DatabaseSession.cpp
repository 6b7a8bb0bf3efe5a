#include "shell/DatabaseSession.h"

#include "refdata/SchemaCheck.h"

namespace korvan::shell {

DatabaseSession::DatabaseSession(MessageSink& sink) : sink_(sink) {}

DatabaseSession::~DatabaseSession()
{
    closeConnection();
}

void DatabaseSession::applySettings(const StoredSettings& values)
{
    sqlitePath_ = values.sqlitePath;
    odbcDsn_ = values.odbcDsn;
    rowsetSizeOrdinary_ = values.rowsetSizeOrdinary;
    rowsetSizeBlob_ = values.rowsetSizeBlob;
    if (!odbcDsn_.empty())
        useOdbc_ = true;
    else if (!sqlitePath_.empty())
        useSqlite_ = true;
}

StoredSettings DatabaseSession::storedSettings() const
{
    return StoredSettings{sqlitePath_, odbcDsn_, rowsetSizeOrdinary_, rowsetSizeBlob_};
}

bool DatabaseSession::connectToDatabase()
{
    if (!useSqlite_ && !useOdbc_)
        return false;
    if (useOdbc_ && !odbcDsn_.empty()) {
        connection_ = DbConnection::openOdbc(odbcDsn_, odbcDriver_, rowsetSizeOrdinary_, rowsetSizeBlob_, sink_);
        connection_->SetLockWaiter(lockWaiter_);
        if (connection_->IsOpen() && refdata::acceptRunsDatabase(*connection_))
            return true;
        connection_.reset();
        odbcDsn_.clear();
        odbcDriver_.clear();
        return false;
    }
    if (!useSqlite_ || sqlitePath_.empty())
        return false;
    connection_ = DbConnection::openSqlite(sqlitePath_, rowsetSizeOrdinary_, rowsetSizeBlob_, sink_);
    connection_->SetLockWaiter(lockWaiter_);
    if (connection_->IsOpen() && refdata::acceptRunsDatabase(*connection_))
        return true;
    connection_.reset();
    sqlitePath_.clear();
    return false;
}

void DatabaseSession::closeConnection()
{
    connection_.reset();
}

bool DatabaseSession::chooseSqliteFile(const std::string& path)
{
    closeConnection();
    sqlitePath_ = path;
    useSqlite_ = true;
    odbcDsn_.clear();
    odbcDriver_.clear();
    useOdbc_ = false;
    return connectToDatabase();
}

bool DatabaseSession::chooseOdbcSource(const std::string& dsn, const std::string& driver, int rowsetSizeOrdinary,
                                       int rowsetSizeBlob)
{
    closeConnection();
    sqlitePath_.clear();
    useSqlite_ = false;
    odbcDsn_ = dsn;
    odbcDriver_ = driver;
    useOdbc_ = true;
    rowsetSizeOrdinary_ = rowsetSizeOrdinary;
    rowsetSizeBlob_ = rowsetSizeBlob;
    return connectToDatabase();
}

void DatabaseSession::disconnect()
{
    closeConnection();
    sqlitePath_.clear();
}

} // namespace korvan::shell
