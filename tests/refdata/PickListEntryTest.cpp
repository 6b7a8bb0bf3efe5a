// Reading a choice back from a pick list at OK time, and the messages of a
// refused entry.

#include "refdata/PickLists.h"

#include <gtest/gtest.h>

using namespace korvan::refdata;
using Entries = std::vector<std::string>;

namespace {

const Entries kAuthorities{"0002 - Città Alfa", "0012 - Provincia", "0100 - Regione"};

TEST(ReadCodeEntry, AcceptsTheCodeWithOrWithoutLeadingZeros)
{
    EXPECT_EQ(readCodeEntry("12", kAuthorities), 12);
    EXPECT_EQ(readCodeEntry("0012", kAuthorities), 12);
    EXPECT_EQ(readCodeEntry("0012 - Provincia", kAuthorities), 12);
    // Only four characters count: what follows is not examined.
    EXPECT_EQ(readCodeEntry("0012 - anything", kAuthorities), 12);
    EXPECT_EQ(readCodeEntry("100", kAuthorities), 100);
}

TEST(ReadCodeEntry, RefusesWhatIsNotAListedPositiveCode)
{
    EXPECT_FALSE(readCodeEntry("0012x", kAuthorities));
    EXPECT_FALSE(readCodeEntry("12x", kAuthorities));
    // A five-digit code cannot be chosen: its first four digits name 1234.
    EXPECT_FALSE(readCodeEntry("12345 - Ente", Entries{"1234 - Uno", "12345 - Ente"}));
    EXPECT_FALSE(readCodeEntry("Provincia", kAuthorities));
    EXPECT_FALSE(readCodeEntry("13", kAuthorities));
    EXPECT_FALSE(readCodeEntry("", kAuthorities));
    EXPECT_FALSE(readCodeEntry("0", Entries{"0000 - Nessuno"}));
    EXPECT_FALSE(readCodeEntry("12", Entries{}));
}

TEST(ReadLineCodeEntry, SearchesTheFirstTenCharactersAndGivesTheCodeAsStored)
{
    const Entries lines{"12         - Centro", "CIRCOLARE-NORD - Giro", "n7         - Notturna"};
    EXPECT_EQ(readLineCodeEntry("12   ", lines), std::optional<std::string>("12"));
    EXPECT_EQ(readLineCodeEntry("12         - Centro", lines), std::optional<std::string>("12"));
    // Ten characters find the long code's entry, and its whole code is used.
    EXPECT_EQ(readLineCodeEntry("CIRCOLARE-NORD", lines), std::optional<std::string>("CIRCOLARE-NORD"));
    EXPECT_EQ(readLineCodeEntry("circolare-", lines), std::optional<std::string>("CIRCOLARE-NORD"));
    // The search ignores letter case, as a combo box search does; the code
    // is the one stored.
    EXPECT_EQ(readLineCodeEntry("N7", lines), std::optional<std::string>("n7"));
    EXPECT_FALSE(readLineCodeEntry("", lines));
    EXPECT_FALSE(readLineCodeEntry("    ", lines));
    EXPECT_FALSE(readLineCodeEntry("99", lines));
}

TEST(ReadLineCodeEntry, PrefersTheCodeTypedExactlyToAnEarlierEntryOfOtherCase)
{
    // Ordered by code as the database sorts: upper case first.
    const Entries lines{"L1         - Uno", "L10        - Dieci", "l1         - uno"};
    EXPECT_EQ(readLineCodeEntry("l1", lines), std::optional<std::string>("l1"));
    EXPECT_EQ(readLineCodeEntry("L1", lines), std::optional<std::string>("L1"));
    EXPECT_EQ(readLineCodeEntry("l10", lines), std::optional<std::string>("L10"));
}

TEST(SelectByCode, FindsTheFirstEntryOfTheCodeOrNothing)
{
    EXPECT_EQ(entryIndexForCode(kAuthorities, 12), 1);
    EXPECT_EQ(entryIndexForCode(kAuthorities, 100), 2);
    EXPECT_EQ(entryIndexForCode(kAuthorities, -1), -1);
    EXPECT_EQ(entryIndexForCode(kAuthorities, 7), -1);
    EXPECT_EQ(codeOfEntry("0012 - Provincia"), 12);
    EXPECT_EQ(codeOfEntry(""), 0);
}

TEST(InvalidEntryMessage, TwoParagraphsForEachKindOfEntry)
{
    EXPECT_EQ(invalidEntryMessage(EntryKind::Authority),
              "ATTENZIONE: Il Codice Ente non è valido.\n\nOccorre selezionare un Codice Ente presente nella "
              "lista.\n\n");
    EXPECT_EQ(invalidEntryMessage(EntryKind::Company),
              "ATTENZIONE: Il Codice Azienda non è valido.\n\nOccorre selezionare un Codice Azienda presente nella "
              "lista.\n\n");
    EXPECT_EQ(invalidEntryMessage(EntryKind::PayingAuthority),
              "ATTENZIONE: Il Codice Ente Pagante non è valido.\n\nOccorre selezionare un Codice Ente Pagante "
              "presente nella lista.\n\n");
    EXPECT_EQ(invalidEntryMessage(EntryKind::Line),
              "ATTENZIONE: Il Codice Linea non è valido.\n\nOccorre selezionare un Codice Linea presente nella "
              "lista.\n\n");
}

} // namespace
