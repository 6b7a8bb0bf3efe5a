#include "db/TableCursor.h"

#include "db/Backend.h"
#include "db/DbConnection.h"

#include <algorithm>

namespace korvan {

TableCursor::TableCursor(DbConnection* connection, const std::string& tableName, bool bulkInsert, int blobBytes)
    : connection_(connection), tableName_(tableName), bulk_(bulkInsert)
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
    refused_.clear();
    return IsOpen() && backend_->edit();
}

bool TableCursor::AddNew()
{
    refused_.clear();
    return IsOpen() && backend_->addNew();
}

bool TableCursor::Update()
{
    updateRefused_ = false;
    droppedInLastWrite_ = 0;
    if (!IsOpen())
        return false;
    if (!refused_.empty()) {
        std::string fields;
        for (const std::string& name : refused_)
            fields += (fields.empty() ? "" : ", ") + name;
        refused_.clear();
        if (bulk_) {
            // The row's place in the block is emptied for the next one.
            backend_->addNew();
            ++droppedPending_;
            return true;
        }
        updateRefused_ = true;
        connection_->Sink().showMessage("Errore aggiornamento tavola (" + tableName_ + ")\n\n" +
                                            "Valore non accettato nel campo (" + fields +
                                            "): la riga non è stata memorizzata.",
                                        MessageIcon::Error);
        return false;
    }
    const bool stored = backend_->update();
    if (bulk_ && (backend_->rowsWritten() > 0 || backend_->rowsRejected() > 0)) {
        droppedInLastWrite_ = droppedPending_;
        droppedPending_ = 0;
    }
    return stored;
}

bool TableCursor::noteField(const std::string& columnName, bool taken)
{
    const auto found = std::find(refused_.begin(), refused_.end(), columnName);
    if (taken && found != refused_.end())
        refused_.erase(found);
    else if (!taken && found == refused_.end())
        refused_.push_back(columnName);
    return taken;
}

bool TableCursor::SetField(const std::string& columnName, std::string& text)
{
    return noteField(columnName, IsOpen() && backend_->setField(columnName, text));
}

bool TableCursor::SetField(const std::string& columnName, const std::string& text)
{
    std::string copy = text;
    return SetField(columnName, copy);
}

bool TableCursor::SetField(const std::string& columnName, long long value)
{
    return noteField(columnName, IsOpen() && backend_->setWholeNumber(columnName, value));
}

bool TableCursor::SetField(const std::string& columnName, const CivilDate& date)
{
    return noteField(columnName, IsOpen() && backend_->setDate(columnName, date));
}

bool TableCursor::SetValue(const std::string& columnName, const FieldValue& value)
{
    return noteField(columnName, IsOpen() && backend_->setValue(columnName, value));
}

bool TableCursor::GetField(const std::string& columnName, std::string& textOut)
{
    return IsOpen() && backend_->getField(columnName, textOut);
}

bool TableCursor::Flush()
{
    droppedInLastWrite_ = droppedPending_;
    droppedPending_ = 0;
    return IsOpen() && backend_->flush() && droppedInLastWrite_ == 0;
}

int TableCursor::RowsWritten() const
{
    return backend_ && !updateRefused_ ? backend_->rowsWritten() : 0;
}

int TableCursor::RowsRejected() const
{
    return (backend_ ? backend_->rowsRejected() : 0) + droppedInLastWrite_;
}

void TableCursor::SetReportRejectedRows(bool report)
{
    if (backend_)
        backend_->setReportRejectedRows(report);
}

} // namespace korvan
