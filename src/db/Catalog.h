#pragma once

// What the back end says about the columns of a table: the check of a runs
// database against the tables and columns the program relies on reads it
// when a connection opens.

#include <optional>
#include <string>
#include <vector>

namespace korvan {

class DbConnection;

struct CatalogColumn {
    std::string name;     // as the database reports it
    int sqlType = 0;      // the SqlType code the layer handles it as; 0 when none
    std::string typeName; // the type as declared, or as the driver names it
    int width = 0;        // characters of a text column when told; 0 otherwise
    int keyPosition = 0;  // 1, 2... in the primary key; 0 outside it
};

// The columns of `table` in the table's order; nothing when the database
// has no such table (or its catalogue cannot be read). Shows no message.
std::optional<std::vector<CatalogColumn>> describeTable(DbConnection* connection, const std::string& table);

} // namespace korvan
