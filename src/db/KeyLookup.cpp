#include "db/KeyLookup.h"

#include "db/DbConnection.h"

namespace korvan {

KeyValue keyNumber(const std::string& column, long value)
{
    const std::string text = formatText("%ld", value);
    return {column, text, text};
}

KeyValue keyDate(const std::string& column, const CivilDate& date, const DbConnection& connection)
{
    return {column, formatDateText(date), connection.Dialect().keyDateLiteral(date)};
}

KeyLookup::KeyLookup(DbConnection* connection, const std::string& table)
    : connection_(connection), cursor_(connection, table)
{
    if (!cursor_.IsOpen())
        return;
    byIndex_ = connection_->IsSqlite();
    indexReady_ = !byIndex_ || cursor_.SelectIndex("codice");
}

bool KeyLookup::find(const std::vector<KeyValue>& key)
{
    if (!IsOpen() || key.empty())
        return false;
    if (byIndex_) {
        std::vector<std::string> texts;
        texts.reserve(key.size());
        for (const KeyValue& value : key)
            texts.push_back(value.seekText);
        return cursor_.SeekKey(texts);
    }
    std::string filter;
    for (const KeyValue& value : key) {
        if (!filter.empty())
            filter += " AND ";
        filter += value.column + " = " + value.filterText;
    }
    return cursor_.FindWhere(filter);
}

} // namespace korvan
