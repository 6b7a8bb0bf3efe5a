#pragma once

#include "db/FieldValue.h"

#include <memory>
#include <string>
#include <vector>

namespace korvan {

class DbConnection;
namespace detail {
class TableCursorBackend;
}

// One table opened by name for updating, its columns exchanged as text.
// Two patterns: find a row (SelectIndex + SeekKey on the file back end,
// FindWhere over ODBC), Edit, SetField..., Update; or bulk insert: AddNew,
// SetField..., Update per row and Flush at the end, rows being stored one
// block of RowsetSizeOrdinary rows at a time.
class TableCursor {
  public:
    TableCursor(DbConnection* connection, const std::string& tableName, bool bulkInsert = false, int blobBytes = 0);
    ~TableCursor();
    TableCursor(const TableCursor&) = delete;
    TableCursor& operator=(const TableCursor&) = delete;

    bool IsOpen() const;

    // File back end: makes the named index current ("codice"). ODBC: true.
    bool SelectIndex(const std::string& indexName);
    // File back end: positions on the first row whose current-index key
    // equals the given texts. False over ODBC.
    bool SeekKey(const std::vector<std::string>& keyTexts);
    // ODBC: re-queries the table with the filter and positions on the first
    // row found. False on the file back end.
    bool FindWhere(const std::string& whereText);

    bool Edit();
    bool AddNew();
    // Stores the row. A row with a field that SetField refused is never
    // stored in part: single-row mode shows that and returns false (the
    // edit stays open, so the field can be set again); bulk mode drops the
    // row and counts it in RowsRejected of the block it would have joined.
    bool Update();

    // An empty text stores NULL; the date sentinels are replaced first.
    // Text columns over ODBC lose their trailing blanks, in `text` too.
    // False when the value was not taken (reported, unless the column is
    // unknown over ODBC).
    bool SetField(const std::string& columnName, std::string& text);
    bool SetField(const std::string& columnName, const std::string& text);
    // As SetField of the number's digits, or of the date's "dd/mm/yyyy"
    // text; the file back end stores them without the text where the
    // column's rule is the same.
    bool SetField(const std::string& columnName, long long value);
    bool SetField(const std::string& columnName, const CivilDate& date);
    bool GetField(const std::string& columnName, std::string& textOut);
    // Stores a value as it is (db/FieldValue.h): a text with its trailing
    // blanks, an empty text as empty, a double to the last bit. False (after
    // the "Errore campo" message) when the column cannot hold it; the row is
    // then refused by Update as with SetField.
    bool SetValue(const std::string& columnName, const FieldValue& value);

    // Bulk mode: stores the rows collected so far.
    bool Flush();
    // Rows stored by the last Update, Flush or closing.
    int RowsWritten() const;
    // Bulk mode: rows of the last written block that could not be stored
    // (the rest of the block is stored and counted in RowsWritten).
    int RowsRejected() const;
    // Bulk mode: when false, a block with rejected rows shows no message;
    // the caller reports RowsRejected itself.
    void SetReportRejectedRows(bool report);

    const std::string& TableName() const { return tableName_; }

  private:
    // Keeps the list of refused fields of the row; returns `taken`.
    bool noteField(const std::string& columnName, bool taken);

    DbConnection* connection_;
    std::string tableName_;
    bool bulk_;
    std::unique_ptr<detail::TableCursorBackend> backend_;
    // Fields of the current row whose last SetField failed.
    std::vector<std::string> refused_;
    bool updateRefused_ = false;
    // Bulk mode: rows dropped since the last block write, and those counted
    // with the last write.
    int droppedPending_ = 0;
    int droppedInLastWrite_ = 0;
};

} // namespace korvan
