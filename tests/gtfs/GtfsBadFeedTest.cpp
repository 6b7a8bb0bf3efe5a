// Faulty feeds: one message that names the file, the line and the field,
// and no database file left behind.

#include "GtfsFixture.h"

#include <functional>

namespace korvan::test {
namespace {

struct BadFeedCase {
    const char* name;
    std::function<void(HandMadeFeed&)> spoil;
    const char* place; // "file, riga N, campo F" or "file"
};

class GtfsBadFeed : public GtfsImportFixture, public ::testing::WithParamInterface<BadFeedCase> {};

TEST_P(GtfsBadFeed, isRefusedWithOneMessageAndNoFile)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    GetParam().spoil(feed);
    EXPECT_FALSE(import(feed));
    ASSERT_EQ(sink.entries.size(), 1u) << sink.lastText();
    EXPECT_EQ(sink.entries.front().icon, MessageIcon::Error);
    const std::string& text = sink.entries.front().text;
    EXPECT_NE(text.find(std::string("\n\n") + GetParam().place + ": "), std::string::npos) << text;
    EXPECT_NE(text.find("Nessuna base dati è stata creata."), std::string::npos) << text;
    EXPECT_TRUE(leftFiles().empty()) << leftFiles().front();
}

const BadFeedCase kBadFeeds[] = {
    {"missingFile", [](HandMadeFeed& f) { f.remove("stops.txt"); }, "stops.txt"},
    {"noCalendarAtAll", [](HandMadeFeed& f) { f.remove("calendar.txt"); }, "calendar.txt"},
    {"missingColumn", [](HandMadeFeed& f) { f.replace("trips.txt", "route_id,service_id,", "route_id,servizio,"); },
     "trips.txt, riga 1, campo service_id"},
    {"tripOfUnknownRoute", [](HandMadeFeed& f) { f.replace("trips.txt", "R1,FER,T2", "R9,FER,T2"); },
     "trips.txt, riga 3, campo route_id"},
    {"tripOfUnknownService", [](HandMadeFeed& f) { f.replace("trips.txt", "R2,FER,T4", "R2,FESTIVO,T4"); },
     "trips.txt, riga 5, campo service_id"},
    {"stopTimeOfUnknownTrip", [](HandMadeFeed& f) { f.append("stop_times.txt", {"T7,11:00:00,11:00:00,S1,1"}); },
     "stop_times.txt, riga 16, campo trip_id"},
    {"stopTimeAtUnknownStop", [](HandMadeFeed& f) { f.replace("stop_times.txt", ",S3,3", ",S9,3"); },
     "stop_times.txt, riga 4, campo stop_id"},
    {"firstStopWithoutTimes",
     [](HandMadeFeed& f) { f.replace("stop_times.txt", "T2,09:00:00,09:00:00,S4,1", "T2,,,S4,1"); },
     "stop_times.txt, riga 6, campo arrival_time"},
    {"lastStopWithoutTimes",
     [](HandMadeFeed& f) { f.replace("stop_times.txt", "T4,10:07:00,10:07:00,S3,2", "T4,,,S3,2"); },
     "stop_times.txt, riga 15, campo arrival_time"},
    {"timeThatIsNotATime",
     [](HandMadeFeed& f) { f.replace("stop_times.txt", "T1,08:05:00,08:06:00", "T1,08:05:00,8:61:00"); },
     "stop_times.txt, riga 3, campo departure_time"},
    {"timeGoingBack",
     [](HandMadeFeed& f) { f.replace("stop_times.txt", "T1,08:10:00,08:10:00", "T1,07:59:00,07:59:00"); },
     "stop_times.txt, riga 4, campo arrival_time"},
    {"sequenceNumberTwice", [](HandMadeFeed& f) { f.replace("stop_times.txt", ",S3,3", ",S3,2"); },
     "stop_times.txt, riga 4, campo stop_sequence"},
    {"tripWithoutStopTimes", [](HandMadeFeed& f) { f.append("trips.txt", {"R2,FER,T5,,0"}); },
     "trips.txt, riga 6, campo trip_id"},
    {"dateThatIsNotADate", [](HandMadeFeed& f) { f.replace("calendar.txt", "20250301,20250331", "20250301,20250231"); },
     "calendar.txt, riga 2, campo end_date"},
    {"exceptionOfUnknownType",
     [](HandMadeFeed& f) {
         f.set("calendar_dates.txt", {"service_id,date,exception_type", "FER,20250310,3"});
     },
     "calendar_dates.txt, riga 2, campo exception_type"},
    {"tripIdTwice", [](HandMadeFeed& f) { f.replace("trips.txt", "R1,FER,T3", "R1,FER,T1"); },
     "trips.txt, riga 4, campo trip_id"},
    {"unclosedQuote", [](HandMadeFeed& f) { f.replace("stops.txt", "S4,Stazione", "S4,\"Stazione"); },
     "stops.txt, riga 5, campo stop_name"},
    {"badCoordinate", [](HandMadeFeed& f) { f.replace("stops.txt", "46.020000,11.000000", "46.020000,11.0x"); },
     "stops.txt, riga 4, campo stop_lon"},
    {"shapeThatIsNotThere",
     [](HandMadeFeed& f) {
         f.set("shapes.txt",
               {"shape_id,shape_pt_lat,shape_pt_lon,shape_pt_sequence", "A,46.0,11.0,1", "A,46.1,11.0,2"});
         f.set("trips.txt", {"route_id,service_id,trip_id,direction_id,shape_id", "R1,FER,T1,0,B"});
     },
     "trips.txt, riga 2, campo shape_id"},
};

INSTANTIATE_TEST_SUITE_P(Feeds, GtfsBadFeed, ::testing::ValuesIn(kBadFeeds),
                         [](const auto& test) { return std::string(test.param.name); });

class GtfsBadArchive : public GtfsImportFixture {};

TEST_F(GtfsBadArchive, aCutArchiveIsRefused)
{
    const std::string zip = HandMadeFeed::basic().writeZip(dir.path());
    std::filesystem::resize_file(zip, std::filesystem::file_size(zip) / 2);
    EXPECT_FALSE(importPath(zip));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_NE(sink.lastText().find("feed.zip: non è una cartella né un archivio zip leggibile"), std::string::npos)
        << sink.lastText();
    EXPECT_TRUE(leftFiles().empty());
}

TEST_F(GtfsBadArchive, aDamagedFileInsideIsToldAsDamagedArchive)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    std::vector<std::string> many{"trip_id,arrival_time,departure_time,stop_id,stop_sequence"};
    for (int i = 0; i < 4000; ++i)
        many.push_back("T1," + std::string(i < 2 ? "08:00:00,08:00:00" : "") + ",S1," + std::to_string(i + 1));
    feed.set("stop_times.txt", many);
    const std::string zip = feed.writeZip(dir.path());
    // Flip bytes in the middle of the compressed stop_times.txt.
    std::string bytes;
    {
        std::FILE* file = std::fopen(zip.c_str(), "rb");
        char buffer[4096];
        for (size_t n; (n = std::fread(buffer, 1, sizeof buffer, file)) > 0;)
            bytes.append(buffer, n);
        std::fclose(file);
    }
    const size_t at = bytes.find("stop_times.txt") + 100;
    for (size_t i = at; i < at + 8; ++i)
        bytes[i] = static_cast<char>(~bytes[i]);
    writeText(zip, bytes);
    EXPECT_FALSE(importPath(zip));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_NE(sink.lastText().find("l'archivio feed.zip è danneggiato"), std::string::npos) << sink.lastText();
    EXPECT_TRUE(leftFiles().empty());
}

TEST_F(GtfsBadArchive, aFeedThatDoesNotExist)
{
    EXPECT_FALSE(importPath(dir.file("nowhere")));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_NE(sink.lastText().find("nowhere: il feed non esiste"), std::string::npos) << sink.lastText();
}

} // namespace
} // namespace korvan::test
