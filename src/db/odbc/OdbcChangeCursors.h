#pragma once

#include "db/Backend.h"
#include "db/MessageSink.h"
#include "db/odbc/OdbcArrayBatch.h"
#include "db/odbc/OdbcBlockReader.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcConnection.h"
#include "db/odbc/OdbcStatement.h"

#include <map>
#include <memory>
#include <utility>
#include <vector>

namespace korvan::detail::odbc {

class OdbcConnection;

// The delete cursor over ODBC: the selected column and the table's primary
// key are read in blocks of the ordinary rowset size, and Delete removes the
// rows of the current block with one DELETE naming their keys. The rows of a
// block are always read before it is deleted, so the next block comes from
// the open result whether the driver reads a snapshot (psqlODBC's declared
// cursors) or steps through the table (SQLite).
//
// Inside an all-or-nothing transaction the keys of the deleted blocks are
// gathered and removed many blocks at a time (PostgreSQL: one DELETE with
// the keys as arrays; SQLite: one DELETE of a list of rowids); a block
// counts as its keys join the batch, and a batch that cannot be deleted
// whole fails the transaction. When every block of the result has been
// deleted, the rows go with one DELETE of the selection's own condition.
class OdbcDeleteCursor : public DeleteCursorBackend, private PendingWrites {
  public:
    explicit OdbcDeleteCursor(OdbcConnection& connection);
    ~OdbcDeleteCursor() override;
    OdbcDeleteCursor(const OdbcDeleteCursor&) = delete;
    OdbcDeleteCursor& operator=(const OdbcDeleteCursor&) = delete;

    bool open(const std::string& sql, const std::string& column, const std::string& table) override;
    bool deleteBlock(int& deleted) override;
    bool moveNext() override;
    bool moveFirst() override;

  private:
    bool fetched(int rows, const char* step, const std::string& error, MessageIcon icon);
    // The DELETE of rows first .. first + rows - 1 of the block.
    Statement* deleteStatement(int first, int rows);
    // PostgreSQL and SQLite name the rows in one IN list; other databases
    // get a chain of ORs.
    bool rowValueLists() const;
    bool deferring() const;
    void deferBlock(int rows);
    bool sendPending() override;
    void discardPending() override;

    OdbcConnection& connection_;
    BlockReader reader_;
    std::string sql_;   // the statement shown in messages
    std::string query_; // what runs: the statement with the key columns
    std::string table_;
    std::vector<std::string> keyNames_;                // quoted
    int firstKey_ = 0;                                 // position of the first key column
    std::map<std::pair<int, int>, Statement> deletes_; // by first row and rows
    bool hasRow_ = false;
    // The keys deleted but not yet sent, and their transaction.
    std::unique_ptr<ArrayBatch> keyArrays_; // PostgreSQL
    std::string rowids_;                    // SQLite
    int pendingRows_ = 0;
    long pendingTransaction_ = 0;
    Statement batchDelete_;
    // The DELETE of the whole selection, used when every block of the
    // result was deleted; whether that holds so far.
    std::string wholeDelete_;
    bool everyBlockDeleted_ = true;
    bool blockDeleted_ = false;
    bool exhausted_ = false; // the result has been read to its end
};

// The update cursor over ODBC: the statement runs with the table's primary
// key appended to its select list; Update changes the current row by key.
// Inside an all-or-nothing transaction on PostgreSQL the changed rows are
// gathered and stored many at a time with one UPDATE ... FROM unnest() of
// their values and keys; a row counts as it joins the batch, and a batch
// that does not change each of its rows fails the transaction.
class OdbcUpdateCursor : public UpdateCursorBackend, private PendingWrites {
  public:
    explicit OdbcUpdateCursor(OdbcConnection& connection);
    ~OdbcUpdateCursor() override;
    OdbcUpdateCursor(const OdbcUpdateCursor&) = delete;
    OdbcUpdateCursor& operator=(const OdbcUpdateCursor&) = delete;

    bool open(const std::string& sql, const std::vector<SelectItem>& items) override;
    bool moveNext() override;
    bool edit(bool& hasRow) override;
    bool setField(const std::string& columnName, const std::string& text) override;
    bool update() override;
    // Every item is in the fetched block already.
    void keepValuesOf(const std::vector<int>&) override {}
    bool getValue(int index, FieldValue& value) override;

  private:
    bool deferring() const;
    void deferRow(const std::vector<size_t>& set);
    bool sendPending() override;
    void discardPending() override;

    OdbcConnection& connection_;
    BlockReader reader_;
    std::string sql_;
    std::string table_;
    std::vector<SelectItem> items_;
    std::vector<std::string> itemNames_; // quoted, as the catalogue spells them
    std::vector<std::string> keyNames_;  // quoted
    std::vector<int> keyPositions_;      // in the select list
    std::vector<ColumnBuffer> edit_;
    std::map<std::string, Statement> statements_; // UPDATE texts, prepared once
    std::vector<char> changed_;
    bool editing_ = false;
    int row_ = 0;
    bool hasRow_ = false;
    // PostgreSQL types of the items and of the key, for the batch's arrays.
    std::vector<std::string> itemTypes_;
    std::vector<std::string> keyTypes_;
    // The rows changed but not yet sent: their changed items, values and
    // keys, and their transaction.
    std::vector<size_t> pendingSet_;
    std::unique_ptr<ArrayBatch> pending_;
    long pendingTransaction_ = 0;
    std::map<std::vector<size_t>, Statement> batchUpdates_;
};

} // namespace korvan::detail::odbc
