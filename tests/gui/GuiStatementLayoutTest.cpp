// The contracts and contributions statements on a recording canvas: the
// header bands, the columns, ditto marks (and the full texts again at the
// top of a page), the run total on a run's last row only, the total rows
// with their label white on black and their rules, the two time forms, the
// synthetic form, and the PDF read back.

#include "db/Values.h"
#include "gui/PagePainter.h"
#include "gui/RecordingCanvas.h"
#include "gui/ReportLayout.h"
#include "gui/ReportOutput.h"
#include "gui/TextMeasure.h"
#include "reports/ContractsStatement.h"
#include "reports/ContributionsStatement.h"
#include "reports/StatementTotals.h"
#include "support/PdfTools.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <algorithm>

namespace korvan::gui {
namespace {

using reports::Amount;
using reports::kAmountUnitsPerEuro;
using reports::RunKey;
using reports::RunRecord;
using reports::StatementSources;

constexpr Amount kEuro = kAmountUnitsPerEuro;
const std::string kDitto = "   \"";
const std::string kDittoStop = "   \"        \"";

RunRecord run(int company, long id, int authority, const std::string& line, long length, int minutes, Amount perDay)
{
    RunRecord record;
    record.key = {company, id};
    record.contractAuthority = authority;
    record.lineCode = line;
    record.directionText = "A";
    record.runCode = line + "/" + std::to_string(id);
    record.length = length;
    record.minutes = minutes;
    record.payingAuthority = authority;
    record.dayAmount = perDay;
    record.departureMinutes = 7 * 60 + 5;
    record.arrivalMinutes = 8 * 60;
    return record;
}

void addDays(StatementSources& sources, const RunKey& key, bool minimum, int payer, long days, Amount amount)
{
    reports::RunDays& run = sources.days[key];
    run.days += days;
    run.groups.push_back({minimum, payer, days, amount});
}

// Contract 10/1: run 1001 of line 101 has minimum days, days paid by 8 and
// an arc paid by 8; lines T1..T4 hold runs of 59 minutes on one day, 30
// minutes on two, 45 and 5 minutes on one. Contract 20/2: one run.
StatementSources sources()
{
    StatementSources sources;
    sources.runs = {run(1, 1001, 10, "101", 12000, 30, 25 * kEuro),
                    run(1, 1, 10, "T1", 1000, 59, kEuro),
                    run(1, 2, 10, "T2", 1000, 30, kEuro),
                    run(1, 3, 10, "T3", 1000, 45, kEuro),
                    run(1, 4, 10, "T4", 1000, 5, kEuro),
                    run(2, 1001, 20, "C1", 3000, 9, 3 * kEuro)};
    addDays(sources, {1, 1001}, true, 10, 3, 0);
    addDays(sources, {1, 1001}, false, 8, 2, 2 * 31 * kEuro);
    sources.arcs[{1, 1001}].push_back({false, 8, 2000, 4, 12345});
    addDays(sources, {1, 1}, true, 10, 1, 0);
    addDays(sources, {1, 2}, true, 10, 2, 0);
    addDays(sources, {1, 3}, true, 10, 1, 0);
    addDays(sources, {1, 4}, true, 10, 1, 0);
    addDays(sources, {2, 1001}, true, 20, 4, 0);
    return sources;
}

void nameStops(std::vector<reports::ReportLine>& lines)
{
    for (reports::ReportLine& line : lines) {
        line.departureText = reports::stopTimeText(line.departureMinutes, "Stazione");
        line.arrivalText = reports::stopTimeText(line.arrivalMinutes, "");
        if (!line.minimumService)
            line.payingAuthorityName = "Consorzio Val Serena";
    }
}

reports::Statement statementOf(std::vector<reports::ReportLine> runLines, reports::TotalBlocks blocks, bool analytic)
{
    nameStops(runLines);
    reports::Statement statement;
    statement.request.analytic = analytic;
    statement.request.periodStart = {2025, 3, 1};
    statement.request.periodEnd = {2025, 3, 31};
    statement.lines = reports::withTotals(runLines, blocks);
    statement.authorityNames = {{10, "Provincia di Valdora"}, {8, "Consorzio Val Serena"}};
    statement.companyNames = {{1, "Società Uno"}};
    return statement;
}

reports::Report contracts(bool analytic = true)
{
    return reports::contractsReport(
        statementOf(reports::contractRunLines(sources()), reports::TotalBlocks::Contract, analytic),
        "01/04/2025 08:00");
}

reports::Report contributions()
{
    return reports::contributionsReport(statementOf(reports::contributionRunLines(sources(), std::nullopt),
                                                    reports::TotalBlocks::PayerAndContract, true),
                                        "01/04/2025 08:00");
}

PageGeometry a4()
{
    return pageGeometry(pdfPageLayout());
}

RecordingCanvas paint(const reports::Report& report, const PreparedReport& layout, int page)
{
    RecordingCanvas canvas;
    paintPage(report, layout, page, TextMeasure(report.fontPoints), canvas);
    return canvas;
}

bool hasLine(const RecordingCanvas& canvas, int x1, int y1, int x2, int y2)
{
    return std::any_of(canvas.lines.begin(), canvas.lines.end(), [&](const RecordingCanvas::Line& line) {
        return line.x1 == x1 && line.y1 == y1 && line.x2 == x2 && line.y2 == y2;
    });
}

bool hasVerticalAt(const RecordingCanvas& canvas, int x, int y1, int y2)
{
    return hasLine(canvas, x, y1, x, y2);
}

// The y of the row that holds this text in this column (x), or -1.
int rowWith(const RecordingCanvas& canvas, const std::string& text, int x)
{
    for (const RecordingCanvas::Text& drawn : canvas.texts)
        if (drawn.text == text && drawn.x == x)
            return drawn.y - 10;
    return -1;
}

// The text drawn in a row (its top y) ending at the column's right edge.
std::string rightAlignedIn(const RecordingCanvas& canvas, const TextMeasure& measure, int rowTop,
                           const ColumnPlace& column)
{
    for (const RecordingCanvas::Text& drawn : canvas.textsAt(rowTop + 10))
        if (drawn.x + measure.width(drawn.text) == column.right())
            return drawn.text;
    return "";
}

TEST(GuiStatementLayout, ContractsPageHeaderWithTwoBandsAndElevenColumns)
{
    const reports::Report report = contracts();
    const TextMeasure measure(6);
    EXPECT_EQ(report.fontPoints, 6) << "analytic";
    const PreparedReport layout = prepareReport(report, a4(), measure);
    ASSERT_EQ(layout.pageCount(), 2) << "a page per contract";
    const RecordingCanvas page = paint(report, layout, 1);
    const int lh = measure.height();
    const PageGeometry& geometry = layout.page;
    const int rightEdge = geometry.left() + geometry.usableWidth();

    const int y1 = geometry.top() + 2 * lh + 40;
    const auto* authority = page.findText("Ente: [10] Provincia di Valdora");
    ASSERT_TRUE(authority);
    EXPECT_EQ(authority->x, geometry.left());
    EXPECT_EQ(authority->y, y1);
    const auto* period = page.findText("Periodo dal 01/03/2025 al 31/03/2025");
    ASSERT_TRUE(period);
    EXPECT_EQ(period->x + measure.width(period->text), rightEdge);
    EXPECT_EQ(period->y, y1);
    const int y2 = y1 + lh + 15;
    EXPECT_EQ(page.findText("Azienda: [1] Società Uno")->y, y2);
    ASSERT_EQ(page.fills.size(), 3U) << "two bands and the column headers";
    EXPECT_EQ(page.fills[0].top, y1 - 10);
    EXPECT_EQ(page.fills[0].bottom, y1 + lh + 20);
    EXPECT_EQ(page.fills[0].left, geometry.left());
    EXPECT_EQ(page.fills[0].right, rightEdge);
    EXPECT_EQ(page.fills[1].top, y2 - 10);
    const int y3 = y2 + lh + 45;
    EXPECT_EQ(page.fills[2].top, y3);
    ASSERT_EQ(layout.columns.size(), 11U);
    const std::vector<std::string> headers = {"Codice Linea",
                                              "Codice Corsa",
                                              "Partenza",
                                              "Arrivo",
                                              "Giorni",
                                              "Km Totale",
                                              "Tempo Totale",
                                              "Finanziamento",
                                              "Contributo Serv. Minimo",
                                              "Contributo Aggiuntivo",
                                              "Contributo Totale"};
    for (size_t c = 0; c < headers.size(); ++c) {
        const auto* header = page.findText(headers[c]);
        ASSERT_TRUE(header) << headers[c];
        EXPECT_EQ(header->x, layout.columns[c].x);
        EXPECT_EQ(header->y, y3 + 20);
    }
    EXPECT_EQ(rowWith(page, "101 A", layout.columns[0].x), y3 + lh + 40) << "the first row";

    const RecordingCanvas second = paint(report, layout, 2);
    EXPECT_TRUE(second.findText("Ente: [20] *** ENTE INESISTENTE ***"));
    EXPECT_TRUE(second.findText("Azienda: [2] *** AZIENDA INESISTENTE ***"));
    EXPECT_TRUE(second.findText("Pag. 2 di 2"));
}

TEST(GuiStatementLayout, DittoMarksAndTheRunTotalOnItsLastRowOnly)
{
    const reports::Report report = contracts();
    const TextMeasure measure(6);
    const PreparedReport layout = prepareReport(report, a4(), measure);
    const RecordingCanvas page = paint(report, layout, 1);
    const ColumnPlace* c = layout.columns.data();
    const int rowHeight = layout.rowHeight();

    // Run 1001: minimum days, its arc paid by 8, the days paid by 8, the arc.
    const int first = rowWith(page, "101/1001", c[1].x);
    ASSERT_GT(first, 0);
    EXPECT_EQ(rowWith(page, "7:05 Stazione", c[2].x), first);
    EXPECT_EQ(rowWith(page, "8:00 ???", c[3].x), first);
    for (int k = 1; k <= 3; ++k) {
        const int y = first + k * rowHeight + 10;
        const auto atColumn = [&](int column) {
            for (const RecordingCanvas::Text& drawn : page.textsAt(y))
                if (drawn.x == c[column].x)
                    return drawn.text;
            return std::string();
        };
        EXPECT_EQ(atColumn(0), "101 A") << "the line is never dittoed";
        EXPECT_EQ(atColumn(1), kDitto) << "row " << k;
        EXPECT_EQ(atColumn(2), kDittoStop);
        EXPECT_EQ(atColumn(3), kDittoStop);
    }
    // 3 x 25 + 2 x 31 euro over the run's four rows, on the last one.
    for (int k = 0; k < 3; ++k)
        EXPECT_EQ(rightAlignedIn(page, measure, first + k * rowHeight, c[10]), "") << "row " << k;
    EXPECT_EQ(rightAlignedIn(page, measure, first + 3 * rowHeight, c[10]), "137.00");
    // The arc's row: additional service of its payer.
    EXPECT_EQ(rightAlignedIn(page, measure, first + rowHeight, c[9]), "3.70");
    EXPECT_EQ(rightAlignedIn(page, measure, first + rowHeight, c[8]), "");
    EXPECT_EQ(rowWith(page, "Consorzio Val Serena", c[7].x), first + rowHeight);
    EXPECT_EQ(rightAlignedIn(page, measure, first, c[8]), "71.30") << "75.00 less 3 x 1.2345";
}

TEST(GuiStatementLayout, TheRowThatStartsAPageShowsItsTextsInFull)
{
    const reports::Report report = contracts();
    const TextMeasure measure(6);
    // A page that holds the first two rows: the run's third row opens page 2.
    PageGeometry page = a4();
    PreparedReport probe;
    probe.page = page;
    probe.lineHeight = measure.height();
    page.pageHeight = rowsTop(report, probe) + 2 * probe.rowHeight() + page.marginBottom;
    const PreparedReport layout = prepareReport(report, page, measure);
    ASSERT_EQ(layout.pages[1].firstRow, 2U);
    const RecordingCanvas second = paint(report, layout, 2);
    const int top = rowsTop(report, layout);
    EXPECT_EQ(rowWith(second, "101/1001", layout.columns[1].x), top);
    EXPECT_EQ(rowWith(second, "7:05 Stazione", layout.columns[2].x), top);
    EXPECT_EQ(rowWith(second, kDitto, layout.columns[1].x), top + layout.rowHeight()) << "the next row dittoes again";
    EXPECT_TRUE(second.findText("Ente: [10] Provincia di Valdora")) << "the whole header again";
}

TEST(GuiStatementLayout, TotalRowsLabelWhiteOnBlackRulesAndTimeForms)
{
    const reports::Report report = contracts();
    const TextMeasure measure(6);
    const PreparedReport layout = prepareReport(report, a4(), measure);
    const RecordingCanvas page = paint(report, layout, 1);
    const ColumnPlace* c = layout.columns.data();
    const int rowHeight = layout.rowHeight();

    const auto* label = page.findText("Totali Linea 101  ");
    ASSERT_TRUE(label);
    EXPECT_TRUE(label->inverted);
    EXPECT_EQ(label->x + measure.width(label->text), c[4].x - 40) << "ends 40 units before the days";
    const int total = label->y - 10;
    EXPECT_EQ(rightAlignedIn(page, measure, total, c[4]), "5");
    EXPECT_EQ(rightAlignedIn(page, measure, total, c[5]), "60.00");
    EXPECT_EQ(rightAlignedIn(page, measure, total, c[6]), "2:30");
    EXPECT_EQ(rightAlignedIn(page, measure, total, c[8]), "71.30");
    EXPECT_EQ(rightAlignedIn(page, measure, total, c[9]), "65.70");
    EXPECT_EQ(rightAlignedIn(page, measure, total, c[10]), "137.00");
    EXPECT_EQ(rowWith(page, "101", c[0].x), -1) << "the label stands in place of the line code";

    // Rules from the band's top: the first column's and the figures' run
    // through the row, the ones under the label stop at its top.
    const int bandTop = layout.offsetY(report.columnBand);
    const int bottom = total + rowHeight;
    EXPECT_TRUE(hasVerticalAt(page, c[0].x - 20, bandTop, bottom));
    for (int k = 1; k <= 3; ++k)
        EXPECT_TRUE(hasVerticalAt(page, c[k].x - 20, bandTop, total)) << k;
    for (int k = 4; k <= 10; ++k)
        EXPECT_TRUE(hasVerticalAt(page, c[k].x - 20, bandTop, bottom)) << k;
    EXPECT_TRUE(hasVerticalAt(page, layout.tableRight, bandTop, bottom));
    EXPECT_TRUE(hasLine(page, c[0].x - 20, total, layout.tableRight, total));
    // The next total starts its rules where this one ended.
    const int next = rowWith(page, "T1 A", c[0].x) + rowHeight;
    EXPECT_TRUE(hasVerticalAt(page, c[1].x - 20, bottom, next));

    // Times: 59 and 60 minutes on run rows, 59, 60, 45 and 5 on totals.
    const int t1 = rowWith(page, "T1 A", c[0].x);
    EXPECT_EQ(rightAlignedIn(page, measure, t1, c[6]), "00:59");
    EXPECT_EQ(rightAlignedIn(page, measure, rowWith(page, "T2 A", c[0].x), c[6]), "1:00");
    const auto totalTime = [&](const std::string& line) {
        const auto* found = page.findText("Totali Linea " + line + "  ");
        return found ? rightAlignedIn(page, measure, found->y - 10, c[6]) : std::string("(no total)");
    };
    EXPECT_EQ(totalTime("T1"), "00:59");
    EXPECT_EQ(totalTime("T2"), "1:00");
    EXPECT_EQ(totalTime("T3"), "00:45");
    EXPECT_EQ(totalTime("T4"), "00:5");

    const auto* contract = page.findText("Totali Contratto");
    ASSERT_TRUE(contract);
    EXPECT_TRUE(contract->inverted);
    const int last = contract->y - 10;
    EXPECT_EQ(rightAlignedIn(page, measure, last, c[4]), "10") << "5 + 1 + 2 + 1 + 1 run days";
    EXPECT_EQ(rightAlignedIn(page, measure, last, c[6]), "5:19");
    // The page closes under the contract total, its rules from its bottom.
    const int end = last + rowHeight;
    EXPECT_TRUE(hasLine(page, c[0].x - 20, end, c[10].right() + 10, end));
    EXPECT_FALSE(hasVerticalAt(page, c[1].x - 20, end, end));
}

TEST(GuiStatementLayout, SyntheticFormPrintsTheTotalsOnlyInEightPoints)
{
    const reports::Report analytic = contracts(true);
    const reports::Report report = contracts(false);
    EXPECT_EQ(report.fontPoints, 8);
    for (const reports::Row& row : report.rows)
        EXPECT_EQ(row.style, reports::RowStyle::Total) << row.kind;
    EXPECT_EQ(report.rows.size(), 8U) << "six line totals and two contract totals";
    const TextMeasure measure(8);
    const PreparedReport layout = prepareReport(report, a4(), measure);
    EXPECT_EQ(layout.pageCount(), prepareReport(analytic, a4(), TextMeasure(6)).pageCount()) << "a page per contract";
    const RecordingCanvas page = paint(report, layout, 1);
    EXPECT_FALSE(page.findText("101/1001"));
    EXPECT_FALSE(page.findText(kDitto));
    const auto* total = page.findText("Totali Contratto");
    ASSERT_TRUE(total);
    EXPECT_EQ(rightAlignedIn(page, measure, total->y - 10, layout.columns[10]), "142.00");
    EXPECT_EQ(layout.lineHeight, measure.height());
    EXPECT_GT(measure.height(), TextMeasure(6).height());
}

TEST(GuiStatementLayout, ContributionsThreeBandsEightColumnsNoDittoMarks)
{
    const reports::Report report = contributions();
    const TextMeasure measure(6);
    const PreparedReport layout = prepareReport(report, a4(), measure);
    ASSERT_EQ(layout.columns.size(), 8U);
    ASSERT_EQ(layout.pageCount(), 1) << "only authority 8 pays additional service";
    const RecordingCanvas page = paint(report, layout, 1);
    const int lh = measure.height();
    const int y1 = layout.page.top() + 2 * lh + 40;
    EXPECT_EQ(page.findText("Ente Erogante il Contributo Aggiuntivo: [8] Consorzio Val Serena")->y, y1);
    const int y2 = y1 + lh + 40;
    EXPECT_EQ(page.findText("Ente Contratto: [10] Provincia di Valdora")->y, y2);
    EXPECT_EQ(page.findText("Periodo dal 01/03/2025 al 31/03/2025")->y, y2);
    const int y3 = y2 + lh + 15;
    EXPECT_EQ(page.findText("Azienda: [1] Società Uno")->y, y3);
    const int y4 = y3 + lh + 45;
    EXPECT_EQ(page.findText("Contributo Aggiuntivo")->y, y4 + 20);
    EXPECT_EQ(page.fills.size(), 4U);

    // Run 1001: the days paid by 8, then its arc over all five days.
    const ColumnPlace* c = layout.columns.data();
    const int first = y4 + lh + 40;
    EXPECT_EQ(rowWith(page, "101/1001", c[1].x), first);
    EXPECT_EQ(rowWith(page, "7:05 Stazione", c[2].x), first);
    EXPECT_EQ(page.textsAt(first + layout.rowHeight() + 10).at(1).text, "101/1001") << "no ditto marks";
    EXPECT_EQ(rightAlignedIn(page, measure, first, c[4]), "2");
    EXPECT_EQ(rightAlignedIn(page, measure, first, c[7]), "59.53") << "62.00 less 2 x 1.2345";
    EXPECT_EQ(rightAlignedIn(page, measure, first + layout.rowHeight(), c[4]), "5");
    EXPECT_EQ(rightAlignedIn(page, measure, first + layout.rowHeight(), c[5]), "10.00");
    EXPECT_EQ(rightAlignedIn(page, measure, first + layout.rowHeight(), c[7]), "6.17");
    const auto* label = page.findText("Totali Contratto");
    ASSERT_TRUE(label);
    EXPECT_EQ(label->x + measure.width(label->text), c[5].x - 40) << "ends 40 units before the kilometres";
    EXPECT_EQ(rightAlignedIn(page, measure, label->y - 10, c[7]), "65.70");
    EXPECT_EQ(rightAlignedIn(page, measure, label->y - 10, c[6]), "1:12");
}

TEST(GuiStatementLayout, ALongLabelWidensTheColumnBeforeTheFigures)
{
    StatementSources wide;
    wide.runs = {run(1, 1, 10, std::string(40, 'W'), 1000, 5, kEuro)};
    addDays(wide, {1, 1}, true, 10, 1, 0);
    const reports::Report report = reports::contractsReport(
        statementOf(reports::contractRunLines(wide), reports::TotalBlocks::Contract, false), "");
    const TextMeasure measure(8);
    const PreparedReport layout = prepareReport(report, a4(), measure);
    const RecordingCanvas page = paint(report, layout, 1);
    const auto* label = page.findText("Totali Linea " + std::string(40, 'W') + "  ");
    ASSERT_TRUE(label);
    EXPECT_GE(label->x, layout.columns[0].x) << "the label stays inside the table";
    EXPECT_EQ(label->x + measure.width(label->text), layout.columns[4].x - 40);
}

TEST(GuiStatementOutput, PdfOfTheContractsStatement)
{
    test::TempDir dir;
    const std::string path = dir.file("contratti.pdf");
    const reports::Report report = contracts();
    std::string error;
    ASSERT_TRUE(writePdf(report, path, error)) << error;
    EXPECT_EQ(test::pdfPageCount(path), prepareReport(report, a4(), TextMeasure(6)).pageCount());
    const std::optional<std::string> text = test::pdfText(path);
    ASSERT_TRUE(text);
    for (const char* expected : {"Totali Contratto", "Totali Linea 101", "Ente: [10] Provincia di Valdora",
                                 "Contributo Serv. Minimo", "137.00", "Pag. 2 di 2"})
        EXPECT_NE(text->find(expected), std::string::npos) << expected << "\n" << *text;
}

TEST(GuiStatementOutput, AStatementTooWideForAPortraitPageIsWrittenInLandscape)
{
    // Long payer names widen the financing column past a portrait page.
    StatementSources wide = sources();
    addDays(wide, {2, 1001}, false, 8, 1, kEuro);
    reports::Statement statement = statementOf(reports::contractRunLines(wide), reports::TotalBlocks::Contract, true);
    for (reports::ReportLine& line : statement.lines)
        if (line.isRun() && !line.minimumService)
            line.payingAuthorityName = "Azienda Sanitaria Locale di Valdora, delle Valli del Lago Nero e di Cima Lago";
    const reports::Report report = reports::contractsReport(statement, "");
    const TextMeasure measure(report.fontPoints);
    const PreparedReport portrait = prepareReport(report, a4(), measure);
    ASSERT_GT(portrait.tableRight, portrait.page.left() + portrait.page.usableWidth()) << "the case to show";
    EXPECT_EQ(preferredOrientation(report), QPageLayout::Landscape);
    const PreparedReport landscape =
        prepareReport(report, pageGeometry(pdfPageLayout(QPageLayout::Landscape)), measure);
    EXPECT_LE(landscape.tableRight, landscape.page.left() + landscape.page.usableWidth());

    test::TempDir dir;
    std::string error;
    ASSERT_TRUE(writePdf(report, dir.file("largo.pdf"), error)) << error;
    EXPECT_EQ(test::pdfPageSize(dir.file("largo.pdf")), "842 x 595");
    const std::optional<std::string> text = test::pdfText(dir.file("largo.pdf"));
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("Contributo Totale"), std::string::npos) << "the last column is on the page";

    // A narrow statement stays upright.
    EXPECT_EQ(preferredOrientation(contributions()), QPageLayout::Portrait);
    ASSERT_TRUE(writePdf(contributions(), dir.file("stretto.pdf"), error)) << error;
    EXPECT_EQ(test::pdfPageSize(dir.file("stretto.pdf")), "595 x 842");
}

} // namespace
} // namespace korvan::gui
