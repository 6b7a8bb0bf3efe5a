#include "db/Catalog.h"

#include "db/Backend.h"
#include "db/DbConnection.h"

namespace korvan {

std::optional<std::vector<CatalogColumn>> describeTable(DbConnection* connection, const std::string& table)
{
    if (!connection || !connection->IsOpen())
        return std::nullopt;
    return connection->backend()->describeTable(table);
}

} // namespace korvan
