#pragma once

// The data sources the ODBC driver manager (unixODBC) knows, in its
// enumeration order: what the data-source dialog offers, and where a
// connection finds the driver of its DSN.

#include <string>
#include <vector>

namespace korvan {

struct OdbcDataSource {
    std::string name;        // up to 32 characters
    std::string description; // the driver description, up to 511 characters
};

// False when no ODBC environment can be allocated (`sources` then empty).
bool listOdbcDataSources(std::vector<OdbcDataSource>& sources);

extern const char* const kOdbcEnvironmentMessage; // "Impossibile allocare ambiente ODBC"

} // namespace korvan
