// The pick lists on real fixture databases: entries, order and
// distinctness of every filler, and the quoting of codes with apostrophes.

#include "support/RunsFixture.h"

#include "refdata/PickLists.h"

using namespace korvan;
using namespace korvan::refdata;
using korvan::test::RunsDbTest;
using Entries = std::vector<std::string>;

namespace {

class PickListsDbTest : public RunsDbTest {
  protected:
    // Two authorities with lines (named so that name order differs from
    // code order), one without; company 7 runs for authority 2 only.
    void addNetwork()
    {
        addAuthority(1, "Provincia Beta");
        addAuthority(2, "Città Alfa");
        addAuthority(3, "Regione Gamma");
        addCompany(7, "Società Trasporti");
        addCompany(8, "Autolinee Rossi");
        addRun(7, 100, 2, "12");
        addRun(7, 101, 2, "12");
        addRun(8, 200, 2, "3");
        addRun(8, 201, 1, "3");
        addLine(0, 2, "12", "Centro - Stazione");
        addLine(1, 2, "3", "Ospedale");
        addLine(2, 1, "3", "");
        addRunLine(7, 100, 2, 0);
        addRunLine(7, 101, 2, 0);
        addRunLine(8, 200, 2, 1);
        addRunLine(8, 201, 1, 2);
    }
};

TEST_P(PickListsDbTest, AuthoritiesWithLinesAreDistinctByNameAndOmitAuthoritiesWithoutLines)
{
    addNetwork();
    // Authority 2 owns two lines, yet appears once.
    EXPECT_EQ(authoritiesWithLines(connection.get()), (Entries{"0002 - Città Alfa", "0001 - Provincia Beta"}));
    EXPECT_EQ(allAuthorities(connection.get()),
              (Entries{"0002 - Città Alfa", "0001 - Provincia Beta", "0003 - Regione Gamma"}));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(PickListsDbTest, TwoCodesWithOneNameBothAppearAndLongCodesShowWhole)
{
    addAuthority(12345, "Ente Doppio");
    addAuthority(4, "Ente Doppio");
    addAuthority(5, "Altro");
    const Entries entries = allAuthorities(connection.get());
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0], "0005 - Altro");
    // Both "Ente Doppio" entries, in either order: only the name is ordered.
    EXPECT_TRUE((Entries{entries[1], entries[2]} == Entries{"0004 - Ente Doppio", "12345 - Ente Doppio"}) ||
                (Entries{entries[1], entries[2]} == Entries{"12345 - Ente Doppio", "0004 - Ente Doppio"}));
    // The four-character cut reads only the first four digits of 12345.
    EXPECT_EQ(codeOfEntry("12345 - Ente Doppio"), 1234);
}

TEST_P(PickListsDbTest, NamesAndCodesWithoutValueComeFirstOnEveryBackEnd)
{
    addNetwork();
    exec("INSERT INTO regent (codice, denom) VALUES (9, NULL)");
    exec("INSERT INTO linee (ID, ente, linea, denom) VALUES (3, 2, NULL, NULL)");
    EXPECT_EQ(allAuthorities(connection.get()),
              (Entries{"0009 - ", "0002 - Città Alfa", "0001 - Provincia Beta", "0003 - Regione Gamma"}));
    EXPECT_EQ(authorityLines(connection.get(), 2), (Entries{"0003 - ", "0000 - 12", "0001 - 3"}));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(PickListsDbTest, AdditionalFundingListsOnlyAuthoritiesPayingAdditionalService)
{
    addAuthority(5, "Comune Pagante");
    addAuthority(6, "Ente Minimo");
    addAuthority(8, "Provincia dei Giorni");
    addAuthority(9, "Comunità degli Archi");
    addConcors(7, 1, 5, false);
    addConcors(7, 2, 5, false);
    addConcors(7, 3, 6, true);
    // Authority 8 pays only days, 9 only arcs; 6's day and arc rows are
    // minimum service.
    exec("INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (7, 3, '2025-06-07', 8, 0, 2.5)");
    exec("INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (7, 3, '2025-06-08', 8, 0, 2.5)");
    exec("INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (7, 3, '2025-06-09', 6, 1, 2.5)");
    exec("INSERT INTO conitine (azienda, ID, codperc, sub, ente, minima, euro, lung, tempo) "
         "VALUES (7, 1, 1, 1, 9, 0, 1.0, 100, 1)");
    exec("INSERT INTO conitine (azienda, ID, codperc, sub, ente, minima, euro, lung, tempo) "
         "VALUES (7, 1, 1, 2, 6, 1, 1.0, 100, 1)");
    EXPECT_EQ(additionalFundingAuthorities(connection.get()),
              (Entries{"0005 - Comune Pagante", "0009 - Comunità degli Archi", "0008 - Provincia dei Giorni"}));
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(PickListsDbTest, CompaniesOfAuthorityAppearOnceEachInBothVariants)
{
    addNetwork();
    const Entries expected{"0008 - Autolinee Rossi", "0007 - Società Trasporti"};
    EXPECT_EQ(companiesOfAuthority(connection.get(), 2), expected);
    EXPECT_EQ(companiesOfAuthorityForRunFilter(connection.get(), 2), expected);
    EXPECT_EQ(companiesOfAuthority(connection.get(), 1), (Entries{"0008 - Autolinee Rossi"}));
    EXPECT_TRUE(companiesOfAuthority(connection.get(), -1).empty());
}

TEST_P(PickListsDbTest, LineListsOfAContractAndOfAnAuthority)
{
    addNetwork();
    EXPECT_EQ(contractLinesByCode(connection.get(), 2, 7), (Entries{"12         - Centro - Stazione"}));
    EXPECT_EQ(contractLinesById(connection.get(), 2, 8), (Entries{"0001 - 3"}));
    // Ordered by code, line 0 included.
    EXPECT_EQ(authorityLines(connection.get(), 2), (Entries{"0000 - 12", "0001 - 3"}));
    EXPECT_TRUE(authorityLines(connection.get(), 3).empty());
}

TEST_P(PickListsDbTest, LongAndQuotedLineCodesAreShownAndFoundWhole)
{
    addAuthority(2, "Città Alfa");
    addCompany(7, "Società Trasporti");
    addRun(7, 100, 2, "CIRCOLARE-NORD");
    addRun(7, 101, 2, "SANT'ANNA");
    addLine(0, 2, "CIRCOLARE-NORD", "Giro lungo");
    addLine(1, 2, "SANT'ANNA", "Via dell'Orto");
    addRunLine(7, 100, 2, 0);
    addRunLine(7, 101, 2, 1);
    const Entries byCode = contractLinesByCode(connection.get(), 2, 7);
    EXPECT_EQ(byCode, (Entries{"CIRCOLARE-NORD - Giro lungo", "SANT'ANNA  - Via dell'Orto"}));
    // Only ten characters are searched; they find the entry, whose whole
    // code is used.
    EXPECT_EQ(readLineCodeEntry("CIRCOLARE-NORD", byCode), std::optional<std::string>("CIRCOLARE-NORD"));
    EXPECT_EQ(readLineCodeEntry("SANT'ANNA", byCode), std::optional<std::string>("SANT'ANNA"));

    // A code read back from a list goes into SQL as a quoted literal.
    SelectCursor select(connection.get());
    select.AddField("linee", "ID", SqlType::SmallInt);
    select.SetFrom("linee");
    select.SetWhere("linee.linea = " + quoteSqlText(*readLineCodeEntry("SANT'ANNA", byCode)));
    ASSERT_TRUE(select.Execute()) << sink.lastText();
    int id = -1;
    select.GetShort(0, id);
    EXPECT_EQ(id, 1);
    EXPECT_FALSE(select.MoveNext());
    EXPECT_TRUE(sink.empty()) << sink.lastText();
}

TEST_P(PickListsDbTest, MissingTableGivesAnEmptyListAndTheLayerMessage)
{
    exec("DROP TABLE linee");
    EXPECT_TRUE(authoritiesWithLines(connection.get()).empty());
    EXPECT_FALSE(sink.empty());
}

KORVAN_ALL_BACKENDS(PickListsDbTest);

} // namespace
