#include "db/odbc/OdbcStatement.h"

#include "db/odbc/OdbcDiagnostics.h"

namespace korvan::detail::odbc {

Statement& Statement::operator=(Statement&& other) noexcept
{
    if (this != &other) {
        reset();
        handle_ = other.handle_;
        other.handle_ = SQL_NULL_HSTMT;
    }
    return *this;
}

bool Statement::allocate(SQLHDBC connection)
{
    reset();
    if (!succeeded(SQLAllocHandle(SQL_HANDLE_STMT, connection, &handle_))) {
        handle_ = SQL_NULL_HSTMT;
        return false;
    }
    // A driver that cannot honour the time-out keeps its own; not an error.
    SQLSetStmtAttr(handle_, SQL_ATTR_QUERY_TIMEOUT, attributeValue(kQueryTimeoutSeconds), 0);
    return true;
}

void Statement::reset()
{
    if (handle_ != SQL_NULL_HSTMT)
        SQLFreeHandle(SQL_HANDLE_STMT, handle_);
    handle_ = SQL_NULL_HSTMT;
}

void Statement::closeCursor()
{
    if (handle_ != SQL_NULL_HSTMT)
        SQLFreeStmt(handle_, SQL_CLOSE);
}

} // namespace korvan::detail::odbc
