#include "db/ChangeCursors.h"

#include "db/Backend.h"
#include "db/DbConnection.h"

#include <algorithm>

namespace korvan {

namespace {

bool storeClause(std::string& clause, const std::string& text)
{
    clause = text;
    return !clause.empty();
}

} // namespace

DeleteCursor::DeleteCursor(DbConnection* connection) : connection_(connection) {}
DeleteCursor::~DeleteCursor() = default;

bool DeleteCursor::SetColumns(const std::string& text)
{
    return storeClause(columnText_, text);
}
bool DeleteCursor::SetTable(const std::string& text)
{
    return storeClause(tableText_, text);
}
bool DeleteCursor::SetWhere(const std::string& text)
{
    return storeClause(whereText_, text);
}

bool DeleteCursor::Open()
{
    hasRow_ = false;
    deletedCount_ = 0;
    backend_.reset();
    sqlText_.clear();
    if (tableText_.empty() || !connection_ || !connection_->IsOpen())
        return false;
    sqlText_ = "SELECT " + columnText_ + " FROM " + tableText_ + " ";
    if (!whereText_.empty())
        sqlText_ += "WHERE " + whereText_ + " ";
    backend_ = connection_->backend()->newDelete();
    hasRow_ = backend_->open(sqlText_, columnText_, tableText_);
    return hasRow_;
}

bool DeleteCursor::Delete()
{
    deletedCount_ = 0;
    if (!hasRow_)
        return false;
    return backend_->deleteBlock(deletedCount_);
}

bool DeleteCursor::DeleteAll()
{
    hasRow_ = false;
    deletedCount_ = 0;
    backend_.reset();
    if (tableText_.empty() || !connection_ || !connection_->IsOpen())
        return false;
    std::string sql = "DELETE FROM " + tableText_;
    if (!whereText_.empty())
        sql += " WHERE " + whereText_;
    long rows = 0;
    const bool deleted = connection_->backend()->executeCounting(
        sql, "Errore eliminazione righe della tavola (" + tableText_ + ")\n\n", rows);
    deletedCount_ = static_cast<int>(rows);
    return deleted;
}

bool DeleteCursor::MoveNext()
{
    if (!hasRow_)
        return false;
    hasRow_ = backend_->moveNext();
    return hasRow_;
}

bool DeleteCursor::MoveFirst()
{
    if (!backend_)
        return false;
    hasRow_ = backend_->moveFirst();
    return hasRow_;
}

UpdateCursor::UpdateCursor(DbConnection* connection) : connection_(connection) {}
UpdateCursor::~UpdateCursor() = default;

bool UpdateCursor::AddField(const std::string& tableName, const std::string& columnName, int sqlType)
{
    fields_.push_back({tableName, columnName, sqlType});
    return true;
}

bool UpdateCursor::AddReadField(const std::string& tableName, const std::string& columnName, int sqlType)
{
    readFields_.push_back(static_cast<int>(fields_.size()));
    return AddField(tableName, columnName, sqlType);
}

bool UpdateCursor::SetFrom(const std::string& text)
{
    return storeClause(fromText_, text);
}
bool UpdateCursor::SetWhere(const std::string& text)
{
    return storeClause(whereText_, text);
}
bool UpdateCursor::SetOrderBy(const std::string& text)
{
    return storeClause(orderByText_, text);
}

bool UpdateCursor::buildSql()
{
    sqlText_.clear();
    if (fields_.empty() || fromText_.empty())
        return false;
    // An updatable selection reads one table.
    for (const SelectItem& item : fields_)
        if (item.table != fields_.front().table)
            return false;
    sqlText_ = "SELECT " + joinSelectList(fields_) + " FROM " + fromText_ + " ";
    if (!whereText_.empty())
        sqlText_ += "WHERE " + whereText_ + " ";
    if (!orderByText_.empty())
        sqlText_ += "ORDER BY " + orderByText_ + " ";
    return true;
}

bool UpdateCursor::Open(bool useExistingSql)
{
    hasRow_ = false;
    backend_.reset();
    if (!useExistingSql && !buildSql())
        return false;
    if (sqlText_.empty() || !connection_ || !connection_->IsOpen())
        return false;
    backend_ = connection_->backend()->newUpdate();
    backend_->keepValuesOf(readFields_);
    hasRow_ = backend_->open(sqlText_, fields_);
    return hasRow_;
}

bool UpdateCursor::MoveNext()
{
    if (!hasRow_)
        return false;
    hasRow_ = backend_->moveNext();
    return hasRow_;
}

bool UpdateCursor::Edit()
{
    return hasRow_ && backend_->edit(hasRow_);
}

bool UpdateCursor::SetField(const std::string& columnName, const std::string& text)
{
    return hasRow_ && backend_->setField(columnName, text);
}

bool UpdateCursor::Update()
{
    return hasRow_ && backend_->update();
}

bool UpdateCursor::GetValue(int index, FieldValue& value)
{
    return hasRow_ && std::find(readFields_.begin(), readFields_.end(), index) != readFields_.end() &&
           backend_->getValue(index, value);
}

} // namespace korvan
