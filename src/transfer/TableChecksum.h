#pragma once

// The count and checksum of a table's rows, to compare what was read from a
// copy's source with what the target holds afterwards. Each row's values are
// hashed in their column's kind (a single-precision number as the float it
// is, a date as its day), so that the same row gives the same hash on every
// engine; the rows' hashes are added, so the order rows are read in does not
// matter and a row missing, doubled or changed does.

#include "db/FieldValue.h"
#include "refdata/Schema.h"

#include <cstdint>
#include <string>
#include <vector>

namespace korvan::transfer {

class TableChecksum {
  public:
    // One row, its values in the order of `columns`.
    void add(const std::vector<FieldValue>& row, const std::vector<schema::Column>& columns);

    long rows() const { return rows_; }
    std::uint64_t sum() const { return sum_; }
    // The sum as sixteen hexadecimal digits.
    std::string text() const;
    bool operator==(const TableChecksum& other) const { return rows_ == other.rows_ && sum_ == other.sum_; }

  private:
    long rows_ = 0;
    std::uint64_t sum_ = 0;
};

} // namespace korvan::transfer
