// How long each arc and run is: the feed's shape_dist_traveled in the unit it
// uses, the way along shapes.txt, or the straight line between the stops.
// Expected metres come from the feed's coordinates: a hundredth of a degree
// of latitude is 1,111.95 m, of longitude at 46 degrees north 772.4 m.

#include "GtfsFixture.h"

#include <cmath>

namespace korvan::test {
namespace {

using Rows = std::vector<std::string>;

class GtfsDistances : public GtfsImportFixture {
  protected:
    double arcLength(long arc) const
    {
        return std::stod(value("SELECT lung FROM archi WHERE ID = " + std::to_string(arc)));
    }
    double number(const std::string& sql) const { return std::stod(value(sql)); }
};

// A hundredth of a degree of longitude at latitude `degrees`.
double hundredthOfLongitude(double degrees)
{
    return kHundredthOfLatitudeMetres * std::cos(degrees * 3.14159265358979323846 / 180.0);
}

TEST_F(GtfsDistances, withoutShapesTheStraightLinesBetweenStops)
{
    ASSERT_TRUE(import(HandMadeFeed::basic())) << sink.lastText();
    for (long arc = 1; arc <= 6; ++arc)
        EXPECT_NEAR(arcLength(arc), kHundredthOfLatitudeMetres, 1.0) << arc;
    // A run's length is its route's: here the sum of its arcs, and the
    // progressive distance of the route's last arc.
    EXPECT_EQ(rows("SELECT ID, lung, ct_lung FROM corse ORDER BY ID"),
              (Rows{"1|3336|3336", "2|3336|3336", "3|3336|3336", "4|1112|1112"}));
    EXPECT_EQ(rows("SELECT dist FROM detitine WHERE ID = 1 ORDER BY sub"), (Rows{"1112", "2224", "3336"}));
    EXPECT_NE(summary().find("3 percorsi in linea d'aria"), std::string::npos) << summary();
}

TEST_F(GtfsDistances, alongTheShapeWithEachStopProjectedOnIt)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    // T4 goes from Via Roma (46.01) to Ospedale (46.02) by a detour a
    // hundredth of a degree east: east, north, west again.
    feed.set("shapes.txt", {"shape_id,shape_pt_lat,shape_pt_lon,shape_pt_sequence", "DET,46.01,11.00,1",
                            "DET,46.01,11.01,2", "DET,46.02,11.01,3", "DET,46.02,11.00,4"});
    feed.set("trips.txt", {"route_id,service_id,trip_id,trip_short_name,direction_id,shape_id", "R1,FER,T1,,0,",
                           "R1,FER,T2,,1,", "R1,FER,T3,,0,", "R2,FER,T4,,0,DET"});
    ASSERT_TRUE(import(feed)) << sink.lastText();
    const double detour = hundredthOfLongitude(46.01) + kHundredthOfLatitudeMetres + hundredthOfLongitude(46.02);
    EXPECT_NEAR(number("SELECT lung FROM corse WHERE codcorsa = 'T4'"), detour, 3.0);
    // The arc S2-S3 keeps the metres of route 1, which measured it first by
    // the straight line; route 3 keeps its own in its progressive distance.
    EXPECT_NEAR(arcLength(2), kHundredthOfLatitudeMetres, 1.0);
    EXPECT_NEAR(number("SELECT dist FROM detitine WHERE ID = 3"), detour, 3.0);
    EXPECT_NE(summary().find("1 percorsi lungo shapes.txt"), std::string::npos) << summary();
}

TEST_F(GtfsDistances, aStopPassedTwiceByTheShapeIsPlacedInOrder)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    // Out along 11.000 and back along 11.0005 (about 39 m east): Via Roma
    // and Ospedale on the way out, then Ospedale's twin on the way back,
    // nearer to the outward line than to the return one.
    feed.set("stops.txt", {"stop_id,stop_name,stop_lat,stop_lon", "S1,Piazza Grande,46.000000,11.000000",
                           "S2,Via Roma,46.010000,11.000000", "S3,Ospedale,46.020000,11.000000",
                           "S4,Ospedale ritorno,46.010000,11.000200"});
    feed.set("shapes.txt", {"shape_id,shape_pt_lat,shape_pt_lon,shape_pt_sequence", "LOOP,46.00,11.0000,1",
                            "LOOP,46.02,11.0000,2", "LOOP,46.02,11.0005,3", "LOOP,46.00,11.0005,4"});
    feed.set("trips.txt", {"route_id,service_id,trip_id,trip_short_name,direction_id,shape_id", "R1,FER,T1,,0,LOOP"});
    feed.set("stop_times.txt",
             {"trip_id,arrival_time,departure_time,stop_id,stop_sequence", "T1,08:00:00,08:00:00,S1,1",
              "T1,08:05:00,08:05:00,S2,2", "T1,08:10:00,08:10:00,S3,3", "T1,08:15:00,08:15:00,S4,4"});
    ASSERT_TRUE(import(feed)) << sink.lastText();
    const double across = kHundredthOfLatitudeMetres * 0.05 * std::cos(46.02 * 3.14159265358979323846 / 180.0);
    EXPECT_NEAR(arcLength(1), kHundredthOfLatitudeMetres, 2.0);
    EXPECT_NEAR(arcLength(2), kHundredthOfLatitudeMetres, 2.0);
    // Back: across to the return line, then a hundredth of a degree south.
    EXPECT_NEAR(arcLength(3), across + kHundredthOfLatitudeMetres, 3.0);
}

struct FeedDistanceCase {
    const char* name;
    const char* distances[4]; // shape_dist_traveled at S1..S4 of T1
    const char* unit;
};

class GtfsFeedDistances : public GtfsImportFixture, public ::testing::WithParamInterface<FeedDistanceCase> {};

TEST_P(GtfsFeedDistances, shapeDistTraveledInTheUnitTheFeedUses)
{
    const FeedDistanceCase& c = GetParam();
    HandMadeFeed feed = HandMadeFeed::basic();
    feed.set("trips.txt", {"route_id,service_id,trip_id,trip_short_name,direction_id", "R1,FER,T1,,0"});
    feed.set("stop_times.txt", {"trip_id,arrival_time,departure_time,stop_id,stop_sequence,shape_dist_traveled",
                                std::string("T1,08:00:00,08:00:00,S1,1,") + c.distances[0],
                                std::string("T1,08:05:00,08:06:00,S2,2,") + c.distances[1],
                                std::string("T1,08:10:00,08:10:00,S3,3,") + c.distances[2],
                                std::string("T1,08:15:00,08:15:00,S4,4,") + c.distances[3]});
    ASSERT_TRUE(import(feed)) << sink.lastText();
    EXPECT_EQ(rows("SELECT lung FROM archi ORDER BY ID"), (Rows{"1250", "1300", "1450"}));
    EXPECT_EQ(value("SELECT lung FROM corse"), "4000");
    EXPECT_NE(summary().find(std::string("shape_dist_traveled di stop_times.txt (unità: ") + c.unit + ")"),
              std::string::npos)
        << summary();
}

INSTANTIATE_TEST_SUITE_P(Units, GtfsFeedDistances,
                         ::testing::Values(FeedDistanceCase{"metres", {"0", "1250", "2550", "4000"}, "metri"},
                                           FeedDistanceCase{"kilometres", {"0", "1.25", "2.55", "4.0"}, "chilometri"},
                                           FeedDistanceCase{
                                               "fromAnOffset", {"10.5", "11.75", "13.05", "14.5"}, "chilometri"}),
                         [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace korvan::test
