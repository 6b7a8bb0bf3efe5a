// The report choices checked without widgets: the order of the checks, their
// messages, the date rule with its normalized form, and what an accepted
// choice leaves for the next dialog.

#include "reports/ReportChoice.h"

#include <gtest/gtest.h>

namespace korvan::reports {
namespace {

const char* const kAuthorityMessage = "ATTENZIONE: Il Codice Ente non è valido.\n\n"
                                      "Occorre selezionare un Codice Ente presente nella lista.\n\n";
const char* const kStartMessage = "ATTENZIONE: la data di inizio periodo è espressa in un formato illegale.\n\n"
                                  "Le date devono essere espresse nella forma GG/MM/AAAA.\n\n";
const char* const kEndMessage = "ATTENZIONE: la data di fine periodo è espressa in un formato illegale.\n\n"
                                "Le date devono essere espresse nella forma GG/MM/AAAA.\n\n";

ReportChoiceEntries entries(bool all, const std::string& authority, const std::string& start = "01/01/2025",
                            const std::string& end = "31/12/2025")
{
    ReportChoiceEntries entries;
    entries.allAuthorities = all;
    entries.authorityText = authority;
    entries.authorityEntries = {"0010 - Regione Dieci", "0040 - Provincia Quaranta"};
    entries.periodStartText = start;
    entries.periodEndText = end;
    return entries;
}

TEST(ReportChoice, AuthorityIsCheckedOnlyWhenNotEveryAuthority)
{
    // Ticked: whatever the field holds is not read.
    const ChoiceCheck all = checkReportChoice(ReportKind::LinesDirectory, entries(true, "zzzz"));
    ASSERT_TRUE(all.choice);
    EXPECT_TRUE(all.choice->allAuthorities);

    for (const char* refused : {"", "abcd", "0099", "0000", "10x", "Regione Dieci"}) {
        const ChoiceCheck check = checkReportChoice(ReportKind::LinesDirectory, entries(false, refused));
        EXPECT_FALSE(check.choice) << refused;
        EXPECT_EQ(check.message, kAuthorityMessage) << refused;
    }
    for (const char* accepted : {"0040 - Provincia Quaranta", "0040", "40"}) {
        const ChoiceCheck check = checkReportChoice(ReportKind::Contributions, entries(false, accepted));
        ASSERT_TRUE(check.choice) << accepted;
        EXPECT_EQ(check.choice->authority, 40);
        EXPECT_FALSE(check.choice->allAuthorities);
    }
}

TEST(ReportChoice, ChecksAuthorityThenStartThenEnd)
{
    EXPECT_EQ(checkReportChoice(ReportKind::Contracts, entries(false, "", "x", "y")).message, kAuthorityMessage);
    EXPECT_EQ(checkReportChoice(ReportKind::Contracts, entries(false, "0010", "x", "y")).message, kStartMessage);
    EXPECT_EQ(checkReportChoice(ReportKind::Contracts, entries(true, "", "01/01/2025", "y")).message, kEndMessage);
    // The lines directory has no period to check.
    EXPECT_TRUE(checkReportChoice(ReportKind::LinesDirectory, entries(true, "", "x", "y")).choice);
}

TEST(ReportChoice, PeriodDatesAreNormalizedAndNotCompared)
{
    EXPECT_EQ(normalizedPeriodDate("01-02-24"), "01/02/2024");
    EXPECT_EQ(normalizedPeriodDate("29.02.2024"), "29/02/2024");
    EXPECT_EQ(normalizedPeriodDate("31/12/1999"), "31/12/1999");
    for (const char* refused : {"1/2/2024", "31/02/2024", "29/02/2023", "00/01/2024", "01/13/2024", "01/02/2024 ",
                                "01:02:2024", "", "01022024", "0a/02/2024", "01/02/202"})
        EXPECT_FALSE(normalizedPeriodDate(refused)) << refused;

    const ChoiceCheck later = checkReportChoice(ReportKind::Contracts, entries(true, "", "31-12-25", "01.01.2025"));
    ASSERT_TRUE(later.choice);
    EXPECT_EQ(later.choice->periodStart, "31/12/2025");
    EXPECT_EQ(later.choice->periodEnd, "01/01/2025");
}

TEST(ReportChoice, PreviewAndDetailPassThrough)
{
    ReportChoiceEntries printing = entries(true, "");
    printing.preview = false;
    printing.analytic = false;
    const ChoiceCheck check = checkReportChoice(ReportKind::Contributions, printing);
    ASSERT_TRUE(check.choice);
    EXPECT_FALSE(check.choice->preview);
    EXPECT_FALSE(check.choice->analytic);
}

TEST(ReportChoice, AcceptedChoiceIsKeptForTheNextDialog)
{
    int authority = 10;
    std::string start = "01/01/2020";
    std::string end = "31/12/2020";

    const ReportChoice lines = *checkReportChoice(ReportKind::LinesDirectory, entries(false, "0040")).choice;
    rememberChoice(ReportKind::LinesDirectory, lines, authority, start, end);
    EXPECT_EQ(authority, 10);
    EXPECT_EQ(start, "01/01/2020");

    const ReportChoice all =
        *checkReportChoice(ReportKind::Contracts, entries(true, "", "01-02-25", "28/02/2025")).choice;
    rememberChoice(ReportKind::Contracts, all, authority, start, end);
    EXPECT_EQ(authority, 10) << "every authority leaves the current one";
    EXPECT_EQ(start, "01/02/2025");
    EXPECT_EQ(end, "28/02/2025");

    const ReportChoice one = *checkReportChoice(ReportKind::Contributions, entries(false, "40")).choice;
    rememberChoice(ReportKind::Contributions, one, authority, start, end);
    EXPECT_EQ(authority, 40);
    EXPECT_EQ(start, "01/01/2025");
}

} // namespace
} // namespace korvan::reports
