#pragma once

// The text of the "&?" information box: program title and version, operating
// system and the database in use.

#include "shell/DatabaseSession.h"

#include <string>

namespace korvan::shell {

// The running system's name and release, e.g.
// "Debian GNU/Linux 12 (bookworm) (Linux 6.1.0-13-amd64)".
std::string systemDescription();

// "INFORMAZIONI SUL PROGRAMMA\n\n", the title, "Versione 1.0\n" (the
// program's version), the system, "\n\nDatabase: " followed by the
// database description: the file path (with " (SQLite 3.x.y)" when that
// file is open), the ODBC data source with its driver and rowset sizes, or
// "Nessuno".
std::string aboutText(const DatabaseSession& session, const std::string& system);

} // namespace korvan::shell
