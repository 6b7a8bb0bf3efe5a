#pragma once

#include "db/odbc/OdbcBuffers.h"
#include "db/odbc/OdbcStatement.h"

#include <string>
#include <vector>

namespace korvan::detail::odbc {

class OdbcConnection;

// Runs a query and fetches its rows in blocks into column-wise buffers:
// one driver call per block, the rows of a block then read from memory.
class BlockReader {
  public:
    explicit BlockReader(OdbcConnection& connection) : connection_(connection) {}

    // Allocates the statement and binds one buffer per type for `rowsetSize`
    // rows. A type the layer cannot hold shows the "non riconosciuto"
    // message and stays unbound; `refuseLongText` refuses LONGVARCHAR too,
    // unless its width is given. `widths` (characters of texts, bytes of
    // binaries; 0 or none for the usual slot) sizes the slots.
    // False with the driver's text in `error`.
    bool prepare(const std::vector<int>& sqlTypes, int rowsetSize, int blobBytes, bool refuseLongText,
                 std::string& error, const std::vector<int>& widths = {});
    // Runs `sql` (closing any earlier result) and fetches the first block:
    // rows fetched, 0 for an empty result, -1 with `error` on failure.
    int open(const std::string& sql, std::string& error);
    // The next block: rows fetched, 0 at the end, -1 with `error`.
    int fetchNext(std::string& error);
    void close();

    int rowsInBlock() const { return static_cast<int>(fetched_); }
    // True when the last block ended the result.
    bool atEnd() const { return atEnd_; }
    int columnCount() const { return static_cast<int>(columns_.size()); }
    const ColumnBuffer& column(int index) const { return columns_[static_cast<size_t>(index)]; }
    // For binding fetched values as parameters and refreshing edited ones.
    ColumnBuffer& column(int index) { return columns_[static_cast<size_t>(index)]; }

  private:
    int fetch(std::string& error);

    OdbcConnection& connection_;
    Statement statement_;
    std::vector<ColumnBuffer> columns_;
    int rowsetSize_ = 1;
    SQLULEN fetched_ = 0;
    bool atEnd_ = true;
};

} // namespace korvan::detail::odbc
