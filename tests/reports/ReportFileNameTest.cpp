// The names a saved report is proposed under, and the extension a typed
// name is given.

#include "reports/ReportFileName.h"

#include <gtest/gtest.h>

using namespace korvan::reports;

namespace {

struct StemCase {
    ReportKind kind;
    int authority; // -1: every authority
    const char* start;
    const char* end;
    bool analytic;
    const char* stem;
};

ReportChoice choiceOf(const StemCase& row)
{
    ReportChoice choice;
    choice.allAuthorities = row.authority < 0;
    choice.authority = row.authority < 0 ? 0 : row.authority;
    choice.periodStart = row.start;
    choice.periodEnd = row.end;
    choice.analytic = row.analytic;
    return choice;
}

} // namespace

TEST(ReportFileName, StemNamesTheReportTheAuthorityAndThePeriod)
{
    const StemCase rows[] = {
        {ReportKind::Contracts, 1, "01/03/2025", "31/03/2025", true, "Contratti_0001_2025-03"},
        {ReportKind::Contributions, -1, "01/01/2025", "31/12/2025", true, "Contributi_2025"},
        {ReportKind::Contracts, 4, "05/03/2025", "20/03/2025", false, "Contratti_0004_2025-03-05_2025-03-20_Sintetico"},
        {ReportKind::Contracts, 4, "05/03/2025", "05/03/2025", true, "Contratti_0004_2025-03-05"},
        // A whole month knows its length, February of a leap year too.
        {ReportKind::Contracts, 2, "01/02/2024", "29/02/2024", true, "Contratti_0002_2024-02"},
        {ReportKind::Contracts, 2, "01/02/2024", "28/02/2024", true, "Contratti_0002_2024-02-01_2024-02-28"},
        {ReportKind::Contracts, 2, "01/02/2025", "28/02/2025", true, "Contratti_0002_2025-02"},
        {ReportKind::Contributions, 40, "01/12/2024", "31/01/2025", true, "Contributi_0040_2024-12-01_2025-01-31"},
        // The lines directory has no period and no level of detail.
        {ReportKind::LinesDirectory, -1, "", "", false, "Linee"},
        {ReportKind::LinesDirectory, 12, "", "", true, "Linee_0012"},
    };
    for (const StemCase& row : rows)
        EXPECT_EQ(reportFileStem(row.kind, choiceOf(row)), row.stem) << row.stem;
}

TEST(ReportFileName, ExtensionIsAddedWhenTheNameDoesNotEndWithIt)
{
    const struct {
        const char* path;
        const char* extension;
        const char* result;
    } rows[] = {
        {"/tmp/Marzo", "pdf", "/tmp/Marzo.pdf"},
        {"/tmp/Marzo.2025", "pdf", "/tmp/Marzo.2025.pdf"},
        {"/tmp/Marzo.PDF", "pdf", "/tmp/Marzo.PDF"},
        {"/tmp/Marzo.pdf", "pdf", "/tmp/Marzo.pdf"},
        {"/tmp/Marzo.pdf", "csv", "/tmp/Marzo.pdf.csv"},
        {"/tmp/contratti.csv", "csv", "/tmp/contratti.csv"},
        {"/tmp/dati.pdf/Marzo", "pdf", "/tmp/dati.pdf/Marzo.pdf"},
    };
    for (const auto& row : rows)
        EXPECT_EQ(withExtension(row.path, row.extension), row.result) << row.path;
}
