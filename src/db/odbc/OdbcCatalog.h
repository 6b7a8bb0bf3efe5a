#pragma once

// What the driver's catalogue says about a table: its columns with their
// SQL types, and its primary key.

#include <sql.h>

#include <string>
#include <unordered_map>
#include <vector>

namespace korvan::detail::odbc {

struct ColumnInfo {
    std::string name;     // as the driver reports it
    int sqlType = 0;      // normalised to the codes of db/SqlTypes.h
    std::string typeName; // the data source's own name of the type
    int size = 0;         // characters a text column holds; 0 when not told
};

// ODBC 3 date and time codes become the ODBC 2 codes the layer uses, and
// the wide text types their narrow ones (the texts are UTF-8 either way).
int normaliseSqlType(int sqlType);

// SQLColumns with the table name only (or with a column name too); every
// column in the table's order. Empty when the catalogue call fails.
std::vector<ColumnInfo> tableColumns(SQLHDBC connection, const std::string& table, const std::string& column = "");

// The catalogue's answers for the tables a connection has asked about: a
// bulk operation opens a cursor for every part of the runs it works on, and
// each would otherwise ask the server twice (four round trips through
// psqlODBC) before its own statement. A table not found is asked again the
// next time; the owner forgets everything when the shape of a table may have
// changed.
class CatalogCache {
  public:
    std::vector<ColumnInfo> columns(SQLHDBC connection, const std::string& table);
    // SQLPrimaryKeys: the key columns in key order; empty when the table has
    // no key or the driver cannot tell.
    std::vector<std::string> primaryKey(SQLHDBC connection, const std::string& table);
    void clear();

  private:
    std::unordered_map<std::string, std::vector<ColumnInfo>> columns_;
    std::unordered_map<std::string, std::vector<std::string>> keys_;
};

// The column whose name equals `name`, else the first equal to it ignoring
// letter case (PostgreSQL reports unquoted names folded to lower case);
// -1 when none.
int findColumn(const std::vector<ColumnInfo>& columns, const std::string& name);

// The PostgreSQL name of a column type of the layer, for the casts of
// parameters; "" for a type it has no name for.
std::string postgresTypeName(int sqlType);
// The column's own type name where the catalogue tells it, else the name
// of its type (texts for a type without one).
std::string postgresTypeName(const ColumnInfo& column);
bool sameNameIgnoringCase(const std::string& a, const std::string& b);

} // namespace korvan::detail::odbc
