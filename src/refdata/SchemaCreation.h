#pragma once

// Creates tables of the runs database on an open connection, from the one
// schema description (refdata/Schema.h). The program never creates tables in
// a user's runs database; the tools that build a new database do (a copy of
// another database, an imported timetable), always on a target that holds
// none of the tables yet.

#include "refdata/Schema.h"

#include <string>
#include <vector>

namespace korvan {

class DbConnection;

namespace schema {

// The engine the connection reaches, as the schema's statements need it.
Dialect dialectOf(const DbConnection& connection);

// Creates one table (described by the schema or by the caller) with its key.
// A failure is shown ("Errore in fase di creazione della tabella (name)",
// the engine's text) and false returned.
bool createTable(DbConnection& connection, const Table& table);

// Creates the schema's tables named in `only` (every table when empty), in
// the schema's order. A name that is not a table of the schema is shown as
// an error before anything is created.
bool createTables(DbConnection& connection, const std::vector<std::string>& only = {});

// The schema's tables that the connection's database already has, in the
// schema's order: a new database must have none.
std::vector<std::string> existingTables(DbConnection& connection);

} // namespace schema
} // namespace korvan
