#include "db/odbc/OdbcDiagnostics.h"

namespace korvan::detail::odbc {

namespace {

// The codes of the diagnostic last read for a message (one thread uses a
// connection at a time).
thread_local DiagnosticCodes lastCodes;

bool diagnosticRecord(SQLSMALLINT handleType, SQLHANDLE handle, SQLSMALLINT record, std::string& state,
                      std::string& message, SQLSMALLINT bufferBytes, bool forMessage = true)
{
    SQLCHAR stateBuffer[6] = {0};
    std::string buffer(static_cast<size_t>(bufferBytes), '\0');
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    const SQLRETURN rc = SQLGetDiagRec(handleType, handle, record, stateBuffer, &native,
                                       reinterpret_cast<SQLCHAR*>(buffer.data()), bufferBytes, &length);
    if (!succeeded(rc))
        return false;
    state = reinterpret_cast<const char*>(stateBuffer);
    message = buffer.c_str();
    if (forMessage && record == 1)
        lastCodes = {state, static_cast<int>(native)};
    return true;
}

} // namespace

std::string driverText(SQLSMALLINT handleType, SQLHANDLE handle)
{
    std::string text;
    std::string state;
    std::string message;
    for (SQLSMALLINT record = 1; record <= 8; ++record) {
        if (!diagnosticRecord(handleType, handle, record, state, message, 1024))
            break;
        if (!text.empty())
            text += "\n";
        text += message;
    }
    return text;
}

std::string statementDiagnostic(SQLHSTMT statement)
{
    std::string state;
    std::string message;
    if (!diagnosticRecord(SQL_HANDLE_STMT, statement, 1, state, message, 511) || message.empty())
        return "????";
    return " - " + message;
}

std::string sqlState(SQLSMALLINT handleType, SQLHANDLE handle)
{
    std::string state;
    std::string message;
    diagnosticRecord(handleType, handle, 1, state, message, 64, false);
    return state;
}

DiagnosticCodes takeLastDiagnosticCodes()
{
    DiagnosticCodes codes = lastCodes;
    lastCodes = {};
    return codes;
}

} // namespace korvan::detail::odbc
