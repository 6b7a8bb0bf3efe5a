#include "db/sqlite/SqliteValues.h"

#include "db/Values.h"

#include <cctype>
#include <cstring>

namespace korvan::detail::sqlite {

namespace {

std::string upper(const char* text)
{
    std::string result = text;
    for (char& c : result)
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return result;
}

bool has(const std::string& text, const char* word)
{
    return text.find(word) != std::string::npos;
}

int declaredWidth(const std::string& declared)
{
    const size_t open = declared.find('(');
    if (open == std::string::npos)
        return 0;
    const std::optional<long long> width = readLeadingInteger(std::string_view(declared).substr(open + 1));
    return width && *width > 0 && *width <= 1000000 ? static_cast<int>(*width) : 0;
}

bool lowerEquals(const std::string& text, const char* word)
{
    if (text.size() != std::strlen(word))
        return false;
    for (size_t i = 0; i < text.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(text[i])) != word[i])
            return false;
    return true;
}

// A stored value seen the same way whether it sits in a cell or in a
// statement's result row.
struct ValueView {
    int storage;
    sqlite3_int64 integer;
    double real;
    const char* bytes;
    int size;
};

void viewText(ValueKind kind, const ValueView& value, bool blobAsSize, std::string& text)
{
    text.clear();
    if (value.storage == SQLITE_NULL)
        return;
    if (value.storage == SQLITE_BLOB) {
        if (blobAsSize)
            text = formatText("BLOB [%d bytes]", value.size);
        return;
    }
    if (kind == ValueKind::Date) {
        // A value that is not a stored date reads as no date.
        const auto date = value.storage == SQLITE_TEXT
                              ? parseIsoDate(std::string(value.bytes, static_cast<size_t>(value.size)))
                              : std::nullopt;
        text = date ? engineDateText(*date) : kNoDateText;
        return;
    }
    if (value.storage == SQLITE_TEXT) {
        text.assign(value.bytes, static_cast<size_t>(value.size));
        return;
    }
    if (value.storage == SQLITE_FLOAT) {
        text = formatAmountText(value.real);
        return;
    }
    switch (kind) {
    case ValueKind::Double:
        text = formatAmountText(static_cast<double>(value.integer));
        return;
    case ValueKind::Bit:
        text = value.integer != 0 ? "1" : "0";
        return;
    case ValueKind::Short:
        text = formatText("%d", static_cast<int>(value.integer));
        return;
    case ValueKind::Long:
        text = formatText("%ld", static_cast<long>(value.integer));
        return;
    default:
        text = formatText("%lld", static_cast<long long>(value.integer));
        return;
    }
}

} // namespace

ColumnType columnTypeFromDeclared(const char* declared)
{
    ColumnType type;
    if (!declared || !*declared)
        return type;
    const std::string name = upper(declared);
    if (has(name, "SMALLINT") || has(name, "TINYINT") || has(name, "BYTE"))
        type.kind = ValueKind::Short;
    else if (has(name, "CHAR") || has(name, "TEXT") || has(name, "CLOB")) {
        type.kind = ValueKind::Text;
        type.width = declaredWidth(name);
    } else if (has(name, "BLOB") || has(name, "BINARY"))
        type.kind = ValueKind::Blob;
    else if (has(name, "BIT") || has(name, "BOOL"))
        type.kind = ValueKind::Bit;
    else if (has(name, "DATE") || has(name, "TIME"))
        type.kind = ValueKind::Date;
    else if (has(name, "INT") || has(name, "LONG") || has(name, "COUNTER"))
        type.kind = ValueKind::Long;
    else if (has(name, "DOUBLE") || has(name, "FLOAT") || has(name, "REAL") || has(name, "NUM") || has(name, "DEC") ||
             has(name, "CURRENCY"))
        type.kind = ValueKind::Double;
    return type;
}

bool textToCell(const ColumnType& type, const std::string& text, Cell& cell, std::string& description)
{
    // Only a failure fills the description.
    auto refuse = [&description](const char* why) {
        description = why;
        return false;
    };
    switch (type.kind) {
    case ValueKind::Short:
    case ValueKind::Long: {
        const auto value = parseWholeInteger(text);
        const long long low = type.kind == ValueKind::Short ? -32768 : -2147483648LL;
        const long long high = type.kind == ValueKind::Short ? 32767 : 2147483647LL;
        if (!value || *value < low || *value > high)
            return refuse(kConversionError);
        cell.storage = SQLITE_INTEGER;
        cell.integer = *value;
        return true;
    }
    case ValueKind::Double: {
        const auto value = parseWholeDecimal(text);
        if (!value)
            return refuse(kConversionError);
        cell.storage = SQLITE_FLOAT;
        cell.real = *value;
        return true;
    }
    case ValueKind::Date: {
        const auto date = parseDateText(text);
        if (text.size() != 10 || !date || !isValidDate(*date))
            return refuse(kConversionError);
        cell.storage = SQLITE_TEXT;
        cell.bytes = formatIsoDate(*date);
        return true;
    }
    case ValueKind::Bit:
        if (text == "1" || text == "-1" || lowerEquals(text, "true"))
            cell.integer = 1;
        else if (text == "0" || lowerEquals(text, "false"))
            cell.integer = 0;
        else
            return refuse(kConversionError);
        cell.storage = SQLITE_INTEGER;
        return true;
    case ValueKind::Text:
        if (type.width > 0 && utf8CharacterCount(text) > type.width)
            return refuse(kFieldTooSmall);
        [[fallthrough]];
    case ValueKind::Untyped:
        cell.storage = SQLITE_TEXT;
        cell.bytes = text;
        return true;
    case ValueKind::Blob:
        cell.storage = SQLITE_BLOB;
        cell.bytes = text;
        return true;
    }
    return refuse(kConversionError);
}

bool setFieldCell(const ColumnType& type, const std::string& text, Cell& cell, std::string& description)
{
    if (text.empty()) {
        cell.setNull();
        return true;
    }
    if (text == kNoDateText || text == kOpenEndedDateText)
        return textToCell(type, replaceDateSentinel(text), cell, description);
    return textToCell(type, text, cell, description);
}

bool valueToCell(const ColumnType& type, const FieldValue& value, Cell& cell, std::string& description)
{
    auto refuse = [&description](const char* why) {
        description = why;
        return false;
    };
    using Kind = FieldValue::Kind;
    if (value.kind == Kind::Null) {
        cell.setNull();
        return true;
    }
    switch (type.kind) {
    case ValueKind::Short:
    case ValueKind::Long:
    case ValueKind::Bit: {
        if (value.kind != Kind::Integer)
            return refuse(kConversionError);
        const long long low = type.kind == ValueKind::Short ? -32768 : type.kind == ValueKind::Bit ? 0 : -2147483648LL;
        const long long high = type.kind == ValueKind::Short ? 32767 : type.kind == ValueKind::Bit ? 1 : 2147483647LL;
        if (value.integer < low || value.integer > high)
            return refuse(kConversionError);
        cell.storage = SQLITE_INTEGER;
        cell.integer = value.integer;
        return true;
    }
    case ValueKind::Double:
        if (value.kind == Kind::Real) {
            cell.storage = SQLITE_FLOAT;
            cell.real = value.real;
            return true;
        }
        if (value.kind != Kind::Integer)
            return refuse(kConversionError);
        cell.storage = SQLITE_FLOAT;
        cell.real = static_cast<double>(value.integer);
        return true;
    case ValueKind::Date:
        if (value.kind != Kind::Date || !isValidDate(value.date) || value.date.year < 1 || value.date.year > 9999)
            return refuse(kConversionError);
        cell.storage = SQLITE_TEXT;
        cell.bytes = formatIsoDate(value.date);
        return true;
    case ValueKind::Text:
        if (value.kind != Kind::Text)
            return refuse(kConversionError);
        if (type.width > 0 && utf8CharacterCount(value.bytes) > type.width)
            return refuse(kFieldTooSmall);
        cell.storage = SQLITE_TEXT;
        cell.bytes = value.bytes;
        return true;
    case ValueKind::Blob:
        if (value.kind != Kind::Bytes && value.kind != Kind::Text)
            return refuse(kConversionError);
        cell.storage = SQLITE_BLOB;
        cell.bytes = value.bytes;
        return true;
    case ValueKind::Untyped:
        break;
    }
    switch (value.kind) {
    case Kind::Integer:
        cell.storage = SQLITE_INTEGER;
        cell.integer = value.integer;
        return true;
    case Kind::Real:
        cell.storage = SQLITE_FLOAT;
        cell.real = value.real;
        return true;
    case Kind::Date:
        cell.storage = SQLITE_TEXT;
        cell.bytes = formatIsoDate(value.date);
        return true;
    case Kind::Bytes:
        cell.storage = SQLITE_BLOB;
        cell.bytes = value.bytes;
        return true;
    default:
        cell.storage = SQLITE_TEXT;
        cell.bytes = value.bytes;
        return true;
    }
}

void cellValue(ValueKind kind, sqlite3_stmt* statement, int column, FieldValue& value)
{
    switch (sqlite3_column_type(statement, column)) {
    case SQLITE_INTEGER:
        value.setInteger(sqlite3_column_int64(statement, column));
        return;
    case SQLITE_FLOAT:
        value.setReal(sqlite3_column_double(statement, column));
        return;
    case SQLITE_TEXT: {
        const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        const std::string_view bytes(text ? text : "", static_cast<size_t>(sqlite3_column_bytes(statement, column)));
        // A date as the file keeps it, or with a time after it.
        if (kind == ValueKind::Date && bytes.size() >= 10) {
            const bool alone = bytes.size() == 10;
            const bool timed = bytes.size() >= 16 && (bytes[10] == ' ' || bytes[10] == 'T');
            const auto date = alone || timed ? parseIsoDate(bytes) : std::nullopt;
            if (date && isValidDate(*date)) {
                value.setDate(*date, timed && bytes.find_first_not_of("0:. ", 11) != std::string_view::npos);
                return;
            }
        }
        value.kind = FieldValue::Kind::Text;
        value.bytes.assign(bytes.data(), bytes.size());
        return;
    }
    case SQLITE_BLOB: {
        const auto* data = static_cast<const char*>(sqlite3_column_blob(statement, column));
        value.setBytes(std::string(data ? data : "", static_cast<size_t>(sqlite3_column_bytes(statement, column))));
        return;
    }
    default:
        value.setNull();
        return;
    }
}

void bindCell(sqlite3_stmt* statement, int parameter, const Cell& cell)
{
    switch (cell.storage) {
    case SQLITE_INTEGER:
        sqlite3_bind_int64(statement, parameter, cell.integer);
        break;
    case SQLITE_FLOAT:
        sqlite3_bind_double(statement, parameter, cell.real);
        break;
    case SQLITE_TEXT:
        sqlite3_bind_text(statement, parameter, cell.bytes.data(), static_cast<int>(cell.bytes.size()), SQLITE_STATIC);
        break;
    case SQLITE_BLOB:
        sqlite3_bind_blob(statement, parameter, cell.bytes.data(), static_cast<int>(cell.bytes.size()), SQLITE_STATIC);
        break;
    default:
        sqlite3_bind_null(statement, parameter);
        break;
    }
}

void readCell(sqlite3_stmt* statement, int column, Cell& cell)
{
    cell.storage = sqlite3_column_type(statement, column);
    switch (cell.storage) {
    case SQLITE_INTEGER:
        cell.integer = sqlite3_column_int64(statement, column);
        break;
    case SQLITE_FLOAT:
        cell.real = sqlite3_column_double(statement, column);
        break;
    case SQLITE_TEXT:
    case SQLITE_BLOB: {
        const void* data = cell.storage == SQLITE_TEXT ? sqlite3_column_text(statement, column)
                                                       : sqlite3_column_blob(statement, column);
        const int size = sqlite3_column_bytes(statement, column);
        cell.bytes.assign(static_cast<const char*>(data) ? static_cast<const char*>(data) : "",
                          static_cast<size_t>(size));
        break;
    }
    default:
        break;
    }
}

void cellText(ValueKind kind, const Cell& cell, bool blobAsSize, std::string& text)
{
    viewText(kind, {cell.storage, cell.integer, cell.real, cell.bytes.data(), static_cast<int>(cell.bytes.size())},
             blobAsSize, text);
}

void columnText(ValueKind kind, sqlite3_stmt* statement, int column, bool blobAsSize, std::string& text)
{
    ValueView view{sqlite3_column_type(statement, column), 0, 0, "", 0};
    switch (view.storage) {
    case SQLITE_INTEGER:
        view.integer = sqlite3_column_int64(statement, column);
        break;
    case SQLITE_FLOAT:
        view.real = sqlite3_column_double(statement, column);
        break;
    case SQLITE_TEXT:
        view.bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
        view.size = sqlite3_column_bytes(statement, column);
        break;
    case SQLITE_BLOB:
        view.size = sqlite3_column_bytes(statement, column);
        break;
    default:
        break;
    }
    if (!view.bytes)
        view.bytes = "";
    viewText(kind, view, blobAsSize, text);
}

} // namespace korvan::detail::sqlite
