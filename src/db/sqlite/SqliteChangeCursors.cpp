#include "db/sqlite/SqliteChangeCursors.h"

#include "db/DbConnection.h"
#include "db/sqlite/SqliteConnection.h"

#include <algorithm>

namespace korvan::detail::sqlite {

bool RowidSnapshot::load(SqliteConnection& connection, const std::string& rowidSql, const std::string& shownSql,
                         const std::vector<int>& kept)
{
    rowids_.clear();
    values_.clear();
    keptCount_ = kept.size();
    sqlite3* db = connection.handle();
    Statement select;
    if (!prepare(db, rowidSql, select)) {
        connection.show("Errore sintassi SQL\n\n" + shownSql + "\n\n" + errorText(db), MessageIcon::Warning);
        return false;
    }
    std::vector<ValueKind> kinds;
    for (int item : kept)
        kinds.push_back(columnTypeFromDeclared(sqlite3_column_decltype(select.get(), item + 1)).kind);
    int rc = SQLITE_ROW;
    while ((rc = sqlite3_step(select.get())) == SQLITE_ROW) {
        rowids_.push_back(sqlite3_column_int64(select.get(), 0));
        for (size_t k = 0; k < kept.size(); ++k)
            cellValue(kinds[k], select.get(), kept[k] + 1, values_.emplace_back());
    }
    if (rc != SQLITE_DONE) {
        connection.show("Errore estrazione Select SQL\n\n" + shownSql + "\n\n" + errorText(db), MessageIcon::Warning);
        rowids_.clear();
        values_.clear();
        return false;
    }
    return true;
}

bool SqliteDeleteCursor::open(const std::string& sql, const std::string& column, const std::string& table)
{
    sql_ = sql;
    table_ = table;
    blockStart_ = 0;
    blockSize_ = static_cast<size_t>(std::max(1, connection_.owner().RowsetSizeOrdinary()));
    // The statement is "SELECT <column> FROM <table> [WHERE ...]": the same
    // selection with the rowid in front.
    const std::string head = "SELECT " + column + " FROM " + table + " ";
    const std::string rest = sql.compare(0, head.size(), head) == 0 ? sql.substr(head.size()) : std::string();
    rowidSql_ = "SELECT rowid" + (column.empty() ? std::string() : ", " + column) + " FROM " + table + " " + rest;
    return snapshot_.load(connection_, rowidSql_, sql_) && !snapshot_.rowids().empty();
}

size_t SqliteDeleteCursor::blockEnd() const
{
    return std::min(blockStart_ + blockSize_, snapshot_.rowids().size());
}

namespace {

// Rows removed by one DELETE statement at most; larger blocks are removed in
// parts inside one savepoint, so that a block still goes whole or not at all.
constexpr size_t kRowsPerStatement = 500;

std::string deleteFailure(const std::string& table)
{
    return "Errore eliminazione righe della tavola (" + table + ")\n\n";
}

} // namespace

bool SqliteDeleteCursor::deleteRows(size_t first, size_t count)
{
    sqlite3* db = connection_.handle();
    Statement& statement = deletes_[count];
    if (!statement) {
        std::string sql = "DELETE FROM " + quoteIdentifier(table_) + " WHERE rowid IN (";
        for (size_t i = 0; i < count; ++i)
            sql += i ? ", ?" : "?";
        sql += ")";
        if (!prepare(db, sql, statement))
            return false;
    }
    for (size_t i = 0; i < count; ++i)
        sqlite3_bind_int64(statement.get(), static_cast<int>(i + 1), snapshot_.rowids()[first + i]);
    const int rc = sqlite3_step(statement.get());
    sqlite3_reset(statement.get());
    return rc == SQLITE_DONE;
}

bool SqliteDeleteCursor::deleteBlock(int& deleted)
{
    deleted = 0;
    const size_t count = blockEnd() - blockStart_;
    if (count == 0)
        return false;
    sqlite3* db = connection_.handle();
    const int before = sqlite3_total_changes(db);
    bool ok = true;
    if (count <= kRowsPerStatement) {
        ok = deleteRows(blockStart_, count);
    } else {
        ok = execute(db, "SAVEPOINT korvan_delete");
        for (size_t first = blockStart_; ok && first < blockStart_ + count; first += kRowsPerStatement)
            ok = deleteRows(first, std::min(kRowsPerStatement, blockStart_ + count - first));
        if (!ok) {
            const std::string error = errorText(db);
            execute(db, "ROLLBACK TO korvan_delete");
            execute(db, "RELEASE korvan_delete");
            connection_.show(deleteFailure(table_) + error);
            return false;
        }
        ok = execute(db, "RELEASE korvan_delete");
    }
    if (!ok) {
        connection_.show(deleteFailure(table_) + errorText(db));
        return false;
    }
    deleted = sqlite3_total_changes(db) - before;
    return true;
}

bool SqliteDeleteCursor::moveNext()
{
    if (blockEnd() >= snapshot_.rowids().size())
        return false;
    blockStart_ += blockSize_;
    return true;
}

bool SqliteDeleteCursor::moveFirst()
{
    blockStart_ = 0;
    return snapshot_.load(connection_, rowidSql_, sql_) && !snapshot_.rowids().empty();
}

namespace {

std::string updateFailure(const std::string& table)
{
    return "Errore aggiornamento tavola (" + table + ")\n\n";
}

} // namespace

bool SqliteUpdateCursor::open(const std::string& sql, const std::vector<SelectItem>& items)
{
    if (items.empty() || sql.compare(0, 7, "SELECT ") != 0)
        return false;
    table_ = items.front().table;
    sqlite3* db = connection_.handle();
    Statement probe;
    if (!prepare(db, "SELECT * FROM " + quoteIdentifier(table_) + " LIMIT 0", probe)) {
        connection_.show("Errore sintassi SQL\n\n" + sql + "\n\n" + errorText(db), MessageIcon::Warning);
        return false;
    }
    // The updatable columns are the selected ones, typed as the table declares them.
    for (const SelectItem& item : items)
        for (int i = 0; i < sqlite3_column_count(probe.get()); ++i)
            if (sameName(item.column, sqlite3_column_name(probe.get(), i)))
                columns_.push_back({sqlite3_column_name(probe.get(), i),
                                    columnTypeFromDeclared(sqlite3_column_decltype(probe.get(), i))});
    values_.resize(columns_.size());
    changed_.assign(columns_.size(), 0);
    current_ = 0;
    return snapshot_.load(connection_, "SELECT " + table_ + ".rowid, " + sql.substr(7), sql, kept_) &&
           !snapshot_.rowids().empty();
}

bool SqliteUpdateCursor::getValue(int index, FieldValue& value)
{
    const auto found = std::find(kept_.begin(), kept_.end(), index);
    if (found == kept_.end() || current_ >= snapshot_.rowids().size())
        return false;
    value = snapshot_.value(current_, static_cast<size_t>(found - kept_.begin()));
    return true;
}

bool SqliteUpdateCursor::moveNext()
{
    editing_ = false;
    return ++current_ < snapshot_.rowids().size();
}

bool SqliteUpdateCursor::edit(bool& /*hasRow*/)
{
    editing_ = true;
    std::fill(changed_.begin(), changed_.end(), 0);
    return true;
}

bool SqliteUpdateCursor::setField(const std::string& columnName, const std::string& text)
{
    const std::string failure =
        "Errore campo (" + columnName + ") <" + (text.empty() ? std::string("NULL") : text) + ">\n\n";
    size_t index = 0;
    while (index < columns_.size() && columns_[index].name != columnName &&
           !sameName(columnName, columns_[index].name.c_str()))
        ++index;
    if (index == columns_.size()) {
        connection_.show(failure + kFieldNotFound);
        return false;
    }
    if (!editing_) {
        connection_.show(failure + kNoEditInProgress);
        return false;
    }
    std::string description;
    if (!setFieldCell(columns_[index].type, text, values_[index], description)) {
        connection_.show(failure + description);
        return false;
    }
    changed_[index] = 1;
    return true;
}

bool SqliteUpdateCursor::update()
{
    if (!editing_) {
        connection_.show(updateFailure(table_) + kNoEditInProgress);
        return false;
    }
    editing_ = false;
    if (std::find(changed_.begin(), changed_.end(), 1) == changed_.end())
        return true;
    sqlite3* db = connection_.handle();
    Statement& statement = updates_[changed_];
    if (!statement) {
        std::vector<std::string> names;
        for (const Column& column : columns_)
            names.push_back(column.name);
        const std::string sql = updateByRowidSql(table_, names, changed_);
        if (!prepare(db, sql, statement)) {
            connection_.show(updateFailure(table_) + errorText(db));
            return false;
        }
    }
    int parameter = 0;
    for (size_t i = 0; i < columns_.size(); ++i)
        if (changed_[i])
            bindCell(statement.get(), ++parameter, values_[i]);
    sqlite3_bind_int64(statement.get(), parameter + 1, snapshot_.rowids()[current_]);
    const int rc = sqlite3_step(statement.get());
    sqlite3_reset(statement.get());
    if (rc != SQLITE_DONE) {
        connection_.show(updateFailure(table_) + errorText(db));
        return false;
    }
    return true;
}

} // namespace korvan::detail::sqlite
