#include "db/odbc/OdbcConnection.h"

#include "db/DbConnection.h"
#include "db/odbc/OdbcChangeCursors.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcSelectCursor.h"
#include "db/odbc/OdbcTableCursor.h"

#include <cstring>

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
std::string findDriverName(SQLHENV env, const std::string& dsn)
{
    SQLCHAR name[33];
    SQLCHAR description[512];
    SQLSMALLINT nameLength = 0;
    SQLSMALLINT descriptionLength = 0;
    SQLUSMALLINT direction = SQL_FETCH_FIRST;
    for (;;) {
        const SQLRETURN rc = SQLDataSources(env, direction, name, sizeof name, &nameLength, description,
                                            sizeof description, &descriptionLength);
        if (!succeeded(rc))
            return {};
        direction = SQL_FETCH_NEXT;
        if (dsn == reinterpret_cast<const char*>(name)) {
            const char* text = reinterpret_cast<const char*>(description);
            return std::strncmp(text, "Microsoft Access", 16) == 0 ? "Access" : text;
        }
    }
}

} // namespace

OdbcConnection::OdbcConnection(const std::string& dsn, DbConnection& owner, std::string& driverName,
                               SqlDialect& dialect)
    : owner_(owner)
{
    driverName.clear();
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) {
        env_ = SQL_NULL_HENV;
        show("Impossibile allocare ambiente ODBC");
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
}

bool OdbcConnection::connect(const std::string& dsn, std::string& driverName)
{
    driverName = findDriverName(env_, dsn);
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
    // PostgreSQL takes 65535 parameters, but psqlODBC counts them in a signed
    // 16-bit number and overruns its own memory beyond 32767; SQLite's
    // default limit is 32766.
    switch (dbms_) {
    case DbmsKind::PostgreSql:
        return 32767;
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

bool OdbcConnection::execute(const std::string& sql, std::string* error)
{
    Statement statement;
    if (!statement.allocate(dbc_)) {
        if (error)
            *error = driverText(SQL_HANDLE_DBC, dbc_);
        return false;
    }
    const SQLRETURN rc = SQLExecDirect(statement.get(), sqlText(sql), SQL_NTS);
    if (succeeded(rc) || rc == SQL_NO_DATA)
        return true;
    if (error)
        *error = driverText(SQL_HANDLE_STMT, statement.get());
    return false;
}

OdbcConnection::Group OdbcConnection::beginGroup(bool several)
{
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

void OdbcConnection::beginTrans()
{
    if (!transactions_)
        return;
    if (!succeeded(SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, attributeValue(SQL_AUTOCOMMIT_OFF), 0))) {
        show("Errore in fase di avvio della transazione\n\n" + driverText(SQL_HANDLE_DBC, dbc_));
        return;
    }
    inTransaction_ = true;
}

void OdbcConnection::endTransaction(SQLSMALLINT completion, const char* message)
{
    if (!transactions_)
        return;
    if (!succeeded(SQLEndTran(SQL_HANDLE_DBC, dbc_, completion)))
        show(message + driverText(SQL_HANDLE_DBC, dbc_));
    if (inTransaction_) {
        SQLSetConnectAttr(dbc_, SQL_ATTR_AUTOCOMMIT, attributeValue(SQL_AUTOCOMMIT_ON), 0);
        inTransaction_ = false;
    }
}

void OdbcConnection::commitTrans()
{
    endTransaction(SQL_COMMIT, "Errore in fase di convalida della transazione\n\n");
}

void OdbcConnection::rollback()
{
    endTransaction(SQL_ROLLBACK, "Errore in fase di ripristino della transazione\n\n");
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
