#pragma once

#include "db/Backend.h"
#include "db/odbc/OdbcBatchWriter.h"
#include "db/odbc/OdbcBlockWriter.h"
#include "db/odbc/OdbcBuffers.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcStatement.h"

#include <map>
#include <memory>
#include <vector>

namespace korvan::detail::odbc {

class OdbcConnection;

// One table over ODBC. Single-row mode finds a row with a WHERE filter and
// changes it by its primary key (UPDATE ... WHERE key = ?) or adds one with
// INSERT, values bound as parameters. Bulk mode collects rows in a block of
// the rowset size and stores each full block with one statement; inside an
// all-or-nothing transaction the blocks go into batches of many blocks
// (BatchWriter), counted as they join one, and a batch is stored when it is
// full, at Flush, at closing, or before another statement runs on the
// connection.
class OdbcTableCursor : public TableCursorBackend, private PendingWrites {
  public:
    OdbcTableCursor(OdbcConnection& connection, const std::string& tableName, bool bulkInsert, int blobBytes);
    ~OdbcTableCursor() override;
    OdbcTableCursor(const OdbcTableCursor&) = delete;
    OdbcTableCursor& operator=(const OdbcTableCursor&) = delete;

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
    bool flush() override;
    int rowsWritten() const override { return rowsWritten_; }
    int rowsRejected() const override { return rowsRejected_; }
    void setReportRejectedRows(bool report) override { reportRejected_ = report; }

    int rowsetSize() const { return rowsetSize_; }
    // Bulk mode: how blocks are sent (chosen from the database).
    BlockWriter* blockWriter() { return writer_.get(); }

  private:
    enum class EditMode { None, Edit, AddNew };

    bool reportMissingTable();
    std::string selectList() const;
    bool updateSingle();
    // The buffer of `columnName` in the row being filled (the block's
    // current row in bulk mode, the edited row otherwise), with its row and
    // column; no buffer when there is no such column or row.
    struct FillingSlot {
        ColumnBuffer* buffer = nullptr;
        int row = 0;
        size_t column = 0;
    };
    FillingSlot fillingSlot(const std::string& columnName);
    // A value stored into `slot`: an edited row sends only what changed.
    void noteFilled(const FillingSlot& slot);
    // A statement on the single-row buffers, prepared and bound once.
    Statement* prepared(const std::string& sql, const std::vector<ColumnBuffer*>& parameters, std::string& error);
    // Runs it; a failure (or no row changed, when one must be) is shown after
    // `failure`.
    bool run(const std::string& sql, const std::vector<ColumnBuffer*>& parameters, const std::string& failure,
             bool mustChangeARow);
    bool insertSingle(const std::string& failure);
    bool updateByKey(const std::string& failure);
    // Stores the first `count` rows of the block; the message begins with
    // `failurePrefix` when rows were refused.
    void storeBlock(int count, const char* failurePrefix);
    // Stores the batch; a failure is shown after `failurePrefix`.
    // `ahead`: a full batch, stored while the next is gathered.
    bool sendBatch(const char* failurePrefix, bool ahead = false);
    bool sendPending() override { return sendBatch("Errore aggiornamento tavola ("); }
    void discardPending() override;

    OdbcConnection& connection_;
    std::string table_;
    bool open_ = false;
    bool bulk_ = false;
    std::vector<ColumnInfo> columns_;
    std::vector<int> keyColumns_; // indices into columns_
    int rowsetSize_ = 1;

    // Single-row mode: the row found, and the row being edited or added.
    std::vector<ColumnBuffer> row_;
    std::vector<ColumnBuffer> edit_;
    std::vector<char> changed_;
    bool positioned_ = false;
    bool readOnly_ = false; // the data source takes no new rows
    EditMode mode_ = EditMode::None;
    std::map<std::string, Statement> statements_;

    // Bulk mode: the block being filled.
    std::vector<ColumnBuffer> block_;
    int blockRow_ = 0;
    std::unique_ptr<BlockWriter> writer_;
    std::unique_ptr<BatchWriter> batch_;
    long rowsGiven_ = 0; // rows given to the batches, for the failure message

    int rowsWritten_ = 0;
    int rowsRejected_ = 0;
    bool reportRejected_ = true;
};

} // namespace korvan::detail::odbc
