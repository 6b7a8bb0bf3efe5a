#pragma once

#include "db/Backend.h"
#include "db/sqlite/SqliteStatement.h"
#include "db/sqlite/SqliteValues.h"

#include <map>
#include <vector>

namespace korvan::detail::sqlite {

class SqliteConnection;

// One table of the file back end, found by key through an index and changed
// row by row, or filled in bulk: rows are collected in blocks of the
// connection's rowset size and each block is stored atomically with one
// prepared INSERT. Every row is addressed by its rowid.
class SqliteTableCursor : public TableCursorBackend {
  public:
    SqliteTableCursor(SqliteConnection& connection, const std::string& tableName, bool bulkInsert);
    ~SqliteTableCursor() override;
    SqliteTableCursor(const SqliteTableCursor&) = delete;
    SqliteTableCursor& operator=(const SqliteTableCursor&) = delete;

    bool isOpen() const override { return open_; }
    bool selectIndex(const std::string& indexName) override;
    bool seekKey(const std::vector<std::string>& keyTexts) override;
    bool findWhere(const std::string& whereText) override;
    bool edit() override;
    bool addNew() override;
    bool update() override;
    bool setField(const std::string& columnName, std::string& text) override;
    bool getField(const std::string& columnName, std::string& textOut) override;
    bool setValue(const std::string& columnName, const FieldValue& value) override;
    bool setWholeNumber(const std::string& columnName, long long value) override;
    bool setDate(const std::string& columnName, const CivilDate& date) override;
    bool flush() override;
    int rowsWritten() const override { return rowsWritten_; }
    int rowsRejected() const override { return rowsRejected_; }
    void setReportRejectedRows(bool report) override { reportRejected_ = report; }

  private:
    struct Column {
        std::string name;
        ColumnType type;
    };
    enum class EditMode { None, Edit, AddNew };

    // Steps the probe: false (the engine's text in errorText) when the
    // table is gone or cannot be read.
    bool tableStillThere();
    int columnIndex(const std::string& name) const;
    // Stores `value` in the row being filled without going through its
    // text, where the column's rule for the value is that of its text; false,
    // nothing shown, otherwise (the text rule then decides and words any
    // refusal).
    bool setWithoutText(const std::string& columnName, const FieldValue& value);
    // Stores `value` in the column's cell of the row being filled; false,
    // with the refusal in `description`, when the column cannot hold it.
    bool valueIntoRow(size_t column, const FieldValue& value, std::string& description);
    bool findIndexColumns(const std::string& indexName, std::vector<int>& keyColumns);
    Statement* seekStatement(size_t keyCount);
    bool prepareInsert();
    bool updateSingle();
    bool insertRow(const std::vector<Cell>& cells);
    // Stores the first `count` rows of the block; `failurePrefix` begins the
    // message shown when rows were rejected.
    void storeBlock(int count, const char* failurePrefix);
    // The refused row `row` of the block, the `ordinal`-th given, for the
    // failure message.
    std::string rowText(int row, long ordinal) const;
    void clearRow(std::vector<Cell>& cells);
    // Finalizes the statements; a failure is shown after `failurePrefix`.
    void closeStatements(const std::vector<Statement*>& statements, const char* failurePrefix);
    void show(const std::string& text);

    SqliteConnection& connection_;
    std::string table_;
    std::string quotedTable_;
    bool open_ = false;
    bool bulk_ = false;
    std::vector<Column> columns_;
    // Where the last column looked up by name was: the fields of a row are
    // set in the same order row after row.
    mutable size_t lastColumn_ = 0;
    Statement probe_; // "SELECT rowid, * ... LIMIT 0": the table's columns

    // The current row, found by SeekKey.
    bool positioned_ = false;
    sqlite3_int64 rowid_ = 0;
    std::vector<Cell> row_;

    // Single-row editing.
    EditMode mode_ = EditMode::None;
    std::vector<Cell> buffer_;
    std::vector<char> changed_;
    std::map<std::vector<char>, Statement> updates_;

    std::vector<int> keyColumns_;
    bool indexSelected_ = false;
    std::vector<Statement> seeks_; // by key count
    std::vector<Cell> keyCells_;

    Statement insert_;
    // Transaction control of the block writes, kept prepared.
    Statement begin_, commit_, rollback_, savepoint_, rollbackTo_, release_;
    // Bulk mode: the block being filled.
    int rowsetSize_ = 1;
    std::vector<std::vector<Cell>> block_;
    int blockRow_ = 0;
    long rowsGiven_ = 0; // rows given to block writes

    int rowsWritten_ = 0;
    int rowsRejected_ = 0;
    bool reportRejected_ = true;
};

} // namespace korvan::detail::sqlite
