#include "db/odbc/OdbcConnection.h"

#include "db/DbConnection.h"
#include "db/odbc/OdbcChangeCursors.h"
#include "db/odbc/OdbcDataSources.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcLocks.h"
#include "db/odbc/OdbcSelectCursor.h"
#include "db/odbc/OdbcTableCursor.h"

#include <algorithm>
#include <cctype>

namespace korvan::detail {

std::unique_ptr<ConnectionBackend> openOdbcBackend(const std::string& dsn, DbConnection& owner, std::string& driverName,
                                                   SqlDialect& dialect)
{
    return std::make_unique<odbc::OdbcConnection>(dsn, owner, driverName, dialect);
}

} // namespace korvan::detail

namespace korvan::detail::odbc {

namespace {

std::string infoText(SQLHDBC dbc, SQLUSMALLINT info)
{
    char buffer[256] = {0};
    SQLSMALLINT length = 0;
    if (!succeeded(SQLGetInfo(dbc, info, buffer, sizeof buffer, &length)))
        return {};
    return buffer;
}

// The description of the data source named exactly `dsn` (case-sensitive),
// "Access" for a Microsoft Access driver; "" when there is none.
std::string findDriverName(const std::string& dsn)
{
    std::vector<OdbcDataSource> sources;
    listOdbcDataSources(sources);
    for (const OdbcDataSource& source : sources)
        if (source.name == dsn)
            return source.description.rfind("Microsoft Access", 0) == 0 ? "Access" : source.description;
    return {};
}

} // namespace

OdbcConnection::OdbcConnection(const std::string& dsn, DbConnection& owner, std::string& driverName,
                               SqlDialect& dialect)
    : owner_(owner)
{
    driverName.clear();
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) {
        env_ = SQL_NULL_HENV;
        show(kOdbcEnvironmentMessage);
        return;
    }
    SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, attributeValue(SQL_OV_ODBC3), 0);
    open_ = connect(dsn, driverName);
    if (driverName == "Access")
        dialect = SqlDialect(SqlDialect::Kind::Jet);
    if (!open_)
        return;

    const std::string dbmsName = infoText(dbc_, SQL_DBMS_NAME);
    if (driverName == "Access")
        dbms_ = DbmsKind::Access;
    else if (dbmsName.rfind("SQLite", 0) == 0)
        dbms_ = DbmsKind::Sqlite;
    else if (dbmsName.rfind("PostgreSQL", 0) == 0)
        dbms_ = DbmsKind::PostgreSql;
    dialect = SqlDialect(dbms_ == DbmsKind::Access   ? SqlDialect::Kind::Jet
                         : dbms_ == DbmsKind::Sqlite ? SqlDialect::Kind::Sqlite
                                                     : SqlDialect::Kind::QuotedDigits);

    SQLUSMALLINT capable = SQL_TC_ALL;
    if (succeeded(SQLGetInfo(dbc_, SQL_TXN_CAPABLE, &capable, sizeof capable, nullptr)))
        transactions_ = capable != SQL_TC_NONE;
    const std::string quote = infoText(dbc_, SQL_IDENTIFIER_QUOTE_CHAR);
    quote_ = quote == " " ? std::string() : quote;
    if (dbms_ == DbmsKind::PostgreSql) {
        // The name a colleague's refusal shows for this connection.
        execute(applicationNameStatement());
        // psqlODBC reads every result through a cursor, which PostgreSQL
        // plans for its first tenth of rows. KORVAN reads every row: planned
        // for a tenth, the days of 500 runs in a month came by a walk of the
        // company's whole key, 68 ms, in place of a sort of the rows found, 2.
        execute("SET cursor_tuple_fraction = 1");
    }
}

bool OdbcConnection::connect(const std::string& dsn, std::string& driverName)
{
    driverName = findDriverName(dsn);
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) {
        dbc_ = SQL_NULL_HDBC;
        show("Errore in fase di conessione al database \n\n" + driverText(SQL_HANDLE_ENV, env_));
        return false;
    }
    const SQLRETURN rc = SQLConnect(dbc_, sqlText(dsn), static_cast<SQLSMALLINT>(dsn.size()), nullptr, 0, nullptr, 0);
    if (!succeeded(rc)) {
        show("Errore in fase di conessione al database \n\n" + driverText(SQL_HANDLE_DBC, dbc_));
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
        dbc_ = SQL_NULL_HDBC;
        return false;
    }
    return true;
}

OdbcConnection::~OdbcConnection()
{
    if (dbc_ != SQL_NULL_HDBC) {
        if (!succeeded(SQLDisconnect(dbc_))) {
            show("Errore in fase di sconessione dal database \n\n" + driverText(SQL_HANDLE_DBC, dbc_));
            // A transaction left open keeps the connection: undo it and
            // close anyway.
            SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
            SQLDisconnect(dbc_);
        }
        SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    }
    if (env_ != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, env_);
}

void OdbcConnection::show(const std::string& text, MessageIcon icon) const
{
    owner_.Sink().showMessage(text, icon);
}

int OdbcConnection::parameterLimit() const
{
    // PostgreSQL takes 65535 parameters and psqlODBC 32767, but libpq before
    // 15.19 (Debian 12's own 15.18 among them) drops the connection when the
    // server's description of the parameters is longer than 30,000 bytes
    // ("lost synchronization with server: got message type "t""), which
    // happens beyond 7,498 parameters: 4,096 keeps well below that. SQLite's
    // default limit is 32766.
    switch (dbms_) {
    case DbmsKind::PostgreSql:
        return 4096;
    case DbmsKind::Sqlite:
        return 32766;
    case DbmsKind::Access:
    case DbmsKind::Other:
        break;
    }
    return 2000;
}

std::string OdbcConnection::quoteIdentifier(const std::string& name) const
{
    if (quote_.empty())
        return name;
    std::string quoted = quote_;
    for (char c : name) {
        quoted += c;
        if (quote_.size() == 1 && c == quote_[0])
            quoted += c;
    }
    return quoted + quote_;
}

std::string OdbcConnection::tableReference(const std::string& table) const
{
    const bool plain = !table.empty() && !std::isdigit(static_cast<unsigned char>(table[0])) &&
                       std::all_of(table.begin(), table.end(),
                                   [](char c) { return std::isalnum(static_cast<unsigned char>(c)) || c == '_'; });
    return plain ? table : quoteIdentifier(table);
}

void OdbcConnection::addPendingWrites(PendingWrites* writes)
{
    if (std::find(pending_.begin(), pending_.end(), writes) == pending_.end())
        pending_.push_back(writes);
}

void OdbcConnection::removePendingWrites(PendingWrites* writes)
{
    pending_.erase(std::remove(pending_.begin(), pending_.end(), writes), pending_.end());
}

bool OdbcConnection::sendPendingWrites()
{
    // The writes themselves run statements: they send nothing else.
    if (sendingPending_ || pending_.empty())
        return true;
    sendingPending_ = true;
    bool sent = true;
    for (PendingWrites* writes : std::vector<PendingWrites*>(pending_))
        sent = writes->sendPending() && sent;
    sendingPending_ = false;
    return sent;
}

namespace {

// Whether a statement leaves every table's columns and key as they were:
// rows read or written, transactions and savepoints begun or kept. Any
// other (CREATE, ALTER, DROP, a ROLLBACK TO) may change them.
bool keepsTableShapes(const std::string& sql)
{
    static const char* const kKeeping[] = {"SELECT", "INSERT",    "UPDATE",  "DELETE", "BEGIN",
                                           "COMMIT", "SAVEPOINT", "RELEASE", "SET",    "PRAGMA"};
    const size_t start = sql.find_first_not_of(" \t\r\n(");
    if (start == std::string::npos)
        return true;
    const size_t end = std::min(sql.size(), sql.find_first_of(" \t\r\n;(", start));
    const std::string word = sql.substr(start, end - start);
    return std::any_of(std::begin(kKeeping), std::end(kKeeping),
                       [&](const char* keeping) { return sameNameIgnoringCase(word, keeping); });
}

} // namespace

bool OdbcConnection::execute(const std::string& sql, std::string* error, long* rows)
{
    if (rows)
        *rows = 0;
    sendPendingWrites();
    if (!keepsTableShapes(sql))
        catalog_.clear();
    Statement statement;
    if (!statement.allocate(dbc_)) {
        if (error)
            *error = driverText(SQL_HANDLE_DBC, dbc_);
        return false;
    }
    const SQLRETURN rc = SQLExecDirect(statement.get(), sqlText(sql), SQL_NTS);
    lastExecuteState_.clear();
    if (succeeded(rc) || rc == SQL_NO_DATA) {
        SQLLEN changed = 0;
        if (rows && rc != SQL_NO_DATA && succeeded(SQLRowCount(statement.get(), &changed)) && changed > 0)
            *rows = static_cast<long>(changed);
        return true;
    }
    lastExecuteState_ = sqlState(SQL_HANDLE_STMT, statement.get());
    if (error)
        *error = driverText(SQL_HANDLE_STMT, statement.get());
    return false;
}

OdbcConnection::Group OdbcConnection::beginGroup(bool several)
{
    // Inside an all-or-nothing transaction a failure undoes everything.
    if (inTransaction_ && owner_.InAllOrNothingTransaction())
        return Group::None;
    if (inTransaction_)
        return execute("SAVEPOINT korvan_group") ? Group::Savepoint : Group::None;
    if (!several || !transactions_)
        return Group::None;
    return succeeded(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, attributeValue(SQL_AUTOCOMMIT_OFF), 0))
               ? Group::OwnTransaction
               : Group::None;
}

void OdbcConnection::endGroup(Group group, bool keep)
{
    if (group != Group::None && !keep)
        catalog_.clear();
    switch (group) {
    case Group::None:
        return;
    case Group::Savepoint:
        execute(keep ? "RELEASE SAVEPOINT korvan_group" : "ROLLBACK TO SAVEPOINT korvan_group");
        return;
    case Group::OwnTransaction:
        SQLEndTran(SQL_HANDLE_DBC, dbc_, keep ? SQL_COMMIT : SQL_ROLLBACK);
        SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, attributeValue(SQL_AUTOCOMMIT_ON), 0);
        return;
    }
}

namespace {

bool isLostConnectionState(const std::string& state)
{
    // 08xxx: connection exceptions; 57P01..57P03: the server shut down,
    // crashed or is starting.
    return state.rfind("08", 0) == 0 || state == "57P01" || state == "57P02" || state == "57P03";
}

} // namespace

bool OdbcConnection::connectionDead() const
{
    SQLUINTEGER dead = SQL_CD_FALSE;
    return dbc_ != SQL_NULL_HDBC && succeeded(SQLGetConnectAttr(dbc_, SQL_ATTR_CONNECTION_DEAD, &dead, 0, nullptr)) &&
           dead == SQL_CD_TRUE;
}

void OdbcConnection::describeFailure(DbError& error)
{
    const DiagnosticCodes codes = takeLastDiagnosticCodes();
    error.sqlState = codes.state;
    error.nativeCode = codes.native;
    error.connectionLost = isLostConnectionState(codes.state) || connectionDead();
}

LockAttempt OdbcConnection::beginLocked(const LockScope& scope, int waitMilliseconds, LockConflict& conflict)
{
    if (!transactions_)
        return LockAttempt::Failed;
    std::string error;
    if (sqlTransactions()) {
        // The driver's busy handler bounds the wait for the writer lock
        // with the data source's own Timeout.
        if (!execute("BEGIN IMMEDIATE", &error)) {
            if (error.find("locked") != std::string::npos || error.find("busy") != std::string::npos)
                return LockAttempt::Busy;
            show(kBeginTransFailure + error);
            return LockAttempt::Failed;
        }
        inTransaction_ = true;
        ++transactionCount_;
        return LockAttempt::Taken;
    }
    if (!succeeded(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, attributeValue(SQL_AUTOCOMMIT_OFF), 0))) {
        show(kBeginTransFailure + driverText(SQL_HANDLE_DBC, dbc_));
        return LockAttempt::Failed;
    }
    inTransaction_ = true;
    ++transactionCount_;
    if (dbms_ != DbmsKind::PostgreSql)
        return LockAttempt::Taken;
    const LockAttempt taken = takePostgresLocks(*this, scope, waitMilliseconds, conflict, error);
    if (taken == LockAttempt::Taken)
        return taken;
    SQLEndTran(SQL_HANDLE_DBC, dbc_, SQL_ROLLBACK);
    SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, attributeValue(SQL_AUTOCOMMIT_ON), 0);
    inTransaction_ = false;
    if (taken == LockAttempt::Busy)
        findPostgresHolders(*this, conflict);
    else
        show(kBeginTransFailure + error);
    return taken;
}

LockAttempt OdbcConnection::addLock(const LockScope& scope, int waitMilliseconds, LockConflict& conflict)
{
    if (dbms_ != DbmsKind::PostgreSql || !inTransaction_)
        return LockAttempt::Taken;
    // A refused lock undoes its savepoint alone: the work pending stays.
    std::string error;
    if (!execute("SAVEPOINT korvan_lock", &error)) {
        show(kBeginTransFailure + error);
        return LockAttempt::Failed;
    }
    const LockAttempt taken = takePostgresLocks(*this, scope, waitMilliseconds, conflict, error);
    if (taken != LockAttempt::Taken)
        execute("ROLLBACK TO SAVEPOINT korvan_lock");
    execute("RELEASE SAVEPOINT korvan_lock");
    if (taken == LockAttempt::Busy)
        findPostgresHolders(*this, conflict);
    else if (taken == LockAttempt::Failed)
        show(kBeginTransFailure + error);
    return taken;
}

bool OdbcConnection::endTransaction(bool commit, const char* message)
{
    if (!transactions_)
        return false;
    // A table made or changed inside the transaction is undone with it.
    if (!commit)
        catalog_.clear();
    bool ended = true;
    if (sqlTransactions()) {
        std::string error;
        if (inTransaction_ && !execute(commit ? "COMMIT" : "ROLLBACK", &error)) {
            show(message + error);
            ended = false;
        }
        // A refused commit leaves the transaction open, to be rolled back.
        if (ended || !commit)
            inTransaction_ = false;
        return ended;
    }
    if (!succeeded(SQLEndTran(SQL_HANDLE_DBC, dbc_, commit ? SQL_COMMIT : SQL_ROLLBACK))) {
        show(message + driverText(SQL_HANDLE_DBC, dbc_));
        ended = false;
    }
    if (inTransaction_) {
        SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, attributeValue(SQL_AUTOCOMMIT_ON), 0);
        inTransaction_ = false;
    }
    return ended;
}

bool OdbcConnection::commitTrans()
{
    // Nothing is kept of a transaction whose held-back writes failed.
    if (!sendPendingWrites()) {
        rollback();
        return false;
    }
    return endTransaction(true, kCommitTransFailure);
}

bool OdbcConnection::rollback()
{
    for (PendingWrites* writes : pending_)
        writes->discardPending();
    return endTransaction(false, kRollbackFailure);
}

bool OdbcConnection::savepointStep(const std::string& sql)
{
    std::string error;
    if (execute(sql, &error))
        return true;
    show(kSavepointFailure + error);
    return false;
}

bool OdbcConnection::executeStatement(const std::string& sql, const std::string& failureText)
{
    std::string error;
    if (execute(sql, &error))
        return true;
    show(failureText + error);
    return false;
}

bool OdbcConnection::executeCounting(const std::string& sql, const std::string& failureText, long& rows)
{
    std::string error;
    if (execute(sql, &error, &rows))
        return true;
    show(failureText + error);
    return false;
}

std::unique_ptr<TableCursorBackend> OdbcConnection::openTable(const std::string& tableName, bool bulkInsert,
                                                              int blobBytes)
{
    return std::make_unique<OdbcTableCursor>(*this, tableName, bulkInsert, blobBytes);
}

std::unique_ptr<SelectCursorBackend> OdbcConnection::newSelect()
{
    return std::make_unique<OdbcSelectCursor>(*this);
}

std::unique_ptr<DeleteCursorBackend> OdbcConnection::newDelete()
{
    return std::make_unique<OdbcDeleteCursor>(*this);
}

std::unique_ptr<UpdateCursorBackend> OdbcConnection::newUpdate()
{
    return std::make_unique<OdbcUpdateCursor>(*this);
}

} // namespace korvan::detail::odbc
