// The runs database a small hand-made feed becomes: the rows of every
// reference table, checked against what the feed says (its times, its
// calendar, its stops a hundredth of a degree apart).

#include "GtfsFixture.h"

#include <fstream>
#include <sstream>

namespace korvan::test {
namespace {

using Rows = std::vector<std::string>;

class GtfsImport : public GtfsImportFixture {};

std::string fileBytes(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

TEST_F(GtfsImport, basicFeedGivesCompaniesAuthoritiesRunsAndEmptyAccounting)
{
    ASSERT_TRUE(import(HandMadeFeed::basic())) << sink.lastText();
    EXPECT_EQ(rows("SELECT codice, denom FROM regazi"), Rows{"1|Autolinee Valdora"});
    EXPECT_EQ(rows("SELECT codice, denom FROM regent"), Rows{"1|Autolinee Valdora"});
    // Runs by line code ("5" before "R2", the route_id of a route without
    // short name), direction and first departure: T3 at 07:00, T1 at 08:00,
    // T2 back, then T4.
    EXPECT_EQ(rows("SELECT ID, ente, codlinea, codcorsa, verso FROM corse ORDER BY ID"),
              (Rows{"1|1|5|T3|A", "2|1|5|T1|A", "3|1|5|T2|R", "4|1|R2|T4|A"}));
    for (const char* table : {"linee", "conline", "concors", "conkal", "conitine"})
        EXPECT_EQ(value(std::string("SELECT count(*) FROM ") + table), "0") << table;
}

TEST_F(GtfsImport, timesOfARunAreItsFirstDepartureLastArrivalAndDwells)
{
    ASSERT_TRUE(import(HandMadeFeed::basic())) << sink.lastText();
    // T1: 08:00 at Piazza Grande, 08:15 at Stazione; one minute at Via Roma.
    EXPECT_EQ(value("SELECT hh_p || ':' || mm_p || ' ' || capol_p || ' ' || hh_a || ':' || mm_a || ' ' || capol_a || "
                    "' ' || ct_tempo FROM corse WHERE codcorsa = 'T1'"),
              "8:0 1 8:15 4 15");
    EXPECT_EQ(rows("SELECT sub, hh, mm, sosta FROM orari WHERE ID = 2 ORDER BY sub"),
              (Rows{"1|8|0|0", "2|8|5|1", "3|8|10|0", "4|8|15|0"}));
    EXPECT_EQ(value("SELECT count(*) FROM orari"), "14");
}

TEST_F(GtfsImport, oneRoutePerStopSequenceWithOneArcPerStopPair)
{
    ASSERT_TRUE(import(HandMadeFeed::basic())) << sink.lastText();
    // T3 and T1 share S1-S2-S3-S4; T2 runs it backwards; T4 is S2-S3.
    EXPECT_EQ(rows("SELECT ID, codperc FROM corse ORDER BY ID"), (Rows{"1|1", "2|1", "3|2", "4|3"}));
    EXPECT_EQ(rows("SELECT ID, sub, arco FROM detitine ORDER BY ID, sub"),
              (Rows{"1|1|1", "1|2|2", "1|3|3", "2|1|4", "2|2|5", "2|3|6", "3|1|2"}));
    EXPECT_EQ(rows("SELECT ID, inizio, fine FROM archi ORDER BY ID"),
              (Rows{"1|1|2", "2|2|3", "3|3|4", "4|4|3", "5|3|2", "6|2|1"}));
    EXPECT_EQ(rows("SELECT ID, denom FROM fermate ORDER BY ID"),
              (Rows{"1|Piazza Grande", "2|Via Roma", "3|Ospedale", "4|Stazione"}));
}

TEST_F(GtfsImport, weekdayServiceGivesTheWeekdaysOfMarchUnderOneProtocol)
{
    ASSERT_TRUE(import(HandMadeFeed::basic())) << sink.lastText();
    EXPECT_EQ(rows("SELECT azienda, tipo, protoc, datini, datfin, azzera FROM proto"),
              Rows{"1|B|1|2025-03-01|2025-03-31|0"});
    // 1 March 2025 is a Saturday: Monday to Friday are the 3rd-7th, 10th-14th,
    // 17th-21st, 24th-28th and the 31st.
    EXPECT_EQ(rows("SELECT protoc, anno, mese, giorni FROM mesi WHERE ID = 1"),
              Rows{"1|2025|3|NNSSSSSNNSSSSSNNSSSSSNNSSSSSNNS"});
    EXPECT_EQ(value("SELECT count(*) FROM mesi"), "4");
}

TEST_F(GtfsImport, tripPastMidnightBelongsToTheDayItStartsOn)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    feed.replace("stop_times.txt", "T4,10:00:00,10:00:00,S2,1\nT4,10:07:00,10:07:00,S3,2",
                 "T4,23:50:00,23:50:00,S2,1\nT4,24:20:00,24:21:00,S3,2");
    feed.set("calendar.txt", {"service_id,monday,tuesday,wednesday,thursday,friday,saturday,sunday,start_date,end_date",
                              "FER,0,0,0,0,1,0,0,20250301,20250331"});
    ASSERT_TRUE(import(feed)) << sink.lastText();
    EXPECT_EQ(value("SELECT hh_p || ':' || mm_p || ' ' || hh_a || ':' || mm_a || ' ' || ct_tempo FROM corse "
                    "WHERE codcorsa = 'T4'"),
              "23:50 0:20 30");
    EXPECT_EQ(rows("SELECT sub, hh, mm, sosta FROM orari WHERE ID = 4 ORDER BY sub"), (Rows{"1|23|50|0", "2|0|20|1"}));
    // Fridays of March 2025: the 7th, 14th, 21st and 28th, not the Saturdays after.
    EXPECT_EQ(value("SELECT giorni FROM mesi WHERE ID = 4"), "NNNNNNSNNNNNNSNNNNNNSNNNNNNSNNN");
}

TEST_F(GtfsImport, removedAndAddedDaysChangeTheMonth)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    // Wednesday 5 March off, Saturday 8 March and Thursday 3 April on.
    feed.set("calendar_dates.txt",
             {"service_id,date,exception_type", "FER,20250305,2", "FER,20250308,1", "FER,20250403,1"});
    ASSERT_TRUE(import(feed)) << sink.lastText();
    EXPECT_EQ(rows("SELECT anno, mese, giorni FROM mesi WHERE ID = 1 ORDER BY anno, mese"),
              (Rows{"2025|3|NNSSNSSSNSSSSSNNSSSSSNNSSSSSNNS", "2025|4|NNSNNNNNNNNNNNNNNNNNNNNNNNNNNNN"}));
    EXPECT_EQ(value("SELECT datini || ' ' || datfin FROM proto"), "2025-03-01 2025-04-03");
}

TEST_F(GtfsImport, feedWithCalendarDatesOnly)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    feed.remove("calendar.txt");
    feed.set("calendar_dates.txt",
             {"service_id,date,exception_type", "FER,20250228,1", "FER,20250301,1", "FER,20250315,1"});
    ASSERT_TRUE(import(feed)) << sink.lastText();
    EXPECT_EQ(rows("SELECT anno, mese, giorni FROM mesi WHERE ID = 2 ORDER BY anno, mese"),
              (Rows{"2025|2|NNNNNNNNNNNNNNNNNNNNNNNNNNNSNNN", "2025|3|SNNNNNNNNNNNNNSNNNNNNNNNNNNNNNN"}));
    EXPECT_EQ(value("SELECT datini || ' ' || datfin FROM proto"), "2025-02-28 2025-03-15");
}

TEST_F(GtfsImport, serviceWithoutDaysGivesARunWithoutMonths)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    feed.append("calendar.txt", {"MAI,0,0,0,0,0,0,0,20250301,20250331"});
    feed.replace("trips.txt", "R2,FER,T4", "R2,MAI,T4");
    ASSERT_TRUE(import(feed)) << sink.lastText();
    EXPECT_EQ(value("SELECT count(*) FROM corse"), "4");
    EXPECT_EQ(value("SELECT count(*) FROM mesi WHERE ID = 4"), "0");
    EXPECT_NE(summary().find("Corse senza giorni di servizio: 1"), std::string::npos) << summary();
}

TEST_F(GtfsImport, stopsWithoutTimesAreInterpolatedAlongTheLine)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    // Via Roma and Ospedale lie a third and two thirds of the way.
    feed.replace("stop_times.txt", "T1,08:05:00,08:06:00,S2,2\nT1,08:10:00,08:10:00,S3,3", "T1,,,S2,2\nT1,,,S3,3");
    feed.replace("stop_times.txt", "T1,08:15:00,08:15:00,S4,4", "T1,08:30:00,08:30:00,S4,4");
    ASSERT_TRUE(import(feed)) << sink.lastText();
    EXPECT_EQ(rows("SELECT sub, hh, mm FROM orari WHERE ID = 2 ORDER BY sub"),
              (Rows{"1|8|0", "2|8|10", "3|8|20", "4|8|30"}));
}

TEST_F(GtfsImport, quotedFieldsCrlfAndByteOrderMarkAreRead)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    feed.set("stops.txt",
             {"\xEF\xBB\xBFstop_id,stop_name,stop_lat,stop_lon\r", "S1,\"Piazza \"\"Grande\"\", nord\",46.0,11.0\r",
              "S2, Via Roma ,46.01,11.0\r", "", "S3,Ospedale,46.02,11.0\r", "S4,Stazione,46.03,11.0\r"});
    ASSERT_TRUE(import(feed)) << sink.lastText();
    EXPECT_EQ(rows("SELECT denom FROM fermate ORDER BY ID"),
              (Rows{"Piazza \"Grande\", nord", "Via Roma", "Ospedale", "Stazione"}));
}

TEST_F(GtfsImport, runCodesComeFromTripShortNamesWhenTheyAreTheCompanysOwn)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    feed.set("trips.txt", {"route_id,service_id,trip_id,trip_short_name,direction_id", "R1,FER,T1,101,0",
                           "R1,FER,T2,102,1", "R1,FER,T3,102,0", "R2,FER,T4-this-trip-id-is-too-long,,0"});
    feed.replace(
        "stop_times.txt", "T4,10:00:00,10:00:00,S2,1\nT4,10:07:00,10:07:00,S3,2",
        "T4-this-trip-id-is-too-long,10:00:00,10:00:00,S2,1\nT4-this-trip-id-is-too-long,10:07:00,10:07:00,S3,2");
    ASSERT_TRUE(import(feed)) << sink.lastText();
    // "102" names two trips: they keep their trip_id; a long one is cut to 20.
    EXPECT_EQ(rows("SELECT codcorsa FROM corse ORDER BY ID"), (Rows{"T3", "101", "T2", "T4-this-trip-id-is-t"}));
}

TEST_F(GtfsImport, sameFeedGivesTheSameFileByteForByteFromAFolderOrAnArchive)
{
    const HandMadeFeed feed = HandMadeFeed::basic();
    ASSERT_TRUE(import(feed)) << sink.lastText();
    const std::string first = fileBytes(database());
    std::filesystem::remove(database());
    ASSERT_TRUE(importPath(feed.writeZip(dir.path()))) << sink.lastText();
    EXPECT_EQ(fileBytes(database()), first);
    EXPECT_NE(summary().find("(archivio zip)"), std::string::npos);
}

TEST_F(GtfsImport, existingTargetIsRefusedUnlessReplaced)
{
    ASSERT_TRUE(import(HandMadeFeed::basic()));
    HandMadeFeed other = HandMadeFeed::basic();
    other.replace("agency.txt", "Autolinee Valdora", "Bus Nuovi");
    EXPECT_FALSE(import(other));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_NE(sink.lastText().find("esiste già"), std::string::npos) << sink.lastText();
    EXPECT_EQ(value("SELECT denom FROM regazi"), "Autolinee Valdora");

    sink.clear();
    ASSERT_TRUE(gtfs::importIntoNewFile({other.writeFolder(dir.path(), "other"), ""}, database(), true, sink, feedback))
        << sink.lastText();
    EXPECT_EQ(value("SELECT denom FROM regazi"), "Bus Nuovi");
}

TEST_F(GtfsImport, summarySaysWhatWasMadeAndHow)
{
    ASSERT_TRUE(import(HandMadeFeed::basic()));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_EQ(sink.entries.front().icon, MessageIcon::Information);
    for (const char* line :
         {"Aziende: 1\n", "Enti: 1\n", "Linee: 2\n", "Corse: 4\n", "Percorsi: 3\n", "Archi: 6\n", "Fermate: 4\n",
          "Orari di passaggio: 14\n", "Calendari mensili: 4\n", "dal 01/03/2025 al 31/03/2025",
          "3 percorsi in linea d'aria tra le fermate", "0001 - Autolinee Valdora: 4 corse", "Un ente per azienda"})
        EXPECT_NE(summary().find(line), std::string::npos) << line << "\n" << summary();
}

} // namespace
} // namespace korvan::test
