#include "reports/DemoDatabase.h"

#include "DemoPostgresScript.h"
#include "DemoSqliteWriter.h"
#include "db/Values.h"
#include "lines/LineExtraction.h"

#include <cstdlib>

namespace korvan::test {

void DemoDatabaseTest::SetUp()
{
    std::string error;
    const demo::Network network = demo::generateNetwork(demoOptions());
    if (!isPostgres()) {
        ASSERT_TRUE(demo::writeSqliteFile(network, dir.file("demo.sqlite"), error)) << error;
        raw.emplace(tools::RawDatabase::sqliteFile(dir.file("demo.sqlite")));
        connection = DbConnection::openSqlite(dir.file("demo.sqlite"), 25, 1, sink);
    } else {
        if (postgresDsn().empty()) {
            if (odbcRequired())
                FAIL() << "the PostgreSQL data source is required but not configured";
            GTEST_SKIP() << "no PostgreSQL data source";
        }
        raw.emplace(tools::RawDatabase::odbc(postgresDsn()));
        ASSERT_TRUE(raw->ok()) << raw->error();
        loadWithPsql(network);
        if (HasFatalFailure())
            return;
        std::string driver;
        connection = DbConnection::openOdbc(postgresDsn(), driver, 25, 1, sink);
    }
    ASSERT_TRUE(connection && connection->IsOpen()) << sink.lastText();
    sink.confirmReply = true;
    const lines::ExtractionResult extraction = lines::extractNormalizedLines(connection.get(), sink, feedback);
    ASSERT_TRUE(extraction.confirmed);
    ASSERT_GT(extraction.runsAssigned, 0);
    sink.clear();
}

void DemoDatabaseTest::TearDown()
{
    connection.reset();
    if (!isPostgres() || postgresDsn().empty() || !raw)
        return;
    for (const schema::Table& table : schema::tables())
        EXPECT_TRUE(raw->exec(schema::dropStatement(table))) << raw->error();
}

long long DemoDatabaseTest::queryNumber(const std::string& sql)
{
    const std::string text = raw->queryText(sql);
    EXPECT_FALSE(text.empty()) << sql << "\n" << raw->error();
    return readLeadingInteger(text).value_or(0);
}

void DemoDatabaseTest::loadWithPsql(const demo::Network& network)
{
    std::string error;
    const std::string script = dir.file("demo.sql");
    ASSERT_TRUE(demo::writePostgresScriptFile(network, script, true, error)) << error;
    const std::string database = raw->queryText("SELECT current_database()");
    ASSERT_FALSE(database.empty()) << raw->error();
    const char* port = std::getenv("KORVAN_TEST_PG_PORT");
    const std::string command = "psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p " + std::string(port ? port : "54329") +
                                " -U postgres -d " + database + " -f '" + script + "' > '" + dir.file("psql.log") +
                                "' 2>&1";
    ASSERT_EQ(std::system(command.c_str()), 0) << command;
}

} // namespace korvan::test
