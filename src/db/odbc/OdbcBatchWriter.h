#pragma once

#include "db/odbc/OdbcBlockWriter.h"
#include "db/odbc/OdbcBuffers.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcStatement.h"

#include <memory>
#include <string>
#include <vector>

namespace korvan::detail::odbc {

class OdbcConnection;

// Rows of a bulk insert gathered from many blocks and stored with one
// statement, for the work of an all-or-nothing transaction: the user's block
// size then decides how rows are counted and how a refused row is reported,
// not how many round trips the write costs. PostgreSQL takes a batch as
// INSERT ... SELECT FROM unnest() of one array parameter per column (a few
// parameters whatever the rows, so far below the parameter limit of every
// libpq); SQLite through its driver as one multi-row INSERT as long as its
// parameter limit allows.
//
// A failed batch is searched for its first refused row: the halves of the
// batch are tried by themselves, a half that goes in staying in (the
// transaction is undone whole anyway), until one row is left; the failure
// names it. The search stops when a try fails for another reason than the
// batch did, and the row is then not named.
class BatchWriter {
  public:
    // Whether the table's rows can go in batches on this database.
    static bool suits(const OdbcConnection& connection, const std::vector<ColumnBuffer>& block);

    // `block` holds one buffer per column of `columns`; unbound columns are
    // left out of the INSERT. `rowsetSize` numbers the rows of the failure
    // message by block.
    BatchWriter(OdbcConnection& connection, const std::string& table, const std::vector<ColumnInfo>& columns,
                const std::vector<ColumnBuffer>& block, int rowsetSize);
    ~BatchWriter();
    BatchWriter(const BatchWriter&) = delete;
    BatchWriter& operator=(const BatchWriter&) = delete;

    // Adds row `row` of the block, the `ordinal`-th row given to the cursor
    // (from 1). True when the batch is full and must be sent.
    bool add(const std::vector<ColumnBuffer>& block, int row, long ordinal);
    int pending() const { return pending_; }
    // Stores the pending rows; false with the statement diagnostic and the
    // refused row in `failure`. The batch is empty afterwards either way.
    bool send(std::string& failure);
    // Forgets the pending rows (their transaction was undone).
    void discard() { pending_ = 0; }
    // The transaction the pending rows belong to (OdbcConnection's count).
    long transaction() const { return transaction_; }

  private:
    // Rows first .. first + count - 1 by themselves; false with the
    // diagnostic and the SQLSTATE of the failure.
    bool sendRange(int first, int count, std::string& diagnostic, std::string& state);
    bool sendArrays(int first, int count, std::string& diagnostic, std::string& state);
    // The array literal of one column's rows.
    std::string arrayText(const ColumnBuffer& column, int first, int count) const;
    // The first refused row of the failed rows, -1 when the search failed.
    int refusedRow(int count, const std::string& state);
    std::string rowText(int row) const;

    OdbcConnection& connection_;
    std::string table_;
    std::vector<int> bound_; // indices of the columns inserted
    std::vector<std::string> names_;
    int rowsetSize_;
    bool arrays_;
    std::vector<ColumnBuffer> rows_;
    std::vector<long> ordinals_;
    int pending_ = 0;
    long transaction_ = 0;
    // PostgreSQL: the prepared INSERT and its array texts.
    Statement arrayInsert_;
    std::vector<std::string> arrayTexts_;
    std::vector<SQLLEN> arrayLengths_;
    // SQLite: multi-row INSERTs over the batch's buffers.
    std::unique_ptr<BlockWriter> multiRow_;
};

} // namespace korvan::detail::odbc
