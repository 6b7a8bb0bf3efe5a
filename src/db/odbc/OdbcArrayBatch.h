#pragma once

#include "db/odbc/OdbcBuffers.h"

#include <sql.h>

#include <string>
#include <vector>

namespace korvan::detail::odbc {

// One element of a PostgreSQL array literal for row `row` of the buffer:
// numbers and dates as they are, texts quoted with their backslashes and
// quotes escaped, NULL for a null value.
void appendArrayElement(std::string& out, const ColumnBuffer& column, int row);

// Rows gathered as one PostgreSQL array literal per column, for a statement
// that takes them as array parameters (unnest): a few parameters however
// many rows, so far below the parameter limit of every libpq.
class ArrayBatch {
  public:
    explicit ArrayBatch(size_t columns) : texts_(columns), lengths_(columns) {}

    // Adds the value of one column of the row being added; endRow ends it.
    void addValue(size_t column, const ColumnBuffer& buffer, int row);
    void endRow() { ++rows_; }
    int rows() const { return rows_; }
    void clear();
    // Binds the arrays as parameters 1 .. columns of the prepared statement
    // and executes it; false with the diagnostic. `changed` gets the rows
    // the statement changed.
    bool execute(SQLHSTMT statement, SQLLEN& changed, std::string& diagnostic);

  private:
    std::vector<std::string> texts_;
    std::vector<SQLLEN> lengths_;
    int rows_ = 0;
};

} // namespace korvan::detail::odbc
