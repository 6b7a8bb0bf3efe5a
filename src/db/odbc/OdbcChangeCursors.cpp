#include "db/odbc/OdbcChangeCursors.h"

#include "db/Values.h"

#include "db/DbConnection.h"
#include "db/SqlTypes.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcDiagnostics.h"
#include "db/odbc/OdbcValues.h"

#include <algorithm>

namespace korvan::detail::odbc {

namespace {

constexpr const char* kNoCurrentRow = "Nessuna riga corrente.";
constexpr const char* kRowNotFound = "La riga da aggiornare non esiste più.";
constexpr int kRowsPerOrChain = 500;
// Keys of deleted rows sent with one statement inside an all-or-nothing
// transaction.
constexpr int kKeysPerBatch = 200000;

// The type of `name` in the table's catalogue; text when it is not there.
int columnType(const std::vector<ColumnInfo>& columns, const std::string& name)
{
    const int index = findColumn(columns, name);
    return index < 0 ? SqlType::VarChar : columns[static_cast<size_t>(index)].sqlType;
}

std::string catalogueName(const OdbcConnection& connection, const std::vector<ColumnInfo>& columns,
                          const std::string& name)
{
    const int index = findColumn(columns, name);
    return index < 0 ? name : connection.quoteIdentifier(columns[static_cast<size_t>(index)].name);
}

// The data source's own name of the column's type, for a cast.
std::string catalogueType(const std::vector<ColumnInfo>& columns, const std::string& name, int sqlType)
{
    const int index = findColumn(columns, name);
    return postgresTypeName(index >= 0 ? columns[static_cast<size_t>(index)] : ColumnInfo{name, sqlType, {}, 0});
}

} // namespace

OdbcDeleteCursor::OdbcDeleteCursor(OdbcConnection& connection) : connection_(connection), reader_(connection) {}

OdbcDeleteCursor::~OdbcDeleteCursor()
{
    if (connection_.isOpen())
        sendPending();
    connection_.removePendingWrites(this);
}

bool OdbcDeleteCursor::deferring() const
{
    const DbmsKind dbms = connection_.dbms();
    return firstKey_ == 1 && (dbms == DbmsKind::PostgreSql || dbms == DbmsKind::Sqlite) &&
           connection_.inTransaction() && connection_.owner().InAllOrNothingTransaction();
}

void OdbcDeleteCursor::deferBlock(int rows)
{
    if (pendingRows_ > 0 && pendingTransaction_ != connection_.transactionCount())
        discardPending();
    if (pendingRows_ == 0)
        pendingTransaction_ = connection_.transactionCount();
    connection_.addPendingWrites(this);
    const bool postgres = connection_.dbms() == DbmsKind::PostgreSql;
    if (postgres && !keyArrays_)
        keyArrays_ = std::make_unique<ArrayBatch>(keyNames_.size());
    for (int row = 0; row < rows; ++row) {
        if (postgres) {
            for (size_t k = 0; k < keyNames_.size(); ++k)
                keyArrays_->addValue(k, reader_.column(firstKey_ + static_cast<int>(k)), row);
            keyArrays_->endRow();
        } else {
            rowids_ += rowids_.empty() ? "" : ",";
            rowids_ += std::to_string(reader_.column(firstKey_).integer(row));
        }
        ++pendingRows_;
    }
}

bool OdbcDeleteCursor::sendPending()
{
    const int rows = pendingRows_;
    if (rows == 0)
        return true;
    if (!connection_.inTransaction() || pendingTransaction_ != connection_.transactionCount()) {
        discardPending();
        return true;
    }
    std::string error;
    SQLLEN changed = 0;
    bool ok = false;
    if (everyBlockDeleted_ && (exhausted_ || (blockDeleted_ && reader_.atEnd())) && !wholeDelete_.empty()) {
        // Every row of the result is to go: the statement's own condition
        // finds them faster than their keys do (the count still checks
        // that the rows gone are the rows counted).
        Statement statement;
        if (statement.allocate(connection_.handle())) {
            const SQLRETURN rc = SQLExecDirect(statement.get(), sqlText(wholeDelete_), SQL_NTS);
            ok = succeeded(rc) || rc == SQL_NO_DATA;
            if (!ok)
                error = driverText(SQL_HANDLE_STMT, statement.get());
            else if (rc != SQL_NO_DATA)
                SQLRowCount(statement.get(), &changed);
        } else {
            error = driverText(SQL_HANDLE_DBC, connection_.handle());
        }
    } else if (connection_.dbms() == DbmsKind::PostgreSql) {
        if (!batchDelete_) {
            std::string keys;
            std::string arrays;
            for (size_t k = 0; k < keyNames_.size(); ++k) {
                keys += (k ? ", " : "") + keyNames_[k];
                const std::string type = postgresTypeName(reader_.column(firstKey_ + static_cast<int>(k)).sqlType());
                arrays += std::string(k ? ", " : "") + "CAST(? AS " + (type.empty() ? "varchar" : type) + "[])";
            }
            const std::string sql =
                "DELETE FROM " + table_ + " WHERE (" + keys + ") IN (SELECT * FROM unnest(" + arrays + "))";
            if (!batchDelete_.allocate(connection_.handle()) ||
                !succeeded(SQLPrepare(batchDelete_.get(), sqlText(sql), SQL_NTS))) {
                error = batchDelete_ ? driverText(SQL_HANDLE_STMT, batchDelete_.get())
                                     : driverText(SQL_HANDLE_DBC, connection_.handle());
                batchDelete_.reset();
            }
        }
        if (batchDelete_)
            ok = keyArrays_->execute(batchDelete_.get(), changed, error);
    } else {
        Statement statement;
        if (statement.allocate(connection_.handle())) {
            const SQLRETURN rc = SQLExecDirect(
                statement.get(), sqlText("DELETE FROM " + table_ + " WHERE rowid IN (" + rowids_ + ")"), SQL_NTS);
            ok = succeeded(rc) || rc == SQL_NO_DATA;
            if (!ok)
                error = driverText(SQL_HANDLE_STMT, statement.get());
            else if (rc != SQL_NO_DATA)
                SQLRowCount(statement.get(), &changed);
        } else {
            error = driverText(SQL_HANDLE_DBC, connection_.handle());
        }
    }
    discardPending();
    // Every row counted must be gone: one that vanished meanwhile is told.
    if (ok && changed != rows) {
        ok = false;
        error = formatText("Eliminate %ld righe delle %d contate.", static_cast<long>(changed), rows);
    }
    if (!ok)
        connection_.show("Errore eliminazione righe della tavola (" + table_ + ")\n\n" + error);
    return ok;
}

void OdbcDeleteCursor::discardPending()
{
    if (keyArrays_)
        keyArrays_->clear();
    rowids_.clear();
    pendingRows_ = 0;
}

bool OdbcDeleteCursor::open(const std::string& sql, const std::string& column, const std::string& table)
{
    sql_ = sql;
    table_ = table;
    hasRow_ = false;
    // The same rows as one DELETE: the statement's FROM and WHERE.
    const std::string head = "SELECT " + column + " FROM " + table;
    wholeDelete_ = sql.compare(0, head.size(), head) == 0 ? "DELETE FROM " + table + sql.substr(head.size()) : "";
    everyBlockDeleted_ = true;
    blockDeleted_ = false;
    exhausted_ = false;
    const std::vector<ColumnInfo> columns = connection_.tableColumns(table);
    std::vector<int> types{columnType(columns, column)};
    keyNames_.clear();
    // The rows of a block are deleted by their primary key, read beside the
    // selected column; without a key, by the selected column itself. SQLite
    // looks up a list of row values by scanning the whole table, a list of
    // rowids through the table's own key: there the rowid is the key.
    const std::string prefix = "SELECT " + column;
    const bool byRowid = connection_.dbms() == DbmsKind::Sqlite;
    const std::vector<std::string> keys =
        byRowid ? std::vector<std::string>{"rowid"} : connection_.primaryKeyColumns(table);
    if (!keys.empty() && sql.compare(0, prefix.size(), prefix) == 0) {
        std::string list;
        for (const std::string& key : keys) {
            keyNames_.push_back(byRowid ? key : catalogueName(connection_, columns, key));
            list += ", " + keyNames_.back();
            types.push_back(byRowid ? SqlType::Integer : columnType(columns, key));
        }
        query_ = prefix + list + sql.substr(prefix.size());
        firstKey_ = 1;
    } else {
        keyNames_.push_back(catalogueName(connection_, columns, column));
        query_ = sql;
        firstKey_ = 0;
    }
    deletes_.clear();
    std::string error;
    if (!reader_.prepare(types, connection_.owner().RowsetSizeOrdinary(), 0, false, error)) {
        connection_.show("Errore predisposizione Select SQL\n\n" + sql_ + "\n\n" + error, MessageIcon::Warning);
        return false;
    }
    return fetched(reader_.open(query_, error), "Errore estrazione Select SQL", error, MessageIcon::Warning);
}

bool OdbcDeleteCursor::fetched(int rows, const char* step, const std::string& error, MessageIcon icon)
{
    if (rows < 0)
        connection_.show(std::string(step) + "\n\n" + sql_ + "\n\n" + error, icon);
    hasRow_ = rows > 0;
    return hasRow_;
}

Statement* OdbcDeleteCursor::deleteStatement(int first, int rows)
{
    auto found = deletes_.find({first, rows});
    if (found != deletes_.end())
        return &found->second;
    std::string sql = "DELETE FROM " + table_ + " WHERE ";
    if (rowValueLists()) {
        // One condition however many rows: "k IN (?, ?)", or with several
        // key columns "(k1, k2) IN (VALUES (?, ?), (?, ?))". PostgreSQL
        // would read the untyped parameters of a VALUES list as texts: its
        // first row names their types.
        std::string keys;
        std::string row;
        std::string typedRow;
        for (size_t k = 0; k < keyNames_.size(); ++k) {
            keys += (k ? ", " : "") + keyNames_[k];
            row += k ? ", ?" : "?";
            const std::string type = postgresTypeName(reader_.column(firstKey_ + static_cast<int>(k)).sqlType());
            typedRow += std::string(k ? ", " : "") + (type.empty() ? "?" : "CAST(? AS " + type + ")");
        }
        if (keyNames_.size() == 1) {
            sql += keys + " IN (";
            for (int r = 0; r < rows; ++r)
                sql += (r ? ", " : "") + row;
        } else {
            const bool postgres = connection_.dbms() == DbmsKind::PostgreSql;
            sql += "(" + keys + ") IN (VALUES ";
            for (int r = 0; r < rows; ++r)
                sql += (r ? ", (" : "(") + (r == 0 && postgres ? typedRow : row) + ")";
        }
        sql += ")";
    } else {
        std::string row = "(";
        for (size_t k = 0; k < keyNames_.size(); ++k)
            row += (k ? " AND " : "") + keyNames_[k] + " = ?";
        row += ")";
        for (int r = 0; r < rows; ++r)
            sql += (r ? " OR " : "") + row;
    }
    Statement statement;
    if (!statement.allocate(connection_.handle()) || !succeeded(SQLPrepare(statement.get(), sqlText(sql), SQL_NTS)))
        return nullptr;
    SQLUSMALLINT parameter = 0;
    for (int r = first; r < first + rows; ++r)
        for (size_t k = 0; k < keyNames_.size(); ++k)
            if (!succeeded(
                    reader_.column(firstKey_ + static_cast<int>(k)).bindParameter(statement.get(), ++parameter, r)))
                return nullptr;
    return &deletes_.emplace(std::make_pair(first, rows), std::move(statement)).first->second;
}

bool OdbcDeleteCursor::rowValueLists() const
{
    return connection_.dbms() == DbmsKind::PostgreSql || connection_.dbms() == DbmsKind::Sqlite;
}

bool OdbcDeleteCursor::deleteBlock(int& deleted)
{
    deleted = 0;
    const int rows = reader_.rowsInBlock();
    if (!hasRow_ || rows == 0)
        return false;
    if (deferring()) {
        deferBlock(rows);
        deleted = rows;
        blockDeleted_ = true;
        return pendingRows_ < kKeysPerBatch || sendPending();
    }
    // One statement for the block unless it would carry more parameters than
    // the database takes (or, as a chain of ORs, more alternatives than a
    // parser may nest: SQLite's expression depth limit is 1000).
    const int keys = static_cast<int>(keyNames_.size());
    const int perStatement = std::clamp(connection_.parameterLimit() / std::max(1, keys), 1,
                                        rowValueLists() ? connection_.parameterLimit() : kRowsPerOrChain);
    // Beyond one statement each part is kept by itself (a transaction of our
    // own would end the read of this very cursor), and the count says how
    // many rows went; inside the caller's transaction a savepoint undoes them
    // all on failure.
    const OdbcConnection::Group group = connection_.beginGroup(false);
    bool ok = true;
    int done = 0;
    std::string error;
    while (ok && done < rows) {
        const int part = std::min(perStatement, rows - done);
        Statement* statement = deleteStatement(done, part);
        const SQLRETURN rc = statement ? SQLExecute(statement->get()) : SQL_ERROR;
        ok = succeeded(rc) || rc == SQL_NO_DATA;
        if (!ok)
            error = statement ? driverText(SQL_HANDLE_STMT, statement->get())
                              : driverText(SQL_HANDLE_DBC, connection_.handle());
        if (statement)
            statement->closeCursor();
        if (ok)
            done += part;
    }
    connection_.endGroup(group, ok);
    deleted = ok || group == OdbcConnection::Group::None ? done : 0;
    // A block that could not be deleted is told, so that no caller takes a
    // half-done deletion for a finished one.
    if (!ok)
        connection_.show("Errore eliminazione righe della tavola (" + table_ + ")\n\n" + error);
    return ok;
}

bool OdbcDeleteCursor::moveNext()
{
    if (!hasRow_)
        return false;
    if (!blockDeleted_)
        everyBlockDeleted_ = false;
    blockDeleted_ = false;
    std::string error;
    const int rows = reader_.fetchNext(error);
    exhausted_ = rows == 0;
    return fetched(rows, "Errore lettura riga successiva della select corrente", error, MessageIcon::Error);
}

bool OdbcDeleteCursor::moveFirst()
{
    std::string error;
    return fetched(reader_.open(query_, error), "Errore posizionamento sulle prima riga della select corrente", error,
                   MessageIcon::Error);
}

OdbcUpdateCursor::OdbcUpdateCursor(OdbcConnection& connection) : connection_(connection), reader_(connection) {}

OdbcUpdateCursor::~OdbcUpdateCursor()
{
    if (connection_.isOpen())
        sendPending();
    connection_.removePendingWrites(this);
}

bool OdbcUpdateCursor::deferring() const
{
    return connection_.dbms() == DbmsKind::PostgreSql && connection_.inTransaction() &&
           connection_.owner().InAllOrNothingTransaction() && keyPositions_.size() == keyTypes_.size() &&
           !keyTypes_.empty() && keyPositions_.front() >= static_cast<int>(items_.size());
}

void OdbcUpdateCursor::deferRow(const std::vector<size_t>& set)
{
    if (pending_ && pending_->rows() > 0 &&
        (set != pendingSet_ || pendingTransaction_ != connection_.transactionCount())) {
        if (pendingTransaction_ != connection_.transactionCount())
            discardPending();
        else
            sendPending();
    }
    if (!pending_ || pending_->rows() == 0) {
        pendingSet_ = set;
        pending_ = std::make_unique<ArrayBatch>(set.size() + keyPositions_.size());
        pendingTransaction_ = connection_.transactionCount();
    }
    connection_.addPendingWrites(this);
    size_t column = 0;
    for (size_t i : set)
        pending_->addValue(column++, edit_[i], 0);
    for (int position : keyPositions_)
        pending_->addValue(column++, reader_.column(position), row_);
    pending_->endRow();
}

bool OdbcUpdateCursor::sendPending()
{
    if (!pending_ || pending_->rows() == 0)
        return true;
    if (!connection_.inTransaction() || pendingTransaction_ != connection_.transactionCount()) {
        discardPending();
        return true;
    }
    const std::string failure = "Errore aggiornamento tavola (" + table_ + ")\n\n";
    auto found = batchUpdates_.find(pendingSet_);
    if (found == batchUpdates_.end()) {
        // UPDATE t SET a = v.s0 FROM unnest(...) AS v(s0, k0) WHERE t.k = v.k0
        std::string set;
        std::string arrays;
        std::string names;
        std::string match;
        size_t column = 0;
        for (size_t i : pendingSet_) {
            set += (column ? ", " : "") + itemNames_[i] + " = v.s" + std::to_string(column);
            arrays += std::string(column ? ", " : "") + "CAST(? AS " + itemTypes_[i] + "[])";
            names += (column ? ", s" : "s") + std::to_string(column);
            ++column;
        }
        for (size_t k = 0; k < keyNames_.size(); ++k) {
            arrays += ", CAST(? AS " + keyTypes_[k] + "[])";
            names += ", k" + std::to_string(k);
            match += std::string(k ? " AND " : "") + "t." + keyNames_[k] + " = v.k" + std::to_string(k);
        }
        const std::string sql =
            "UPDATE " + table_ + " AS t SET " + set + " FROM unnest(" + arrays + ") AS v(" + names + ") WHERE " + match;
        Statement statement;
        if (!statement.allocate(connection_.handle()) ||
            !succeeded(SQLPrepare(statement.get(), sqlText(sql), SQL_NTS))) {
            connection_.show(failure + (statement ? driverText(SQL_HANDLE_STMT, statement.get())
                                                  : driverText(SQL_HANDLE_DBC, connection_.handle())));
            discardPending();
            return false;
        }
        found = batchUpdates_.emplace(pendingSet_, std::move(statement)).first;
    }
    const int rows = pending_->rows();
    SQLLEN changed = 0;
    std::string error;
    const bool ok = pending_->execute(found->second.get(), changed, error);
    discardPending();
    if (!ok) {
        connection_.show(failure + error);
        return false;
    }
    // Every row counted must have been changed.
    if (changed != rows) {
        connection_.show(failure + kRowNotFound);
        return false;
    }
    return true;
}

void OdbcUpdateCursor::discardPending()
{
    if (pending_)
        pending_->clear();
}

bool OdbcUpdateCursor::open(const std::string& sql, const std::vector<SelectItem>& items)
{
    sql_ = sql;
    items_ = items;
    hasRow_ = false;
    editing_ = false;
    table_ = items.empty() ? std::string() : items.front().table;
    const std::vector<ColumnInfo> columns = connection_.tableColumns(table_);
    std::vector<int> types;
    itemNames_.clear();
    edit_.clear();
    itemTypes_.clear();
    keyTypes_.clear();
    for (const SelectItem& item : items) {
        types.push_back(item.sqlType);
        itemNames_.push_back(catalogueName(connection_, columns, item.column));
        itemTypes_.push_back(catalogueType(columns, item.column, item.sqlType));
        edit_.emplace_back(item.sqlType, 1);
    }
    changed_.assign(items.size(), 0);

    // The current row is changed by its primary key, read after the select
    // list; without a key (or with a statement of the caller's own), by the
    // values of the select list itself.
    keyNames_.clear();
    keyPositions_.clear();
    std::string query = sql;
    const std::string prefix = "SELECT " + joinSelectList(items);
    const std::vector<std::string> keys = connection_.primaryKeyColumns(table_);
    if (!keys.empty() && sql.compare(0, prefix.size(), prefix) == 0) {
        std::string list;
        for (const std::string& key : keys) {
            keyNames_.push_back(catalogueName(connection_, columns, key));
            keyPositions_.push_back(static_cast<int>(types.size()));
            types.push_back(columnType(columns, key));
            keyTypes_.push_back(catalogueType(columns, key, columnType(columns, key)));
            list += ", " + table_ + "." + keyNames_.back();
        }
        query = prefix + list + sql.substr(prefix.size());
    } else {
        keyNames_ = itemNames_;
        for (size_t i = 0; i < items.size(); ++i)
            keyPositions_.push_back(static_cast<int>(i));
    }

    std::string error;
    int rows = -1;
    if (reader_.prepare(types, connection_.owner().RowsetSizeOrdinary(), 0, false, error))
        rows = reader_.open(query, error);
    if (rows < 0) {
        connection_.show("Errore estrazione Select SQL\n\n" + sql_ + "\n\n" + error, MessageIcon::Warning);
        return false;
    }
    row_ = 0;
    hasRow_ = rows > 0;
    return hasRow_;
}

bool OdbcUpdateCursor::moveNext()
{
    editing_ = false;
    if (!hasRow_)
        return false;
    if (row_ < reader_.rowsInBlock() - 1) {
        ++row_;
        return true;
    }
    std::string error;
    const int rows = reader_.fetchNext(error);
    if (rows < 0)
        connection_.show("Errore lettura riga successiva della select corrente\n\n" + sql_ + "\n\n" + error);
    row_ = 0;
    hasRow_ = rows > 0;
    return hasRow_;
}

bool OdbcUpdateCursor::getValue(int index, FieldValue& value)
{
    return hasRow_ && index >= 0 && index < static_cast<int>(items_.size()) &&
           readValue(reader_.column(index), row_, value);
}

bool OdbcUpdateCursor::edit(bool& hasRow)
{
    if (!hasRow_) {
        connection_.show(kNoCurrentRow, MessageIcon::Warning);
        hasRow_ = false;
        hasRow = false;
        return true;
    }
    for (size_t i = 0; i < edit_.size(); ++i)
        edit_[i].copyRow(0, reader_.column(static_cast<int>(i)), row_);
    std::fill(changed_.begin(), changed_.end(), 0);
    editing_ = true;
    return true;
}

bool OdbcUpdateCursor::setField(const std::string& columnName, const std::string& text)
{
    int index = -1;
    for (size_t i = 0; i < items_.size() && index < 0; ++i)
        if (items_[i].column == columnName)
            index = static_cast<int>(i);
    for (size_t i = 0; i < items_.size() && index < 0; ++i)
        if (sameNameIgnoringCase(items_[i].column, columnName))
            index = static_cast<int>(i);
    if (index < 0)
        return false;
    std::string value = text;
    const auto i = static_cast<size_t>(index);
    std::string refusal;
    if (storeText(edit_[i], 0, value, TextTarget::UpdateCursor, connection_.owner().Sink(), &refusal))
        changed_[i] = 1;
    // A value the column cannot hold is told, as the file back end does,
    // not stored cut or wrapped.
    if (refusal.empty())
        return true;
    connection_.show("Errore campo (" + columnName + ") <" + text + ">\n\n" + refusal);
    return false;
}

bool OdbcUpdateCursor::update()
{
    if (!editing_ || !hasRow_)
        return false;
    std::string sql = "UPDATE " + table_ + " SET ";
    std::vector<size_t> set;
    for (size_t i = 0; i < items_.size(); ++i)
        if (changed_[i] && edit_[i].bindable()) {
            sql += (set.empty() ? "" : ", ") + itemNames_[i] + " = ?";
            set.push_back(i);
        }
    if (set.empty()) {
        editing_ = false;
        return true;
    }
    const bool keyed = std::none_of(keyPositions_.begin(), keyPositions_.end(),
                                    [&](int position) { return reader_.column(position).isNull(row_); });
    if (keyed && deferring()) {
        deferRow(set);
        for (size_t i : set)
            reader_.column(static_cast<int>(i)).copyRow(row_, edit_[i], 0);
        editing_ = false;
        return pending_->rows() < kKeysPerBatch || sendPending();
    }
    std::string condition;
    std::vector<int> where;
    for (size_t k = 0; k < keyNames_.size(); ++k) {
        const int position = keyPositions_[k];
        condition += (k ? " AND " : "") + keyNames_[k];
        if (reader_.column(position).isNull(row_)) {
            condition += " IS NULL";
        } else {
            condition += " = ?";
            where.push_back(position);
        }
    }
    sql += " WHERE " + condition;
    const std::string failure = "Errore aggiornamento tavola (" + table_ + ")\n\n";
    auto found = statements_.find(sql);
    if (found == statements_.end()) {
        Statement statement;
        if (!statement.allocate(connection_.handle())) {
            connection_.show(failure + driverText(SQL_HANDLE_DBC, connection_.handle()));
            return false;
        }
        if (!succeeded(SQLPrepare(statement.get(), sqlText(sql), SQL_NTS))) {
            connection_.show(failure + driverText(SQL_HANDLE_STMT, statement.get()));
            return false;
        }
        found = statements_.emplace(sql, std::move(statement)).first;
    }
    Statement& statement = found->second;
    SQLUSMALLINT parameter = 0;
    bool ok = true;
    for (size_t i : set)
        ok = ok && succeeded(edit_[i].bindParameter(statement.get(), ++parameter, 0));
    for (int position : where)
        ok = ok && succeeded(reader_.column(position).bindParameter(statement.get(), ++parameter, row_));
    const SQLRETURN rc = ok ? SQLExecute(statement.get()) : SQL_ERROR;
    if (!succeeded(rc) && rc != SQL_NO_DATA) {
        connection_.show(failure + driverText(SQL_HANDLE_STMT, statement.get()));
        statement.closeCursor();
        return false;
    }
    SQLLEN changedRows = 0;
    const bool none = rc == SQL_NO_DATA || (succeeded(SQLRowCount(statement.get(), &changedRows)) && changedRows == 0);
    statement.closeCursor();
    if (none) {
        connection_.show(failure + kRowNotFound);
        return false;
    }
    // The row now holds the stored values (they may be its key next time).
    for (size_t i : set)
        reader_.column(static_cast<int>(i)).copyRow(row_, edit_[i], 0);
    editing_ = false;
    return true;
}

} // namespace korvan::detail::odbc
