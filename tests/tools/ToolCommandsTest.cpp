// korvan-schema and korvan-demo as the user runs them: options, messages and
// exit codes, and the tables they create on SQLite and PostgreSQL.

#include "ToolCommands.h"
#include "SchemaCreator.h"
#include "ScratchPostgres.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

namespace korvan::tools {
namespace {

struct Outcome {
    int status;
    std::string out;
    std::string err;
};

Outcome schemaTool(const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    const int status = runSchemaCommand(arguments, out, err);
    return {status, out.str(), err.str()};
}

Outcome demoTool(const std::vector<std::string>& arguments)
{
    std::ostringstream out, err;
    const int status = runDemoCommand(arguments, out, err);
    return {status, out.str(), err.str()};
}

// The tables of a database with their columns, as "table(col,col,...)" in
// the schema's order, read from the engine's catalogue.
std::string catalogue(RawDatabase& db)
{
    std::string text;
    for (const schema::Table& table : schema::tables()) {
        const std::string sql =
            db.dialect() == schema::Dialect::Sqlite
                ? "SELECT group_concat(name, ',') FROM (SELECT name FROM pragma_table_info('" + table.name +
                      "') ORDER BY cid)"
                : "SELECT string_agg(column_name, ',' ORDER BY ordinal_position) FROM information_schema.columns "
                  "WHERE table_schema = 'public' AND table_name = '" +
                      table.name + "'";
        const std::string columns = db.queryText(sql);
        if (!columns.empty())
            text += table.name + "(" + columns + ")";
    }
    return text;
}

std::string expectedCatalogue(schema::Dialect dialect, const std::vector<std::string>& only = {})
{
    std::string text;
    for (const schema::Table& table : schema::tables()) {
        if (!only.empty() && std::find(only.begin(), only.end(), table.name) == only.end())
            continue;
        std::string columns;
        for (const schema::Column& column : table.columns)
            columns += (columns.empty() ? "" : ",") + schema::physicalColumnName(column.name, dialect);
        text += table.name + "(" + columns + ")";
    }
    return text;
}

TEST(SchemaTool, CreatesEveryTableInASqliteFile)
{
    test::TempDir dir;
    const Outcome run = schemaTool({"--sqlite", dir.file("runs.sqlite")});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find("14 tables created"), std::string::npos) << run.out;
    RawDatabase db = RawDatabase::sqliteFile(dir.file("runs.sqlite"));
    EXPECT_EQ(catalogue(db), expectedCatalogue(schema::Dialect::Sqlite));
    // The key of every keyed table is its primary key, named "codice".
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM sqlite_master WHERE type = 'index'"), "14");
    EXPECT_EQ(db.queryText("SELECT sql LIKE '%CONSTRAINT conkal_codice PRIMARY KEY (azienda, ID, data)%' FROM "
                           "sqlite_master WHERE name = 'conkal'"),
              "1");
}

TEST(SchemaTool, CreatesOnlyTheTablesAsked)
{
    test::TempDir dir;
    const Outcome run = schemaTool({"--sqlite", dir.file("runs.sqlite"), "--tables", "corse,conkal"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    RawDatabase db = RawDatabase::sqliteFile(dir.file("runs.sqlite"));
    EXPECT_EQ(catalogue(db), expectedCatalogue(schema::Dialect::Sqlite, {"corse", "conkal"}));
}

TEST(SchemaTool, ExistingTablesNeedDrop)
{
    test::TempDir dir;
    const std::string file = dir.file("runs.sqlite");
    ASSERT_EQ(schemaTool({"--sqlite", file, "--tables", "regent"}).status, kExitOk);
    {
        RawDatabase db = RawDatabase::sqliteFile(file);
        ASSERT_TRUE(db.exec("INSERT INTO regent (codice, denom) VALUES (1, 'Provincia')"));
    }
    const Outcome again = schemaTool({"--sqlite", file, "--tables", "regent"});
    EXPECT_EQ(again.status, kExitFailed);
    EXPECT_NE(again.err.find("regent"), std::string::npos) << again.err;
    EXPECT_NE(again.err.find("already exists"), std::string::npos) << again.err;

    ASSERT_EQ(schemaTool({"--sqlite", file, "--drop"}).status, kExitOk);
    RawDatabase db = RawDatabase::sqliteFile(file);
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM regent"), "0");
}

TEST(SchemaTool, RejectsWrongUsage)
{
    test::TempDir dir;
    const std::string file = dir.file("runs.sqlite");
    EXPECT_EQ(schemaTool({}).status, kExitUsage);
    EXPECT_EQ(schemaTool({"--sqlite", file, "--odbc", "korvan_pg"}).status, kExitUsage);
    EXPECT_EQ(schemaTool({"--sqlite"}).status, kExitUsage);
    EXPECT_EQ(schemaTool({"--sqlite", file, "--verbose"}).status, kExitUsage);
    const Outcome unknown = schemaTool({"--sqlite", file, "--tables", "corse,cosre"});
    EXPECT_EQ(unknown.status, kExitUsage);
    EXPECT_NE(unknown.err.find("\"cosre\" is not a table"), std::string::npos) << unknown.err;
    EXPECT_FALSE(std::filesystem::exists(file)) << "nothing is created on wrong usage";

    const Outcome help = schemaTool({"--help"});
    EXPECT_EQ(help.status, kExitOk);
    EXPECT_NE(help.out.find("Usage: korvan-schema"), std::string::npos);
}

TEST(SchemaCreator, RefusesUnknownTablesBeforeCreatingAny)
{
    test::TempDir dir;
    RawDatabase db = RawDatabase::sqliteFile(dir.file("runs.sqlite"));
    std::string error;
    EXPECT_FALSE(createTables(db, false, error, {"corse", "Corse"}));
    EXPECT_EQ(error, "unknown table: Corse");
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM sqlite_master"), "0");
}

TEST(SchemaTool, ReportsDatabasesThatCannotBeOpened)
{
    test::TempDir dir;
    const Outcome file = schemaTool({"--sqlite", dir.file("no-such-folder/runs.sqlite")});
    EXPECT_EQ(file.status, kExitFailed);
    EXPECT_NE(file.err.find("cannot open"), std::string::npos) << file.err;
    const Outcome odbc = schemaTool({"--odbc", "korvan_no_such_source"});
    EXPECT_EQ(odbc.status, kExitFailed);
    EXPECT_NE(odbc.err.find("cannot open data source korvan_no_such_source"), std::string::npos) << odbc.err;
}

TEST(SchemaTool, CreatesEveryTableInPostgresWithLowerCaseColumns)
{
    if (!test::postgresConfigured())
        GTEST_SKIP() << "no PostgreSQL test server";
    test::ScratchPostgres scratch("korvan_demo_schema");
    ASSERT_TRUE(scratch.ok()) << scratch.error();
    const Outcome run = schemaTool({"--odbc", scratch.connection()});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    RawDatabase db = RawDatabase::odbc(scratch.connection());
    EXPECT_EQ(catalogue(db), expectedCatalogue(schema::Dialect::PostgreSql));
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM information_schema.table_constraints WHERE constraint_type = "
                           "'PRIMARY KEY' AND constraint_name LIKE '%\\_codice'"),
              "14");
    // Bits hold 0 and 1 only.
    EXPECT_FALSE(db.exec("INSERT INTO concors (azienda, id, ente, minima, euro) VALUES (1, 1, 1, 2, 0)"));

    EXPECT_EQ(schemaTool({"--odbc", scratch.connection()}).status, kExitFailed);
    EXPECT_EQ(schemaTool({"--odbc", scratch.connection(), "--drop", "--tables", "concors"}).status, kExitOk);
}

TEST(DemoTool, WritesTheDemoDatabase)
{
    test::TempDir dir;
    const Outcome run = demoTool(
        {"--runs", "250", "--year", "2024", "--out", dir.file("demo.sqlite"), "--postgres-copy", dir.file("demo.sql")});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_NE(run.out.find("250 runs"), std::string::npos) << run.out;
    RawDatabase db = RawDatabase::sqliteFile(dir.file("demo.sqlite"));
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM corse"), "250");
    EXPECT_EQ(db.queryText("SELECT MIN(anno) || '-' || MAX(anno) FROM mesi"), "2024-2024");
    EXPECT_GT(std::filesystem::file_size(dir.file("demo.sql")), 10000U);
}

TEST(DemoTool, WritesThePsqlScriptToStandardOutput)
{
    const Outcome run = demoTool({"--runs", "100", "--postgres-copy", "-", "--drop"});
    ASSERT_EQ(run.status, kExitOk) << run.err;
    EXPECT_EQ(run.out.rfind("-- KORVAN demo runs database", 0), 0U) << "only the script on standard output";
    EXPECT_NE(run.out.find("DROP TABLE IF EXISTS corse;"), std::string::npos);
    EXPECT_NE(run.err.find("100 runs"), std::string::npos) << run.err;
}

TEST(DemoTool, RejectsWrongUsage)
{
    test::TempDir dir;
    const std::string out = dir.file("demo.sqlite");
    EXPECT_EQ(demoTool({}).status, kExitUsage);
    EXPECT_EQ(demoTool({"--runs", "3000"}).status, kExitUsage) << "nothing to write";
    const Outcome few = demoTool({"--runs", "5", "--out", out});
    EXPECT_EQ(few.status, kExitUsage);
    EXPECT_NE(few.err.find("--runs \"5\""), std::string::npos) << few.err;
    EXPECT_EQ(demoTool({"--runs", "3000x", "--out", out}).status, kExitUsage);
    EXPECT_EQ(demoTool({"--year", "twenty", "--out", out}).status, kExitUsage);
    EXPECT_EQ(demoTool({"--out"}).status, kExitUsage);
    EXPECT_EQ(demoTool({"--seed", "1", "--out", out}).status, kExitUsage);
    EXPECT_FALSE(std::filesystem::exists(out));
    EXPECT_EQ(demoTool({"--help"}).status, kExitOk);
}

TEST(DemoTool, ReportsFilesThatCannotBeWritten)
{
    test::TempDir dir;
    const Outcome run = demoTool({"--runs", "100", "--postgres-copy", dir.file("no-such-folder/demo.sql")});
    EXPECT_EQ(run.status, kExitFailed);
    EXPECT_NE(run.err.find("cannot write"), std::string::npos) << run.err;
}

} // namespace
} // namespace korvan::tools
