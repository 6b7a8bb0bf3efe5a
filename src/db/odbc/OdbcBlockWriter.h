#pragma once

#include "db/odbc/OdbcBuffers.h"
#include "db/odbc/OdbcCatalog.h"
#include "db/odbc/OdbcStatement.h"

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace korvan::detail::odbc {

class OdbcConnection;

// Inserts the rows of a bulk block into one table. On PostgreSQL and SQLite
// a block goes as one multi-row INSERT ("VALUES (...), (...)"), prepared once
// per block size: psqlODBC sends a parameter array as one statement per row,
// which costs a round trip per row. Other drivers get a parameter array.
// A block is stored whole or, when the database refuses it, row by row so
// that every storable row is stored and the others are counted (not inside
// an all-or-nothing transaction, nor after a lost connection). A block
// beyond the parameter limit of one statement goes in parts, each kept as
// it is stored (all undone together inside the caller's transaction).
class BlockWriter {
  public:
    struct Result {
        int stored = 0;
        int rejected = 0;
        std::string diagnostic; // the statement diagnostic of the first failure
    };
    enum class Method { MultiRowInsert, ParameterArray };

    // `buffers` holds one block buffer per column of `columns`; both outlive
    // the writer. Unbound columns are left out of the INSERT.
    BlockWriter(OdbcConnection& connection, const std::string& table, const std::vector<ColumnInfo>& columns,
                std::vector<ColumnBuffer>& buffers);

    Method method() const { return method_; }
    void setMethod(Method method) { method_ = method; }

    // Stores rows 0 .. count - 1 of the block.
    Result store(int count);
    // Sends rows first .. first + count - 1 in as few multi-row statements
    // as the parameter limit allows, nothing more; false with the
    // diagnostic (and the SQLSTATE) of the statement that failed.
    bool sendRows(int first, int count, std::string& diagnostic, std::string* state = nullptr);

  private:
    // Sends rows 0 .. count - 1 in as few multi-row statements as the
    // parameter limit allows; the rows stored before a statement failed.
    int sendStatements(int count, std::string& diagnostic);
    bool sendMultiRow(int first, int count, std::string& diagnostic, std::string* state = nullptr);
    bool sendArray(int count, std::string& diagnostic);
    // One row by itself, through a statement prepared once.
    bool sendOne(int row, std::string& diagnostic);
    // Rows first .. count - 1 one at a time.
    void storeRowByRow(int first, int count, Result& result);
    // Whether a failed statement is worth retrying one row at a time.
    bool retryRowByRow() const;
    std::string insertText(int rows) const;

    OdbcConnection& connection_;
    std::string table_;
    std::vector<int> bound_; // indices of the columns inserted
    std::vector<std::string> quotedNames_;
    std::vector<ColumnBuffer>& buffers_;
    Method method_ = Method::MultiRowInsert;
    int rowsPerStatement_ = 1;
    // Multi-row statements by (first row, rows), parameters bound once.
    std::map<std::pair<int, int>, Statement> statements_;
    Statement singleStatement_;
    Statement arrayStatement_;
    std::vector<SQLUSMALLINT> arrayStatus_;
    SQLULEN arrayProcessed_ = 0;
};

} // namespace korvan::detail::odbc
