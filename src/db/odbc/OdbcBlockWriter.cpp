#include "db/odbc/OdbcBlockWriter.h"

#include "db/DbConnection.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcDiagnostics.h"

#include <algorithm>

namespace korvan::detail::odbc {

BlockWriter::BlockWriter(OdbcConnection& connection, const std::string& table, const std::vector<ColumnInfo>& columns,
                         std::vector<ColumnBuffer>& buffers)
    : connection_(connection), table_(table), buffers_(buffers)
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (buffers_[i].bindable()) {
            bound_.push_back(static_cast<int>(i));
            quotedNames_.push_back(connection.quoteIdentifier(columns[i].name));
        }
    const DbmsKind dbms = connection.dbms();
    method_ =
        dbms == DbmsKind::PostgreSql || dbms == DbmsKind::Sqlite ? Method::MultiRowInsert : Method::ParameterArray;
    const int columnCount = std::max<int>(1, static_cast<int>(bound_.size()));
    rowsPerStatement_ = std::max(1, connection.parameterLimit() / columnCount);
}

std::string BlockWriter::insertText(int rows) const
{
    std::string names;
    std::string row = "(";
    for (size_t i = 0; i < quotedNames_.size(); ++i) {
        names += (i ? ", " : "") + quotedNames_[i];
        row += i ? ", ?" : "?";
    }
    row += ")";
    std::string sql = "INSERT INTO " + connection_.tableReference(table_) + " (" + names + ") VALUES ";
    sql.reserve(sql.size() + static_cast<size_t>(rows) * (row.size() + 2));
    for (int r = 0; r < rows; ++r) {
        if (r > 0)
            sql += ", ";
        sql += row;
    }
    return sql;
}

bool BlockWriter::sendMultiRow(int first, int count, std::string& diagnostic, std::string* state)
{
    auto found = statements_.find({first, count});
    if (found == statements_.end()) {
        Statement statement;
        if (!statement.allocate(connection_.handle())) {
            diagnostic = "????";
            return false;
        }
        if (!succeeded(SQLPrepare(statement.get(), sqlText(insertText(count)), SQL_NTS))) {
            diagnostic = statementDiagnostic(statement.get());
            return false;
        }
        SQLUSMALLINT parameter = 0;
        for (int r = 0; r < count; ++r)
            for (int column : bound_)
                if (!succeeded(
                        buffers_[static_cast<size_t>(column)].bindParameter(statement.get(), ++parameter, first + r))) {
                    diagnostic = statementDiagnostic(statement.get());
                    return false;
                }
        found = statements_.emplace(std::make_pair(first, count), std::move(statement)).first;
    }
    const SQLRETURN rc = SQLExecute(found->second.get());
    if (succeeded(rc) || rc == SQL_NO_DATA) {
        found->second.closeCursor();
        return true;
    }
    if (state)
        *state = sqlState(SQL_HANDLE_STMT, found->second.get());
    diagnostic = statementDiagnostic(found->second.get());
    found->second.closeCursor();
    return false;
}

bool BlockWriter::sendRows(int first, int count, std::string& diagnostic, std::string* state)
{
    for (int done = 0; done < count;) {
        const int rows = std::min(rowsPerStatement_, count - done);
        if (!sendMultiRow(first + done, rows, diagnostic, state))
            return false;
        done += rows;
    }
    return true;
}

bool BlockWriter::sendOne(int row, std::string& diagnostic)
{
    if (!singleStatement_) {
        if (!singleStatement_.allocate(connection_.handle())) {
            diagnostic = "????";
            return false;
        }
        if (!succeeded(SQLPrepare(singleStatement_.get(), sqlText(insertText(1)), SQL_NTS))) {
            diagnostic = statementDiagnostic(singleStatement_.get());
            singleStatement_.reset();
            return false;
        }
    }
    SQLHSTMT statement = singleStatement_.get();
    SQLUSMALLINT parameter = 0;
    for (int column : bound_)
        buffers_[static_cast<size_t>(column)].bindParameter(statement, ++parameter, row);
    const SQLRETURN rc = SQLExecute(statement);
    const bool ok = succeeded(rc) || rc == SQL_NO_DATA;
    if (!ok)
        diagnostic = statementDiagnostic(statement);
    singleStatement_.closeCursor();
    return ok;
}

bool BlockWriter::sendArray(int count, std::string& diagnostic)
{
    if (!arrayStatement_) {
        if (!arrayStatement_.allocate(connection_.handle())) {
            diagnostic = "????";
            return false;
        }
        SQLHSTMT statement = arrayStatement_.get();
        arrayStatus_.assign(static_cast<size_t>(buffers_.empty() ? 1 : buffers_.front().rows()), 0);
        SQLUSMALLINT parameter = 0;
        bool ok = succeeded(SQLPrepare(statement, sqlText(insertText(1)), SQL_NTS)) &&
                  succeeded(SQLSetStmtAttr(statement, SQL_ATTR_PARAM_BIND_TYPE,
                                           attributeValue(SQL_PARAM_BIND_BY_COLUMN), 0)) &&
                  succeeded(SQLSetStmtAttr(statement, SQL_ATTR_PARAM_STATUS_PTR, arrayStatus_.data(), 0)) &&
                  succeeded(SQLSetStmtAttr(statement, SQL_ATTR_PARAMS_PROCESSED_PTR, &arrayProcessed_, 0));
        for (size_t i = 0; ok && i < bound_.size(); ++i)
            ok = succeeded(buffers_[static_cast<size_t>(bound_[i])].bindParameterArray(statement, ++parameter));
        if (!ok) {
            diagnostic = statementDiagnostic(statement);
            arrayStatement_.reset();
            return false;
        }
    }
    SQLHSTMT statement = arrayStatement_.get();
    for (int column : bound_)
        buffers_[static_cast<size_t>(column)].syncParameterArray(count);
    SQLSetStmtAttr(statement, SQL_ATTR_PARAMSET_SIZE, attributeValue(static_cast<SQLULEN>(count)), 0);
    const SQLRETURN rc = SQLExecute(statement);
    bool ok = succeeded(rc) || rc == SQL_NO_DATA;
    // A driver may go on past a refused row and only flag it.
    for (int r = 0; ok && r < count; ++r)
        if (arrayStatus_[static_cast<size_t>(r)] == SQL_PARAM_ERROR)
            ok = false;
    if (!ok)
        diagnostic = statementDiagnostic(statement);
    arrayStatement_.closeCursor();
    return ok;
}

int BlockWriter::sendStatements(int count, std::string& diagnostic)
{
    int done = 0;
    while (done < count) {
        const int rows = std::min(rowsPerStatement_, count - done);
        if (!sendMultiRow(done, rows, diagnostic))
            break;
        done += rows;
    }
    return done;
}

bool BlockWriter::retryRowByRow() const
{
    // Inside an all-or-nothing transaction the failure undoes everything
    // anyway; on a lost connection every row would fail again.
    return !connection_.owner().InAllOrNothingTransaction() && !connection_.connectionDead();
}

BlockWriter::Result BlockWriter::store(int count)
{
    Result result;
    if (count <= 0)
        return result;
    if (method_ == Method::ParameterArray) {
        // A driver may split the array and go on past a refused row: the
        // array stands or falls as a whole.
        const OdbcConnection::Group group = connection_.beginGroup(true);
        const bool sent = sendArray(count, result.diagnostic);
        connection_.endGroup(group, sent);
        if (sent)
            result.stored = count;
        else if (retryRowByRow())
            storeRowByRow(0, count, result);
        else
            result.rejected = count;
        return result;
    }
    // Normally one statement. A block beyond the parameter limit goes in
    // several, each stored by itself outside a transaction (switching to a
    // transaction of our own would end a select open on the connection);
    // inside the caller's transaction a savepoint undoes them all.
    const OdbcConnection::Group group = connection_.beginGroup(false);
    const int sent = sendStatements(count, result.diagnostic);
    connection_.endGroup(group, sent == count);
    const int kept = sent == count || group == OdbcConnection::Group::None ? sent : 0;
    result.stored = kept;
    if (kept < count && retryRowByRow())
        storeRowByRow(kept, count, result);
    else
        result.rejected = count - kept;
    return result;
}

void BlockWriter::storeRowByRow(int first, int count, Result& result)
{
    for (int row = first; row < count; ++row) {
        // Inside the caller's transaction a refused row must not abort the
        // transaction: each row gets its own savepoint.
        const OdbcConnection::Group group = connection_.beginGroup(false);
        std::string diagnostic;
        const bool stored = sendOne(row, diagnostic);
        connection_.endGroup(group, stored);
        if (stored)
            ++result.stored;
        else
            ++result.rejected;
    }
}

} // namespace korvan::detail::odbc
