// The CSV form of a report: byte-order mark, header row with the page-group
// keys first, ";" separators, decimal commas, quoted texts and texts that a
// spreadsheet would take for formulas, whatever the process locale.

#include "reports/CsvWriter.h"
#include "reports/LinesDirectory.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <sstream>

namespace korvan::reports {
namespace {

std::string csvOf(const Report& report)
{
    std::ostringstream out;
    EXPECT_TRUE(writeCsv(report, out));
    return out.str();
}

TEST(CsvWriter, LinesDirectoryWithItsAuthorityKeys)
{
    const std::vector<DirectoryEntry> entries = {
        {0, 10, "101", "Centro; Stazione", 3}, {1, 10, "-5", "Sant'Anna \"alta\"", 2}, {2, 30, "=1+1", "@somma", 12}};
    const Report report = linesDirectoryReport(entries, {{10, "Città di Valdora"}}, "01/02/2025 08:05");
    EXPECT_EQ(csvOf(report),
              "\xEF\xBB\xBF"
              "\"Ente\";\"Denominazione Ente\";\"ID\";\"Cod.Linea\";\"Denominazione Linea\";\"N.ro Corse\"\r\n"
              "10;\"Città di Valdora\";0;\"101\";\"Centro; Stazione\";3\r\n"
              "10;\"Città di Valdora\";1;\"'-5\";\"Sant'Anna \"\"alta\"\"\";2\r\n"
              "30;\"\";2;\"'=1+1\";\"'@somma\";12\r\n");
}

TEST(CsvWriter, NumbersWithADecimalCommaInEveryLocale)
{
    Report report;
    report.columns = {{"Importo", Align::Right}, {"Nota", Align::Left}, {"Giorni", Align::Right}};
    report.groups = {{}};
    report.rows = {{0, {Cell::decimalCell(1234.5, 2), Cell::textCell("+39 0461"), Cell::integerCell(-3)}},
                   {0, {Cell::decimalCell(-0.126, 2), Cell(), Cell::integerCell(0)}}};
    const std::string expected = "\xEF\xBB\xBF\"Importo\";\"Nota\";\"Giorni\"\r\n"
                                 "1234,50;\"'+39 0461\";-3\r\n"
                                 "-0,13;;0\r\n";
    EXPECT_EQ(csvOf(report), expected);
    EXPECT_EQ(report.rows[0].cells[0].text, "1234.50") << "printed with a period";

    const test::ScopedLocale italian(test::kItalianLocale);
    if (!italian.active())
        GTEST_SKIP() << "it_IT.UTF-8 is not installed";
    Report again = report;
    again.rows[0].cells[0] = Cell::decimalCell(1234.5, 2);
    EXPECT_EQ(csvOf(again), expected);
}

TEST(CsvWriter, CellFields)
{
    EXPECT_EQ(csvField(Cell::textCell("")), "\"\"");
    EXPECT_EQ(csvField(Cell()), "");
    EXPECT_EQ(csvField(Cell::textCell("a-b")), "\"a-b\"") << "only a first character counts";
    EXPECT_EQ(csvField(Cell::textCell("\tx")), "\"'\tx\"");
    EXPECT_EQ(csvField(Cell::textCell("riga\r\nnuova")), "\"riga\r\nnuova\"");
}

} // namespace
} // namespace korvan::reports
