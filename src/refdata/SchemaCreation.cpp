#include "refdata/SchemaCreation.h"

#include "db/Catalog.h"
#include "db/DbConnection.h"

#include <algorithm>

namespace korvan::schema {

Dialect dialectOf(const DbConnection& connection)
{
    return connection.Dialect().kind() == SqlDialect::Kind::Sqlite ? Dialect::Sqlite : Dialect::PostgreSql;
}

bool createTable(DbConnection& connection, const Table& table)
{
    for (const std::string& statement : createStatements(table, dialectOf(connection)))
        if (!connection.ExecuteStatement(statement, "Errore in fase di creazione della tabella (" + table.name + ")"))
            return false;
    return true;
}

bool createTables(DbConnection& connection, const std::vector<std::string>& only)
{
    for (const std::string& name : only) {
        if (!table(name)) {
            connection.Sink().showMessage("Errore in fase di creazione della tabella (" + name +
                                              ")\n\nLa tabella non fa parte della base dati delle corse.",
                                          MessageIcon::Error);
            return false;
        }
    }
    for (const Table& each : tables()) {
        if (!only.empty() && std::find(only.begin(), only.end(), each.name) == only.end())
            continue;
        if (!createTable(connection, each))
            return false;
    }
    return true;
}

std::vector<std::string> existingTables(DbConnection& connection)
{
    std::vector<std::string> found;
    for (const Table& each : tables())
        if (describeTable(&connection, each.name))
            found.push_back(each.name);
    return found;
}

} // namespace korvan::schema
