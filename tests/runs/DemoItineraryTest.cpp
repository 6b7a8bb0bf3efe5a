// The itinerary split on the demo database, on every back end: every run's
// arcs are its route's, the arcs' sum is the run's amount in the proportion
// of their lengths, and the lengths written are the metres of `archi`.

#include "DemoNetwork.h"
#include "DemoOdbcWriter.h"
#include "DemoSqliteWriter.h"
#include "db/DbConnection.h"
#include "refdata/Schema.h"
#include "runs/ItineraryArc.h"
#include "runs/ItinerarySplitWrite.h"
#include "support/BackendTest.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <set>
#include <tuple>

namespace korvan::runs {
namespace {

using test::Backend;

class DemoItinerary : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override
    {
        std::string error;
        network = demo::generateNetwork({300, 2025});
        if (GetParam() == Backend::SqliteFile) {
            ASSERT_TRUE(demo::writeSqliteFile(network, dir.file("demo.sqlite"), error)) << error;
            connection = DbConnection::openSqlite(dir.file("demo.sqlite"), 25, 1, sink);
        } else {
            KORVAN_REQUIRE_DATA_SOURCE(GetParam());
            ASSERT_TRUE(demo::writeOdbc(network, test::dataSourceOf(GetParam()), true, error)) << error;
            std::string driver;
            connection = DbConnection::openOdbc(test::dataSourceOf(GetParam()), driver, 25, 1, sink);
        }
        ASSERT_TRUE(connection && connection->IsOpen()) << sink.lastText();
    }

    // The data source's database is shared with the other test programs.
    void TearDown() override
    {
        connection.reset();
        if (!test::isOdbc(GetParam()) || test::dataSourceMissing(GetParam()))
            return;
        tools::RawDatabase db = tools::RawDatabase::odbc(test::dataSourceOf(GetParam()));
        for (const schema::Table& table : schema::tables())
            EXPECT_TRUE(db.exec(schema::dropStatement(table))) << db.error();
    }

    static SplitRun splitRunOf(const demo::Run& run)
    {
        SplitRun split;
        split.company = run.company;
        split.runId = run.id;
        split.routeCode = run.route;
        split.grantingAuthority = run.authority;
        split.payingAuthority = run.authority;
        split.lengthMetres = run.accountedLength;
        split.amount = static_cast<double>(run.accountedLength) * 0.001 * 1.75;
        return split;
    }

    test::TempDir dir;
    test::RecordingMessageSink sink;
    demo::Network network;
    std::unique_ptr<DbConnection> connection;
};

TEST_P(DemoItinerary, EveryRunShowsItsRoutesArcsAndTheirSumFollowsTheirLength)
{
    // The demo's own splits, by (company, run, sub).
    std::map<std::tuple<int, long, int>, double> stored;
    for (const demo::ArcSplit& split : network.arcSplits)
        stored[{split.company, split.run, split.sub}] = split.euro;
    ASSERT_FALSE(stored.empty());
    int wholeRuns = 0;
    for (const demo::Run& run : network.runs) {
        const demo::Route* route = network.findRoute(run.company, run.route);
        ASSERT_NE(route, nullptr);
        const ItineraryArcList arcs = ItineraryArcList::load(connection.get(), splitRunOf(run));
        ASSERT_EQ(arcs.size(), route->arcs.empty() ? 0 : route->arcs.size() + 1) << run.id;
        long metres = 0;
        double expectedSum = 0.0;
        bool split = false;
        for (size_t i = 0; i < route->arcs.size(); ++i) {
            const ItineraryArc& line = arcs.arcs()[i + 1];
            const demo::Arc* arc = network.findArc(run.company, route->arcs[i].arc);
            ASSERT_NE(arc, nullptr);
            EXPECT_EQ(line.sub, route->arcs[i].sub);
            EXPECT_EQ(line.stopId, arc->toStop);
            EXPECT_EQ(line.lengthMetres, arc->length);
            EXPECT_EQ(line.stopName, network.findStop(run.company, arc->toStop)->name);
            if (i == 0) {
                EXPECT_EQ(arcs.arcs()[0].stopId, arc->fromStop);
            }
            metres += arc->length;
            const auto own = stored.find({run.company, run.id, route->arcs[i].sub});
            split = split || own != stored.end();
            expectedSum += own != stored.end() ? own->second
                                               : arcs.originalAmount() * static_cast<double>(arc->length) /
                                                     static_cast<double>(run.accountedLength);
        }
        EXPECT_NEAR(arcs.arcSum(), expectedSum, 1e-6) << run.id;
        if (metres == run.accountedLength && !split) {
            ++wholeRuns;
            EXPECT_NEAR(arcs.arcSum(), arcs.originalAmount(), 1e-6) << run.id;
        }
    }
    EXPECT_GT(wholeRuns, 0);
}

TEST_P(DemoItinerary, TheLengthWrittenForEveryArcIsTheArcsOwnMetres)
{
    // One run of every route, every arc changed.
    std::set<std::pair<int, long>> routesDone;
    long expectedRows = 0;
    ASSERT_TRUE(connection->BeginTrans());
    for (const demo::Run& run : network.runs) {
        if (!routesDone.insert({run.company, run.route}).second)
            continue;
        ItineraryArcList arcs = ItineraryArcList::load(connection.get(), splitRunOf(run));
        SplitChange change;
        change.minimumService = true;
        change.totalMode = false;
        change.value = 1.1;
        for (size_t i = 1; i < arcs.size(); ++i)
            ASSERT_TRUE(arcs.applyChange(static_cast<int>(i), change));
        const SplitWriteResult result = writeItineraryChanges(connection.get(), arcs, {}, sink);
        ASSERT_TRUE(result.written) << sink.lastText();
        expectedRows += static_cast<long>(arcs.size() > 0 ? arcs.size() - 1 : 0);
    }
    ASSERT_TRUE(connection->CommitTrans());

    std::optional<tools::RawDatabase> raw;
    if (GetParam() == Backend::SqliteFile)
        raw.emplace(tools::RawDatabase::sqliteFile(dir.file("demo.sqlite")));
    else
        raw.emplace(tools::RawDatabase::odbc(test::dataSourceOf(GetParam())));
    // The demo's own rows are among them: they too carry the arcs' metres.
    const std::string rows = raw->queryText("SELECT COUNT(*) FROM conitine");
    EXPECT_GE(parseIntegerText(rows), expectedRows);
    EXPECT_EQ(raw->queryText("SELECT COUNT(*) FROM conitine, detitine, archi WHERE "
                             "detitine.azienda = conitine.azienda AND detitine.ID = conitine.codperc AND "
                             "detitine.sub = conitine.sub AND archi.azienda = detitine.azienda AND "
                             "archi.ID = detitine.arco AND conitine.lung = archi.lung"),
              rows);
    EXPECT_GT(expectedRows, 0);
}

INSTANTIATE_TEST_SUITE_P(Backends, DemoItinerary, ::testing::ValuesIn(test::kAllBackends), test::backendParamName);

} // namespace
} // namespace korvan::runs
