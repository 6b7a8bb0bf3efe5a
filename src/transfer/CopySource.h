#pragma once

// Failures come back as texts for the caller to show; an empty text after a
// failure means the database layer has shown it already.
//
// Where a copy reads from: a runs database through the program's own
// connection (a SQLite file, an ODBC data source) or a JET file through MDB
// Tools. A source names its tables' columns in the layer's terms
// (db/Catalog.h) and reads a table row after row as stored values
// (db/FieldValue.h); it never changes what it reads.

#include "db/Catalog.h"
#include "db/FieldValue.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvan::transfer {

// The columns a copy reads from one table, each as the kind its values are
// read as (SqlType code) and, for texts and bytes, the most they hold.
struct ReadColumn {
    std::string name; // as the source names it
    int sqlType = 0;
    int width = 0; // characters of a text, 0 when not told
};

class TableReader {
  public:
    virtual ~TableReader() = default;
    // The next row, one value per column asked for; false at the end or when
    // reading failed (failure() tells why). `problems` gets one text per
    // column: empty, or why the stored value is not a value at all (an
    // impossible stored date, say).
    virtual bool next(std::vector<FieldValue>& row, std::vector<std::string>& problems) = 0;
    // Reading stopped before the end (failure() says why, or "" when the
    // database layer has shown it already).
    virtual bool failed() const = 0;
    virtual std::string failure() const = 0;
};

class CopySource {
  public:
    virtual ~CopySource() = default;
    // The file or data source, for messages.
    virtual const std::string& name() const = 0;
    // A SQLite file: its catalogue gives declared types (the schema check
    // judges them by the file back end's rules).
    virtual bool fileBackEnd() const = 0;
    // The columns of a table in its order, with their kinds, widths and key
    // positions; nothing when there is no such table.
    virtual std::optional<std::vector<CatalogColumn>> describe(const std::string& table) = 0;
    // The rows of the table, counted by the source itself (SELECT COUNT(*)
    // or the file's own count); -1 after a failure, which `error` tells.
    virtual long countRows(const std::string& table, std::string& error) = 0;
    // Reads the table's columns; nothing after a failure told in `error`.
    virtual std::unique_ptr<TableReader> read(const std::string& table, const std::vector<ReadColumn>& columns,
                                              std::string& error) = 0;
};

} // namespace korvan::transfer
