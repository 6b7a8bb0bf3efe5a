#pragma once

#include "db/Backend.h"
#include "db/sqlite/SqliteStatement.h"
#include "db/sqlite/SqliteValues.h"

#include <map>
#include <vector>

namespace korvan::detail::sqlite {

class SqliteConnection;

// The rowids a change cursor walks, read once when it opens: rows are then
// deleted or changed by rowid without a select still running over the table
// being changed.
class RowidSnapshot {
  public:
    // Runs "SELECT rowid, <rest of sql>"; false after a message. The values
    // of the `kept` items (0 the first after the rowid) are kept with it.
    bool load(SqliteConnection& connection, const std::string& rowidSql, const std::string& shownSql,
              const std::vector<int>& kept = {});
    const std::vector<sqlite3_int64>& rowids() const { return rowids_; }
    // The value of the `k`-th kept item of row `row`.
    const FieldValue& value(size_t row, size_t k) const { return values_[row * keptCount_ + k]; }

  private:
    std::vector<sqlite3_int64> rowids_;
    std::vector<FieldValue> values_;
    size_t keptCount_ = 0;
};

// Deletes the selected rows one block of RowsetSizeOrdinary rows per Delete,
// with one DELETE statement per block.
class SqliteDeleteCursor : public DeleteCursorBackend {
  public:
    explicit SqliteDeleteCursor(SqliteConnection& connection) : connection_(connection) {}

    bool open(const std::string& sql, const std::string& column, const std::string& table) override;
    bool deleteBlock(int& deleted) override;
    bool moveNext() override;
    bool moveFirst() override;

  private:
    size_t blockEnd() const;
    bool deleteRows(size_t first, size_t count);

    SqliteConnection& connection_;
    std::string sql_;
    std::string rowidSql_;
    std::string table_;
    RowidSnapshot snapshot_;
    size_t blockStart_ = 0;
    size_t blockSize_ = 1;
    std::map<size_t, Statement> deletes_; // by number of rows
};

// Walks the selected rows of one table and stores changed columns by rowid.
class SqliteUpdateCursor : public UpdateCursorBackend {
  public:
    explicit SqliteUpdateCursor(SqliteConnection& connection) : connection_(connection) {}

    bool open(const std::string& sql, const std::vector<SelectItem>& items) override;
    bool moveNext() override;
    bool edit(bool& hasRow) override;
    bool setField(const std::string& columnName, const std::string& text) override;
    bool update() override;
    void keepValuesOf(const std::vector<int>& items) override { kept_ = items; }
    bool getValue(int index, FieldValue& value) override;

  private:
    struct Column {
        std::string name;
        ColumnType type;
    };

    SqliteConnection& connection_;
    std::string table_;
    std::vector<Column> columns_;
    RowidSnapshot snapshot_;
    std::vector<int> kept_; // the items whose values the snapshot keeps
    size_t current_ = 0;
    bool editing_ = false;
    std::vector<Cell> values_;
    std::vector<char> changed_;
    std::map<std::vector<char>, Statement> updates_;
};

} // namespace korvan::detail::sqlite
