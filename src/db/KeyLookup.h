#pragma once

// Finds one row of a table by its key, the way each back end does it best:
// on the file back end a seek on the table's "codice" index, over ODBC a
// filter on the key columns. The row found can be read and edited through
// cursor().

#include "db/TableCursor.h"
#include "db/Values.h"

#include <string>
#include <vector>

namespace korvan {

class DbConnection;

// One key column and its value, as the seek and as the filter take it.
struct KeyValue {
    std::string column;
    std::string seekText;   // the value as text for the index seek
    std::string filterText; // the value as an SQL literal for the filter
};

KeyValue keyNumber(const std::string& column, long value);
KeyValue keyDate(const std::string& column, const CivilDate& date, const DbConnection& connection);

class KeyLookup {
  public:
    KeyLookup(DbConnection* connection, const std::string& table);

    bool IsOpen() const { return cursor_.IsOpen() && indexReady_; }
    // Positions on the row whose key columns hold the values, given in the
    // index's order; false when there is none (or the lookup failed, which
    // the layer has shown).
    bool find(const std::vector<KeyValue>& key);
    TableCursor& cursor() { return cursor_; }

  private:
    DbConnection* connection_;
    TableCursor cursor_;
    bool byIndex_ = false;
    bool indexReady_ = false;
};

} // namespace korvan
