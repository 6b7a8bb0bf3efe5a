#include "db/TableCursor.h"

#include "db/Backend.h"
#include "db/DbConnection.h"

namespace korvan {

TableCursor::TableCursor(DbConnection* connection, const std::string& tableName, bool bulkInsert, int blobBytes)
    : tableName_(tableName)
{
    if (connection && connection->IsOpen())
        backend_ = connection->backend()->openTable(tableName, bulkInsert, blobBytes);
}

TableCursor::~TableCursor() = default;

bool TableCursor::IsOpen() const
{
    return backend_ && backend_->isOpen();
}

bool TableCursor::SelectIndex(const std::string& indexName)
{
    return IsOpen() && backend_->selectIndex(indexName);
}

bool TableCursor::SeekKey(const std::vector<std::string>& keyTexts)
{
    return IsOpen() && backend_->seekKey(keyTexts);
}

bool TableCursor::FindWhere(const std::string& whereText)
{
    return IsOpen() && backend_->findWhere(whereText);
}

bool TableCursor::Edit()
{
    return IsOpen() && backend_->edit();
}

bool TableCursor::AddNew()
{
    return IsOpen() && backend_->addNew();
}

bool TableCursor::Update()
{
    return IsOpen() && backend_->update();
}

bool TableCursor::SetField(const std::string& columnName, std::string& text)
{
    return IsOpen() && backend_->setField(columnName, text);
}

bool TableCursor::SetField(const std::string& columnName, const std::string& text)
{
    std::string copy = text;
    return SetField(columnName, copy);
}

bool TableCursor::GetField(const std::string& columnName, std::string& textOut)
{
    return IsOpen() && backend_->getField(columnName, textOut);
}

bool TableCursor::Flush()
{
    return IsOpen() && backend_->flush();
}

int TableCursor::RowsWritten() const
{
    return backend_ ? backend_->rowsWritten() : 0;
}

int TableCursor::RowsRejected() const
{
    return backend_ ? backend_->rowsRejected() : 0;
}

void TableCursor::SetReportRejectedRows(bool report)
{
    if (backend_)
        backend_->setReportRejectedRows(report);
}

} // namespace korvan
