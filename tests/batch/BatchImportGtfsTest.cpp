// korvan-batch import-gtfs as a user runs it: into a new SQLite file or an
// empty PostgreSQL database, its refusals, and the real feed carried on to
// the service days of March 2025, which must be the days its GTFS services
// run.

#include "batch/BatchFixture.h"
#include "refdata/Schema.h"
#include "support/FeedChecks.h"
#include "support/HandMadeFeed.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <map>

namespace korvan::test {
namespace {

using Rows = std::vector<std::string>;

class BatchImportGtfs : public ::testing::Test {
  protected:
    BatchRun run(const std::vector<std::string>& arguments) { return runBatchProgram(arguments, dir.path()); }
    TempDir dir;
};

TEST_F(BatchImportGtfs, importsAFeedIntoANewFile)
{
    const std::string feed = HandMadeFeed::basic().writeFolder(dir.path());
    const std::string db = dir.file("nuovo.sqlite");
    const BatchRun done = run({"import-gtfs", feed, "--db", db});
    ASSERT_EQ(done.status, 0) << done.err;
    EXPECT_NE(done.out.find("Importazione del feed GTFS completata."), std::string::npos) << done.out;
    EXPECT_EQ(queryValue(db, "SELECT count(*) FROM corse"), "4");
    // The new database is one the other subcommands take.
    const BatchRun lines = run({"extract-lines", "--db", db, "--yes"});
    EXPECT_EQ(lines.status, 0) << lines.err;
    EXPECT_EQ(queryRows(db, "SELECT linea FROM linee ORDER BY ID"), (Rows{"5", "R2"}));
}

TEST_F(BatchImportGtfs, refusesAnExistingFileUnlessReplacedAndABadFeedWritesNothing)
{
    const std::string feed = HandMadeFeed::basic().writeFolder(dir.path());
    const std::string db = dir.file("nuovo.sqlite");
    ASSERT_EQ(run({"import-gtfs", feed, "--db", db}).status, 0);
    const BatchRun again = run({"import-gtfs", feed, "--db", db});
    EXPECT_EQ(again.status, 1);
    EXPECT_NE(again.err.find("esiste già"), std::string::npos) << again.err;
    EXPECT_EQ(run({"import-gtfs", feed, "--db", db, "--replace"}).status, 0);

    HandMadeFeed bad = HandMadeFeed::basic();
    bad.replace("stop_times.txt", "T1,08:05:00", "T1,8.05");
    const BatchRun refused = run({"import-gtfs", bad.writeFolder(dir.path(), "bad"), "--db", dir.file("bad.sqlite")});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("stop_times.txt, riga 3, campo arrival_time: \"8.05\" non è un orario"),
              std::string::npos)
        << refused.err;
    EXPECT_FALSE(std::filesystem::exists(dir.file("bad.sqlite")));
}

struct UsageCase {
    const char* name;
    std::vector<std::string> arguments;
    const char* error;
};

class BatchImportGtfsUsage : public BatchImportGtfs, public ::testing::WithParamInterface<UsageCase> {};

TEST_P(BatchImportGtfsUsage, isAUsageError)
{
    std::vector<std::string> arguments{"import-gtfs"};
    arguments.insert(arguments.end(), GetParam().arguments.begin(), GetParam().arguments.end());
    const BatchRun refused = run(arguments);
    EXPECT_EQ(refused.status, 2);
    EXPECT_NE(refused.err.find(std::string("korvan-batch: ") + GetParam().error), std::string::npos) << refused.err;
    EXPECT_NE(refused.err.find("Usage: korvan-batch import-gtfs FEED"), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    CommandLines, BatchImportGtfsUsage,
    ::testing::Values(UsageCase{"noFeed", {"--db", "x.sqlite"}, "give the feed"},
                      UsageCase{"noTarget", {"feed"}, "give exactly one of --db FILE and --dsn NAME"},
                      UsageCase{"bothTargets", {"feed", "--db", "x", "--dsn", "y"}, "give exactly one of"},
                      UsageCase{
                          "replaceADataSource", {"feed", "--dsn", "y", "--replace"}, "--replace goes only with --db"},
                      UsageCase{"twoFeeds", {"feed", "other", "--db", "x"}, "unexpected argument \"other\""},
                      UsageCase{"unknownOption", {"feed", "--db", "x", "--yes"}, "unknown option \"--yes\""}),
    [](const auto& test) { return std::string(test.param.name); });

class BatchImportGtfsPostgres : public BatchImportGtfs {
  protected:
    void SetUp() override
    {
        dsn_ = postgresDsn();
        if (dsn_.empty()) {
            if (odbcRequired())
                FAIL() << "KORVAN_TEST_PG_DSN is not set";
            GTEST_SKIP() << "no PostgreSQL data source";
        }
        tools::RawDatabase db = tools::RawDatabase::odbc(dsn_);
        for (const schema::Table& table : schema::tables())
            ASSERT_TRUE(db.exec(schema::dropStatement(table))) << db.error();
    }
    std::string dsn_;
};

TEST_F(BatchImportGtfsPostgres, importsIntoAnEmptyDatabaseAndRefusesOneWithTables)
{
    const std::string feed = HandMadeFeed::basic().writeZip(dir.path());
    const BatchRun done = run({"import-gtfs", feed, "--dsn", dsn_});
    ASSERT_EQ(done.status, 0) << done.err;
    tools::RawDatabase db = tools::RawDatabase::odbc(dsn_);
    EXPECT_EQ(db.queryText("SELECT count(*) FROM corse"), "4");
    EXPECT_EQ(db.queryText("SELECT string_agg(lung::text, ',' ORDER BY id) FROM corse"), "3336,3336,3336,1112");
    EXPECT_EQ(db.queryText("SELECT giorni FROM mesi WHERE id = 1"), "NNSSSSSNNSSSSSNNSSSSSNNSSSSSNNS");

    const BatchRun refused = run({"import-gtfs", feed, "--dsn", dsn_});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("la base dati contiene già delle tabelle"), std::string::npos) << refused.err;
    EXPECT_EQ(db.queryText("SELECT count(*) FROM corse"), "4");
}

TEST_F(BatchImportGtfsPostgres, aBadFeedLeavesTheDatabaseEmpty)
{
    HandMadeFeed bad = HandMadeFeed::basic();
    bad.append("trips.txt", {"R2,FER,T9,,0"});
    const BatchRun refused = run({"import-gtfs", bad.writeFolder(dir.path()), "--dsn", dsn_});
    EXPECT_EQ(refused.status, 1);
    EXPECT_NE(refused.err.find("trips.txt, riga 6, campo trip_id"), std::string::npos) << refused.err;
    tools::RawDatabase db = tools::RawDatabase::odbc(dsn_);
    EXPECT_EQ(db.queryText("SELECT count(*) FROM information_schema.tables WHERE table_name = 'corse'"), "0");
}

// The closing check of the import: the real feed, its lines extracted,
// every contract assigned and its service days of March 2025 generated.
TEST_F(BatchImportGtfs, realFeedRunsHaveTheirServiceDaysOfMarch)
{
    const std::string feed = realFeedFolder();
    if (feed.empty())
        GTEST_SKIP() << "the shared data (../shared/data/gtfs/trento-urbano) are not there";
    const std::string db = dir.file("trento.sqlite");
    ASSERT_EQ(run({"import-gtfs", feed, "--db", db}).status, 0);
    ASSERT_EQ(run({"extract-lines", "--db", db, "--yes"}).status, 0);
    const BatchRun contracts = run({"list", "contracts", "--db", db});
    ASSERT_EQ(contracts.status, 0);
    for (size_t at = 0; at < contracts.out.size();) {
        const size_t end = contracts.out.find('\n', at);
        const std::string line = contracts.out.substr(at, end - at);
        at = end + 1;
        const BatchRun assigned = run({"assign", "--db", db, "--authority", line.substr(0, 4), "--company",
                                       line.substr(line.find('\t') + 1, 4), "--euro-km", "2,10", "--yes"});
        ASSERT_EQ(assigned.status, 0) << assigned.err;
    }
    const BatchRun days =
        run({"generate-days", "--db", db, "--all-contracts", "--period", "01/03/2025", "31/03/2025", "--yes"});
    ASSERT_EQ(days.status, 0) << days.err;

    const std::map<std::string, std::set<int>> services = serviceDays(feed, 20250301, 20250331);
    const CsvTable trips = readCsvTable(feed + "/trips.txt");
    std::map<std::string, size_t> expected; // run code (the trip_id's first 20 characters) -> days
    size_t total = 0;
    for (const auto& trip : trips.rows) {
        const auto found = services.find(trip[trips.column("service_id")]);
        const size_t count = found == services.end() ? 0 : found->second.size();
        expected[trip[trips.column("trip_id")].substr(0, 20)] = count;
        total += count;
    }
    std::map<std::string, size_t> generated;
    // The generation writes every scheduled day of the runs' months; those
    // of March are the ones compared.
    const std::string march = "k.data BETWEEN '2025-03-01' AND '2025-03-31'";
    for (const std::string& row :
         queryRows(db, "SELECT c.codcorsa, count(k.data) FROM corse c LEFT JOIN conkal k ON k.azienda = c.azienda AND "
                       "k.ID = c.ID AND " +
                           march + " GROUP BY c.codcorsa"))
        generated[row.substr(0, row.find('|'))] = std::stoul(row.substr(row.find('|') + 1));
    EXPECT_EQ(generated.size(), expected.size());
    size_t differing = 0;
    for (const auto& [code, count] : expected)
        if (generated[code] != count && ++differing <= 5)
            ADD_FAILURE() << code << ": " << generated[code] << " service days, the feed says " << count;
    EXPECT_EQ(differing, 0u);
    EXPECT_EQ(queryValue(db, "SELECT count(*) FROM conkal k WHERE " + march), std::to_string(total));
    // Every scheduled day was written.
    const std::string all = queryValue(db, "SELECT count(*) FROM conkal");
    EXPECT_NE(days.out.find("Giorni inseriti: " + all + " di " + all), std::string::npos) << days.out;
}

} // namespace
} // namespace korvan::test
