// Tables created through the program's own connection from the schema
// description, on every back end: the result passes the check a connection
// makes when it opens, and a table that is there already or unknown stops the
// creation with a message naming it.

#include "support/BackendTest.h"

#include "db/SqlTypes.h"
#include "refdata/Schema.h"
#include "refdata/SchemaCheck.h"
#include "refdata/SchemaCreation.h"

namespace korvan::test {
namespace {

class SchemaCreationTest : public RunsDatabaseTest {
  protected:
    void dropEveryTable()
    {
        for (const schema::Table& table : schema::tables())
            exec(schema::dropStatement(table));
    }
};

TEST_P(SchemaCreationTest, CreatesEveryTableTheCheckAccepts)
{
    dropEveryTable();
    EXPECT_TRUE(schema::existingTables(*connection).empty());
    ASSERT_TRUE(schema::createTables(*connection)) << sink.lastText();
    EXPECT_EQ(schema::existingTables(*connection).size(), schema::tables().size());
    EXPECT_TRUE(refdata::findSchemaProblems(connection.get()).empty());
    // The key is a real key: a second row with the same key is refused.
    exec("INSERT INTO regent (codice, denom) VALUES (1, 'Uno')");
    EXPECT_FALSE(raw->exec("INSERT INTO regent (codice, denom) VALUES (1, 'Ancora Uno')"));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(SchemaCreationTest, ATableThatIsThereOrUnknownIsNamedInTheMessage)
{
    dropEveryTable();
    ASSERT_TRUE(schema::createTables(*connection, {"regent"}));
    EXPECT_EQ(schema::existingTables(*connection), std::vector<std::string>{"regent"});

    EXPECT_FALSE(schema::createTables(*connection, {"regazi", "regent"}));
    EXPECT_EQ(sink.lastText().rfind("Errore in fase di creazione della tabella (regent)\n\n", 0), 0u)
        << sink.lastText();
    sink.clear();
    EXPECT_FALSE(schema::createTables(*connection, {"corse", "orari_estivi"}));
    EXPECT_EQ(sink.lastText(), "Errore in fase di creazione della tabella (orari_estivi)\n\n"
                               "La tabella non fa parte della base dati delle corse.");
    // The creation stopped at the table that was there, and an unknown name
    // is found before anything is created.
    EXPECT_EQ(schema::existingTables(*connection), std::vector<std::string>{"regent"});
}

TEST_P(SchemaCreationTest, ATableOfTheCallersOwnDescription)
{
    const schema::Table table{
        "copia_prova", {{"codice", SqlType::Integer}, {"nome", SqlType::VarChar, 30}}, {"codice"}};
    ASSERT_TRUE(schema::createTable(*connection, table)) << sink.lastText();
    exec("INSERT INTO copia_prova (codice, nome) VALUES (7, 'Sette')");
    EXPECT_EQ(count("copia_prova"), 1);
    exec("DROP TABLE copia_prova");
}

KORVAN_ALL_BACKENDS(SchemaCreationTest);

} // namespace
} // namespace korvan::test
