#include "db/odbc/OdbcTableCursor.h"

#include "db/DbConnection.h"
#include "db/SqlTypes.h"
#include "db/odbc/OdbcBlockReader.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcValues.h"

#include <algorithm>

namespace korvan::detail::odbc {

namespace {

constexpr const char* kNoCurrentRow = "Nessuna riga corrente.";
constexpr const char* kNoEdit = "Nessuna modifica o inserimento in corso.";
constexpr const char* kRowNotFound = "La riga da aggiornare non esiste più.";
constexpr const char* kReadOnlySource = "La sorgente dati è aperta in sola lettura.";

// The data source says it takes no changes, or the connection was opened
// read-only.
bool readOnlySource(SQLHDBC connection)
{
    char flag[8] = {0};
    SQLSMALLINT length = 0;
    if (succeeded(SQLGetInfo(connection, SQL_DATA_SOURCE_READ_ONLY, flag, sizeof flag, &length)) && flag[0] == 'Y')
        return true;
    SQLUINTEGER mode = SQL_MODE_READ_WRITE;
    return succeeded(SQLGetConnectAttr(connection, SQL_ATTR_ACCESS_MODE, &mode, 0, nullptr)) &&
           mode == SQL_MODE_READ_ONLY;
}

std::vector<ColumnBuffer> makeBuffers(const std::vector<ColumnInfo>& columns, int rows, int blobBytes)
{
    std::vector<ColumnBuffer> buffers;
    buffers.reserve(columns.size());
    for (const ColumnInfo& column : columns)
        buffers.emplace_back(column.sqlType, rows, blobBytes, column.size);
    return buffers;
}

} // namespace

OdbcTableCursor::OdbcTableCursor(OdbcConnection& connection, const std::string& tableName, bool bulkInsert,
                                 int blobBytes)
    : connection_(connection), table_(tableName), bulk_(bulkInsert)
{
    {
        Statement probe;
        if (!probe.allocate(connection_.handle()))
            return;
    }
    columns_ = connection_.tableColumns(table_);
    if (columns_.empty()) {
        reportMissingTable();
        return;
    }
    // Long columns make the block small: their slots are large. In bulk
    // mode a long text counts as one, since it is bound there too.
    const bool blob = std::any_of(columns_.begin(), columns_.end(), [this](const ColumnInfo& column) {
        return column.sqlType == SqlType::LongVarBinary || (bulk_ && column.sqlType == SqlType::LongVarChar);
    });
    const DbConnection& owner = connection_.owner();
    rowsetSize_ = std::max(1, blob ? owner.RowsetSizeBlob() : owner.RowsetSizeOrdinary());

    for (const std::string& key : connection_.primaryKeyColumns(table_)) {
        const int index = findColumn(columns_, key);
        if (index >= 0)
            keyColumns_.push_back(index);
    }
    if (bulk_) {
        block_ = makeBuffers(columns_, rowsetSize_, blobBytes);
        writer_ = std::make_unique<BlockWriter>(connection_, table_, columns_, block_);
        if (BatchWriter::suits(connection_, block_))
            batch_ = std::make_unique<BatchWriter>(connection_, table_, columns_, block_, rowsetSize_);
    } else {
        row_ = makeBuffers(columns_, 1, blobBytes);
        edit_ = makeBuffers(columns_, 1, blobBytes);
        changed_.assign(columns_.size(), 0);
        readOnly_ = readOnlySource(connection_.handle());
    }
    for (const ColumnBuffer& buffer : bulk_ ? block_ : row_)
        if (!buffer.bindable())
            connection_.show(unknownTypeMessage(buffer.sqlType()));
    open_ = true;
}

// The catalogue knows no such table: the driver's own text tells why.
bool OdbcTableCursor::reportMissingTable()
{
    Statement statement;
    if (!statement.allocate(connection_.handle()))
        return false;
    const SQLRETURN rc = SQLExecDirect(
        statement.get(), sqlText("SELECT * FROM " + connection_.tableReference(table_) + " WHERE 1 = 0"), SQL_NTS);
    if (!succeeded(rc)) {
        connection_.show("Errore in fase di apertura della tavola (" + table_ + ")\n\n" +
                         driverText(SQL_HANDLE_STMT, statement.get()));
        return true;
    }
    return false;
}

OdbcTableCursor::~OdbcTableCursor()
{
    if (!open_ || !connection_.isOpen())
        return;
    // Rows still waiting in the block are stored when the cursor closes.
    if (bulk_ && blockRow_ > 0) {
        storeBlock(blockRow_, "Errore chiusura tavola (");
        blockRow_ = 0;
    }
    if (batch_) {
        sendBatch("Errore chiusura tavola (");
        connection_.removePendingWrites(this);
    }
    // The single-row statements are the recordset: each is closed and freed.
    std::string failures;
    for (auto& [sql, statement] : statements_) {
        const SQLHSTMT handle = statement.release();
        if (handle == SQL_NULL_HSTMT)
            continue;
        std::string failure;
        if (!succeeded(SQLFreeStmt(handle, SQL_CLOSE)))
            failure = driverText(SQL_HANDLE_STMT, handle);
        // A handle the driver would not free is left to it rather than
        // freed twice.
        if (!succeeded(SQLFreeHandle(SQL_HANDLE_STMT, handle)) && failure.empty())
            failure = "????";
        if (!failure.empty())
            failures += (failures.empty() ? "" : "\n") + failure;
    }
    if (!failures.empty())
        connection_.show("Errore in chiusura del recordset (" + table_ + ")\n\n" + failures);
}

bool OdbcTableCursor::selectIndex(const std::string& /*indexName*/)
{
    return true;
}

bool OdbcTableCursor::seekKey(const std::vector<std::string>& /*keyTexts*/)
{
    return false;
}

std::string OdbcTableCursor::selectList() const
{
    std::string list;
    for (size_t i = 0; i < columns_.size(); ++i)
        if (row_[i].bindable())
            list += (list.empty() ? "" : ", ") + connection_.quoteIdentifier(columns_[i].name);
    return list;
}

bool OdbcTableCursor::findWhere(const std::string& whereText)
{
    positioned_ = false;
    mode_ = EditMode::None;
    if (bulk_)
        return false;
    std::vector<int> types;
    std::vector<size_t> bound;
    for (size_t i = 0; i < columns_.size(); ++i)
        if (row_[i].bindable()) {
            types.push_back(columns_[i].sqlType);
            bound.push_back(i);
        }
    std::string sql = "SELECT " + selectList() + " FROM " + connection_.tableReference(table_);
    if (!whereText.empty())
        sql += " WHERE " + whereText;
    BlockReader reader(connection_);
    std::string error;
    int rows = -1;
    if (reader.prepare(types, 1, 0, false, error))
        rows = reader.open(sql, error);
    if (rows < 0) {
        connection_.show("Errore lettura tavola (" + table_ + ")\n\n" + error);
        return false;
    }
    if (rows == 0)
        return false;
    for (size_t i = 0; i < bound.size(); ++i)
        row_[bound[i]].copyRow(0, reader.column(static_cast<int>(i)), 0);
    reader.close();
    positioned_ = true;
    return true;
}

bool OdbcTableCursor::edit()
{
    if (bulk_)
        return false;
    if (!positioned_) {
        connection_.show("Errore editing tavola (" + table_ + ")\n\n" + kNoCurrentRow);
        return false;
    }
    for (size_t i = 0; i < columns_.size(); ++i)
        edit_[i].copyRow(0, row_[i], 0);
    std::fill(changed_.begin(), changed_.end(), 0);
    mode_ = EditMode::Edit;
    return true;
}

bool OdbcTableCursor::addNew()
{
    if (bulk_) {
        for (ColumnBuffer& buffer : block_)
            buffer.setNull(blockRow_);
        return true;
    }
    mode_ = EditMode::None;
    // A row that could never be stored is refused before it is filled.
    if (readOnly_) {
        connection_.show("Errore inserimento tavola (" + table_ + ")\n\n" + kReadOnlySource);
        return false;
    }
    for (ColumnBuffer& buffer : edit_)
        buffer.setNull(0);
    std::fill(changed_.begin(), changed_.end(), 0);
    mode_ = EditMode::AddNew;
    return true;
}

OdbcTableCursor::FillingSlot OdbcTableCursor::fillingSlot(const std::string& columnName)
{
    const int index = findColumn(columns_, columnName);
    if (index < 0 || (!bulk_ && mode_ == EditMode::None))
        return {};
    const auto i = static_cast<size_t>(index);
    return {bulk_ ? &block_[i] : &edit_[i], bulk_ ? blockRow_ : 0, i};
}

void OdbcTableCursor::noteFilled(const FillingSlot& slot)
{
    if (!bulk_)
        changed_[slot.column] = 1;
}

bool OdbcTableCursor::setField(const std::string& columnName, std::string& text)
{
    const FillingSlot slot = fillingSlot(columnName);
    if (!slot.buffer)
        return false;
    // What the value was, for the message: a text column trims `text`.
    const std::string given = text;
    std::string refusal;
    const bool stored = storeText(*slot.buffer, slot.row, text, bulk_ ? TextTarget::TableBlock : TextTarget::TableRow,
                                  connection_.owner().Sink(), &refusal);
    if (!refusal.empty())
        connection_.show("Errore campo (" + columnName + ") della tavola (" + table_ + ") <" + given + ">\n\n" +
                         refusal);
    if (stored)
        noteFilled(slot);
    return stored;
}

bool OdbcTableCursor::setValue(const std::string& columnName, const FieldValue& value)
{
    const FillingSlot slot = fillingSlot(columnName);
    if (!slot.buffer)
        return false;
    std::string refusal;
    if (!storeValue(*slot.buffer, slot.row, value, refusal)) {
        connection_.show("Errore campo (" + columnName + ") della tavola (" + table_ + ") <" +
                         describeFieldValue(value) + ">\n\n" + refusal);
        return false;
    }
    noteFilled(slot);
    return true;
}

bool OdbcTableCursor::setWholeNumber(const std::string& columnName, long long value)
{
    // An integer column, or a double one that holds the number exactly,
    // takes it without its digits being written and read again (the bulk
    // writes set millions of them). Every other column, and a number the
    // column refuses (for its message), go by the text.
    if (const FillingSlot slot = fillingSlot(columnName); slot.buffer) {
        const SlotKind kind = slot.buffer->kind();
        constexpr long long kExactInDouble = 1LL << 53;
        const bool sameRule = kind == SlotKind::Integer || kind == SlotKind::TinyInt ||
                              (kind == SlotKind::Double && value >= -kExactInDouble && value <= kExactInDouble);
        FieldValue whole;
        whole.setInteger(value);
        std::string refusal;
        if (sameRule && storeValue(*slot.buffer, slot.row, whole, refusal)) {
            noteFilled(slot);
            return true;
        }
    }
    return TableCursorBackend::setWholeNumber(columnName, value);
}

bool OdbcTableCursor::getField(const std::string& columnName, std::string& textOut)
{
    const int index = findColumn(columns_, columnName);
    if (index < 0)
        return false;
    const auto i = static_cast<size_t>(index);
    MessageSink& sink = connection_.owner().Sink();
    if (bulk_)
        tableCursorText(block_[i], blockRow_, textOut, sink);
    else
        tableCursorText(mode_ == EditMode::None ? row_[i] : edit_[i], 0, textOut, sink);
    return true;
}

Statement* OdbcTableCursor::prepared(const std::string& sql, const std::vector<ColumnBuffer*>& parameters,
                                     std::string& error)
{
    // Single-row buffers never move, so a statement stays bound to them.
    auto found = statements_.find(sql);
    if (found != statements_.end())
        return &found->second;
    Statement statement;
    if (!statement.allocate(connection_.handle())) {
        error = driverText(SQL_HANDLE_DBC, connection_.handle());
        return nullptr;
    }
    bool ok = succeeded(SQLPrepare(statement.get(), sqlText(sql), SQL_NTS));
    SQLUSMALLINT parameter = 0;
    for (ColumnBuffer* buffer : parameters)
        ok = ok && succeeded(buffer->bindParameter(statement.get(), ++parameter, 0));
    if (!ok) {
        error = driverText(SQL_HANDLE_STMT, statement.get());
        return nullptr;
    }
    return &statements_.emplace(sql, std::move(statement)).first->second;
}

bool OdbcTableCursor::run(const std::string& sql, const std::vector<ColumnBuffer*>& parameters,
                          const std::string& failure, bool mustChangeARow)
{
    std::string error;
    Statement* statement = prepared(sql, parameters, error);
    if (!statement) {
        connection_.show(failure + error);
        return false;
    }
    const SQLRETURN rc = SQLExecute(statement->get());
    if (!succeeded(rc) && rc != SQL_NO_DATA) {
        connection_.show(failure + driverText(SQL_HANDLE_STMT, statement->get()));
        statement->closeCursor();
        return false;
    }
    SQLLEN changedRows = 1;
    if (rc == SQL_NO_DATA)
        changedRows = 0;
    else
        SQLRowCount(statement->get(), &changedRows);
    statement->closeCursor();
    if (mustChangeARow && changedRows == 0) {
        connection_.show(failure + kRowNotFound);
        return false;
    }
    return true;
}

bool OdbcTableCursor::insertSingle(const std::string& failure)
{
    std::vector<size_t> inserted;
    for (size_t i = 0; i < columns_.size(); ++i)
        if (changed_[i] && edit_[i].bindable())
            inserted.push_back(i);
    if (inserted.empty())
        for (size_t i = 0; i < columns_.size(); ++i)
            if (edit_[i].bindable())
                inserted.push_back(i);
    std::string names;
    std::string markers;
    std::vector<ColumnBuffer*> parameters;
    for (size_t i : inserted) {
        names += (names.empty() ? "" : ", ") + connection_.quoteIdentifier(columns_[i].name);
        markers += markers.empty() ? "?" : ", ?";
        parameters.push_back(&edit_[i]);
    }
    return run("INSERT INTO " + connection_.tableReference(table_) + " (" + names + ") VALUES (" + markers + ")",
               parameters, failure, false);
}

bool OdbcTableCursor::updateByKey(const std::string& failure)
{
    std::string sql = "UPDATE " + connection_.tableReference(table_) + " SET ";
    std::vector<size_t> set;
    std::vector<ColumnBuffer*> parameters;
    for (size_t i = 0; i < columns_.size(); ++i)
        if (changed_[i] && edit_[i].bindable()) {
            sql += (set.empty() ? "" : ", ") + connection_.quoteIdentifier(columns_[i].name) + " = ?";
            set.push_back(i);
            parameters.push_back(&edit_[i]);
        }
    if (set.empty())
        return true;
    // The row is found by its primary key as read; a table without one by
    // every value read.
    std::string condition;
    auto addCondition = [&](size_t i) {
        condition += (condition.empty() ? "" : " AND ") + connection_.quoteIdentifier(columns_[i].name);
        if (row_[i].isNull(0)) {
            condition += " IS NULL";
        } else {
            condition += " = ?";
            parameters.push_back(&row_[i]);
        }
    };
    if (!keyColumns_.empty())
        for (int key : keyColumns_)
            addCondition(static_cast<size_t>(key));
    else
        for (size_t i = 0; i < columns_.size(); ++i)
            if (row_[i].bindable() && row_[i].kind() != SlotKind::Binary)
                addCondition(i);
    sql += " WHERE " + condition;
    if (!run(sql, parameters, failure, true))
        return false;
    for (size_t i : set)
        row_[i].copyRow(0, edit_[i], 0);
    return true;
}

bool OdbcTableCursor::updateSingle()
{
    const std::string failure = "Errore aggiornamento tavola (" + table_ + ")\n\n";
    if (mode_ == EditMode::None) {
        connection_.show(failure + kNoEdit);
        return false;
    }
    const bool stored = mode_ == EditMode::AddNew ? insertSingle(failure) : updateByKey(failure);
    if (stored)
        mode_ = EditMode::None;
    return stored;
}

bool OdbcTableCursor::update()
{
    rowsWritten_ = 0;
    if (!bulk_) {
        const bool stored = updateSingle();
        rowsWritten_ = stored ? 1 : 0;
        return stored;
    }
    rowsRejected_ = 0;
    if (blockRow_ < rowsetSize_ - 1) {
        ++blockRow_;
        return true;
    }
    storeBlock(rowsetSize_, "Errore aggiornamento tavola (");
    blockRow_ = 0;
    return true;
}

bool OdbcTableCursor::flush()
{
    rowsWritten_ = 0;
    rowsRejected_ = 0;
    if (!bulk_)
        return true;
    if (blockRow_ == 0)
        return !batch_ || !batch_->holding() || sendBatch("Errore scarico buffer tavola (");
    storeBlock(blockRow_, "Errore scarico buffer tavola (");
    blockRow_ = 0;
    if (batch_ && batch_->holding() && !sendBatch("Errore scarico buffer tavola (")) {
        rowsRejected_ = rowsWritten_;
        rowsWritten_ = 0;
    }
    return rowsRejected_ == 0;
}

void OdbcTableCursor::storeBlock(int count, const char* failurePrefix)
{
    if (batch_ && connection_.inTransaction() && connection_.owner().InAllOrNothingTransaction()) {
        // The block counts as it joins the batch: a batch that cannot be
        // stored fails the transaction, which is then undone whole.
        if (batch_->pending() > 0 && batch_->transaction() != connection_.transactionCount())
            batch_->discard();
        connection_.addPendingWrites(this);
        rowsWritten_ = count;
        rowsRejected_ = 0;
        for (int row = 0; row < count; ++row)
            if (batch_->add(block_, row, ++rowsGiven_) && !sendBatch(failurePrefix, true)) {
                rowsWritten_ = 0;
                rowsRejected_ = count;
            }
        return;
    }
    // Rows held back for a transaction that has ended went with it.
    if (batch_)
        discardPending();
    const BlockWriter::Result result = writer_->store(count);
    rowsWritten_ = result.stored;
    rowsRejected_ = result.rejected;
    if (result.rejected > 0 && reportRejected_)
        connection_.show(failurePrefix + table_ + ")\n\n" + result.diagnostic);
}

bool OdbcTableCursor::sendBatch(const char* failurePrefix, bool ahead)
{
    if (!batch_ || !batch_->holding())
        return true;
    // Rows of a transaction undone since are gone with it.
    if (!connection_.inTransaction() || batch_->transaction() != connection_.transactionCount()) {
        batch_->discard();
        return true;
    }
    std::string failure;
    if (ahead ? batch_->sendAhead(failure) : batch_->send(failure))
        return true;
    connection_.show(failurePrefix + table_ + ")\n\n" + failure);
    return false;
}

void OdbcTableCursor::discardPending()
{
    if (batch_)
        batch_->discard();
}

} // namespace korvan::detail::odbc
