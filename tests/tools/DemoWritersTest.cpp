// The demo database written to a SQLite file, as a psql script and through
// ODBC: every row arrives, texts intact, on SQLite and PostgreSQL alike.

#include "DemoNetwork.h"
#include "DemoOdbcWriter.h"
#include "DemoPostgresScript.h"
#include "DemoRows.h"
#include "DemoSqliteWriter.h"
#include "SchemaCreator.h"
#include "ScratchPostgres.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

namespace korvan::demo {
namespace {

using tools::RawDatabase;

const Network& network()
{
    static const Network n = generateNetwork({600, 2025});
    return n;
}

std::string count(RawDatabase& db, const std::string& table)
{
    return db.queryText("SELECT COUNT(*) FROM " + table);
}

std::string columnList(const schema::Table& table, schema::Dialect dialect, const char* wrap)
{
    std::string columns;
    for (const schema::Column& column : table.columns)
        columns += (columns.empty() ? "" : " || '|' || ") +
                   formatText(wrap, schema::physicalColumnName(column.name, dialect).c_str());
    return columns;
}

// A PostgreSQL table's rows folded into one checksum: equal digests mean
// equal contents.
std::string postgresDigest(RawDatabase& db, const schema::Table& table)
{
    const std::string columns = columnList(table, schema::Dialect::PostgreSql, "COALESCE(CAST(%s AS text), '~')");
    return db.queryText("SELECT md5(string_agg(" + columns + ", '#' ORDER BY " + columns + ")) FROM " + table.name);
}

// A SQLite table's rows in storage order.
std::string sqliteDump(RawDatabase& db, const schema::Table& table)
{
    return db.queryText("SELECT group_concat(" + columnList(table, schema::Dialect::Sqlite, "quote(%s)") +
                        ", '#') FROM (SELECT * FROM " + table.name + " ORDER BY rowid)");
}

TEST(DemoSqliteFile, HoldsEveryRowOfEveryTable)
{
    test::TempDir dir;
    const std::string path = dir.file("demo.sqlite");
    std::string error;
    ASSERT_TRUE(writeSqliteFile(network(), path, error)) << error;
    RawDatabase db = RawDatabase::sqliteFile(path);
    for (const schema::Table& table : schema::tables())
        EXPECT_EQ(count(db, table.name), std::to_string(rowCount(network(), table.name))) << table.name;
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM linee"), "0");
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM conkal"), "0");
}

TEST(DemoSqliteFile, KeepsTextsDatesAndFlagsAsGenerated)
{
    test::TempDir dir;
    const std::string path = dir.file("demo.sqlite");
    std::string error;
    ASSERT_TRUE(writeSqliteFile(network(), path, error)) << error;
    RawDatabase db = RawDatabase::sqliteFile(path);
    EXPECT_NE(db.queryText("SELECT COUNT(*) FROM corse WHERE codlinea = '12  '"), "0");
    EXPECT_NE(db.queryText("SELECT COUNT(*) FROM corse WHERE codlinea = ''"), "0");
    EXPECT_NE(db.queryText("SELECT COUNT(*) FROM corse WHERE codlinea = 'SANT''ANNA'"), "0");
    EXPECT_EQ(db.queryText("SELECT denom FROM regent WHERE codice = 2"), "Comunità Montana Alta Valle");
    EXPECT_EQ(db.queryText("SELECT datini FROM proto WHERE azienda = 1 AND tipo = 'B' AND protoc = 2"), "2025-06-15");
    EXPECT_EQ(db.queryText("SELECT MIN(length(giorni)) || ' ' || MAX(length(giorni)) FROM mesi"), "31 31");
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM proto WHERE azzera = 1 AND tipo = 'B'"), "1");
}

TEST(DemoSqliteFile, ReplacesAnExistingFile)
{
    test::TempDir dir;
    const std::string path = dir.file("demo.sqlite");
    std::ofstream(path) << "not a database";
    std::string error;
    ASSERT_TRUE(writeSqliteFile(network(), path, error)) << error;
    RawDatabase db = RawDatabase::sqliteFile(path);
    EXPECT_EQ(db.queryText("SELECT COUNT(*) FROM corse"), "600");
}

TEST(DemoSqliteFile, ReportsAnUnwritablePath)
{
    test::TempDir dir;
    const std::string path = dir.file("missing-folder/demo.sqlite");
    std::string error;
    EXPECT_FALSE(writeSqliteFile(network(), path, error));
    EXPECT_FALSE(error.empty());
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(DemoSqliteFile, IsTheSameOnEveryGeneration)
{
    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(writeSqliteFile(generateNetwork({600, 2025}), dir.file("a.sqlite"), error)) << error;
    ASSERT_TRUE(writeSqliteFile(generateNetwork({600, 2025}), dir.file("b.sqlite"), error)) << error;
    RawDatabase a = RawDatabase::sqliteFile(dir.file("a.sqlite"));
    RawDatabase b = RawDatabase::sqliteFile(dir.file("b.sqlite"));
    for (const schema::Table& table : schema::tables()) {
        const std::string dump = sqliteDump(a, table);
        EXPECT_EQ(dump.empty(), table.accounting && table.name != "conitine") << table.name;
        EXPECT_TRUE(dump == sqliteDump(b, table)) << table.name;
    }
    std::ifstream fa(dir.file("a.sqlite"), std::ios::binary), fb(dir.file("b.sqlite"), std::ios::binary);
    std::stringstream ca, cb;
    ca << fa.rdbuf();
    cb << fb.rdbuf();
    EXPECT_TRUE(ca.str() == cb.str()) << "the two files differ byte by byte";
}

TEST(DemoPostgresScript, EscapesTextsForCopy)
{
    EXPECT_EQ(copyText("Sant'Orsola"), "Sant'Orsola");
    EXPECT_EQ(copyText("a\\b\tc\nd\re"), "a\\\\b\\tc\\nd\\re");
    std::ostringstream script;
    ASSERT_TRUE(writePostgresScript(network(), script, true));
    const std::string text = script.str();
    EXPECT_NE(text.find("\\set ON_ERROR_STOP on"), std::string::npos);
    EXPECT_LT(text.find("DROP TABLE IF EXISTS conitine"), text.find("CREATE TABLE regent"));
    EXPECT_NE(text.find("COPY corse (azienda, id, ente, codlinea,"), std::string::npos);
    EXPECT_NE(text.find("\n3\tComune di San Vito\n"), std::string::npos);
    EXPECT_NE(text.find("\tCa' de' Frati Stazione FS\n"), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 8), "COMMIT;\n");
}

class DemoPostgres : public ::testing::Test {
  protected:
    void SetUp() override
    {
        if (!test::postgresConfigured())
            GTEST_SKIP() << "no PostgreSQL test server";
    }
};

TEST_F(DemoPostgres, PsqlScriptAndOdbcLoadGiveTheSameTablesAsSqlite)
{
    test::TempDir dir;
    std::string error;
    const std::string scriptPath = dir.file("demo.sql");
    ASSERT_TRUE(writePostgresScriptFile(network(), scriptPath, false, error)) << error;
    test::ScratchPostgres copied("korvan_demo_copy");
    ASSERT_TRUE(copied.ok()) << copied.error();
    const std::string psql = copied.runPsqlScript(scriptPath);
    ASSERT_EQ(psql, "");

    test::ScratchPostgres loaded("korvan_demo_odbc");
    ASSERT_TRUE(loaded.ok()) << loaded.error();
    ASSERT_TRUE(writeOdbc(network(), loaded.connection(), false, error)) << error;

    ASSERT_TRUE(writeSqliteFile(network(), dir.file("demo.sqlite"), error)) << error;
    RawDatabase sqlite = RawDatabase::sqliteFile(dir.file("demo.sqlite"));
    RawDatabase viaCopy = RawDatabase::odbc(copied.connection());
    RawDatabase viaOdbc = RawDatabase::odbc(loaded.connection());
    for (const schema::Table& table : schema::tables()) {
        EXPECT_EQ(count(viaCopy, table.name), count(sqlite, table.name)) << table.name;
        EXPECT_EQ(count(viaOdbc, table.name), count(sqlite, table.name)) << table.name;
        EXPECT_EQ(postgresDigest(viaCopy, table), postgresDigest(viaOdbc, table)) << table.name;
    }
    // Texts arrive intact: trailing blanks, apostrophes, accents.
    EXPECT_NE(viaCopy.queryText("SELECT COUNT(*) FROM corse WHERE codlinea = '12  '"), "0");
    EXPECT_NE(viaOdbc.queryText("SELECT COUNT(*) FROM corse WHERE codlinea = 'SANT''ANNA'"), "0");
    EXPECT_EQ(viaOdbc.queryText("SELECT denom FROM regent WHERE codice = 2"), "Comunità Montana Alta Valle");
    EXPECT_EQ(viaCopy.queryText("SELECT to_char(datfin, 'DD/MM/YYYY') FROM proto WHERE azienda = 1 AND tipo = 'B' "
                                "AND protoc = 2"),
              "14/09/2025");
}

TEST_F(DemoPostgres, OdbcLoadRefusesExistingTablesWithoutDrop)
{
    test::ScratchPostgres scratch("korvan_demo_reload");
    ASSERT_TRUE(scratch.ok()) << scratch.error();
    std::string error;
    ASSERT_TRUE(writeOdbc(network(), scratch.connection(), false, error)) << error;
    EXPECT_FALSE(writeOdbc(network(), scratch.connection(), false, error));
    EXPECT_NE(error.find("regent: ERROR: relation \"regent\" already exists"), std::string::npos) << error;
    error.clear();
    EXPECT_TRUE(writeOdbc(network(), scratch.connection(), true, error)) << error;
    EXPECT_EQ(scratch.query("SELECT COUNT(*) FROM corse"), "600");
}

TEST(DemoSqliteOdbc, LoadsTheSameRowsAsTheFileWriter)
{
    if (test::sqliteOdbcDsn().empty()) {
        if (test::odbcRequired())
            FAIL() << "KORVAN_TEST_SQLITE_DSN is not set";
        GTEST_SKIP() << "no SQLite ODBC data source";
    }
    test::TempDir dir;
    std::string error;
    const std::string connection = "DSN=" + test::sqliteOdbcDsn() + ";Database=" + dir.file("odbc.sqlite") + ";";
    ASSERT_TRUE(writeOdbc(network(), connection, false, error)) << error;
    RawDatabase db = RawDatabase::sqliteFile(dir.file("odbc.sqlite"));
    for (const schema::Table& table : schema::tables())
        EXPECT_EQ(count(db, table.name), std::to_string(rowCount(network(), table.name))) << table.name;
    EXPECT_EQ(db.queryText("SELECT datini FROM proto WHERE azienda = 2 AND protoc = 3"), "2025-07-01");
}

} // namespace
} // namespace korvan::demo
