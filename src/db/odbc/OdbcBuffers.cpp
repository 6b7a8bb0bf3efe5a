#include "db/odbc/OdbcBuffers.h"

#include "db/SqlTypes.h"

#include <algorithm>
#include <cstddef>
#include <cstring>
#include <new>

namespace korvan::detail::odbc {

SlotKind slotKind(int sqlType)
{
    switch (sqlType) {
    case SqlType::Char:
    case SqlType::Numeric:
    case SqlType::Decimal:
    case SqlType::VarChar:
    case SqlType::LongVarChar:
        return SlotKind::Text;
    case SqlType::Integer:
    case SqlType::SmallInt:
    case SqlType::Bit:
        return SlotKind::Integer;
    case SqlType::Float:
    case SqlType::Double:
        return SlotKind::Double;
    case SqlType::Real:
        return SlotKind::Real;
    case SqlType::Date:
    case SqlType::Time:
    case SqlType::Timestamp:
        return SlotKind::Timestamp;
    case SqlType::TinyInt:
        return SlotKind::TinyInt;
    case SqlType::LongVarBinary:
        return SlotKind::Binary;
    default:
        return SlotKind::None;
    }
}

namespace {

int slotCharacters(int sqlType, int textCharacters)
{
    // A long text column's told width is often the driver's setting
    // (psqlODBC's 8190 for PostgreSQL's unlimited TEXT), not the column's.
    if (sqlType == SqlType::LongVarChar)
        return kMaxTextCharacters;
    return std::min(textCharacters, kMaxTextCharacters);
}

SQLLEN slotBytesOf(SlotKind kind, int blobBytes, int characters)
{
    switch (kind) {
    case SlotKind::Text:
        return characters > static_cast<int>(kTextSlotBytes - 1) ? static_cast<SQLLEN>(characters) * 4 + 1
                                                                 : kTextSlotBytes;
    case SlotKind::Integer:
        return sizeof(SQLINTEGER);
    case SlotKind::Double:
        return sizeof(SQLDOUBLE);
    case SlotKind::Real:
        return sizeof(SQLREAL);
    case SlotKind::Timestamp:
        return sizeof(SQL_TIMESTAMP_STRUCT);
    case SlotKind::TinyInt:
        return sizeof(SQLSCHAR);
    case SlotKind::Binary:
        return std::max(1, blobBytes);
    case SlotKind::None:
        break;
    }
    return 1;
}

static_assert(sizeof(SQL_TIMESTAMP_STRUCT) == 16, "the timestamp slot is 16 bytes");
// A date parameter is bound at the start of the timestamp slot and a time
// parameter at its hour: both structures are prefixes of those parts.
static_assert(offsetof(SQL_TIMESTAMP_STRUCT, day) == offsetof(SQL_DATE_STRUCT, day));
static_assert(offsetof(SQL_TIMESTAMP_STRUCT, second) - offsetof(SQL_TIMESTAMP_STRUCT, hour) ==
              offsetof(SQL_TIME_STRUCT, second));

} // namespace

ColumnBuffer::ColumnBuffer(int sqlType, int rows, int blobBytes, int textCharacters)
    : sqlType_(sqlType), kind_(slotKind(sqlType)), rows_(std::max(1, rows)),
      textCharacters_(std::max(0, textCharacters)),
      slotBytes_(slotBytesOf(kind_, blobBytes, slotCharacters(sqlType, textCharacters))),
      data_(static_cast<char*>(
          std::calloc(std::max<size_t>(1, static_cast<size_t>(rows_) * static_cast<size_t>(slotBytes_)), 1))),
      indicators_(static_cast<size_t>(rows_), SQL_NULL_DATA)
{
    if (!data_)
        throw std::bad_alloc();
}

SQLSMALLINT ColumnBuffer::fetchType() const
{
    switch (kind_) {
    case SlotKind::Text:
        return SQL_C_CHAR;
    case SlotKind::Integer:
        return SQL_C_SLONG;
    case SlotKind::Double:
        return SQL_C_DOUBLE;
    case SlotKind::Real:
        return SQL_C_FLOAT;
    case SlotKind::Timestamp:
        return SQL_C_TYPE_TIMESTAMP;
    case SlotKind::TinyInt:
        return SQL_C_STINYINT;
    case SlotKind::Binary:
    case SlotKind::None:
        break;
    }
    return SQL_C_BINARY;
}

SQLSMALLINT ColumnBuffer::parameterSqlType() const
{
    switch (sqlType_) {
    case SqlType::Date:
        return SQL_TYPE_DATE;
    case SqlType::Time:
        return SQL_TYPE_TIME;
    case SqlType::Timestamp:
        return SQL_TYPE_TIMESTAMP;
    case SqlType::Numeric:
    case SqlType::Decimal:
        return SQL_VARCHAR;
    default:
        return static_cast<SQLSMALLINT>(sqlType_);
    }
}

SQLRETURN ColumnBuffer::bindColumn(SQLHSTMT statement, SQLUSMALLINT column)
{
    return SQLBindCol(statement, column, fetchType(), data_.get(), slotBytes_, indicators_.data());
}

SQLRETURN ColumnBuffer::bindParameter(SQLHSTMT statement, SQLUSMALLINT parameter, int row)
{
    char* value = slot(row);
    SQLSMALLINT cType = fetchType();
    SQLULEN columnSize = 0;
    SQLSMALLINT digits = 0;
    switch (sqlType_) {
    case SqlType::Date:
        cType = SQL_C_TYPE_DATE;
        columnSize = 10;
        break;
    case SqlType::Time:
        cType = SQL_C_TYPE_TIME;
        value += offsetof(SQL_TIMESTAMP_STRUCT, hour);
        columnSize = 8;
        break;
    case SqlType::Timestamp:
        columnSize = 19;
        break;
    default:
        if (kind_ == SlotKind::Text)
            columnSize = static_cast<SQLULEN>(slotBytes_ - 1);
        else if (kind_ == SlotKind::Binary)
            columnSize = static_cast<SQLULEN>(slotBytes_);
        break;
    }
    return SQLBindParameter(statement, parameter, SQL_PARAM_INPUT, cType, parameterSqlType(), columnSize, digits, value,
                            slotBytes_, &indicators_[static_cast<size_t>(row)]);
}

SQLRETURN ColumnBuffer::bindParameterArray(SQLHSTMT statement, SQLUSMALLINT parameter)
{
    SQLPOINTER values = data_.get();
    SQLSMALLINT cType = fetchType();
    SQLLEN elementBytes = slotBytes_;
    SQLULEN columnSize = 0;
    if (kind_ == SlotKind::Text) {
        columnSize = static_cast<SQLULEN>(slotBytes_ - 1);
    } else if (kind_ == SlotKind::Binary) {
        columnSize = static_cast<SQLULEN>(slotBytes_);
    } else if (sqlType_ == SqlType::Date) {
        dates_.resize(static_cast<size_t>(rows_));
        values = dates_.data();
        cType = SQL_C_TYPE_DATE;
        elementBytes = sizeof(SQL_DATE_STRUCT);
        columnSize = 10;
    } else if (sqlType_ == SqlType::Time) {
        times_.resize(static_cast<size_t>(rows_));
        values = times_.data();
        cType = SQL_C_TYPE_TIME;
        elementBytes = sizeof(SQL_TIME_STRUCT);
        columnSize = 8;
    } else if (sqlType_ == SqlType::Timestamp) {
        columnSize = 19;
    }
    return SQLBindParameter(statement, parameter, SQL_PARAM_INPUT, cType, parameterSqlType(), columnSize, 0, values,
                            elementBytes, indicators_.data());
}

void ColumnBuffer::syncParameterArray(int count)
{
    for (int row = 0; row < count && !dates_.empty(); ++row)
        std::memcpy(&dates_[static_cast<size_t>(row)], slot(row), sizeof(SQL_DATE_STRUCT));
    for (int row = 0; row < count && !times_.empty(); ++row)
        std::memcpy(&times_[static_cast<size_t>(row)], slot(row) + offsetof(SQL_TIMESTAMP_STRUCT, hour),
                    sizeof(SQL_TIME_STRUCT));
}

void ColumnBuffer::setNullAll()
{
    std::fill(indicators_.begin(), indicators_.end(), SQL_NULL_DATA);
}

void ColumnBuffer::copyRow(int row, const ColumnBuffer& from, int fromRow)
{
    const SQLLEN bytes = std::min(slotBytes_, from.slotBytes_);
    std::memcpy(slot(row), from.slot(fromRow), static_cast<size_t>(bytes));
    SQLLEN indicator = from.indicators_[static_cast<size_t>(fromRow)];
    if (indicator > bytes)
        indicator = bytes;
    indicators_[static_cast<size_t>(row)] = indicator;
}

long ColumnBuffer::integer(int row) const
{
    SQLINTEGER value = 0;
    std::memcpy(&value, slot(row), sizeof value);
    return value;
}

double ColumnBuffer::real(int row) const
{
    if (kind_ == SlotKind::Real) {
        SQLREAL value = 0;
        std::memcpy(&value, slot(row), sizeof value);
        return value;
    }
    SQLDOUBLE value = 0;
    std::memcpy(&value, slot(row), sizeof value);
    return value;
}

int ColumnBuffer::tinyInt(int row) const
{
    return static_cast<SQLSCHAR>(*slot(row));
}

const SQL_TIMESTAMP_STRUCT& ColumnBuffer::timestamp(int row) const
{
    return *reinterpret_cast<const SQL_TIMESTAMP_STRUCT*>(slot(row));
}

std::string ColumnBuffer::text(int row) const
{
    const SQLLEN indicator = indicators_[static_cast<size_t>(row)];
    const char* value = slot(row);
    // SQL_NO_TOTAL or a truncated value: the slot holds a terminated text.
    if (indicator < 0 || indicator >= slotBytes_)
        return std::string(value, strnlen(value, static_cast<size_t>(slotBytes_ - 1)));
    return std::string(value, static_cast<size_t>(indicator));
}

void ColumnBuffer::setInteger(int row, long value)
{
    if (kind_ == SlotKind::TinyInt) {
        *slot(row) = static_cast<char>(value);
        indicators_[static_cast<size_t>(row)] = 1;
        return;
    }
    const auto stored = static_cast<SQLINTEGER>(value);
    std::memcpy(slot(row), &stored, sizeof stored);
    indicators_[static_cast<size_t>(row)] = sizeof stored;
}

void ColumnBuffer::setReal(int row, double value)
{
    if (kind_ == SlotKind::Real) {
        const auto stored = static_cast<SQLREAL>(value);
        std::memcpy(slot(row), &stored, sizeof stored);
        indicators_[static_cast<size_t>(row)] = sizeof stored;
        return;
    }
    std::memcpy(slot(row), &value, sizeof value);
    indicators_[static_cast<size_t>(row)] = sizeof value;
}

void ColumnBuffer::setDate(int row, int year, int month, int day)
{
    SQL_TIMESTAMP_STRUCT stamp{};
    stamp.year = static_cast<SQLSMALLINT>(year);
    stamp.month = static_cast<SQLUSMALLINT>(month);
    stamp.day = static_cast<SQLUSMALLINT>(day);
    std::memcpy(slot(row), &stamp, sizeof stamp);
    indicators_[static_cast<size_t>(row)] = sizeof stamp;
}

std::string ColumnBuffer::binary(int row) const
{
    const SQLLEN indicator = indicators_[static_cast<size_t>(row)];
    if (indicator < 0)
        return {};
    return std::string(slot(row), static_cast<size_t>(std::min(indicator, slotBytes_)));
}

bool ColumnBuffer::truncated(int row) const
{
    const SQLLEN indicator = indicators_[static_cast<size_t>(row)];
    if (indicator == SQL_NO_TOTAL)
        return true;
    if (indicator < 0)
        return false;
    // A text slot keeps a terminator.
    return kind_ == SlotKind::Text ? indicator >= slotBytes_ : indicator > slotBytes_;
}

bool ColumnBuffer::setBinary(int row, const std::string& value)
{
    if (static_cast<SQLLEN>(value.size()) > slotBytes_)
        return false;
    std::memcpy(slot(row), value.data(), value.size());
    indicators_[static_cast<size_t>(row)] = static_cast<SQLLEN>(value.size());
    return true;
}

void ColumnBuffer::setText(int row, const std::string& value)
{
    size_t length = std::min(value.size(), static_cast<size_t>(slotBytes_ - 1));
    // Never cut a UTF-8 character in two.
    if (length < value.size())
        while (length > 0 && (static_cast<unsigned char>(value[length]) & 0xC0) == 0x80)
            --length;
    char* target = slot(row);
    std::memcpy(target, value.data(), length);
    target[length] = '\0';
    indicators_[static_cast<size_t>(row)] = static_cast<SQLLEN>(length);
}

} // namespace korvan::detail::odbc
