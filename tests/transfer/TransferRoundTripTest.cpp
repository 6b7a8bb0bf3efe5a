// A runs database copied from its file to a data source and back into a new
// file comes back equal, table by table and row by row: the demo database
// and one with accounting, through PostgreSQL (psqlODBC) and through SQLite's
// ODBC driver.

#include "transfer/TransferFixture.h"

#include "refdata/Schema.h"
#include "support/BackendTest.h"

namespace korvan::test {
namespace {

struct RoundTrip {
    const char* name;
    bool accounting;
    Backend via;
};

void PrintTo(const RoundTrip& trip, std::ostream* out)
{
    *out << trip.name;
}

class CopyRoundTrip : public ::testing::TestWithParam<RoundTrip> {
  protected:
    void TearDown() override
    {
        if (!dataSourceMissing(GetParam().via))
            dropTables(dataSourceOf(GetParam().via));
    }
    TempDir dir;
};

TEST_P(CopyRoundTrip, FileThroughTheDataSourceAndBackIsEqualTableByTableRowByRow)
{
    const RoundTrip& trip = GetParam();
    KORVAN_REQUIRE_DATA_SOURCE(trip.via);
    const std::string dsn = dataSourceOf(trip.via);
    dropTables(dsn);
    const std::string original = dir.file("original.sqlite");
    const std::string back = dir.file("back.sqlite");
    if (trip.accounting)
        writeAccountingDatabase(original);
    else
        writeDemoDatabase(original);
    ASSERT_FALSE(HasFatalFailure());

    CopyRun there;
    runCopy(copyRequest(sqliteFile(original), dataSource(dsn)), there);
    ASSERT_TRUE(there.result.completed) << there.sink.lastText();
    CopyRun home;
    runCopy(copyRequest(dataSource(dsn), sqliteFile(back)), home);
    ASSERT_TRUE(home.result.completed) << home.sink.lastText();
    EXPECT_TRUE(there.sink.empty()) << there.sink.lastText();
    EXPECT_TRUE(home.sink.empty()) << home.sink.lastText();

    // Every table of the schema went there and came back, each with the
    // checksum it left with.
    ASSERT_EQ(there.result.tables.size(), schema::tables().size());
    ASSERT_EQ(home.result.tables.size(), schema::tables().size());
    for (size_t i = 0; i < there.result.tables.size(); ++i) {
        EXPECT_EQ(there.result.tables[i].read, there.result.tables[i].stored) << there.result.tables[i].name;
        EXPECT_EQ(home.result.tables[i].stored, there.result.tables[i].read) << home.result.tables[i].name;
    }

    const auto before = dumpSqlite(original);
    const auto after = dumpSqlite(back);
    ASSERT_EQ(before.size(), after.size());
    long rows = 0;
    for (const auto& [table, dump] : before) {
        ASSERT_TRUE(after.count(table)) << table;
        EXPECT_EQ(after.at(table).columns, dump.columns) << table;
        ASSERT_EQ(after.at(table).rows.size(), dump.rows.size()) << table;
        for (size_t r = 0; r < dump.rows.size(); ++r)
            ASSERT_EQ(after.at(table).rows[r], dump.rows[r]) << table << " row " << r;
        rows += static_cast<long>(dump.rows.size());
    }
    // Something of each kind went through: accounting rows when asked for.
    EXPECT_GT(rows, 5000);
    EXPECT_EQ(before.at("conkal").rows.empty(), !trip.accounting);
    EXPECT_FALSE(before.at("conitine").rows.empty());
}

INSTANTIATE_TEST_SUITE_P(Trips, CopyRoundTrip,
                         ::testing::Values(RoundTrip{"DemoThroughPostgres", false, Backend::PostgresOdbc},
                                           RoundTrip{"AccountingThroughPostgres", true, Backend::PostgresOdbc},
                                           RoundTrip{"DemoThroughSqliteOdbc", false, Backend::SqliteOdbc},
                                           RoundTrip{"AccountingThroughSqliteOdbc", true, Backend::SqliteOdbc}),
                         [](const ::testing::TestParamInfo<RoundTrip>& trip) { return std::string(trip.param.name); });

} // namespace
} // namespace korvan::test
