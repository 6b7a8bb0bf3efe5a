#pragma once

// Texts of the driver's diagnostics, for the layer's messages.

#include <sql.h>
#include <sqlext.h>

#include <string>

namespace korvan::detail::odbc {

inline bool succeeded(SQLRETURN rc)
{
    return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO;
}

// Every diagnostic message of the handle, one per line: the driver's text
// shown after the layer's own description of the failing step.
std::string driverText(SQLSMALLINT handleType, SQLHANDLE handle);

// The block writes' diagnostic: " - " followed by the statement's first
// error message (511-byte buffer), or "????" when the driver reports none.
std::string statementDiagnostic(SQLHSTMT statement);

// The SQLSTATE of the first diagnostic record ("" when there is none).
std::string sqlState(SQLSMALLINT handleType, SQLHANDLE handle);

// The state and native code of the first record read by driverText or
// statementDiagnostic, which build the texts of the layer's messages: the
// connection completes the record of the failure it shows with them. Taking
// it clears it.
struct DiagnosticCodes {
    std::string state;
    int native = 0;
};
DiagnosticCodes takeLastDiagnosticCodes();

} // namespace korvan::detail::odbc
