#pragma once

// Column kinds and value conversions of the file back end: the declared type
// of a column says how a text given to SetField is converted and how a stored
// value is turned back into text (16-bit and 32-bit integers, doubles, dates
// kept as ISO texts, booleans, texts, byte arrays).

#include "db/FieldValue.h"
#include "db/Values.h"

#include <sqlite3.h>

#include <string>

namespace korvan::detail::sqlite {

enum class ValueKind {
    Short,   // SMALLINT, TINYINT
    Long,    // INTEGER, INT, LONG
    Double,  // DOUBLE, FLOAT, REAL, NUMERIC
    Date,    // DATE, stored as 'YYYY-MM-DD'
    Bit,     // BIT, BOOLEAN, stored as 0 or 1
    Text,    // VARCHAR, CHAR, TEXT
    Blob,    // BLOB
    Untyped, // no declared type (expressions): judged by the stored value
};

struct ColumnType {
    ValueKind kind = ValueKind::Untyped;
    int width = 0; // characters a text column holds; 0 when not declared
};

// From a declared type such as "SMALLINT" or "VARCHAR(20)"; null gives Untyped.
ColumnType columnTypeFromDeclared(const char* declared);

// One value as SQLite stores it.
struct Cell {
    int storage = SQLITE_NULL; // SQLITE_NULL, SQLITE_INTEGER, SQLITE_FLOAT, SQLITE_TEXT, SQLITE_BLOB
    sqlite3_int64 integer = 0;
    double real = 0;
    std::string bytes; // text or blob content

    void setNull() { storage = SQLITE_NULL; }
};

// Converts a SetField text (sentinels already replaced, not empty) to the
// column's type. False with the engine's description when it does not fit.
bool textToCell(const ColumnType& type, const std::string& text, Cell& cell, std::string& description);

// The SetField rule: date sentinels replaced, an empty text is NULL, any other
// text converted by the column type.
bool setFieldCell(const ColumnType& type, const std::string& text, Cell& cell, std::string& description);

// The SetValue rule: the value kept as it is, when the column's kind holds
// it (integers within the column's range, a bit 0 or 1, a text within its
// width, a valid date). False with the engine's description otherwise.
bool valueToCell(const ColumnType& type, const FieldValue& value, Cell& cell, std::string& description);
// A stored value as it is; a DATE column's ISO text becomes a date.
void cellValue(ValueKind kind, sqlite3_stmt* statement, int column, FieldValue& value);

void bindCell(sqlite3_stmt* statement, int parameter, const Cell& cell);
void readCell(sqlite3_stmt* statement, int column, Cell& cell);

// The engine value-to-text rules. `blobAsSize` gives "BLOB [n bytes]" (select
// cursor) instead of "" (table cursor).
void cellText(ValueKind kind, const Cell& cell, bool blobAsSize, std::string& text);
void columnText(ValueKind kind, sqlite3_stmt* statement, int column, bool blobAsSize, std::string& text);

// Descriptions the engine gives for failures it detects itself.
inline constexpr const char* kConversionError = kConversionErrorText;
inline constexpr const char* kFieldNotFound = "Elemento non trovato nell'insieme.";
inline constexpr const char* kFieldTooSmall = kFieldTooSmallText;
inline constexpr const char* kNoCurrentRecord = "Nessun record corrente.";
inline constexpr const char* kNoEditInProgress = "Aggiornamento senza AddNew o Edit.";

} // namespace korvan::detail::sqlite
