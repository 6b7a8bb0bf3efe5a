#pragma once

#include "db/odbc/OdbcBlockWriter.h"
#include "db/odbc/OdbcBuffers.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcStatement.h"

#include <future>
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
    // Rows gathered or still being stored ahead.
    bool holding() const { return pending_ > 0 || ahead_.valid(); }
    // Stores the pending rows, after the batch ahead; false with the
    // statement diagnostic and the refused row in `failure`. The batch is
    // empty afterwards either way.
    bool send(std::string& failure);
    // Waits for the batch ahead, then starts storing the pending rows the
    // same way; false (the pending rows forgotten) when the batch ahead
    // failed. Elsewhere than on PostgreSQL the same as send.
    bool sendAhead(std::string& failure);
    // Forgets the pending rows and the batch ahead (their transaction was
    // undone), once the batch ahead has left the connection.
    void discard();
    // The transaction the pending rows belong to (OdbcConnection's count).
    long transaction() const { return transaction_; }

  private:
    // Rows of one batch: a second set takes the next batch while the first
    // is stored ahead.
    struct RowSet {
        std::vector<ColumnBuffer> rows;
        std::vector<long> ordinals;
    };
    struct Outcome {
        bool stored = false;
        std::string diagnostic;
        std::string state;
    };

    // Rows first .. first + count - 1 of `set` by themselves; false with the
    // diagnostic and the SQLSTATE of the failure.
    bool sendRange(const RowSet& set, int first, int count, std::string& diagnostic, std::string& state);
    bool sendArrays(const RowSet& set, int first, int count, std::string& diagnostic, std::string& state);
    // The array literal of one column's rows.
    std::string arrayText(const ColumnBuffer& column, int first, int count) const;
    // The failure of `count` rows of `set`: the diagnostic, then the first
    // refused row when the search finds it.
    std::string failureOf(const RowSet& set, int count, const Outcome& outcome);
    // The first refused row of the failed rows, -1 when the search failed.
    int refusedRow(const RowSet& set, int count, const std::string& state);
    std::string rowText(const RowSet& set, int row) const;
    // Waits for the batch ahead; false with its failure.
    bool awaitAhead(std::string& failure);
    // The pending rows, taken to be sent once the batch ahead is stored;
    // -1 (the rows forgotten) when that one failed.
    int takePending(std::string& failure);

    OdbcConnection& connection_;
    std::string table_;
    std::vector<int> bound_; // indices of the columns inserted
    std::vector<std::string> names_;
    int rowsetSize_;
    bool arrays_;
    RowSet sets_[2];
    int filling_ = 0; // the set the rows are added to; the other one is ahead
    int pending_ = 0;
    // The batch stored ahead: how it went, and its rows.
    std::future<Outcome> ahead_;
    int aheadCount_ = 0;
    long transaction_ = 0;
    // PostgreSQL: the prepared INSERT and its array texts, used by one
    // batch at a time.
    Statement arrayInsert_;
    std::vector<std::string> arrayTexts_;
    std::vector<SQLLEN> arrayLengths_;
    // SQLite: multi-row INSERTs over the batch's buffers.
    std::unique_ptr<BlockWriter> multiRow_;
};

} // namespace korvan::detail::odbc
