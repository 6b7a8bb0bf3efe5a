// The check of a runs database against the tables and columns the program
// relies on, on the three back ends: what is missing, and which column types
// cannot hold the program's values there.

#include "refdata/SchemaCheck.h"
#include "refdata/Schema.h"
#include "support/AccountingFixture.h"

#include <gtest/gtest.h>

namespace korvan::refdata {
namespace {

using korvan::test::AccountingDbTest;
using korvan::test::Backend;
using Names = std::vector<std::string>;

class SchemaCheck : public AccountingDbTest {
  protected:
    // Recreates one table of the schema with columns declared otherwise:
    // (column, type) pairs.
    void redeclare(const std::string& tableName, const std::vector<std::pair<std::string, std::string>>& changes)
    {
        const schema::Table* table = schema::table(tableName);
        ASSERT_TRUE(table);
        exec(schema::dropStatement(*table));
        std::string sql = schema::createStatements(*table, raw->dialect()).front();
        for (const auto& [column, type] : changes) {
            const std::string name = schema::physicalColumnName(column, raw->dialect()) + " ";
            const size_t at = sql.find(name, sql.find('('));
            ASSERT_NE(at, std::string::npos) << sql;
            const size_t end = sql.find(", ", at); // the next column, or the key
            ASSERT_NE(end, std::string::npos) << sql;
            sql.replace(at + name.size(), end - at - name.size(), type);
        }
        exec(sql);
    }
};

TEST_P(SchemaCheck, TheSchemaToolsDatabaseIsAccepted)
{
    const SchemaProblems problems = findSchemaProblems(connection.get());
    EXPECT_TRUE(problems.empty()) << schemaProblemsMessage(problems);
    EXPECT_TRUE(acceptRunsDatabase(*connection));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(SchemaCheck, MissingTablesAndColumnsAreListedInOneMessage)
{
    exec("DROP TABLE conitine");
    exec("DROP TABLE proto");
    exec("ALTER TABLE corse DROP COLUMN lung");
    const SchemaProblems problems = findSchemaProblems(connection.get());
    EXPECT_EQ(problems.missingTables, (Names{"proto", "conitine"}));
    EXPECT_EQ(problems.missingColumns, (Names{"corse.lung"}));
    EXPECT_TRUE(problems.wrongKinds.empty());

    EXPECT_FALSE(acceptRunsDatabase(*connection));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.lastText(), "ATTENZIONE: il database non contiene le tavole e le colonne utilizzate da KORVAN "
                               "nella forma attesa.\n\nTavole mancanti: proto, conitine\nColonne mancanti: "
                               "corse.lung\n\nOccorre completare o correggere il database: la connessione è stata "
                               "chiusa.\n\n");
    EXPECT_EQ(sink.entries[0].icon, MessageIcon::Error);
}

TEST_P(SchemaCheck, TypesThatCannotHoldTheValuesAreListed)
{
    // A text column and a date column declared as something else. Numbers
    // of any width are numbers; a NUMERIC amount is too on the file, but
    // the ODBC table cursor does not store NUMERIC columns; a NUMERIC length
    // is only read, and the driver converts it.
    redeclare("corse", {{"codlinea", "INTEGER"}, {"lung", "NUMERIC(12,0)"}});
    redeclare("conkal", {{"data", "VARCHAR(10)"}, {"euro", "NUMERIC(12,4)"}});
    redeclare("regent", {{"codice", "INTEGER"}});
    const SchemaProblems problems = findSchemaProblems(connection.get());
    EXPECT_TRUE(problems.missingTables.empty());
    EXPECT_TRUE(problems.missingColumns.empty());
    Names kinds;
    for (const std::string& entry : problems.wrongKinds)
        kinds.push_back(entry.substr(0, entry.find(' ')));
    if (GetParam() == Backend::SqliteFile) {
        EXPECT_EQ(kinds, (Names{"corse.codlinea", "conkal.data"}));
    } else if (GetParam() == Backend::PostgresOdbc) {
        EXPECT_EQ(kinds, (Names{"corse.codlinea", "conkal.data", "conkal.euro"}));
    }
    // The SQLite driver reports NUMERIC columns as it likes; the text and
    // date columns are listed on every back end.
    ASSERT_GE(problems.wrongKinds.size(), 2u);
    EXPECT_EQ(problems.wrongKinds[0].rfind("corse.codlinea (", 0), 0u);
    EXPECT_NE(problems.wrongKinds[0].find(", atteso un testo)"), std::string::npos) << problems.wrongKinds[0];
    EXPECT_EQ(problems.wrongKinds[1].rfind("conkal.data (", 0), 0u);
    EXPECT_NE(problems.wrongKinds[1].find(", attesa una data)"), std::string::npos) << problems.wrongKinds[1];
    if (GetParam() == Backend::SqliteFile) {
        EXPECT_EQ(problems.wrongKinds[0], "corse.codlinea (INTEGER, atteso un testo)");
    }
}

KORVAN_ALL_BACKENDS(SchemaCheck);

} // namespace
} // namespace korvan::refdata
