// Who grants each run: one authority per agency, or a mapping file by
// route_id, route_short_name or agency_id, with the routes it leaves out
// going to their agency's own authority.

#include "GtfsFixture.h"

namespace korvan::test {
namespace {

using Rows = std::vector<std::string>;

class GtfsAuthorities : public GtfsImportFixture {};

HandMadeFeed twoAgencies()
{
    HandMadeFeed feed = HandMadeFeed::basic();
    feed.append("agency.txt", {"A0,Funivie del Monte,https://funivie.example,Europe/Rome"});
    feed.replace("routes.txt", "R2,A1,", "R2,A0,");
    return feed;
}

TEST_F(GtfsAuthorities, oneAuthorityPerAgencyWithoutAMapping)
{
    ASSERT_TRUE(import(twoAgencies())) << sink.lastText();
    // Companies in agency_id order: A0 before A1.
    EXPECT_EQ(rows("SELECT codice, denom FROM regazi ORDER BY codice"),
              (Rows{"1|Funivie del Monte", "2|Autolinee Valdora"}));
    EXPECT_EQ(rows("SELECT codice, denom FROM regent ORDER BY codice"),
              (Rows{"1|Funivie del Monte", "2|Autolinee Valdora"}));
    EXPECT_EQ(rows("SELECT azienda, ID, ente, codcorsa FROM corse ORDER BY azienda, ID"),
              (Rows{"1|1|1|T4", "2|1|2|T3", "2|2|2|T1", "2|3|2|T2"}));
    // Every table keyed by company numbers from 1 in each.
    EXPECT_EQ(rows("SELECT azienda, ID FROM archi WHERE ID = 1 ORDER BY azienda"), (Rows{"1|1", "2|1"}));
    EXPECT_EQ(rows("SELECT azienda, count(*) FROM fermate GROUP BY azienda"), (Rows{"1|2", "2|4"}));
    EXPECT_EQ(rows("SELECT azienda FROM proto ORDER BY azienda"), (Rows{"1", "2"}));
}

TEST_F(GtfsAuthorities, mappingByRouteIdShortNameAndAgency)
{
    HandMadeFeed feed = twoAgencies();
    feed.append("routes.txt", {"R3,A1,5,Piazza Grande - Stazione (festivo),3", "R4,A1,9,Ospedale,3"});
    feed.append("trips.txt", {"R3,FER,T5,,0", "R4,FER,T6,,0"});
    feed.append("stop_times.txt", {"T5,12:00:00,12:00:00,S1,1", "T5,12:10:00,12:10:00,S2,2",
                                   "T6,13:00:00,13:00:00,S3,1", "T6,13:10:00,13:10:00,S4,2"});
    ASSERT_TRUE(import(feed, {"# chiave;codice;nome", "R4;30;Comune di San Vito", "5;10;Comune di Valdora",
                              "A0;20;Provincia di Valdora"}))
        << sink.lastText();
    EXPECT_EQ(rows("SELECT codice, denom FROM regent ORDER BY codice"),
              (Rows{"10|Comune di Valdora", "20|Provincia di Valdora", "30|Comune di San Vito"}));
    // R1 and R3 by their short name "5", R4 by its route_id, R2 by its agency.
    EXPECT_EQ(rows("SELECT codcorsa, ente FROM corse ORDER BY codcorsa"),
              (Rows{"T1|10", "T2|10", "T3|10", "T4|20", "T5|10", "T6|30"}));
    for (const char* line :
         {"riga 2: route_id R4 -> 0030 - Comune di San Vito", "riga 3: route_short_name 5 -> 0010 - Comune di Valdora",
          "riga 4: agency_id A0 -> 0020 - Provincia di Valdora", "Ogni linea è coperta dalla corrispondenza."})
        EXPECT_NE(summary().find(line), std::string::npos) << line << "\n" << summary();
}

TEST_F(GtfsAuthorities, aKeyCanSayWhatItIs)
{
    HandMadeFeed feed = HandMadeFeed::basic();
    // "A1" is both an agency_id and the short name of route R2.
    feed.replace("routes.txt", "R2,A1,,", "R2,A1,A1,");
    ASSERT_TRUE(import(feed, {"agency_id=A1;7;Provincia di Valdora", "route_short_name=5;8;Comune di Valdora"}))
        << sink.lastText();
    EXPECT_EQ(rows("SELECT codcorsa, ente FROM corse ORDER BY codcorsa"), (Rows{"T1|8", "T2|8", "T3|8", "T4|7"}));
    EXPECT_NE(summary().find("riga 1: agency_id A1 -> 0007 - Provincia di Valdora"), std::string::npos) << summary();
}

TEST_F(GtfsAuthorities, routesTheMappingLeavesOutGoToTheirAgencysAuthority)
{
    ASSERT_TRUE(import(HandMadeFeed::basic(), {"R1;12;Comune di Valdora"})) << sink.lastText();
    EXPECT_EQ(rows("SELECT codice, denom FROM regent ORDER BY codice"),
              (Rows{"12|Comune di Valdora", "13|Autolinee Valdora"}));
    EXPECT_EQ(rows("SELECT codcorsa, ente FROM corse ORDER BY ID"), (Rows{"T3|12", "T1|12", "T2|12", "T4|13"}));
    EXPECT_NE(summary().find("Linee non coperte dalla corrispondenza (all'ente della loro azienda):\n"
                             "  route_id R2 -> 0013 - Autolinee Valdora"),
              std::string::npos)
        << summary();
}

struct BadMappingCase {
    const char* name;
    std::vector<std::string> lines;
    const char* place;
};

class GtfsBadMapping : public GtfsImportFixture, public ::testing::WithParamInterface<BadMappingCase> {};

TEST_P(GtfsBadMapping, isRefusedNamingItsLineAndField)
{
    EXPECT_FALSE(import(HandMadeFeed::basic(), GetParam().lines));
    ASSERT_EQ(sink.entries.size(), 1u);
    EXPECT_NE(sink.lastText().find(std::string("enti.csv, riga ") + GetParam().place + ": "), std::string::npos)
        << sink.lastText();
    EXPECT_TRUE(leftFiles().empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, GtfsBadMapping,
    ::testing::Values(BadMappingCase{"keyOfNothing", {"R1;1;Comune", "R7;2;Provincia"}, "2, campo chiave"},
                      BadMappingCase{"codeOutOfRange", {"R1;10000;Comune"}, "1, campo codice"},
                      BadMappingCase{"codeNotANumber", {"R1;uno;Comune"}, "1, campo codice"},
                      BadMappingCase{"noName", {"R1;1;"}, "1, campo nome"},
                      BadMappingCase{"codeWithTwoNames", {"R1;1;Comune", "R2;1;Provincia"}, "2, campo nome"},
                      BadMappingCase{"keyTwice", {"R1;1;Comune", "R1;2;Provincia"}, "2, campo chiave"},
                      BadMappingCase{"namedKeyOfNothing", {"agency_id=R1;1;Comune"}, "1, campo chiave"}),
    [](const auto& test) { return std::string(test.param.name); });

} // namespace
} // namespace korvan::test
