#pragma once

// The check of a runs database against the tables and columns the program
// relies on (refdata/Schema.h), made once when a connection opens: a table
// or column that is missing, or whose type cannot hold the program's values
// on this back end, would make operations fail half-way or store wrong
// values. Everything found is told in one message.

#include "db/Catalog.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

namespace korvan {
class DbConnection;
}

namespace korvan::refdata {

struct SchemaProblems {
    std::vector<std::string> missingTables;  // "conitine"
    std::vector<std::string> missingColumns; // "corse.lung"
    std::vector<std::string> wrongKinds;     // "conkal.data (TEXT, attesa una data)"

    bool empty() const { return missingTables.empty() && missingColumns.empty() && wrongKinds.empty(); }
};

SchemaProblems findSchemaProblems(DbConnection* connection);

// The columns of a table by name, nothing when there is no such table.
using TableDescriber = std::function<std::optional<std::vector<CatalogColumn>>(const std::string&)>;

// What a copy needs of the database it reads: every reference table, and
// each accounting table it has, with the columns the program uses, of a kind
// their values can be read as. An accounting table the source lacks is left
// out of the copy and is no problem. `fileBackEnd`: the SQLite file's
// catalogue (declared types) rather than a driver's.
SchemaProblems findCopySourceProblems(const TableDescriber& describe, bool fileBackEnd);
// The one message that lists the problems (error icon).
std::string schemaProblemsMessage(const SchemaProblems& problems);

// Called right after a connection opened: true when the database has every
// table and column, of a kind the program can use. Otherwise the message is
// shown through the connection's sink and the caller drops the connection,
// so that no operation starts on a database it cannot finish on.
bool acceptRunsDatabase(DbConnection& connection);

} // namespace korvan::refdata
