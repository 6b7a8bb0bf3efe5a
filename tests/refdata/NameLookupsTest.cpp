// Names by key and by code lists on every back end: trailing blanks, codes
// that are not there, another company's stops, and lists longer than one
// statement takes.

#include "support/RunsFixture.h"

#include "core/IdLists.h"
#include "refdata/NameLookups.h"

namespace korvan::test {
namespace {

class NameLookupsTest : public RunsDbTest {};

TEST_P(NameLookupsTest, OneNameByKey)
{
    addAuthority(10, "Regione Dieci   ");
    addCompany(3, "Società Tre");
    addLine(0, 10, "12  ", "Centro - Stazione ");
    EXPECT_EQ(refdata::authorityName(connection.get(), 10), "Regione Dieci");
    EXPECT_EQ(refdata::authorityName(connection.get(), 11), std::nullopt);
    EXPECT_EQ(refdata::companyName(connection.get(), 3), "Società Tre");
    EXPECT_EQ(refdata::companyName(connection.get(), 10), std::nullopt);
    const auto line = refdata::lineName(connection.get(), 0);
    ASSERT_TRUE(line);
    EXPECT_EQ(line->code, "12");
    EXPECT_EQ(line->name, "Centro - Stazione");
    EXPECT_FALSE(refdata::lineName(connection.get(), 1));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(NameLookupsTest, ManyNamesAtOnceInListsOfAStatementEach)
{
    // More stops than one list holds: the look-up is split, none is lost.
    const long stopCount = static_cast<long>(kIdsPerStatement) + 30;
    std::string values;
    for (long id = 1; id <= stopCount; ++id)
        values += formatText("%s(3, %ld, 'Fermata %ld  ')", id == 1 ? "" : ", ", id * 10, id);
    exec("INSERT INTO fermate (azienda, ID, denom) VALUES " + values);
    exec("INSERT INTO fermate (azienda, ID, denom) VALUES (4, 99999, 'Altra Azienda')");
    std::vector<long> wanted;
    for (long id = 1; id <= stopCount; ++id)
        wanted.push_back(id * 10);
    wanted.push_back(10);    // asked twice
    wanted.push_back(99999); // company 4's
    wanted.push_back(7);     // nobody's
    const auto names = refdata::stopNames(connection.get(), 3, wanted);
    EXPECT_EQ(names.size(), static_cast<size_t>(stopCount));
    EXPECT_EQ(names.at(10), "Fermata 1");
    EXPECT_EQ(names.at(stopCount * 10), formatText("Fermata %ld", stopCount));
    EXPECT_EQ(names.count(99999), 0U);
    EXPECT_EQ(names.count(7), 0U);

    addAuthority(10, "Regione Dieci");
    addAuthority(40, "L'Aquila  ");
    const auto authorities = refdata::authorityNames(connection.get(), {40, 10, 40, 55});
    EXPECT_EQ(authorities.size(), 2U);
    EXPECT_EQ(authorities.at(40), "L'Aquila");
    EXPECT_TRUE(refdata::authorityNames(connection.get(), {}).empty());

    // Companies are looked up in their own table: authority 10 is no company.
    addCompany(3, "Società Tre  ");
    const auto companies = refdata::companyNames(connection.get(), {3, 10, 3});
    EXPECT_EQ(companies.size(), 1U);
    EXPECT_EQ(companies.at(3), "Società Tre");
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

KORVAN_ALL_BACKENDS(NameLookupsTest);

} // namespace
} // namespace korvan::test
