#include "db/odbc/OdbcBlockReader.h"

#include "db/SqlTypes.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcValues.h"

namespace korvan::detail::odbc {

bool BlockReader::prepare(const std::vector<int>& sqlTypes, int rowsetSize, int blobBytes, bool refuseLongText,
                          std::string& error, const std::vector<int>& widths)
{
    rowsetSize_ = rowsetSize < 1 ? 1 : rowsetSize;
    columns_.clear();
    columns_.reserve(sqlTypes.size());
    if (!statement_.allocate(connection_.handle())) {
        error = driverText(SQL_HANDLE_DBC, connection_.handle());
        return false;
    }
    SQLHSTMT statement = statement_.get();
    if (!succeeded(SQLSetStmtAttr(statement, SQL_ATTR_ROW_BIND_TYPE, attributeValue(SQL_BIND_BY_COLUMN), 0)) ||
        !succeeded(
            SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, attributeValue(static_cast<SQLULEN>(rowsetSize_)), 0)) ||
        !succeeded(SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched_, 0))) {
        error = driverText(SQL_HANDLE_STMT, statement);
        return false;
    }
    for (size_t i = 0; i < sqlTypes.size(); ++i) {
        const int type = sqlTypes[i];
        const int width = i < widths.size() ? widths[i] : 0;
        if (type == SqlType::LongVarBinary && width > 0)
            columns_.emplace_back(type, rowsetSize_, width);
        else
            columns_.emplace_back(type, rowsetSize_, blobBytes, width);
        ColumnBuffer& buffer = columns_.back();
        if (refuseLongText && type == SqlType::LongVarChar && width == 0)
            buffer.markUnbound();
        if (!buffer.bindable()) {
            connection_.show(unknownTypeMessage(type));
            continue;
        }
        if (!succeeded(buffer.bindColumn(statement, static_cast<SQLUSMALLINT>(i + 1)))) {
            error = driverText(SQL_HANDLE_STMT, statement);
            return false;
        }
    }
    return true;
}

int BlockReader::open(const std::string& sql, std::string& error)
{
    // A query sees the rows held back for the transaction.
    connection_.sendPendingWrites();
    statement_.closeCursor();
    fetched_ = 0;
    atEnd_ = false;
    const SQLRETURN rc = SQLExecDirect(statement_.get(), sqlText(sql), SQL_NTS);
    if (rc == SQL_NO_DATA) {
        atEnd_ = true;
        return 0;
    }
    if (!succeeded(rc)) {
        error = driverText(SQL_HANDLE_STMT, statement_.get());
        atEnd_ = true;
        return -1;
    }
    return fetch(error);
}

int BlockReader::fetchNext(std::string& error)
{
    if (atEnd_) {
        fetched_ = 0;
        return 0;
    }
    return fetch(error);
}

int BlockReader::fetch(std::string& error)
{
    const SQLRETURN rc = SQLFetch(statement_.get());
    if (rc == SQL_NO_DATA) {
        fetched_ = 0;
        atEnd_ = true;
        statement_.closeCursor();
        return 0;
    }
    if (!succeeded(rc)) {
        error = driverText(SQL_HANDLE_STMT, statement_.get());
        fetched_ = 0;
        atEnd_ = true;
        return -1;
    }
    // A short block is the last one: the next move needs no driver call,
    // and the server's cursor is released at once.
    if (fetched_ < static_cast<SQLULEN>(rowsetSize_)) {
        atEnd_ = true;
        statement_.closeCursor();
    }
    return static_cast<int>(fetched_);
}

void BlockReader::close()
{
    statement_.closeCursor();
    fetched_ = 0;
    atEnd_ = true;
}

} // namespace korvan::detail::odbc
