#include "db/SelectCursor.h"

#include "db/SqlTypes.h"

#include "db/Backend.h"
#include "db/DbConnection.h"

namespace korvan {

std::string joinSelectList(const std::vector<SelectItem>& items)
{
    std::string list;
    for (const SelectItem& item : items) {
        if (!list.empty())
            list += ", ";
        list += item.qualifiedName().substr(0, 127);
    }
    return list;
}

SelectCursor::SelectCursor(DbConnection* connection) : connection_(connection) {}

SelectCursor::~SelectCursor() = default;

bool SelectCursor::AddField(const std::string& tableName, const std::string& columnName, int sqlType)
{
    fields_.push_back({tableName, columnName, sqlType});
    return true;
}

bool SelectCursor::AddField(const SelectItem& item)
{
    fields_.push_back(item);
    return true;
}

namespace {

bool storeClause(std::string& clause, const std::string& text)
{
    clause = text;
    return !clause.empty();
}

} // namespace

bool SelectCursor::SetFrom(const std::string& text)
{
    return storeClause(fromText_, text);
}
bool SelectCursor::SetWhere(const std::string& text)
{
    return storeClause(whereText_, text);
}
bool SelectCursor::SetGroupBy(const std::string& text)
{
    return storeClause(groupByText_, text);
}
bool SelectCursor::SetOrderBy(const std::string& text)
{
    return storeClause(orderByText_, text);
}

bool SelectCursor::BuildSql()
{
    sqlText_.clear();
    if (fields_.empty() || fromText_.empty())
        return false;
    sqlText_ = "SELECT " + joinSelectList(fields_) + " FROM " + fromText_ + " ";
    if (!whereText_.empty())
        sqlText_ += "WHERE " + whereText_ + " ";
    if (!groupByText_.empty())
        sqlText_ += "GROUP BY " + groupByText_ + " ";
    if (!orderByText_.empty())
        sqlText_ += "ORDER BY " + orderByText_ + " ";
    return true;
}

bool SelectCursor::Execute(bool useExistingSql, int blobBytes)
{
    hasRow_ = false;
    backend_.reset();
    if (!useExistingSql && !BuildSql())
        return false;
    if (sqlText_.empty() || !connection_ || !connection_->IsOpen())
        return false;
    backend_ = connection_->backend()->newSelect();
    hasRow_ = backend_->execute(sqlText_, fields_, blobBytes);
    return hasRow_;
}

long SelectCursor::CountRows()
{
    if (fromText_.empty() || !connection_ || !connection_->IsOpen())
        return -1;
    std::string sql = "SELECT COUNT(*) FROM " + fromText_ + " ";
    if (!whereText_.empty())
        sql += "WHERE " + whereText_ + " ";
    const std::unique_ptr<detail::SelectCursorBackend> count = connection_->backend()->newSelect();
    int rows = 0;
    if (!count->execute(sql, {SelectItem{"", "COUNT(*)", SqlType::Integer}}, 0) || !count->getLong(0, rows))
        return -1;
    return rows;
}

bool SelectCursor::MoveNext()
{
    if (!hasRow_)
        return false;
    hasRow_ = backend_->moveNext();
    return hasRow_;
}

bool SelectCursor::MoveFirst()
{
    if (!backend_)
        return false;
    hasRow_ = backend_->moveFirst();
    return hasRow_;
}

bool SelectCursor::GetShort(int index, int& value)
{
    value = 0;
    return hasRow_ && backend_->getShort(index, value);
}

bool SelectCursor::GetLong(int index, int& value)
{
    value = 0;
    return hasRow_ && backend_->getLong(index, value);
}

bool SelectCursor::GetDouble(int index, double& value)
{
    value = 0;
    return hasRow_ && backend_->getDouble(index, value);
}

bool SelectCursor::GetText(int index, std::string& text)
{
    text.clear();
    return hasRow_ && backend_->getText(index, text);
}

bool SelectCursor::GetFieldText(const std::string& name, std::string& text)
{
    text.clear();
    return hasRow_ && backend_->getFieldText(name, text);
}

bool SelectCursor::GetValue(int index, FieldValue& value)
{
    value.setNull();
    return hasRow_ && backend_->getValue(index, value);
}

} // namespace korvan
