// One row found by its key on every back end: by numbers, by a date, with
// keys that are not there, and the row edited where it was found.

#include "support/BackendTest.h"

#include "db/KeyLookup.h"

namespace korvan::test {
namespace {

class KeyLookupTest : public RunsDatabaseTest {};

TEST_P(KeyLookupTest, FindsReadsAndEditsRowsByKey)
{
    exec("INSERT INTO regent (codice, denom) VALUES (10, 'Regione Dieci')");
    exec("INSERT INTO regent (codice, denom) VALUES (11, 'L''Aquila')");
    exec("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 77, 10, 1, 5)");
    exec("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (4, 77, 10, 1, 6)");
    exec("INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 77, '2024-02-29', 10, 1, 5)");
    exec("INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 77, '2024-03-01', 10, 1, 5)");

    KeyLookup authorities(connection.get(), "regent");
    ASSERT_TRUE(authorities.IsOpen());
    ASSERT_TRUE(authorities.find({keyNumber("codice", 11)}));
    std::string name;
    authorities.cursor().GetField("denom", name);
    EXPECT_EQ(name, "L'Aquila");
    EXPECT_FALSE(authorities.find({keyNumber("codice", 12)}));
    ASSERT_TRUE(authorities.find({keyNumber("codice", 10)})) << "the same lookup serves many keys";

    KeyLookup runs(connection.get(), "concors");
    ASSERT_TRUE(runs.find({keyNumber("azienda", 4), keyNumber("ID", 77)}));
    ASSERT_TRUE(runs.cursor().Edit());
    ASSERT_TRUE(runs.cursor().SetField("euro", "8,25"));
    ASSERT_TRUE(runs.cursor().Update());
    EXPECT_EQ(count("concors", "azienda = 4 AND ID = 77 AND euro = 8.25"), 1);
    EXPECT_EQ(count("concors", "azienda = 3 AND ID = 77 AND euro = 5"), 1);
    EXPECT_FALSE(runs.find({keyNumber("azienda", 5), keyNumber("ID", 77)}));

    KeyLookup days(connection.get(), "conkal");
    const CivilDate leapDay{2024, 2, 29};
    ASSERT_TRUE(days.find({keyNumber("azienda", 3), keyNumber("ID", 77), keyDate("data", leapDay, *connection)}));
    std::string date;
    days.cursor().GetField("data", date);
    EXPECT_EQ(date, "29/02/2024");
    EXPECT_FALSE(days.find({keyNumber("azienda", 3), keyNumber("ID", 77), keyDate("data", {2024, 3, 2}, *connection)}));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

KORVAN_ALL_BACKENDS(KeyLookupTest);

} // namespace
} // namespace korvan::test
