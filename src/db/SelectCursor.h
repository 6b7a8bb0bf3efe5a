#pragma once

#include "db/FieldValue.h"

#include <memory>
#include <string>
#include <vector>

namespace korvan {

class DbConnection;
namespace detail {
class SelectCursorBackend;
}

// One select item: table, column and the SQL type it is read as.
struct SelectItem {
    std::string table;
    std::string column;
    int sqlType = 0;
    // Characters of a text item, bytes of a binary one, when more than the
    // layer's 255 must be read (GetValue); 0 for the usual slot.
    int width = 0;

    // "table.column", the item's name for GetFieldText.
    std::string qualifiedName() const { return table + "." + column; }
};

// Assembles "SELECT ... FROM ... [WHERE] [GROUP BY] [ORDER BY]" from parts,
// runs it and walks the result row by row (in blocks over ODBC).
class SelectCursor {
  public:
    explicit SelectCursor(DbConnection* connection);
    ~SelectCursor();
    SelectCursor(const SelectCursor&) = delete;
    SelectCursor& operator=(const SelectCursor&) = delete;

    bool AddField(const std::string& tableName, const std::string& columnName, int sqlType);
    // An item with its width (SelectItem::width).
    bool AddField(const SelectItem& item);
    bool SetFrom(const std::string& text);
    bool SetWhere(const std::string& text);
    bool SetGroupBy(const std::string& text);
    bool SetOrderBy(const std::string& text);

    bool BuildSql();
    // A statement written by the caller (quoted names, say), run by
    // Execute(true); the items still give the kinds its columns are read as.
    void SetSqlText(const std::string& text) { sqlText_ = text; }
    // Runs the statement (built first unless useExistingSql); true when a
    // row is current.
    bool Execute(bool useExistingSql = false, int blobBytes = 0);
    bool MoveNext();
    bool MoveFirst();
    // The rows the statement selects (without GROUP BY), counted by the
    // database itself; -1 when the count failed (shown).
    long CountRows();
    bool HasRow() const { return hasRow_; }

    bool GetShort(int index, int& value);
    bool GetLong(int index, int& value);
    bool GetDouble(int index, double& value);
    bool GetText(int index, std::string& text);
    bool GetFieldText(const std::string& name, std::string& text);
    // The value as stored, without text conversion (db/FieldValue.h). False
    // when there is no current row or the value cannot be read whole. Long
    // texts and byte arrays are read only when the item has a width. SQLite's
    // ODBC driver gives doubles to 15 significant digits (it reads them
    // through texts): a caller that needs every bit asks SQLite for a text.
    bool GetValue(int index, FieldValue& value);

    const std::string& SqlText() const { return sqlText_; }
    const std::vector<SelectItem>& Fields() const { return fields_; }

  private:
    DbConnection* connection_;
    std::vector<SelectItem> fields_;
    std::string fromText_, whereText_, groupByText_, orderByText_;
    std::string sqlText_;
    bool hasRow_ = false;
    std::unique_ptr<detail::SelectCursorBackend> backend_;
};

// Joins select items as "table.column, table.column" (at most 127
// characters each); shared by the select and update cursors.
std::string joinSelectList(const std::vector<SelectItem>& items);

} // namespace korvan
