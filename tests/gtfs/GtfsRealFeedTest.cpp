// The real feed of the shared data (Trentino trasporti, urban network of
// Trento, Rovereto and Lavis): what the import makes of it, checked against
// the feed's own files read here with a CSV split of the test's own.

#include "GtfsFixture.h"

#include <algorithm>
#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace korvan::test {
namespace {

struct TripStops {
    std::vector<std::pair<int, std::string>> stops; // stop_sequence, stop_id
    std::vector<std::pair<int, std::string>> times; // stop_sequence, arrival or departure text
    std::string firstDeparture, lastArrival;
};

int secondsOf(const std::string& text)
{
    return std::stoi(text.substr(0, text.find(':'))) * 3600 + std::stoi(text.substr(text.find(':') + 1, 2)) * 60 +
           std::stoi(text.substr(text.rfind(':') + 1));
}

// The feed's numbers, computed once for the tests of this file.
struct FeedNumbers {
    size_t trips = 0, stopTimes = 0, routes = 0, arcs = 0, stops = 0;
    std::map<std::string, int> minutes;         // per trip_id
    std::map<std::string, std::string> departs; // per trip_id: "H:M" of the first departure, modulo 24
};

const FeedNumbers& feedNumbers(const std::string& folder)
{
    static FeedNumbers numbers;
    if (numbers.trips > 0)
        return numbers;
    const CsvTable trips = readCsvTable(folder + "/trips.txt");
    numbers.trips = trips.rows.size();
    const CsvTable times = readCsvTable(folder + "/stop_times.txt");
    numbers.stopTimes = times.rows.size();
    std::map<std::string, std::vector<std::tuple<int, std::string, std::string, std::string>>> byTrip;
    for (const auto& row : times.rows)
        byTrip[row[times.column("trip_id")]].emplace_back(
            std::stoi(row[times.column("stop_sequence")]), row[times.column("stop_id")],
            row[times.column("arrival_time")], row[times.column("departure_time")]);
    std::set<std::vector<std::string>> sequences;
    std::set<std::pair<std::string, std::string>> pairs;
    std::set<std::string> stops;
    for (auto& [trip, rows] : byTrip) {
        std::sort(rows.begin(), rows.end());
        std::vector<std::string> sequence;
        for (const auto& row : rows) {
            sequence.push_back(std::get<1>(row));
            stops.insert(std::get<1>(row));
        }
        for (size_t i = 1; i < sequence.size(); ++i)
            pairs.insert({sequence[i - 1], sequence[i]});
        sequences.insert(sequence);
        const int departure = secondsOf(std::get<3>(rows.front())), arrival = secondsOf(std::get<2>(rows.back()));
        numbers.minutes[trip] = arrival / 60 - departure / 60;
        numbers.departs[trip] = std::to_string(departure / 3600 % 24) + ":" + std::to_string(departure / 60 % 60);
    }
    numbers.routes = sequences.size();
    numbers.arcs = pairs.size();
    numbers.stops = stops.size();
    return numbers;
}

class GtfsRealFeed : public GtfsImportFixture {
  protected:
    void SetUp() override
    {
        folder_ = realFeedFolder();
        if (folder_.empty())
            GTEST_SKIP() << "the shared data (../shared/data/gtfs/trento-urbano) are not there";
    }
    std::string folder_;
};

TEST_F(GtfsRealFeed, countsAreTheFeedsOwn)
{
    ASSERT_TRUE(importPath(folder_)) << sink.lastText();
    const FeedNumbers& feed = feedNumbers(folder_);
    EXPECT_EQ(feed.trips, 5936u);
    EXPECT_EQ(value("SELECT count(*) FROM corse"), std::to_string(feed.trips));
    EXPECT_EQ(value("SELECT count(*) FROM orari"), std::to_string(feed.stopTimes));
    EXPECT_EQ(value("SELECT count(DISTINCT codperc) FROM corse"), std::to_string(feed.routes));
    EXPECT_EQ(value("SELECT count(*) FROM archi"), std::to_string(feed.arcs));
    EXPECT_EQ(value("SELECT count(*) FROM fermate"), std::to_string(feed.stops));
    EXPECT_EQ(value("SELECT count(*) || ' ' || min(denom) FROM regazi"), "1 Trentino trasporti S.p.A.");
    EXPECT_EQ(value("SELECT datini || ' ' || datfin FROM proto"), "2024-09-09 2025-09-09");
    // Every arc has a length, and every run the sum of its route's arcs here
    // too: no two routes of this feed run between two stops by other ways.
    EXPECT_EQ(value("SELECT count(*) FROM archi WHERE lung <= 0"), "0");
}

TEST_F(GtfsRealFeed, everyRunHasTheTimesOfItsTrip)
{
    ASSERT_TRUE(importPath(folder_)) << sink.lastText();
    const FeedNumbers& feed = feedNumbers(folder_);
    // Run codes are the first 20 characters of the trip_ids, unique here.
    std::map<std::string, std::string> runs;
    for (const std::string& row : rows("SELECT codcorsa, ct_tempo, hh_p || ':' || mm_p FROM corse"))
        runs[row.substr(0, row.find('|'))] = row.substr(row.find('|') + 1);
    ASSERT_EQ(runs.size(), feed.trips);
    size_t pastMidnight = 0;
    for (const auto& [trip, minutes] : feed.minutes) {
        const auto run = runs.find(trip.substr(0, 20));
        ASSERT_NE(run, runs.end()) << trip;
        EXPECT_EQ(run->second, std::to_string(minutes) + "|" + feed.departs.at(trip)) << trip;
        pastMidnight += minutes < 0 ? 1 : 0;
    }
    EXPECT_EQ(pastMidnight, 0u);
    EXPECT_EQ(value("SELECT count(*) FROM corse WHERE ct_tempo < 0 OR hh_p > 23 OR hh_a > 23"), "0");
}

TEST_F(GtfsRealFeed, sameFileFromTheFolderAndFromAnArchive)
{
    ASSERT_TRUE(importPath(folder_)) << sink.lastText();
    std::ifstream first(database(), std::ios::binary);
    std::ostringstream firstBytes;
    firstBytes << first.rdbuf();
    first.close();
    std::filesystem::remove(database());
    ASSERT_TRUE(importPath(HandMadeFeed::copyOf(folder_).writeZip(dir.path()))) << sink.lastText();
    std::ifstream second(database(), std::ios::binary);
    std::ostringstream secondBytes;
    secondBytes << second.rdbuf();
    EXPECT_TRUE(firstBytes.str() == secondBytes.str());
}

} // namespace
} // namespace korvan::test
