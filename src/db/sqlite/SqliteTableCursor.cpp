#include "db/sqlite/SqliteTableCursor.h"

#include "db/DbConnection.h"
#include "db/Values.h"
#include "db/sqlite/SqliteConnection.h"

#include <algorithm>

namespace korvan::detail::sqlite {

namespace {

constexpr const char* kNoCurrentIndex = "Operazione non valida senza un indice corrente.";
constexpr const char* kTooManyKeyValues = "Numero di valori di chiave non valido.";

} // namespace

SqliteTableCursor::SqliteTableCursor(SqliteConnection& connection, const std::string& tableName, bool bulkInsert)
    : connection_(connection), table_(tableName), quotedTable_(quoteIdentifier(tableName)), bulk_(bulkInsert)
{
    sqlite3* db = connection_.handle();
    // Stepped once, the probe is checked against the schema as it is now
    // (another connection may have changed it since this one read it).
    if (!prepare(db, "SELECT rowid, * FROM " + quotedTable_ + " LIMIT 0", probe_) || !tableStillThere()) {
        show("Errore in fase di apertura della tavola (" + table_ + ")\n\n" + errorText(db));
        return;
    }
    sqlite3_stmt* probe = probe_.get();
    const int count = sqlite3_column_count(probe);
    for (int i = 1; i < count; ++i)
        columns_.push_back({sqlite3_column_name(probe, i), columnTypeFromDeclared(sqlite3_column_decltype(probe, i))});
    row_.resize(columns_.size());
    buffer_.resize(columns_.size());
    changed_.assign(columns_.size(), 0);

    const bool hasBlob =
        std::any_of(columns_.begin(), columns_.end(), [](const Column& c) { return c.type.kind == ValueKind::Blob; });
    const DbConnection& owner = connection_.owner();
    rowsetSize_ = std::max(1, hasBlob ? owner.RowsetSizeBlob() : owner.RowsetSizeOrdinary());
    if (bulk_) {
        block_.assign(static_cast<size_t>(rowsetSize_), std::vector<Cell>(columns_.size()));
        if (!prepareInsert()) {
            show("Errore in fase di apertura della tavola (" + table_ + ")\n\n" + errorText(db));
            return;
        }
    }
    open_ = true;
}

SqliteTableCursor::~SqliteTableCursor()
{
    if (!open_ || !connection_.isOpen())
        return;
    // Rows still waiting in the block are stored when the cursor closes.
    if (bulk_ && blockRow_ > 0) {
        storeBlock(blockRow_, "Errore chiusura tavola (");
        blockRow_ = 0;
    }
    // The row statements (the recordset), then those that held the table
    // inside the block transactions.
    std::vector<Statement*> rows{&probe_, &insert_};
    for (Statement& seek : seeks_)
        rows.push_back(&seek);
    for (auto& [columns, update] : updates_)
        rows.push_back(&update);
    closeStatements(rows, "Errore in chiusura del recordset (");
    closeStatements({&begin_, &commit_, &rollback_, &savepoint_, &release_}, "Errore in chiusura della tavola (");
}

void SqliteTableCursor::closeStatements(const std::vector<Statement*>& statements, const char* failurePrefix)
{
    std::string failures;
    for (Statement* statement : statements) {
        const int rc = sqlite3_finalize(statement->release());
        if (rc != SQLITE_OK && failures.find(sqlite3_errstr(rc)) == std::string::npos)
            failures += (failures.empty() ? "" : "\n") + std::string(sqlite3_errstr(rc));
    }
    if (!failures.empty())
        show(failurePrefix + table_ + ")\n\n" + failures);
}

bool SqliteTableCursor::tableStillThere()
{
    const int rc = sqlite3_step(probe_.get());
    sqlite3_reset(probe_.get());
    return rc == SQLITE_DONE || rc == SQLITE_ROW;
}

void SqliteTableCursor::show(const std::string& text)
{
    connection_.show(text, MessageIcon::Error);
}

int SqliteTableCursor::columnIndex(const std::string& name) const
{
    const size_t next = lastColumn_ + 1 < columns_.size() ? lastColumn_ + 1 : 0;
    if (next < columns_.size() && columns_[next].name == name) {
        lastColumn_ = next;
        return static_cast<int>(next);
    }
    for (size_t i = 0; i < columns_.size(); ++i)
        if (columns_[i].name == name) {
            lastColumn_ = i;
            return static_cast<int>(i);
        }
    for (size_t i = 0; i < columns_.size(); ++i)
        if (sameName(name, columns_[i].name.c_str()))
            return static_cast<int>(i);
    return -1;
}

void SqliteTableCursor::clearRow(std::vector<Cell>& cells)
{
    for (Cell& cell : cells)
        cell.setNull();
}

// The index named "<table>_<name>" or "<name>"; for "codice" (and "PrimaryKey")
// the primary key stands in when there is no such index, because the keys are
// created as "CONSTRAINT <table>_codice PRIMARY KEY (...)".
bool SqliteTableCursor::findIndexColumns(const std::string& indexName, std::vector<int>& keyColumns)
{
    sqlite3* db = connection_.handle();
    keyColumns.clear();
    Statement list;
    if (!prepare(db, "SELECT name FROM pragma_index_list(?1)", list))
        return false;
    sqlite3_bind_text(list.get(), 1, table_.c_str(), -1, SQLITE_TRANSIENT);
    std::string found;
    const std::string prefixed = table_ + "_" + indexName;
    while (sqlite3_step(list.get()) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0));
        if (sameName(prefixed, name) || (found.empty() && sameName(indexName, name)))
            found = name;
    }
    list.reset();
    Statement columns;
    if (!found.empty()) {
        if (!prepare(db, "SELECT cid FROM pragma_index_info(?1) ORDER BY seqno", columns))
            return false;
        sqlite3_bind_text(columns.get(), 1, found.c_str(), -1, SQLITE_TRANSIENT);
    } else if (sameName(indexName, "codice") || sameName(indexName, "PrimaryKey")) {
        if (!prepare(db, "SELECT cid FROM pragma_table_info(?1) WHERE pk > 0 ORDER BY pk", columns))
            return false;
        sqlite3_bind_text(columns.get(), 1, table_.c_str(), -1, SQLITE_TRANSIENT);
    } else {
        return false;
    }
    while (sqlite3_step(columns.get()) == SQLITE_ROW) {
        const int cid = sqlite3_column_int(columns.get(), 0);
        if (cid < 0 || cid >= static_cast<int>(columns_.size()))
            return false; // an index on an expression
        keyColumns.push_back(cid);
    }
    return !keyColumns.empty();
}

bool SqliteTableCursor::selectIndex(const std::string& indexName)
{
    std::vector<int> keyColumns;
    if (!findIndexColumns(indexName, keyColumns)) {
        show("Errore selezione indice (" + indexName + ") tavola (" + table_ + ")\n\n'" + indexName +
             "' non è un indice di questa tabella.");
        return false;
    }
    keyColumns_ = std::move(keyColumns);
    indexSelected_ = true;
    seeks_.clear();
    seeks_.resize(keyColumns_.size() + 1);
    keyCells_.resize(keyColumns_.size());
    return true;
}

Statement* SqliteTableCursor::seekStatement(size_t keyCount)
{
    Statement& statement = seeks_[keyCount];
    if (statement)
        return &statement;
    std::string sql = "SELECT rowid, * FROM " + quotedTable_ + " WHERE ";
    for (size_t i = 0; i < keyCount; ++i) {
        if (i > 0)
            sql += " AND ";
        sql += quoteIdentifier(columns_[static_cast<size_t>(keyColumns_[i])].name) + " = ?" + std::to_string(i + 1);
    }
    sql += " LIMIT 1";
    return prepare(connection_.handle(), sql, statement) ? &statement : nullptr;
}

bool SqliteTableCursor::seekKey(const std::vector<std::string>& keyTexts)
{
    positioned_ = false;
    mode_ = EditMode::None;
    const std::string failure = "Errore lettura tavola (" + table_ + ")\n\n";
    if (!indexSelected_) {
        show(failure + kNoCurrentIndex);
        return false;
    }
    if (keyTexts.empty() || keyTexts.size() > keyColumns_.size()) {
        show(failure + kTooManyKeyValues);
        return false;
    }
    // The key texts are converted to the key columns' types, as the engine
    // converts the values of a seek.
    std::string description;
    for (size_t i = 0; i < keyTexts.size(); ++i)
        if (!setFieldCell(columns_[static_cast<size_t>(keyColumns_[i])].type, keyTexts[i], keyCells_[i], description)) {
            show(failure + description);
            return false;
        }
    Statement* statement = seekStatement(keyTexts.size());
    if (!statement) {
        show(failure + errorText(connection_.handle()));
        return false;
    }
    sqlite3_stmt* seek = statement->get();
    for (size_t i = 0; i < keyTexts.size(); ++i)
        bindCell(seek, static_cast<int>(i + 1), keyCells_[i]);
    const int rc = sqlite3_step(seek);
    if (rc == SQLITE_ROW) {
        rowid_ = sqlite3_column_int64(seek, 0);
        for (size_t i = 0; i < row_.size(); ++i)
            readCell(seek, static_cast<int>(i + 1), row_[i]);
        positioned_ = true;
    } else if (rc != SQLITE_DONE) {
        show(failure + errorText(connection_.handle()));
    }
    sqlite3_reset(seek);
    return positioned_;
}

bool SqliteTableCursor::findWhere(const std::string& /*whereText*/)
{
    return false;
}

bool SqliteTableCursor::edit()
{
    if (bulk_)
        return false;
    if (!positioned_) {
        show("Errore editing tavola (" + table_ + ")\n\n" + kNoCurrentRecord);
        return false;
    }
    mode_ = EditMode::Edit;
    buffer_ = row_;
    std::fill(changed_.begin(), changed_.end(), 0);
    return true;
}

bool SqliteTableCursor::addNew()
{
    if (bulk_) {
        clearRow(block_[static_cast<size_t>(blockRow_)]);
        return true;
    }
    // A row that could never be stored is refused before it is filled: a
    // database opened read-only, a table that is gone or cannot take rows.
    sqlite3* db = connection_.handle();
    const std::string failure = "Errore inserimento tavola (" + table_ + ")\n\n";
    mode_ = EditMode::None;
    if (sqlite3_db_readonly(db, "main") == 1) {
        show(failure + sqlite3_errstr(SQLITE_READONLY));
        return false;
    }
    if (!tableStillThere() || (!insert_ && !prepareInsert())) {
        show(failure + errorText(db));
        return false;
    }
    mode_ = EditMode::AddNew;
    clearRow(buffer_);
    std::fill(changed_.begin(), changed_.end(), 0);
    return true;
}

bool SqliteTableCursor::setField(const std::string& columnName, std::string& text)
{
    // The message is built only when needed: this runs once per value.
    auto fail = [&](const std::string& description) {
        show("Errore campo (" + columnName + ") della tavola (" + table_ + ") <" +
             (text.empty() ? std::string("NULL") : text) + ">\n\n" + description);
        return false;
    };
    const int index = columnIndex(columnName);
    if (index < 0)
        return fail(kFieldNotFound);
    if (!bulk_ && mode_ == EditMode::None)
        return fail(kNoEditInProgress);
    Cell& cell = bulk_ ? block_[static_cast<size_t>(blockRow_)][static_cast<size_t>(index)]
                       : buffer_[static_cast<size_t>(index)];
    std::string description;
    if (!setFieldCell(columns_[static_cast<size_t>(index)].type, text, cell, description))
        return fail(description);
    if (!bulk_)
        changed_[static_cast<size_t>(index)] = 1;
    return true;
}

bool SqliteTableCursor::setValue(const std::string& columnName, const FieldValue& value)
{
    auto fail = [&](const std::string& description) {
        show("Errore campo (" + columnName + ") della tavola (" + table_ + ") <" + describeFieldValue(value) + ">\n\n" +
             description);
        return false;
    };
    const int index = columnIndex(columnName);
    if (index < 0)
        return fail(kFieldNotFound);
    if (!bulk_ && mode_ == EditMode::None)
        return fail(kNoEditInProgress);
    std::string description;
    if (!valueIntoRow(static_cast<size_t>(index), value, description))
        return fail(description);
    return true;
}

bool SqliteTableCursor::valueIntoRow(size_t column, const FieldValue& value, std::string& description)
{
    Cell& cell = bulk_ ? block_[static_cast<size_t>(blockRow_)][column] : buffer_[column];
    if (!valueToCell(columns_[column].type, value, cell, description))
        return false;
    if (!bulk_)
        changed_[column] = 1;
    return true;
}

bool SqliteTableCursor::setWithoutText(const std::string& columnName, const FieldValue& value)
{
    const int index = columnIndex(columnName);
    if (index < 0 || (!bulk_ && mode_ == EditMode::None))
        return false;
    const auto i = static_cast<size_t>(index);
    const ValueKind kind = columns_[i].type.kind;
    // Integer and bit columns take a whole number as they take its digits,
    // a double column a whole number it holds exactly, a date column a date
    // as its text. A text, BLOB or untyped column keeps the text itself, and
    // a value the column refuses goes by the text too, for its message.
    const bool sameRule =
        value.kind == FieldValue::Kind::Date
            ? kind == ValueKind::Date
            : kind == ValueKind::Short || kind == ValueKind::Long || kind == ValueKind::Bit ||
                  (kind == ValueKind::Double && value.integer >= -(1LL << 53) && value.integer <= (1LL << 53));
    std::string description;
    return sameRule && valueIntoRow(i, value, description);
}

bool SqliteTableCursor::setWholeNumber(const std::string& columnName, long long value)
{
    FieldValue whole;
    whole.setInteger(value);
    return setWithoutText(columnName, whole) || TableCursorBackend::setWholeNumber(columnName, value);
}

bool SqliteTableCursor::setDate(const std::string& columnName, const CivilDate& date)
{
    FieldValue day;
    day.setDate(date);
    return setWithoutText(columnName, day) || TableCursorBackend::setDate(columnName, date);
}

bool SqliteTableCursor::getField(const std::string& columnName, std::string& textOut)
{
    textOut.clear();
    auto fail = [&](const char* description) {
        show("Errore campo (" + columnName + ") della tavola (" + table_ + ")\n\n" + description);
        return false;
    };
    const int index = columnIndex(columnName);
    if (index < 0)
        return fail(kFieldNotFound);
    const size_t i = static_cast<size_t>(index);
    const Cell* cell = nullptr;
    if (bulk_)
        cell = &block_[static_cast<size_t>(blockRow_)][i];
    else if (mode_ != EditMode::None)
        cell = &buffer_[i];
    else if (positioned_)
        cell = &row_[i];
    if (!cell)
        return fail(kNoCurrentRecord);
    cellText(columns_[i].type.kind, *cell, false, textOut);
    return true;
}

bool SqliteTableCursor::prepareInsert()
{
    std::string names;
    std::string parameters;
    for (size_t i = 0; i < columns_.size(); ++i) {
        names += (i ? ", " : "") + quoteIdentifier(columns_[i].name);
        parameters += (i ? ", ?" : "?") + std::to_string(i + 1);
    }
    return prepare(connection_.handle(), "INSERT INTO " + quotedTable_ + " (" + names + ") VALUES (" + parameters + ")",
                   insert_);
}

bool SqliteTableCursor::insertRow(const std::vector<Cell>& cells)
{
    sqlite3_stmt* insert = insert_.get();
    for (size_t i = 0; i < cells.size(); ++i)
        bindCell(insert, static_cast<int>(i + 1), cells[i]);
    const int rc = sqlite3_step(insert);
    sqlite3_reset(insert);
    return rc == SQLITE_DONE;
}

bool SqliteTableCursor::updateSingle()
{
    sqlite3* db = connection_.handle();
    const std::string failure = "Errore aggiornamento tavola (" + table_ + ")\n\n";
    if (mode_ == EditMode::AddNew) {
        if (!insertRow(buffer_)) {
            show(failure + errorText(db));
            return false;
        }
        mode_ = EditMode::None;
        return true;
    }
    if (std::find(changed_.begin(), changed_.end(), 1) == changed_.end()) {
        mode_ = EditMode::None;
        return true;
    }
    // One prepared UPDATE per set of changed columns.
    auto found = updates_.find(changed_);
    if (found == updates_.end()) {
        std::vector<std::string> names;
        for (const Column& column : columns_)
            names.push_back(column.name);
        const std::string sql = updateByRowidSql(table_, names, changed_);
        Statement statement;
        if (!prepare(db, sql, statement)) {
            show(failure + errorText(db));
            return false;
        }
        found = updates_.emplace(changed_, std::move(statement)).first;
    }
    sqlite3_stmt* update = found->second.get();
    int parameter = 0;
    for (size_t i = 0; i < columns_.size(); ++i)
        if (changed_[i])
            bindCell(update, ++parameter, buffer_[i]);
    sqlite3_bind_int64(update, parameter + 1, rowid_);
    const int rc = sqlite3_step(update);
    sqlite3_reset(update);
    if (rc != SQLITE_DONE) {
        show(failure + errorText(db));
        return false;
    }
    if (sqlite3_changes(db) == 0) {
        show(failure + kNoCurrentRecord);
        return false;
    }
    row_.swap(buffer_);
    mode_ = EditMode::None;
    return true;
}

bool SqliteTableCursor::update()
{
    rowsWritten_ = 0;
    if (!bulk_) {
        if (mode_ == EditMode::None) {
            show("Errore aggiornamento tavola (" + table_ + ")\n\n" + kNoEditInProgress);
            return false;
        }
        const bool stored = updateSingle();
        rowsWritten_ = stored ? 1 : 0;
        return stored;
    }
    rowsRejected_ = 0;
    if (++blockRow_ == rowsetSize_) {
        storeBlock(rowsetSize_, "Errore aggiornamento tavola (");
        blockRow_ = 0;
    }
    clearRow(block_[static_cast<size_t>(blockRow_)]);
    return true;
}

bool SqliteTableCursor::flush()
{
    rowsWritten_ = 0;
    rowsRejected_ = 0;
    if (!bulk_)
        return true;
    const int pending = blockRow_;
    if (pending == 0)
        return true;
    storeBlock(pending, "Errore scarico buffer tavola (");
    blockRow_ = 0;
    clearRow(block_[0]);
    return rowsRejected_ == 0;
}

// The block is stored in one transaction, or in a savepoint inside the
// caller's transaction. A row the engine refuses (a duplicate key, say) is
// undone by itself and the others are kept: every storable row is stored and
// the refused ones are counted. Inside an all-or-nothing transaction the
// first refused row ends the block: the whole transaction will be undone.
void SqliteTableCursor::storeBlock(int count, const char* failurePrefix)
{
    sqlite3* db = connection_.handle();
    rowsWritten_ = 0;
    rowsRejected_ = count;
    const long firstOrdinal = rowsGiven_ + 1;
    rowsGiven_ += count;
    const bool ownTransaction = sqlite3_get_autocommit(db) != 0;
    const bool allOrNothing = !ownTransaction && connection_.owner().InAllOrNothingTransaction();
    std::string firstError;
    // Inside an all-or-nothing transaction a refused row undoes everything:
    // the block needs no savepoint of its own.
    const bool begun = ownTransaction ? execute(db, begin_, "BEGIN")
                       : allOrNothing ? true
                                      : execute(db, savepoint_, "SAVEPOINT korvan_block");
    if (!begun) {
        firstError = errorText(db);
    } else {
        int stored = 0;
        for (int row = 0; row < count; ++row) {
            if (insertRow(block_[static_cast<size_t>(row)])) {
                ++stored;
                continue;
            }
            if (firstError.empty()) {
                firstError = errorText(db);
                if (allOrNothing)
                    firstError += "\n\n" + rowText(row, firstOrdinal + row);
            }
            // Some failures (a full disk, say) end the whole transaction.
            if (sqlite3_get_autocommit(db) != 0 || allOrNothing) {
                stored = 0;
                break;
            }
        }
        if (sqlite3_get_autocommit(db) == 0) {
            if (ownTransaction && !execute(db, commit_, "COMMIT")) {
                if (firstError.empty())
                    firstError = errorText(db);
                execute(db, rollback_, "ROLLBACK");
                stored = 0;
            } else if (!ownTransaction && !allOrNothing) {
                if (stored == 0 && !firstError.empty())
                    execute(db, rollbackTo_, "ROLLBACK TO korvan_block");
                execute(db, release_, "RELEASE korvan_block");
            }
        }
        rowsWritten_ = stored;
        rowsRejected_ = count - stored;
    }
    if (rowsRejected_ > 0 && reportRejected_)
        show(failurePrefix + table_ + ")\n\n - " + (firstError.empty() ? std::string("????") : firstError));
}

std::string SqliteTableCursor::rowText(int row, long ordinal) const
{
    std::string text = formatText("Riga rifiutata n. %ld (blocco %ld, riga %ld del blocco): ", ordinal,
                                  (ordinal - 1) / rowsetSize_ + 1, (ordinal - 1) % rowsetSize_ + 1);
    const std::vector<Cell>& cells = block_[static_cast<size_t>(row)];
    for (size_t i = 0; i < columns_.size(); ++i) {
        std::string value;
        if (cells[i].storage == SQLITE_NULL)
            value = "NULL";
        else
            cellText(columns_[i].type.kind, cells[i], false, value);
        text += (i ? ", " : "") + columns_[i].name + " = " + value;
    }
    return text;
}

} // namespace korvan::detail::sqlite
