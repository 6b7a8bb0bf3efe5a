#include "SchemaCreator.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

#include <utility>

namespace korvan::tools {

struct RawDatabase::Handles {
    sqlite3* sqlite = nullptr;
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
};

namespace {

std::string odbcError(SQLSMALLINT type, SQLHANDLE handle)
{
    SQLCHAR state[6] = {0};
    SQLCHAR message[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    if (SQL_SUCCEEDED(SQLGetDiagRec(type, handle, 1, state, &native, message, sizeof message, &length)))
        return reinterpret_cast<char*>(message);
    return "unknown ODBC error";
}

} // namespace

RawDatabase RawDatabase::sqliteFile(const std::string& path)
{
    RawDatabase db;
    db.handles_ = new Handles;
    db.dialect_ = schema::Dialect::Sqlite;
    if (sqlite3_open_v2(path.c_str(), &db.handles_->sqlite, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) !=
        SQLITE_OK)
        db.error_ = sqlite3_errmsg(db.handles_->sqlite);
    else
        sqlite3_busy_timeout(db.handles_->sqlite, 5000);
    return db;
}

RawDatabase RawDatabase::odbc(const std::string& connection)
{
    RawDatabase db;
    db.handles_ = new Handles;
    Handles& h = *db.handles_;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &h.env);
    SQLSetEnvAttr(h.env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, h.env, &h.dbc);
    const std::string text = connection.find('=') == std::string::npos ? "DSN=" + connection + ";" : connection;
    SQLCHAR out[1024];
    SQLSMALLINT outLength = 0;
    const SQLRETURN rc = SQLDriverConnect(h.dbc, nullptr, reinterpret_cast<SQLCHAR*>(const_cast<char*>(text.c_str())),
                                          SQL_NTS, out, sizeof out, &outLength, SQL_DRIVER_NOPROMPT);
    if (!SQL_SUCCEEDED(rc)) {
        db.error_ = odbcError(SQL_HANDLE_DBC, h.dbc);
        return db;
    }
    SQLCHAR dbms[128] = {0};
    SQLSMALLINT dbmsLength = 0;
    SQLGetInfo(h.dbc, SQL_DBMS_NAME, dbms, sizeof dbms, &dbmsLength);
    db.dialect_ = std::string(reinterpret_cast<char*>(dbms)).find("SQLite") != std::string::npos
                      ? schema::Dialect::Sqlite
                      : schema::Dialect::PostgreSql;
    return db;
}

RawDatabase::RawDatabase(RawDatabase&& other) noexcept
    : handles_(std::exchange(other.handles_, nullptr)), dialect_(other.dialect_), error_(std::move(other.error_))
{
}

RawDatabase& RawDatabase::operator=(RawDatabase&& other) noexcept
{
    std::swap(handles_, other.handles_);
    dialect_ = other.dialect_;
    error_ = std::move(other.error_);
    return *this;
}

RawDatabase::~RawDatabase()
{
    if (!handles_)
        return;
    if (handles_->sqlite)
        sqlite3_close(handles_->sqlite);
    if (handles_->dbc != SQL_NULL_HDBC) {
        SQLDisconnect(handles_->dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, handles_->dbc);
    }
    if (handles_->env != SQL_NULL_HENV)
        SQLFreeHandle(SQL_HANDLE_ENV, handles_->env);
    delete handles_;
}

bool RawDatabase::exec(const std::string& sql)
{
    if (!handles_)
        return false;
    if (handles_->sqlite) {
        char* message = nullptr;
        if (sqlite3_exec(handles_->sqlite, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK) {
            error_ = message ? message : "sqlite error";
            sqlite3_free(message);
            return false;
        }
        error_.clear();
        return true;
    }
    if (handles_->dbc == SQL_NULL_HDBC)
        return false;
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, handles_->dbc, &stmt);
    const SQLRETURN rc = SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS);
    const bool ok = SQL_SUCCEEDED(rc) || rc == SQL_NO_DATA;
    error_ = ok ? std::string() : odbcError(SQL_HANDLE_STMT, stmt);
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return ok;
}

std::string RawDatabase::queryText(const std::string& sql)
{
    std::string result;
    if (!handles_)
        return result;
    if (handles_->sqlite) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(handles_->sqlite, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW && sqlite3_column_text(stmt, 0))
            result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        else if (!stmt || sqlite3_errcode(handles_->sqlite) != SQLITE_OK)
            error_ = sqlite3_errmsg(handles_->sqlite);
        sqlite3_finalize(stmt);
        return result;
    }
    SQLHSTMT stmt = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, handles_->dbc, &stmt);
    if (SQL_SUCCEEDED(SQLExecDirect(stmt, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS))) {
        if (SQL_SUCCEEDED(SQLFetch(stmt))) {
            char buffer[4096];
            SQLLEN indicator = 0;
            if (SQL_SUCCEEDED(SQLGetData(stmt, 1, SQL_C_CHAR, buffer, sizeof buffer, &indicator)) &&
                indicator != SQL_NULL_DATA)
                result = buffer;
        }
    } else {
        error_ = odbcError(SQL_HANDLE_STMT, stmt);
    }
    SQLFreeHandle(SQL_HANDLE_STMT, stmt);
    return result;
}

sqlite3* RawDatabase::sqliteHandle() const
{
    return handles_ ? handles_->sqlite : nullptr;
}

void* RawDatabase::odbcHandle() const
{
    return handles_ ? handles_->dbc : nullptr;
}

bool createTables(RawDatabase& db, bool dropFirst, std::string& error, const std::vector<std::string>& only)
{
    for (const std::string& name : only) {
        if (!schema::table(name)) {
            error = "unknown table: " + name;
            return false;
        }
    }
    if (!db.ok()) {
        error = db.error();
        return false;
    }
    for (const schema::Table& table : schema::tables()) {
        if (!only.empty()) {
            bool wanted = false;
            for (const std::string& name : only)
                wanted = wanted || name == table.name;
            if (!wanted)
                continue;
        }
        if (dropFirst && !db.exec(schema::dropStatement(table))) {
            error = table.name + ": " + db.error();
            return false;
        }
        for (const std::string& statement : schema::createStatements(table, db.dialect())) {
            if (!db.exec(statement)) {
                error = table.name + ": " + db.error();
                return false;
            }
        }
    }
    return true;
}

} // namespace korvan::tools
