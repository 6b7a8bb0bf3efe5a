#pragma once

// Every table and column of the runs database that KORVAN reads or writes,
// with the SQL type the program binds and each table's key. The program
// itself never creates tables; the schema and demo tools build test and demo
// databases from this description.

#include <string>
#include <vector>

namespace korvan::schema {

struct Column {
    std::string name;
    int sqlType;   // SqlType code the program binds (tables of other databases: also
                   // Real, LongVarChar for a long text, LongVarBinary for bytes)
    int width = 0; // characters, for text columns
};

struct Table {
    std::string name;
    std::vector<Column> columns;
    std::vector<std::string> key; // the "codice" key, in index order
    bool accounting = false;      // written by the program

    const Column* column(const std::string& columnName) const;
};

// Tables in dependency order (reference tables first).
const std::vector<Table>& tables();
const Table* table(const std::string& name);

enum class Dialect { Sqlite, PostgreSql };

// CREATE TABLE and CREATE INDEX statements for one table. Keys become the
// primary key; the key index is named "<table>_codice" (index names are
// per database on both engines).
std::vector<std::string> createStatements(const Table& table, Dialect dialect);
std::string dropStatement(const Table& table);

// The column name as the engine stores it: PostgreSQL folds unquoted names,
// so "ID" is created and reported as "id".
std::string physicalColumnName(const std::string& name, Dialect dialect);
// A table or column name as the engine stores it: a plain word (letters,
// digits and "_", not beginning with a digit) as physicalColumnName gives it,
// any other name ("Order Details", "Umsätze") as it is.
std::string physicalName(const std::string& name, Dialect dialect);
// The name as a statement writes it: the physical name, in double quotes
// when it is not a plain word or is a word of SQL ("Order").
std::string sqlName(const std::string& name, Dialect dialect);

} // namespace korvan::schema
