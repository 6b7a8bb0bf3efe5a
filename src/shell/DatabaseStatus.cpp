#include "shell/DatabaseStatus.h"

namespace korvan::shell {

std::string databaseStatusText(const DatabaseSession& session)
{
    const DbConnection* connection = session.connection();
    if (!connection || !connection->IsOpen())
        return "Database: nessuno";
    std::string text = "Database: ";
    if (connection->IsSqlite()) {
        text += session.sqlitePath();
    } else {
        text += "origine dati ODBC \"" + session.odbcDsn() + "\"";
        if (!session.odbcDriver().empty())
            text += " (" + session.odbcDriver() + ")";
    }
    if (connection->IsReadOnly())
        text += " (sola lettura)";
    return text;
}

} // namespace korvan::shell
