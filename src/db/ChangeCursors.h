#pragma once

#include "db/FieldValue.h"
#include "db/SelectCursor.h"

#include <memory>
#include <string>
#include <vector>

namespace korvan {

class DbConnection;
namespace detail {
class DeleteCursorBackend;
class UpdateCursorBackend;
} // namespace detail

// Removes the rows of one table that a WHERE condition selects, one block
// of RowsetSizeOrdinary rows per Delete call.
class DeleteCursor {
  public:
    explicit DeleteCursor(DbConnection* connection);
    ~DeleteCursor();
    DeleteCursor(const DeleteCursor&) = delete;
    DeleteCursor& operator=(const DeleteCursor&) = delete;

    bool SetColumns(const std::string& text);
    bool SetTable(const std::string& text);
    bool SetWhere(const std::string& text);

    bool Open();
    // Deletes the current block (ODBC and file back end alike).
    bool Delete();
    // Deletes every row of the selection with one statement, without
    // reading them (no Open needed): DeletedCount gives the rows removed.
    // For a work where the blocks tell nothing, inside one transaction.
    bool DeleteAll();
    int DeletedCount() const { return deletedCount_; }
    bool MoveNext();
    bool MoveFirst();
    bool HasRow() const { return hasRow_; }
    const std::string& SqlText() const { return sqlText_; }

  private:
    DbConnection* connection_;
    std::string columnText_, tableText_, whereText_, sqlText_;
    bool hasRow_ = false;
    int deletedCount_ = 0;
    std::unique_ptr<detail::DeleteCursorBackend> backend_;
};

// Walks the rows of one table selected and ordered by SQL and changes
// columns of each.
class UpdateCursor {
  public:
    explicit UpdateCursor(DbConnection* connection);
    ~UpdateCursor();
    UpdateCursor(const UpdateCursor&) = delete;
    UpdateCursor& operator=(const UpdateCursor&) = delete;

    bool AddField(const std::string& tableName, const std::string& columnName, int sqlType);
    // A field the walk reads with GetValue (a key, say) and does not change.
    bool AddReadField(const std::string& tableName, const std::string& columnName, int sqlType);
    bool SetFrom(const std::string& text);
    bool SetWhere(const std::string& text);
    bool SetOrderBy(const std::string& text);

    bool Open(bool useExistingSql = false);
    bool MoveNext();
    bool HasRow() const { return hasRow_; }

    bool Edit();
    bool SetField(const std::string& columnName, const std::string& text);
    bool Update();
    // The value of field `index` (in the order the fields were added, read
    // fields only) on the current row, as stored.
    bool GetValue(int index, FieldValue& value);

    const std::string& SqlText() const { return sqlText_; }

  private:
    bool buildSql();

    DbConnection* connection_;
    std::vector<SelectItem> fields_;
    std::vector<int> readFields_;
    std::string fromText_, whereText_, orderByText_, sqlText_;
    bool hasRow_ = false;
    std::unique_ptr<detail::UpdateCursorBackend> backend_;
};

} // namespace korvan
