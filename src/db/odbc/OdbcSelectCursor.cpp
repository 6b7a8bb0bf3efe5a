#include "db/odbc/OdbcSelectCursor.h"

#include "db/DbConnection.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcValues.h"

#include <algorithm>

namespace korvan::detail::odbc {

OdbcSelectCursor::OdbcSelectCursor(OdbcConnection& connection) : connection_(connection), reader_(connection) {}

void OdbcSelectCursor::fail(const char* step, const std::string& error, MessageIcon icon)
{
    connection_.show(std::string(step) + "\n\n" + sql_ + "\n\n" + error, icon);
    hasRow_ = false;
}

bool OdbcSelectCursor::execute(const std::string& sql, const std::vector<SelectItem>& items, int blobBytes)
{
    sql_ = sql;
    items_ = items;
    hasRow_ = false;
    // Long columns make the block small: their slots are large (a long text
    // is read only when its width is given).
    const bool blob = std::any_of(items.begin(), items.end(), [](const SelectItem& item) {
        return item.sqlType == SqlType::LongVarBinary || (item.sqlType == SqlType::LongVarChar && item.width > 0);
    });
    const DbConnection& owner = connection_.owner();
    std::vector<int> types;
    std::vector<int> widths;
    for (const SelectItem& item : items) {
        types.push_back(item.sqlType);
        widths.push_back(item.width);
    }
    std::string error;
    if (!reader_.prepare(types, blob ? owner.RowsetSizeBlob() : owner.RowsetSizeOrdinary(), blobBytes, true, error,
                         widths)) {
        fail("Errore predisposizione Select SQL", error, MessageIcon::Warning);
        return false;
    }
    const int rows = reader_.open(sql_, error);
    if (rows < 0) {
        fail("Errore estrazione Select SQL", error, MessageIcon::Warning);
        return false;
    }
    row_ = 0;
    hasRow_ = rows > 0;
    return hasRow_;
}

bool OdbcSelectCursor::moveNext()
{
    if (!hasRow_)
        return false;
    if (row_ < reader_.rowsInBlock() - 1) {
        ++row_;
        return true;
    }
    std::string error;
    const int rows = reader_.fetchNext(error);
    if (rows < 0) {
        fail("Errore lettura riga successiva della select corrente", error, MessageIcon::Error);
        return false;
    }
    row_ = 0;
    hasRow_ = rows > 0;
    return hasRow_;
}

bool OdbcSelectCursor::moveFirst()
{
    std::string error;
    const int rows = reader_.open(sql_, error);
    if (rows < 0) {
        fail("Errore posizionamento sulle prima riga della select corrente", error, MessageIcon::Error);
        return false;
    }
    row_ = 0;
    hasRow_ = rows > 0;
    return hasRow_;
}

bool OdbcSelectCursor::current(int index) const
{
    return hasRow_ && index >= 0 && index < reader_.columnCount();
}

bool OdbcSelectCursor::getShort(int index, int& value)
{
    if (!current(index))
        return false;
    value = selectShort(reader_.column(index), row_);
    return true;
}

bool OdbcSelectCursor::getLong(int index, int& value)
{
    if (!current(index))
        return false;
    value = selectLong(reader_.column(index), row_);
    return true;
}

bool OdbcSelectCursor::getDouble(int index, double& value)
{
    if (!current(index))
        return false;
    value = selectDouble(reader_.column(index), row_);
    return true;
}

bool OdbcSelectCursor::getText(int index, std::string& text)
{
    if (!current(index))
        return false;
    text = selectText(reader_.column(index), row_);
    return true;
}

bool OdbcSelectCursor::getFieldText(const std::string& name, std::string& text)
{
    for (size_t i = 0; i < items_.size(); ++i)
        if (items_[i].qualifiedName() == name) {
            if (!current(static_cast<int>(i)) ||
                !selectCursorText(reader_.column(static_cast<int>(i)), row_, text, connection_.owner().Sink()))
                return false;
            // The same text as the file back end gives: trailing blanks
            // removed, a blank text keeping one.
            text = trimTrailingBlanksKeepOne(text);
            return true;
        }
    return false;
}

bool OdbcSelectCursor::getValue(int index, FieldValue& value)
{
    return current(index) && readValue(reader_.column(index), row_, value);
}

} // namespace korvan::detail::odbc
