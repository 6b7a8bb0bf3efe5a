#include "shell/AboutText.h"

#include "core/Version.h"
#include "db/Values.h"

#include <QSysInfo>

namespace korvan::shell {

std::string systemDescription()
{
    QString kernel = QSysInfo::kernelType();
    if (!kernel.isEmpty())
        kernel[0] = kernel[0].toUpper();
    return formatText("%s (%s %s)", QSysInfo::prettyProductName().toStdString().c_str(), kernel.toStdString().c_str(),
                      QSysInfo::kernelVersion().toStdString().c_str());
}

namespace {

std::string databaseDescription(const DatabaseSession& session)
{
    if (session.useSqlite()) {
        std::string text = session.sqlitePath().empty() ? "Nessuno" : session.sqlitePath();
        const DbConnection* connection = session.connection();
        if (connection && connection->IsSqlite() && connection->IsOpen())
            text += " (" + connection->SqliteVersion() + ")"; // "SQLite 3.40.1"
        return text;
    }
    if (session.useOdbc()) {
        if (session.odbcDsn().empty())
            return "Nessuno";
        return "ODBC via DSN \"" + session.odbcDsn() + "\" Driver: " + session.odbcDriver() + "\n" +
               formatText("RowsetSize (Dati ordinari): %d\n", session.rowsetSizeOrdinary()) +
               formatText("RowsetSize (Dati Blob): %d", session.rowsetSizeBlob());
    }
    return "Nessuno";
}

} // namespace

std::string aboutText(const DatabaseSession& session, const std::string& system)
{
    return std::string("INFORMAZIONI SUL PROGRAMMA\n\n") + "KORVAN - \"Contabilità Varcotab - Regione Valdora\"\n" +
           "Versione " + programVersion() + "\n" + "Sistema operativo " + system +
           "\n\nDatabase: " + databaseDescription(session);
}

} // namespace korvan::shell
