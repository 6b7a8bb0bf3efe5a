#include "db/sqlite/SqliteSelectCursor.h"

#include "db/Values.h"
#include "db/sqlite/SqliteConnection.h"

#include <cmath>

namespace korvan::detail::sqlite {

bool SqliteSelectCursor::execute(const std::string& sql, const std::vector<SelectItem>& items, int /*blobBytes*/)
{
    sql_ = sql;
    items_ = items;
    hasRow_ = false;
    sqlite3* db = connection_.handle();
    if (!prepare(db, sql_, statement_)) {
        connection_.show("Errore sintassi SQL\n\n" + sql_ + "\n\n" + errorText(db), MessageIcon::Warning);
        return false;
    }
    const int count = sqlite3_column_count(statement_.get());
    kinds_.assign(static_cast<size_t>(count), ValueKind::Untyped);
    for (int i = 0; i < count; ++i)
        kinds_[static_cast<size_t>(i)] = columnTypeFromDeclared(sqlite3_column_decltype(statement_.get(), i)).kind;
    return step("Errore estrazione Select SQL\n\n", MessageIcon::Warning);
}

bool SqliteSelectCursor::step(const char* message, MessageIcon icon)
{
    const int rc = sqlite3_step(statement_.get());
    hasRow_ = rc == SQLITE_ROW;
    if (rc != SQLITE_ROW && rc != SQLITE_DONE)
        connection_.show(message + sql_ + "\n\n" + errorText(connection_.handle()), icon);
    return hasRow_;
}

bool SqliteSelectCursor::moveNext()
{
    if (!hasRow_)
        return false;
    return step("Errore lettura riga successiva della select corrente\n\n", MessageIcon::Error);
}

bool SqliteSelectCursor::moveFirst()
{
    if (!statement_)
        return false;
    sqlite3_reset(statement_.get());
    return step("Errore posizionamento sulle prima riga della select corrente\n\n", MessageIcon::Error);
}

void SqliteSelectCursor::fieldError(const std::string& field, const std::string& description)
{
    connection_.show("Errore campo (" + field + ") nella select corrente\n\n" + sql_ + "\n\n" + description);
}

void SqliteSelectCursor::fieldError(int index, const std::string& description)
{
    // The item as the caller named it, else the column as the engine does.
    const std::string name = index < static_cast<int>(items_.size())
                                 ? items_[static_cast<size_t>(index)].qualifiedName()
                                 : std::string(sqlite3_column_name(statement_.get(), index));
    fieldError(name, description);
}

bool SqliteSelectCursor::checkIndex(int index)
{
    if (index >= 0 && index < static_cast<int>(kinds_.size()))
        return true;
    fieldError(formatText("#%d", index), kFieldNotFound);
    return false;
}

// SQLite's declared types are affinities, not storage types: a small
// integer column declared INTEGER, a length declared REAL or NUMERIC, hold
// the same numbers. A numeric getter therefore reads any stored number that
// its type can hold, and reports the one it cannot hold instead of
// wrapping it.
bool SqliteSelectCursor::readInteger(int index, long long low, long long high, const char* kindName, int& value)
{
    value = 0;
    if (!checkIndex(index))
        return false;
    sqlite3_stmt* statement = statement_.get();
    long long number = 0;
    switch (storage(index)) {
    case SQLITE_INTEGER:
        number = sqlite3_column_int64(statement, index);
        break;
    case SQLITE_FLOAT: {
        const double real = sqlite3_column_double(statement, index);
        if (!(real >= static_cast<double>(low) && real <= static_cast<double>(high)) || real != std::trunc(real)) {
            fieldError(index, "Il valore memorizzato (" + shortestText(real) + ") non è " + kindName + ".");
            return false;
        }
        number = static_cast<long long>(real);
        break;
    }
    default:
        return false; // NULL, a text or a byte array: no number
    }
    if (number < low || number > high) {
        fieldError(index, "Il valore memorizzato (" + std::to_string(number) + ") non è " + kindName + ".");
        return false;
    }
    value = static_cast<int>(number);
    return true;
}

bool SqliteSelectCursor::getShort(int index, int& value)
{
    // A boolean reads -1 for true, as the engine gives it.
    if (checkIndex(index) && kinds_[static_cast<size_t>(index)] == ValueKind::Bit && storage(index) == SQLITE_INTEGER) {
        value = sqlite3_column_int64(statement_.get(), index) != 0 ? -1 : 0;
        return true;
    }
    return readInteger(index, -32768, 32767, "un intero a 16 bit", value);
}

bool SqliteSelectCursor::getLong(int index, int& value)
{
    return readInteger(index, -2147483648LL, 2147483647LL, "un intero a 32 bit", value);
}

bool SqliteSelectCursor::getDouble(int index, double& value)
{
    value = 0;
    if (!checkIndex(index))
        return false;
    const int stored = storage(index);
    if (stored != SQLITE_FLOAT && stored != SQLITE_INTEGER)
        return false;
    value = sqlite3_column_double(statement_.get(), index);
    return true;
}

bool SqliteSelectCursor::getText(int index, std::string& text)
{
    text.clear();
    if (!checkIndex(index) || storage(index) != SQLITE_TEXT)
        return false;
    const ValueKind kind = kinds_[static_cast<size_t>(index)];
    if (kind == ValueKind::Date) {
        columnText(kind, statement_.get(), index, true, text);
        return true;
    }
    if (kind != ValueKind::Text && kind != ValueKind::Untyped)
        return false;
    const auto* bytes = reinterpret_cast<const char*>(sqlite3_column_text(statement_.get(), index));
    text.assign(bytes ? bytes : "", static_cast<size_t>(sqlite3_column_bytes(statement_.get(), index)));
    return true;
}

int SqliteSelectCursor::findColumn(const std::string& name) const
{
    const int count = static_cast<int>(kinds_.size());
    // The items as given to AddField ("table.column") name the columns when
    // they describe this statement.
    if (static_cast<int>(items_.size()) == count)
        for (int i = 0; i < count; ++i)
            if (items_[static_cast<size_t>(i)].qualifiedName() == name)
                return i;
    for (int i = 0; i < count; ++i)
        if (sameName(name, sqlite3_column_name(statement_.get(), i)))
            return i;
    // Then only what follows the first period, further periods dropped.
    const size_t period = name.find('.');
    if (period == std::string::npos)
        return -1;
    std::string bare;
    for (size_t i = period + 1; i < name.size(); ++i)
        if (name[i] != '.')
            bare += name[i];
    for (int i = 0; i < count; ++i)
        if (sameName(bare, sqlite3_column_name(statement_.get(), i)))
            return i;
    return -1;
}

bool SqliteSelectCursor::getFieldText(const std::string& name, std::string& text)
{
    text.clear();
    const int index = findColumn(name);
    if (index < 0) {
        fieldError(name, kFieldNotFound);
        return false;
    }
    columnText(kinds_[static_cast<size_t>(index)], statement_.get(), index, true, text);
    if (!text.empty() && text.back() == ' ')
        text = trimTrailingBlanksKeepOne(text);
    return true;
}

bool SqliteSelectCursor::getValue(int index, FieldValue& value)
{
    if (!hasRow_ || !checkIndex(index))
        return false;
    cellValue(kinds_[static_cast<size_t>(index)], statement_.get(), index, value);
    return true;
}

} // namespace korvan::detail::sqlite
