// Names of tables and columns as the statements write them on each engine,
// the columns of other databases a copy creates, and the check of a copy's
// source: plain words stay as they are (PostgreSQL folds them), any other
// name is quoted, and a source may lack the accounting tables.

#include "db/SqlTypes.h"
#include "refdata/Schema.h"
#include "refdata/SchemaCheck.h"

#include <gtest/gtest.h>

#include <map>

namespace korvan::test {
namespace {

using schema::Dialect;

TEST(SchemaNames, PlainWordsStayAndOtherNamesAreQuoted)
{
    struct Case {
        const char* name;
        const char* sqlite;
        const char* postgres;
    };
    const Case cases[] = {
        {"corse", "corse", "corse"},
        {"ID", "ID", "id"},
        {"OrderID", "OrderID", "orderid"},
        {"Order Details", "\"Order Details\"", "\"Order Details\""},
        {"Umsätze", "\"Umsätze\"", "\"Umsätze\""},
        {"2fasi", "\"2fasi\"", "\"2fasi\""},
        {"Order", "\"Order\"", "\"order\""},
        {"a\"b", "\"a\"\"b\"", "\"a\"\"b\""},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(schema::sqlName(c.name, Dialect::Sqlite), c.sqlite) << c.name;
        EXPECT_EQ(schema::sqlName(c.name, Dialect::PostgreSql), c.postgres) << c.name;
    }
    EXPECT_EQ(schema::physicalName("Order Details", Dialect::PostgreSql), "Order Details");
    EXPECT_EQ(schema::physicalName("Orders", Dialect::PostgreSql), "orders");
}

TEST(SchemaNames, ATableOfAnotherDatabaseIsCreatedWithItsKindsAndQuotedNames)
{
    const schema::Table table{"Order Details",
                              {{"OrderID", SqlType::Integer},
                               {"Unit Price", SqlType::Double},
                               {"Discount", SqlType::Real},
                               {"Notes", SqlType::LongVarChar},
                               {"Picture", SqlType::LongVarBinary},
                               {"Shipped", SqlType::Bit}},
                              {"OrderID", "Unit Price"}};
    EXPECT_EQ(schema::createStatements(table, Dialect::Sqlite).front(),
              "CREATE TABLE \"Order Details\" (OrderID INTEGER NOT NULL, \"Unit Price\" DOUBLE NOT NULL, "
              "Discount REAL, Notes TEXT, Picture BLOB, Shipped BIT, "
              "CONSTRAINT \"Order Details_codice\" PRIMARY KEY (OrderID, \"Unit Price\"))");
    EXPECT_EQ(schema::createStatements(table, Dialect::PostgreSql).front(),
              "CREATE TABLE \"Order Details\" (orderid INTEGER NOT NULL, \"Unit Price\" DOUBLE PRECISION NOT NULL, "
              "discount REAL, notes TEXT, picture BYTEA, shipped SMALLINT CHECK (shipped IN (0, 1)), "
              "CONSTRAINT \"Order Details_codice\" PRIMARY KEY (orderid, \"Unit Price\"))");
}

// A source described by a map of tables; a table of the schema is there
// with every column of its own kind unless the map says otherwise.
class CopySourceCheck : public ::testing::Test {
  protected:
    std::optional<std::vector<CatalogColumn>> describe(const std::string& name) const
    {
        if (std::find(missing.begin(), missing.end(), name) != missing.end())
            return std::nullopt;
        const schema::Table* table = schema::table(name);
        if (!table)
            return std::nullopt;
        std::vector<CatalogColumn> columns;
        for (const schema::Column& column : table->columns) {
            const auto kind = kinds.find(name + "." + column.name);
            columns.push_back({column.name, kind == kinds.end() ? column.sqlType : kind->second, "TIPO", 0, 0});
        }
        return columns;
    }
    refdata::SchemaProblems check(bool fileBackEnd = false) const
    {
        return refdata::findCopySourceProblems([this](const std::string& name) { return describe(name); }, fileBackEnd);
    }

    std::vector<std::string> missing;
    std::map<std::string, int> kinds;
};

TEST_F(CopySourceCheck, AccountingTablesMayBeMissingButNotTheReferenceTables)
{
    missing = {"linee", "conline", "concors", "conkal", "conitine"};
    EXPECT_TRUE(check().empty());
    missing.push_back("orari");
    EXPECT_EQ(check().missingTables, std::vector<std::string>{"orari"});
}

TEST_F(CopySourceCheck, ColumnsAreJudgedAsReadOnly)
{
    // Read only, a NUMERIC amount is read as a double; a date kept as text
    // is no date, on any back end.
    kinds = {{"concors.euro", SqlType::Numeric}, {"proto.datini", SqlType::VarChar}};
    const refdata::SchemaProblems problems = check();
    EXPECT_TRUE(problems.missingTables.empty());
    EXPECT_EQ(problems.wrongKinds, std::vector<std::string>{"proto.datini (TIPO, attesa una data)"});
    kinds = {{"corse.lung", SqlType::Double}};
    EXPECT_TRUE(check(true).empty());
}

} // namespace
} // namespace korvan::test
