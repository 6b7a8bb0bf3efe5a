#pragma once

// Value storage of one column over ODBC: `rows` slots of the column's C form
// and one length-or-indicator per row, bound column-wise for block fetches
// and row by row (or as an array) for statement parameters.

#include <sql.h>
#include <sqlext.h>

#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace korvan::detail::odbc {

// How a SQL type is held in memory.
enum class SlotKind {
    Text,      // CHAR, NUMERIC, DECIMAL, VARCHAR, LONGVARCHAR: 256 bytes
    Integer,   // INTEGER, SMALLINT, BIT: 32-bit integer
    Double,    // FLOAT, DOUBLE
    Real,      // REAL
    Timestamp, // DATE, TIME, TIMESTAMP: 16-byte timestamp
    TinyInt,   // TINYINT: one byte
    Binary,    // LONGVARBINARY: blobBytes per row
    None,      // a type the layer does not handle
};

SlotKind slotKind(int sqlType);

inline constexpr SQLLEN kTextSlotBytes = 256;
// A text column wider than 255 characters gets a slot for its width in
// UTF-8 (four bytes a character), at most this many characters; a long text
// column (LONGVARCHAR) always gets this many.
inline constexpr int kMaxTextCharacters = 65535;

class ColumnBuffer {
  public:
    // `textCharacters`: the most characters a text column holds (0: as
    // many as a slot takes); beyond 255 the slot grows to hold them.
    ColumnBuffer(int sqlType, int rows, int blobBytes = 0, int textCharacters = 0);

    int sqlType() const { return sqlType_; }
    SlotKind kind() const { return kind_; }
    int rows() const { return rows_; }
    int textCharacters() const { return textCharacters_; }
    bool bindable() const { return kind_ != SlotKind::None; }
    // Keeps the type but holds no value: the column is left unbound.
    void markUnbound() { kind_ = SlotKind::None; }

    // Column-wise binding of all rows for block fetches (the statement's
    // row array size must match `rows`).
    SQLRETURN bindColumn(SQLHSTMT statement, SQLUSMALLINT column);
    // One parameter bound to the value of one row.
    SQLRETURN bindParameter(SQLHSTMT statement, SQLUSMALLINT parameter, int row);
    // One parameter bound to every row, for parameter arrays. Dates and
    // times go from arrays of their own C structures (arrays step by the C
    // type's size): call syncParameterArray before each execution.
    SQLRETURN bindParameterArray(SQLHSTMT statement, SQLUSMALLINT parameter);
    void syncParameterArray(int count);

    bool isNull(int row) const { return indicators_[static_cast<size_t>(row)] == SQL_NULL_DATA; }
    void setNull(int row) { indicators_[static_cast<size_t>(row)] = SQL_NULL_DATA; }
    void setNullAll();
    void copyRow(int row, const ColumnBuffer& from, int fromRow);

    long integer(int row) const;
    double real(int row) const; // DOUBLE and REAL alike
    int tinyInt(int row) const;
    const SQL_TIMESTAMP_STRUCT& timestamp(int row) const;
    // The text of a text slot (no terminator beyond the slot).
    std::string text(int row) const;
    // The bytes of a binary slot.
    std::string binary(int row) const;
    // The value of `row` did not fit its slot when it was fetched.
    bool truncated(int row) const;
    SQLLEN slotBytes() const { return slotBytes_; }

    void setInteger(int row, long value);
    void setReal(int row, double value);
    void setDate(int row, int year, int month, int day);
    // At most the slot's bytes less one are kept, cut at a character
    // boundary (255 for an ordinary text slot).
    void setText(int row, const std::string& value);
    // False when the bytes do not fit the slot.
    bool setBinary(int row, const std::string& value);

  private:
    char* slot(int row) { return data_.get() + static_cast<size_t>(row) * static_cast<size_t>(slotBytes_); }
    const char* slot(int row) const { return data_.get() + static_cast<size_t>(row) * static_cast<size_t>(slotBytes_); }
    SQLSMALLINT fetchType() const;
    SQLSMALLINT parameterSqlType() const;

    int sqlType_;
    SlotKind kind_;
    int rows_;
    int textCharacters_;
    SQLLEN slotBytes_;
    struct Release {
        void operator()(char* bytes) const { std::free(bytes); }
    };
    // Zeroed by calloc: the pages of rows never used (a block of 100,000
    // rows for a result of a few) are neither cleared nor taken.
    std::unique_ptr<char[], Release> data_;
    std::vector<SQLLEN> indicators_;
    std::vector<SQL_DATE_STRUCT> dates_;
    std::vector<SQL_TIME_STRUCT> times_;
};

} // namespace korvan::detail::odbc
