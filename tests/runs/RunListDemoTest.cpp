// The run list of the demo network after the program's own extraction,
// assignment and calendar generation, compared run by run with what plain
// SQL counts on the same database, on every back end.

#include "DemoNetwork.h"
#include "DemoOdbcWriter.h"
#include "DemoSqliteWriter.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "lines/LineExtraction.h"
#include "runs/RunListLoader.h"
#include "support/BackendTest.h"

namespace korvan::test {
namespace {

class RunListDemo : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override
    {
        KORVAN_REQUIRE_DATA_SOURCE(GetParam());
        std::string error;
        const demo::Network network = demo::generateNetwork({300, 2025});
        if (GetParam() == Backend::SqliteFile) {
            ASSERT_TRUE(demo::writeSqliteFile(network, dir.file("demo.sqlite"), error)) << error;
            connection = DbConnection::openSqlite(dir.file("demo.sqlite"), 25, 1, sink);
            raw.emplace(tools::RawDatabase::sqliteFile(dir.file("demo.sqlite")));
        } else {
            ASSERT_TRUE(demo::writeOdbc(network, dataSourceOf(GetParam()), true, error)) << error;
            std::string driver;
            connection = DbConnection::openOdbc(dataSourceOf(GetParam()), driver, 25, 1, sink);
            raw.emplace(tools::RawDatabase::odbc(dataSourceOf(GetParam())));
        }
        ASSERT_TRUE(connection && connection->IsOpen()) << sink.lastText();
    }

    void TearDown() override
    {
        connection.reset();
        if (raw && isOdbc(GetParam()))
            for (const schema::Table& table : schema::tables())
                raw->exec(schema::dropStatement(table));
        raw.reset();
    }

    std::string query(const std::string& sql) { return raw->queryText(sql); }

    TempDir dir;
    RecordingMessageSink sink;
    SilentFeedback feedback;
    std::unique_ptr<DbConnection> connection;
    std::optional<tools::RawDatabase> raw;
};

TEST_P(RunListDemo, LoadedRowsEqualWhatPlainSqlCounts)
{
    ASSERT_TRUE(lines::extractNormalizedLines(connection.get(), sink, feedback).completed) << sink.lastText();
    // The contract and the line with the most runs.
    const std::string top = query("SELECT conline.ente, conline.azienda, conline.linea FROM conline "
                                  "GROUP BY conline.ente, conline.azienda, conline.linea "
                                  "ORDER BY COUNT(*) DESC, conline.linea LIMIT 1");
    ASSERT_FALSE(top.empty());
    const int authority = static_cast<int>(parseIntegerText(top));
    const int company = static_cast<int>(parseIntegerText(
        query(formatText("SELECT conline.azienda FROM conline WHERE conline.ente = %d GROUP BY conline.azienda, "
                         "conline.linea ORDER BY COUNT(*) DESC, conline.linea LIMIT 1",
                         authority))));
    const int line = static_cast<int>(parseIntegerText(
        query(formatText("SELECT conline.linea FROM conline WHERE conline.ente = %d AND conline.azienda = %d "
                         "GROUP BY conline.linea ORDER BY COUNT(*) DESC, conline.linea LIMIT 1",
                         authority, company))));

    accounting::AssignmentRequest request;
    request.contractAuthority = authority;
    request.contractCompany = company;
    request.euroPerKm = 1.25;
    ASSERT_TRUE(
        accounting::runAssignment(accounting::AssignmentKind::Contract, connection.get(), request, sink, feedback)
            .completed);
    ASSERT_TRUE(accounting::generateServiceDays(connection.get(), {authority, company, {2025, 1, 1}, {2025, 12, 31}},
                                                sink, feedback)
                    .completed)
        << sink.lastText();
    // Some runs get split days, some an itinerary split.
    ASSERT_TRUE(raw->exec(formatText("UPDATE conkal SET minima = 0, ente = 999 WHERE azienda = %d AND ID %% 3 = 0 "
                                     "AND data < '2025-03-01'",
                                     company)))
        << raw->error();
    ASSERT_TRUE(raw->exec(formatText("DELETE FROM conkal WHERE azienda = %d AND ID %% 7 = 1", company)));
    const std::string runsOfLine =
        formatText("SELECT corse.ID FROM corse, conline WHERE corse.azienda = %d AND corse.ente = %d AND "
                   "conline.azienda = %d AND conline.ID = corse.ID AND conline.linea = %d",
                   company, authority, company, line);
    ASSERT_TRUE(raw->exec(formatText("INSERT INTO conitine (azienda, ID, codperc, sub, ente, minima, euro, lung, "
                                     "tempo) SELECT %d, ID, 1, 1, 1, 0, 1, 100, 1 FROM corse WHERE azienda = %d AND "
                                     "ID %% 4 = 0 AND ID IN (",
                                     company, company) +
                          runsOfLine + ")"))
        << raw->error();

    sink.clear(); // the operations' result boxes
    const runs::RunListModel model = runs::loadRunList(connection.get(), {authority, company, line});
    EXPECT_TRUE(sink.empty()) << sink.lastText();
    const long expectedRuns = parseIntegerText(query(
        formatText("SELECT COUNT(*) FROM corse WHERE azienda = %d AND ID IN (", company) + runsOfLine +
        formatText(") AND ID IN (SELECT ID FROM concors WHERE azienda = %d) AND ID IN (SELECT ID FROM conkal WHERE "
                   "azienda = %d)",
                   company, company)));
    ASSERT_GT(expectedRuns, 5);
    ASSERT_EQ(model.count(), expectedRuns);
    int withCalendar = 0, withItinerary = 0;
    for (const runs::RunRow& row : model.rows()) {
        const std::string days = formatText(" FROM conkal WHERE azienda = %d AND ID = %ld", company, row.runId);
        EXPECT_EQ(row.serviceDays, parseIntegerText(query("SELECT COUNT(*)" + days))) << row.runId;
        const std::optional<CivilDate> first = parseDateText(row.firstDay), last = parseDateText(row.lastDay);
        ASSERT_TRUE(first && last) << row.firstDay;
        EXPECT_EQ(formatIsoDate(*first), query("SELECT MIN(data)" + days).substr(0, 10)) << row.runId;
        EXPECT_EQ(formatIsoDate(*last), query("SELECT MAX(data)" + days).substr(0, 10)) << row.runId;
        const bool split =
            parseIntegerText(query("SELECT COUNT(*) FROM (SELECT DISTINCT minima, ente" + days + ") d")) > 1;
        EXPECT_EQ(row.calendarMarker, split) << row.runId;
        const bool itinerary =
            parseIntegerText(query(
                formatText("SELECT COUNT(*) FROM conitine WHERE azienda = %d AND ID = %ld", company, row.runId))) > 0;
        EXPECT_EQ(row.itineraryMarker, itinerary) << row.runId;
        EXPECT_EQ(row.amount, parseDecimalText(query(formatText(
                                  "SELECT euro FROM concors WHERE azienda = %d AND ID = %ld", company, row.runId))));
        withCalendar += row.calendarMarker;
        withItinerary += row.itineraryMarker;
    }
    EXPECT_GT(withCalendar, 0);
    EXPECT_GT(withItinerary, 0);
    EXPECT_LT(withCalendar, model.count());
}

KORVAN_ALL_BACKENDS(RunListDemo);

} // namespace
} // namespace korvan::test
