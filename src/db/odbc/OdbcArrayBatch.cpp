#include "db/odbc/OdbcArrayBatch.h"

#include "db/SqlTypes.h"
#include "db/odbc/OdbcDiagnostics.h"

#include <charconv>
#include <cmath>

namespace korvan::detail::odbc {

namespace {

void appendNumber(std::string& out, long value)
{
    char digits[24];
    const auto end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    out.append(digits, end);
}

void appendTwoDigits(std::string& out, int value)
{
    out += static_cast<char>('0' + value / 10 % 10);
    out += static_cast<char>('0' + value % 10);
}

} // namespace

void appendArrayElement(std::string& out, const ColumnBuffer& column, int row)
{
    if (column.isNull(row)) {
        out += "NULL";
        return;
    }
    switch (column.kind()) {
    case SlotKind::Integer:
        appendNumber(out, column.integer(row));
        return;
    case SlotKind::TinyInt:
        appendNumber(out, column.tinyInt(row));
        return;
    case SlotKind::Double:
    case SlotKind::Real: {
        const double value = column.real(row);
        if (std::isnan(value)) {
            out += "NaN";
        } else if (std::isinf(value)) {
            out += value < 0 ? "-Infinity" : "Infinity";
        } else {
            char digits[32];
            const auto end = column.kind() == SlotKind::Real
                                 ? std::to_chars(digits, digits + sizeof digits, static_cast<float>(value)).ptr
                                 : std::to_chars(digits, digits + sizeof digits, value).ptr;
            out.append(digits, end);
        }
        return;
    }
    case SlotKind::Timestamp: {
        const SQL_TIMESTAMP_STRUCT& stamp = column.timestamp(row);
        const bool date = column.sqlType() != SqlType::Time;
        const bool time = column.sqlType() != SqlType::Date;
        out += '"';
        if (date) {
            appendNumber(out, stamp.year);
            out += '-';
            appendTwoDigits(out, stamp.month);
            out += '-';
            appendTwoDigits(out, stamp.day);
        }
        if (time) {
            if (date)
                out += ' ';
            appendTwoDigits(out, stamp.hour);
            out += ':';
            appendTwoDigits(out, stamp.minute);
            out += ':';
            appendTwoDigits(out, stamp.second);
        }
        out += '"';
        return;
    }
    case SlotKind::Text:
    case SlotKind::Binary:
    case SlotKind::None:
        break;
    }
    out += '"';
    for (char c : column.text(row)) {
        if (c == '"' || c == '\\')
            out += '\\';
        out += c;
    }
    out += '"';
}

void ArrayBatch::addValue(size_t column, const ColumnBuffer& buffer, int row)
{
    std::string& text = texts_[column];
    text += rows_ == 0 ? '{' : ',';
    appendArrayElement(text, buffer, row);
}

void ArrayBatch::clear()
{
    for (std::string& text : texts_)
        text.clear();
    rows_ = 0;
}

bool ArrayBatch::execute(SQLHSTMT statement, SQLLEN& changed, std::string& diagnostic)
{
    changed = 0;
    for (size_t i = 0; i < texts_.size(); ++i) {
        texts_[i] += rows_ == 0 ? "{}" : "}";
        lengths_[i] = static_cast<SQLLEN>(texts_[i].size());
        if (!succeeded(SQLBindParameter(statement, static_cast<SQLUSMALLINT>(i + 1), SQL_PARAM_INPUT, SQL_C_CHAR,
                                        SQL_LONGVARCHAR, texts_[i].size(), 0, texts_[i].data(), lengths_[i],
                                        &lengths_[i]))) {
            diagnostic = statementDiagnostic(statement);
            return false;
        }
    }
    const SQLRETURN rc = SQLExecute(statement);
    const bool ok = succeeded(rc) || rc == SQL_NO_DATA;
    if (!ok)
        diagnostic = statementDiagnostic(statement);
    else if (rc != SQL_NO_DATA)
        SQLRowCount(statement, &changed);
    SQLFreeStmt(statement, SQL_CLOSE);
    return ok;
}

} // namespace korvan::detail::odbc
