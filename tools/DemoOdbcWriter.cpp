#include "DemoOdbcWriter.h"

#include "DemoRows.h"
#include "SchemaCreator.h"
#include "db/SqlTypes.h"

#include <sql.h>
#include <sqlext.h>

#include <cstring>

namespace korvan::demo {

namespace {

// Rows sent per SQLExecute.
constexpr SQLULEN kBlockRows = 1000;

std::string diagnostics(SQLSMALLINT type, SQLHANDLE handle)
{
    std::string text;
    SQLCHAR state[6] = {0};
    SQLCHAR message[1024] = {0};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    for (SQLSMALLINT record = 1;
         SQL_SUCCEEDED(SQLGetDiagRec(type, handle, record, state, &native, message, sizeof message, &length)); ++record)
        text += (text.empty() ? "" : " / ") + std::string(reinterpret_cast<char*>(message));
    return text.empty() ? "unknown ODBC error" : text;
}

struct ParameterColumn {
    SQLSMALLINT sqlType = SQL_VARCHAR;
    SQLULEN size = 0;
    SQLLEN width = 0; // bytes per value, terminator included
    std::vector<char> buffer;
    std::vector<SQLLEN> lengths;
};

class OdbcSink : public RowSink {
  public:
    OdbcSink(SQLHDBC dbc, schema::Dialect dialect) : dbc_(dbc), dialect_(dialect) {}
    ~OdbcSink() override { release(); }

    bool beginTable(const schema::Table& table) override
    {
        release();
        table_ = table.name;
        std::string sql = "INSERT INTO " + table.name + " (";
        std::string marks;
        columns_.clear();
        for (const schema::Column& column : table.columns) {
            sql += (marks.empty() ? "" : ", ") + schema::physicalColumnName(column.name, dialect_);
            marks += marks.empty() ? "?" : ", ?";
            ParameterColumn parameter;
            switch (column.sqlType) {
            case SqlType::SmallInt:
            case SqlType::Bit:
                parameter.sqlType = SQL_SMALLINT;
                parameter.size = 5;
                parameter.width = 8;
                break;
            case SqlType::Integer:
                parameter.sqlType = SQL_INTEGER;
                parameter.size = 10;
                parameter.width = 24;
                break;
            case SqlType::Date:
                parameter.sqlType = SQL_TYPE_DATE;
                parameter.size = 10;
                parameter.width = 11;
                break;
            default:
                parameter.sqlType = SQL_VARCHAR;
                parameter.size = static_cast<SQLULEN>(column.width);
                parameter.width = 4 * column.width + 1; // UTF-8
            }
            parameter.buffer.assign(static_cast<size_t>(parameter.width) * kBlockRows, '\0');
            parameter.lengths.assign(kBlockRows, 0);
            columns_.push_back(std::move(parameter));
        }
        sql += ") VALUES (" + marks + ")";
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt_);
        if (!check(SQLPrepare(stmt_, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS)))
            return false;
        SQLSetStmtAttr(stmt_, SQL_ATTR_PARAM_BIND_TYPE, reinterpret_cast<SQLPOINTER>(SQL_PARAM_BIND_BY_COLUMN), 0);
        SQLSetStmtAttr(stmt_, SQL_ATTR_PARAMS_PROCESSED_PTR, &processed_, 0);
        status_.assign(kBlockRows, SQL_PARAM_UNUSED);
        SQLSetStmtAttr(stmt_, SQL_ATTR_PARAM_STATUS_PTR, status_.data(), 0);
        for (size_t i = 0; i < columns_.size(); ++i) {
            ParameterColumn& c = columns_[i];
            if (!check(SQLBindParameter(stmt_, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_CHAR, c.sqlType,
                                        c.size, 0, c.buffer.data(), c.width, c.lengths.data())))
                return false;
        }
        rows_ = 0;
        return true;
    }

    bool addRow(const std::vector<FieldValue>& values) override
    {
        for (size_t i = 0; i < values.size(); ++i) {
            ParameterColumn& c = columns_[i];
            std::string text;
            switch (values[i].kind) {
            case FieldValue::Kind::Integer:
                text = std::to_string(values[i].integer);
                break;
            case FieldValue::Kind::Text:
                text = values[i].text;
                break;
            case FieldValue::Kind::Date:
                text = formatIsoDate(values[i].date);
                break;
            }
            if (static_cast<SQLLEN>(text.size()) >= c.width) {
                error_ = table_ + ": value too long: " + text;
                return false;
            }
            char* slot = c.buffer.data() + static_cast<size_t>(c.width) * rows_;
            std::memcpy(slot, text.c_str(), text.size() + 1);
            c.lengths[rows_] = static_cast<SQLLEN>(text.size());
        }
        return ++rows_ < kBlockRows || flush();
    }

    bool endTable() override
    {
        const bool ok = flush();
        release();
        return ok;
    }

    const std::string& error() const { return error_; }

  private:
    bool flush()
    {
        if (rows_ == 0)
            return true;
        SQLSetStmtAttr(stmt_, SQL_ATTR_PARAMSET_SIZE, reinterpret_cast<SQLPOINTER>(rows_), 0);
        const SQLRETURN rc = SQLExecute(stmt_);
        if (!check(rc))
            return false;
        for (size_t i = 0; i < rows_; ++i) {
            if (status_[i] == SQL_PARAM_ERROR) {
                error_ = table_ + ": row " + std::to_string(i + 1) +
                         " of a block was refused: " + diagnostics(SQL_HANDLE_STMT, stmt_);
                return false;
            }
        }
        rows_ = 0;
        return true;
    }

    bool check(SQLRETURN rc)
    {
        if (SQL_SUCCEEDED(rc))
            return true;
        error_ = table_ + ": " + diagnostics(SQL_HANDLE_STMT, stmt_);
        return false;
    }

    void release()
    {
        if (stmt_ != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, stmt_);
        stmt_ = SQL_NULL_HSTMT;
    }

    SQLHDBC dbc_;
    schema::Dialect dialect_;
    SQLHSTMT stmt_ = SQL_NULL_HSTMT;
    std::string table_;
    std::vector<ParameterColumn> columns_;
    std::vector<SQLUSMALLINT> status_;
    SQLULEN processed_ = 0;
    SQLULEN rows_ = 0;
    std::string error_;
};

} // namespace

bool writeOdbc(const Network& network, const std::string& connection, bool dropFirst, std::string& error)
{
    tools::RawDatabase db = tools::RawDatabase::odbc(connection);
    if (!tools::createTables(db, dropFirst, error))
        return false;
    auto* dbc = static_cast<SQLHDBC>(db.odbcHandle());
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0);
    OdbcSink sink(dbc, db.dialect());
    const bool ok = emitTables(network, sink);
    if (!ok)
        error = sink.error();
    const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc, ok ? SQL_COMMIT : SQL_ROLLBACK);
    if (ok && !SQL_SUCCEEDED(rc)) {
        error = "commit: " + diagnostics(SQL_HANDLE_DBC, dbc);
        return false;
    }
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0);
    return ok;
}

} // namespace korvan::demo
