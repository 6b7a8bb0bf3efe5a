// The file back end's catalogue: a table's columns with their declared types.

#include "db/SqlTypes.h"
#include "db/sqlite/SqliteConnection.h"
#include "db/sqlite/SqliteStatement.h"
#include "db/sqlite/SqliteValues.h"

namespace korvan::detail::sqlite {

namespace {

// The SqlType code of the kind a declared type gives the column.
int layerType(ValueKind kind)
{
    switch (kind) {
    case ValueKind::Short:
        return SqlType::SmallInt;
    case ValueKind::Long:
        return SqlType::Integer;
    case ValueKind::Double:
        return SqlType::Double;
    case ValueKind::Date:
        return SqlType::Date;
    case ValueKind::Bit:
        return SqlType::Bit;
    case ValueKind::Text:
        return SqlType::VarChar;
    case ValueKind::Blob:
        return SqlType::LongVarBinary;
    case ValueKind::Untyped:
        break;
    }
    return 0;
}

} // namespace

std::optional<std::vector<CatalogColumn>> SqliteConnection::describeTable(const std::string& table)
{
    Statement list;
    if (!db_ || !prepare(db_, "SELECT name, type, pk FROM pragma_table_info(?1)", list))
        return std::nullopt;
    sqlite3_bind_text(list.get(), 1, table.c_str(), static_cast<int>(table.size()), SQLITE_TRANSIENT);
    std::vector<CatalogColumn> columns;
    while (sqlite3_step(list.get()) == SQLITE_ROW) {
        const auto* name = reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 0));
        const auto* declared = reinterpret_cast<const char*>(sqlite3_column_text(list.get(), 1));
        const ColumnType type = columnTypeFromDeclared(declared);
        columns.push_back({name ? name : "", layerType(type.kind), declared ? declared : "",
                           type.kind == ValueKind::Text ? type.width : 0, sqlite3_column_int(list.get(), 2)});
    }
    if (columns.empty())
        return std::nullopt;
    return columns;
}

} // namespace korvan::detail::sqlite
