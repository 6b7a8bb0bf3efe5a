// What a copy promises around the rows: a new file appears only when the
// copy is complete, a target that is not new or empty is refused, a value the
// target cannot hold stops the copy with one message naming table, key and
// column (or is stored as NULL and listed), a difference found when the
// target is read back undoes the copy, a stop undoes it, and the accounting
// tables a source lacks are made empty.

#include "transfer/TransferFixture.h"

#include "SchemaCreator.h"
#include "db/DbConnection.h"
#include "refdata/Schema.h"
#include "refdata/SchemaCheck.h"
#include "support/BackendTest.h"

#include <filesystem>
#include <fstream>

namespace korvan::test {
namespace {

namespace fs = std::filesystem;

class Copy : public ::testing::Test {
  protected:
    void SetUp() override
    {
        source = dir.file("runs.sqlite");
        target = dir.file("copy.sqlite");
        writeDemoDatabase(source, 100);
    }

    void sql(const std::string& statement)
    {
        tools::RawDatabase db = tools::RawDatabase::sqliteFile(source);
        ASSERT_TRUE(db.exec(statement)) << db.error() << "\n" << statement;
    }

    TempDir dir;
    std::string source, target;
};

TEST_F(Copy, ValuesTheTargetCannotHoldAreNamedByTableKeyAndColumn)
{
    struct Case {
        const char* change;
        const char* says;
    };
    const Case cases[] = {
        {"UPDATE corse SET ct_tempo = 40000 WHERE ID = (SELECT MIN(ID) FROM corse WHERE azienda = 1) AND azienda = 1",
         "Tavola (corse), riga chiave (azienda 1, ID 1001), colonna (ct_tempo): <40000>\n"
         "Il numero è fuori dall'intervallo della colonna (da -32768 a 32767)."},
        {"UPDATE regent SET denom = denom || printf('%.60c', 'x') WHERE codice = (SELECT MIN(codice) FROM regent)",
         "colonna (denom): <"},
        {"UPDATE proto SET datfin = '2025-02-30' WHERE rowid = 1", "colonna (datfin): <2025-02-30>\n"
                                                                   "Il valore memorizzato non è una data."},
        {"UPDATE conitine SET euro = 'molto' WHERE rowid = 1", "colonna (euro): <molto>\nIl valore non è un numero."},
    };
    for (const Case& c : cases) {
        TempDir work;
        const std::string copy = work.file("runs.sqlite");
        fs::copy_file(source, copy);
        tools::RawDatabase db = tools::RawDatabase::sqliteFile(copy);
        ASSERT_TRUE(db.exec(c.change)) << db.error();
        CopyRun run;
        runCopy(copyRequest(sqliteFile(copy), sqliteFile(work.file("target.sqlite"))), run);
        EXPECT_FALSE(run.result.completed) << c.change;
        ASSERT_EQ(run.sink.entries.size(), 1u) << c.change;
        EXPECT_NE(run.sink.lastText().find(c.says), std::string::npos) << run.sink.lastText();
        EXPECT_EQ(run.sink.lastText().rfind("ATTENZIONE: un valore della sorgente non può essere conservato", 0), 0u);
        EXPECT_EQ(filesIn(work.path()), std::vector<std::string>{"runs.sqlite"}) << c.change;
    }
}

TEST_F(Copy, SkippedValuesAreStoredAsNullAndListedButNeverAKey)
{
    sql("UPDATE corse SET ct_tempo = 40000 WHERE azienda = 1 AND ID IN (1001, 1002)");
    CopyRun run;
    runCopy(copyRequest(sqliteFile(source), sqliteFile(target), {}, true), run);
    ASSERT_TRUE(run.result.completed) << run.sink.lastText();
    ASSERT_EQ(run.result.skipped.size(), 2u);
    EXPECT_EQ(run.result.skipped[0].row, "chiave (azienda 1, ID 1001)");
    EXPECT_EQ(run.result.skipped[1].column, "ct_tempo");
    tools::RawDatabase copy = tools::RawDatabase::sqliteFile(target);
    EXPECT_EQ(copy.queryText("SELECT COUNT(*) FROM corse WHERE ct_tempo IS NULL"), "2");

    // A key column cannot be left empty: that row stops the copy.
    sql("UPDATE corse SET azienda = 70000 WHERE azienda = 1 AND ID = 1003");
    CopyRun keyed;
    runCopy(copyRequest(sqliteFile(source), sqliteFile(dir.file("keyed.sqlite")), {}, true), keyed);
    EXPECT_FALSE(keyed.result.completed);
    EXPECT_NE(keyed.sink.lastText().find("colonna (azienda): <70000>"), std::string::npos) << keyed.sink.lastText();
    EXPECT_NE(keyed.sink.lastText().find("fa parte della chiave"), std::string::npos);
    EXPECT_FALSE(fs::exists(dir.file("keyed.sqlite")));
}

TEST_F(Copy, TheTargetFileAppearsOnlyWhenTheCopyIsComplete)
{
    CopyRun run;
    bool seenWhileCopying = false;
    int progressCalls = 0;
    run.feedback.onProgress = [&] {
        ++progressCalls;
        seenWhileCopying = seenWhileCopying || fs::exists(target);
    };
    runCopy(copyRequest(sqliteFile(source), sqliteFile(target)), run);
    ASSERT_TRUE(run.result.completed) << run.sink.lastText();
    EXPECT_GT(progressCalls, 5);
    EXPECT_FALSE(seenWhileCopying);
    EXPECT_EQ(filesIn(dir.path()), (std::vector<std::string>{"copy.sqlite", "runs.sqlite"}));
    EXPECT_EQ(run.feedback.busyCalls, std::vector<bool>{true});
    // The copy is a runs database the program opens.
    RecordingMessageSink sink;
    auto connection = DbConnection::openSqlite(target, 25, 1, sink);
    EXPECT_TRUE(connection->IsOpen() && refdata::acceptRunsDatabase(*connection)) << sink.lastText();
}

TEST_F(Copy, AStopUndoesTheCopy)
{
    CopyRun run;
    run.feedback.onProgress = [&] { run.feedback.stop = run.feedback.progress.back() >= 20; };
    runCopy(copyRequest(sqliteFile(source), sqliteFile(target)), run);
    EXPECT_FALSE(run.result.completed);
    ASSERT_EQ(run.sink.entries.size(), 1u);
    EXPECT_EQ(run.sink.lastText().rfind("Interruzione in fase di Copia della tavola (", 0), 0u) << run.sink.lastText();
    EXPECT_EQ(filesIn(dir.path()), std::vector<std::string>{"runs.sqlite"});
}

TEST_F(Copy, ATargetFileThatExistsIsRefusedAndLeftAlone)
{
    std::ofstream(target) << "mine";
    CopyRun run;
    runCopy(copyRequest(sqliteFile(source), sqliteFile(target)), run);
    EXPECT_FALSE(run.result.completed);
    ASSERT_EQ(run.sink.entries.size(), 1u);
    EXPECT_NE(run.sink.lastText().find("esiste già"), std::string::npos) << run.sink.lastText();
    std::ifstream in(target);
    std::string content;
    in >> content;
    EXPECT_EQ(content, "mine");
}

TEST_F(Copy, AccountingTablesTheSourceLacksAreMadeEmpty)
{
    for (const char* table : {"linee", "conline", "concors", "conkal", "conitine"})
        sql(std::string("DROP TABLE ") + table);
    CopyRun run;
    runCopy(copyRequest(sqliteFile(source), sqliteFile(target)), run);
    ASSERT_TRUE(run.result.completed) << run.sink.lastText();
    EXPECT_EQ(run.result.tables.size(), schema::tables().size());
    EXPECT_TRUE(run.result.tables.back().createdEmpty);
    const std::string report =
        transfer::copyReportText(copyRequest(sqliteFile(source), sqliteFile(target)), run.result);
    EXPECT_NE(report.find("(creata vuota)"), std::string::npos) << report;
    RecordingMessageSink sink;
    auto connection = DbConnection::openSqlite(target, 25, 1, sink);
    EXPECT_TRUE(refdata::acceptRunsDatabase(*connection)) << sink.lastText();
}

// The shared PostgreSQL data source as a target.
class CopyToPostgres : public Copy {
  protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_DATA_SOURCE(Backend::PostgresOdbc);
        Copy::SetUp();
        dsn = postgresDsn();
        dropTables(dsn);
    }
    void TearDown() override
    {
        if (dsn.empty())
            return;
        tools::RawDatabase db = tools::RawDatabase::odbc(dsn);
        db.exec("DROP EVENT TRIGGER IF EXISTS korvan_copy_test");
        dropTables(dsn);
    }
    std::string tablesThere()
    {
        tools::RawDatabase db = tools::RawDatabase::odbc(dsn);
        return db.queryText("SELECT COUNT(*) FROM information_schema.tables WHERE table_schema = 'public' AND "
                            "table_name IN ('regent', 'corse', 'conitine')");
    }
    std::string dsn;
};

TEST_F(CopyToPostgres, ADataSourceWithTheTablesIsRefusedAndLeftAlone)
{
    tools::RawDatabase db = tools::RawDatabase::odbc(dsn);
    std::string error;
    ASSERT_TRUE(tools::createTables(db, false, error, {"corse"})) << error;
    ASSERT_TRUE(db.exec("INSERT INTO corse (azienda, id) VALUES (9, 9)")) << db.error();
    CopyRun run;
    runCopy(copyRequest(sqliteFile(source), dataSource(dsn)), run);
    EXPECT_FALSE(run.result.completed);
    EXPECT_NE(run.sink.lastText().find("contiene già le tavole: corse."), std::string::npos) << run.sink.lastText();
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM corse"), "1");
    EXPECT_EQ(tablesThere(), "1");
}

TEST_F(CopyToPostgres, AFailedCopyLeavesNoTable)
{
    sql("UPDATE conitine SET tempo = 99999 WHERE rowid = 1");
    CopyRun run;
    runCopy(copyRequest(sqliteFile(source), dataSource(dsn)), run);
    EXPECT_FALSE(run.result.completed);
    EXPECT_NE(run.sink.lastText().find("colonna (tempo): <99999>"), std::string::npos) << run.sink.lastText();
    EXPECT_NE(run.sink.lastText().find("nessuna modifica è stata registrata nella sorgente dati"), std::string::npos);
    EXPECT_EQ(tablesThere(), "0");
}

TEST_F(CopyToPostgres, ADifferenceFoundWhenReadingBackUndoesTheCopy)
{
    // The server changes every authority's name as it is stored: a real
    // database that does not keep what it was given.
    tools::RawDatabase db = tools::RawDatabase::odbc(dsn);
    ASSERT_TRUE(db.exec("CREATE OR REPLACE FUNCTION korvan_copy_test_upper() RETURNS trigger LANGUAGE plpgsql AS "
                        "$$ BEGIN NEW.denom := upper(NEW.denom); RETURN NEW; END $$"))
        << db.error();
    ASSERT_TRUE(db.exec("CREATE OR REPLACE FUNCTION korvan_copy_test_table() RETURNS event_trigger LANGUAGE plpgsql "
                        "AS $$ BEGIN IF EXISTS (SELECT 1 FROM pg_tables WHERE tablename = 'regent') AND NOT EXISTS "
                        "(SELECT 1 FROM pg_trigger WHERE tgname = 'korvan_upper') THEN CREATE TRIGGER korvan_upper "
                        "BEFORE INSERT ON regent FOR EACH ROW EXECUTE FUNCTION korvan_copy_test_upper(); END IF; "
                        "END $$"))
        << db.error();
    ASSERT_TRUE(db.exec("CREATE EVENT TRIGGER korvan_copy_test ON ddl_command_end WHEN TAG IN ('CREATE TABLE') "
                        "EXECUTE FUNCTION korvan_copy_test_table()"))
        << db.error();
    CopyRun run;
    runCopy(copyRequest(sqliteFile(source), dataSource(dsn)), run);
    EXPECT_FALSE(run.result.completed);
    EXPECT_EQ(run.sink.lastText().rfind("ATTENZIONE: la verifica della copia non è riuscita per la tavola (regent)", 0),
              0u)
        << run.sink.lastText();
    EXPECT_EQ(tablesThere(), "0");
}

} // namespace
} // namespace korvan::test
