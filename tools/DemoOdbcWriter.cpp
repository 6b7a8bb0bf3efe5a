#include "DemoOdbcWriter.h"

#include "DemoRows.h"
#include "SchemaCreator.h"
#include "db/NumberText.h"
#include "db/SqlTypes.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstring>

namespace korvan::demo {

namespace {

// Rows sent per SQLExecute at most.
constexpr size_t kBlockRows = 500;

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

// Rows are gathered column by column, then sent as one INSERT with a VALUES
// list of many rows and every value bound as a parameter: one round trip per
// block. (Parameter arrays of a one-row INSERT are executed row by row by
// psqlODBC and were two to three times slower here.)
class OdbcSink : public RowSink {
  public:
    OdbcSink(SQLHDBC dbc, schema::Dialect dialect) : dbc_(dbc), dialect_(dialect) {}
    ~OdbcSink() override { release(full_); }

    bool beginTable(const schema::Table& table) override
    {
        release(full_);
        table_ = table.name;
        insert_ = "INSERT INTO " + table.name + " (";
        row_ = "(";
        columns_.clear();
        for (const schema::Column& column : table.columns) {
            const bool first = columns_.empty();
            insert_ += (first ? "" : ", ") + schema::physicalColumnName(column.name, dialect_);
            row_ += first ? "?" : ", ?";
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
            case SqlType::Double:
                parameter.sqlType = SQL_DOUBLE;
                parameter.size = 15;
                parameter.width = 32;
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
            columns_.push_back(std::move(parameter));
        }
        insert_ += ") VALUES ";
        row_ += ")";
        // Both engines accept at least 32,766 parameters per statement, but
        // libpq before 15.19 loses the connection beyond 7,498 (the server's
        // description of the parameters must fit in 30,000 bytes).
        blockRows_ = std::min<size_t>(kBlockRows, 4000 / columns_.size());
        for (ParameterColumn& c : columns_) {
            c.buffer.assign(static_cast<size_t>(c.width) * blockRows_, '\0');
            c.lengths.assign(blockRows_, 0);
        }
        rows_ = 0;
        return true;
    }

    bool addRow(const std::vector<FieldValue>& values) override
    {
        for (size_t i = 0; i < values.size(); ++i) {
            ParameterColumn& c = columns_[i];
            text_.clear();
            switch (values[i].kind) {
            case FieldValue::Kind::Integer:
                text_ = std::to_string(values[i].integer);
                break;
            case FieldValue::Kind::Real:
                text_ = shortestText(values[i].real);
                break;
            case FieldValue::Kind::Text:
                text_ = values[i].text;
                break;
            case FieldValue::Kind::Date:
                text_ = formatIsoDate(values[i].date);
                break;
            }
            if (static_cast<SQLLEN>(text_.size()) >= c.width) {
                error_ = table_ + ": value too long: " + text_;
                return false;
            }
            char* slot = c.buffer.data() + static_cast<size_t>(c.width) * rows_;
            std::memcpy(slot, text_.c_str(), text_.size() + 1);
            c.lengths[rows_] = static_cast<SQLLEN>(text_.size());
        }
        return ++rows_ < blockRows_ || flush();
    }

    bool endTable() override
    {
        const bool ok = flush();
        release(full_);
        return ok;
    }

    const std::string& error() const { return error_; }

  private:
    // A statement inserting `rows` rows, its parameters bound to the first
    // `rows` slots of the column buffers.
    SQLHSTMT prepare(size_t rows)
    {
        std::string sql = insert_;
        for (size_t r = 0; r < rows; ++r)
            sql += (r == 0 ? "" : ", ") + row_;
        SQLHSTMT stmt = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc_, &stmt);
        if (!check(stmt, SQLPrepare(stmt, reinterpret_cast<SQLCHAR*>(sql.data()), SQL_NTS))) {
            release(stmt);
            return SQL_NULL_HSTMT;
        }
        SQLUSMALLINT number = 0;
        for (size_t r = 0; r < rows; ++r) {
            for (ParameterColumn& c : columns_) {
                char* slot = c.buffer.data() + static_cast<size_t>(c.width) * r;
                if (!check(stmt, SQLBindParameter(stmt, ++number, SQL_PARAM_INPUT, SQL_C_CHAR, c.sqlType, c.size, 0,
                                                  slot, c.width, &c.lengths[r]))) {
                    release(stmt);
                    return SQL_NULL_HSTMT;
                }
            }
        }
        return stmt;
    }

    bool flush()
    {
        if (rows_ == 0)
            return true;
        const bool whole = rows_ == blockRows_;
        if (whole && full_ == SQL_NULL_HSTMT)
            full_ = prepare(blockRows_);
        SQLHSTMT stmt = whole ? full_ : prepare(rows_);
        if (stmt == SQL_NULL_HSTMT)
            return false;
        const bool ok = check(stmt, SQLExecute(stmt));
        if (!whole)
            release(stmt);
        rows_ = 0;
        return ok;
    }

    bool check(SQLHSTMT stmt, SQLRETURN rc)
    {
        if (SQL_SUCCEEDED(rc))
            return true;
        error_ = table_ + ": " + diagnostics(SQL_HANDLE_STMT, stmt);
        return false;
    }

    static void release(SQLHSTMT& stmt)
    {
        if (stmt != SQL_NULL_HSTMT)
            SQLFreeHandle(SQL_HANDLE_STMT, stmt);
        stmt = SQL_NULL_HSTMT;
    }

    SQLHDBC dbc_;
    schema::Dialect dialect_;
    SQLHSTMT full_ = SQL_NULL_HSTMT;
    std::string table_;
    std::string insert_;
    std::string row_;
    std::string text_;
    std::vector<ParameterColumn> columns_;
    size_t blockRows_ = 0;
    size_t rows_ = 0;
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
