#pragma once

// The status line of the main window that names the open database: the
// window title stays the program's fixed text, so this is where the user
// sees which file or data source the commands work on.

#include "shell/DatabaseSession.h"

#include <string>

namespace korvan::shell {

// "Database: /path/file.sqlite", "Database: origine dati ODBC "name"
// (driver)", "(sola lettura)" after a database that cannot be written, or
// "Database: nessuno" without a connection.
std::string databaseStatusText(const DatabaseSession& session);

} // namespace korvan::shell
