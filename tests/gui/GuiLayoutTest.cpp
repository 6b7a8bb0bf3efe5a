// The page layout checked on a recording canvas: column widths and
// positions with the centring rule, the common header block, the authority
// line and the column band, rows and rules, and the page breaks at a new
// page group, at a full page (no row below the bottom limit) and over more
// than a thousand pages.

#include "db/Values.h"
#include "gui/PagePainter.h"
#include "gui/RecordingCanvas.h"
#include "gui/ReportLayout.h"
#include "gui/TextMeasure.h"
#include "reports/LinesDirectory.h"

#include <QFontInfo>

#include <gtest/gtest.h>

#include <algorithm>

namespace korvan::gui {
namespace {

using reports::DirectoryEntry;

PageGeometry a4()
{
    return pageGeometry(pdfPageLayout());
}

reports::Report directory(const std::vector<DirectoryEntry>& entries)
{
    return reports::linesDirectoryReport(entries, {{10, "Provincia di Valdora"}, {20, "Comune di San Vito"}},
                                         "07/03/2025 09:04");
}

const std::vector<DirectoryEntry> kEntries = {
    {0, 10, "101", "Centro - Stazione", 3}, {12, 10, "7", "Lungomare", 120}, {3, 20, "C1", "Circolare", 45}};

RecordingCanvas paint(const reports::Report& report, const PreparedReport& layout, int page, const TextMeasure& measure)
{
    RecordingCanvas canvas;
    paintPage(report, layout, page, measure, canvas);
    return canvas;
}

bool hasLine(const RecordingCanvas& canvas, int x1, int y1, int x2, int y2)
{
    return std::any_of(canvas.lines.begin(), canvas.lines.end(), [&](const RecordingCanvas::Line& line) {
        return line.x1 == x1 && line.y1 == y1 && line.x2 == x2 && line.y2 == y2;
    });
}

TEST(GuiLayout, ReportFontIsLiberationSansInPageUnits)
{
    const TextMeasure measure(8);
    EXPECT_EQ(QFontInfo(measure.font()).family(), QStringLiteral("Liberation Sans"));
    EXPECT_EQ(measure.font().pixelSize(), 67) << "8 points at 600 units per inch";
    // Wider letters than Arial's would betray a fallback font.
    EXPECT_NEAR(measure.width("Denominazione Linea"), 67 * 9.2, 67 * 0.6);
}

TEST(GuiLayout, ColumnsTakeTheirWidestTextAndANarrowTableIsCentred)
{
    const TextMeasure measure(8);
    const reports::Report report = directory(kEntries);
    const PageGeometry page = a4();
    const PreparedReport layout = prepareReport(report, page, measure);

    const int w1 = std::max(measure.width("ID"), measure.width("12"));
    const int w2 = measure.width("Cod.Linea");
    const int w3 = std::max(measure.width("Denominazione Linea"), measure.width("Centro - Stazione"));
    const int w4 = measure.width("N.ro Corse");
    ASSERT_EQ(layout.columns.size(), 4U);
    EXPECT_EQ(layout.columns[0].width, w1);
    EXPECT_GT(w1, measure.width("ID")) << "a two-digit number is wider than the header";
    EXPECT_EQ(layout.columns[2].width, w3);

    // Unshifted: x1 = left + 20, x2 = left + w1 + 60, then 40 after each.
    const int x1 = page.left() + 20;
    const int x2 = page.left() + w1 + 60;
    const int x3 = x2 + w2 + 40;
    const int x4 = x3 + w3 + 40;
    const int right = x4 + w4 + 20;
    ASSERT_LT(right, page.usableWidth());
    const int shift = (page.usableWidth() - right) / 2;
    EXPECT_EQ(layout.columns[0].x, x1 + shift);
    EXPECT_EQ(layout.columns[1].x, x2 + shift);
    EXPECT_EQ(layout.columns[2].x, x3 + shift);
    EXPECT_EQ(layout.columns[3].x, x4 + shift);
    EXPECT_EQ(layout.tableRight, right + shift);

    // The header texts stand at the columns' left edges.
    const RecordingCanvas canvas = paint(report, layout, 1, measure);
    EXPECT_EQ(canvas.findText("ID")->x, x1 + shift);
    EXPECT_EQ(canvas.findText("N.ro Corse")->x, x4 + shift);
}

TEST(GuiLayout, AWideTableStartsAtTheLeftEdge)
{
    const TextMeasure measure(8);
    const reports::Report report = directory({{0, 10, "1", std::string(200, 'W'), 1}});
    const PreparedReport layout = prepareReport(report, a4(), measure);
    EXPECT_EQ(layout.columns[0].x, a4().left() + 20);
    EXPECT_GT(layout.tableRight, a4().usableWidth());
}

TEST(GuiLayout, HeaderBlockAuthorityLineAndColumnBand)
{
    const TextMeasure measure(8);
    const reports::Report report = directory(kEntries);
    const PageGeometry page = a4();
    const PreparedReport layout = prepareReport(report, page, measure);
    ASSERT_EQ(layout.pageCount(), 2);
    const int lh = measure.height();
    const int rightEdge = page.left() + page.usableWidth();

    const RecordingCanvas first = paint(report, layout, 1, measure);
    const auto* title = first.findText("KORVAN - \"Varcotab Gestione Contabile - Regione Valdora\"");
    ASSERT_TRUE(title);
    EXPECT_EQ(title->x, page.left());
    EXPECT_EQ(title->y, page.top());
    const auto* number = first.findText("Pag. 1 di 2");
    ASSERT_TRUE(number);
    EXPECT_EQ(number->x + measure.width("Pag. 1 di 2"), rightEdge);
    EXPECT_EQ(number->y, page.top());
    const auto* created = first.findText("07/03/2025 09:04");
    ASSERT_TRUE(created);
    EXPECT_EQ(created->x + measure.width("07/03/2025 09:04"), rightEdge);
    EXPECT_EQ(created->y, page.top() + lh + 10);

    const auto* authority = first.findText("10 - Provincia di Valdora");
    ASSERT_TRUE(authority);
    EXPECT_EQ(authority->x, page.left());
    EXPECT_EQ(authority->y, page.top() + 2 * lh + 20);
    EXPECT_FALSE(first.findText("20 - Comune di San Vito"));

    // The grey band behind the column headers, with a rule along its top.
    const int band = page.top() + 3 * lh + 50;
    const int left = layout.columns[0].x - 20;
    ASSERT_EQ(first.fills.size(), 1U);
    EXPECT_EQ(first.fills[0].left, left);
    EXPECT_EQ(first.fills[0].top, band);
    EXPECT_EQ(first.fills[0].right, layout.tableRight);
    EXPECT_EQ(first.fills[0].bottom, band + lh + 40);
    EXPECT_EQ(first.fills[0].color, QColor(192, 192, 192));
    EXPECT_TRUE(hasLine(first, left, band, layout.tableRight, band));
    EXPECT_EQ(first.findText("Cod.Linea")->y, band + 20);

    const RecordingCanvas second = paint(report, layout, 2, measure);
    EXPECT_TRUE(second.findText("Pag. 2 di 2"));
    EXPECT_TRUE(second.findText("20 - Comune di San Vito"));
    EXPECT_TRUE(second.findText("Circolare"));
    EXPECT_FALSE(second.findText("Lungomare"));
}

TEST(GuiLayout, RowsAlignTheirTextsAndCloseTheTable)
{
    const TextMeasure measure(8);
    const reports::Report report = directory(kEntries);
    const PreparedReport layout = prepareReport(report, a4(), measure);
    const RecordingCanvas canvas = paint(report, layout, 1, measure);
    const int lh = measure.height();
    const int firstRow = a4().top() + 3 * lh + 50 + lh + 40;
    const ColumnPlace* c = layout.columns.data();

    // ID ends at the column's right edge; the count starts at its left.
    const auto* id = canvas.findText("12");
    ASSERT_TRUE(id);
    EXPECT_EQ(id->x + measure.width("12"), c[0].right());
    EXPECT_EQ(id->y, firstRow + (lh + 20) + 10);
    EXPECT_EQ(canvas.findText("120")->x, c[3].x);
    EXPECT_EQ(canvas.findText("Lungomare")->x, c[2].x);
    EXPECT_TRUE(hasLine(canvas, c[0].x - 20, firstRow, layout.tableRight, firstRow));

    // After two rows: the bottom rule ends 10 units after the last column,
    // the separators run from the band's top down to it.
    const int end = firstRow + 2 * (lh + 20);
    const int band = a4().top() + 3 * lh + 50;
    EXPECT_TRUE(hasLine(canvas, c[0].x - 20, end, c[3].right() + 10, end));
    for (int k = 0; k < 4; ++k)
        EXPECT_TRUE(hasLine(canvas, c[k].x - 20, band, c[k].x - 20, end)) << k;
    EXPECT_TRUE(hasLine(canvas, layout.tableRight, band, layout.tableRight, end));
}

// A page whose bottom limit leaves room for `rows` rows and `slack` units.
PageGeometry pageForRows(const reports::Report& report, const TextMeasure& measure, int rows, int slack)
{
    PageGeometry page = a4();
    PreparedReport probe;
    probe.page = page;
    probe.lineHeight = measure.height();
    const int top = rowsTop(report, probe);
    page.pageHeight = top + rows * probe.rowHeight() + slack + page.marginBottom;
    return page;
}

std::vector<DirectoryEntry> manyEntries(int count, int authority = 10)
{
    std::vector<DirectoryEntry> entries;
    for (int i = 0; i < count; ++i)
        entries.push_back({i, authority, "L" + std::to_string(i), "Linea " + std::to_string(i), i});
    return entries;
}

TEST(GuiLayout, ARowThatWouldCrossTheBottomLimitGoesToTheNextPage)
{
    const TextMeasure measure(8);
    const reports::Report report = directory(manyEntries(10));
    // The fourth row would start 5 units above the bottom limit and end
    // below it.
    const PageGeometry tight = pageForRows(report, measure, 3, 5);
    const PreparedReport layout = prepareReport(report, tight, measure);
    ASSERT_EQ(layout.pageCount(), 4);
    EXPECT_EQ(layout.pages[0].endRow, 3U);
    EXPECT_EQ(layout.pages[1].firstRow, 3U);
    EXPECT_EQ(layout.pages[3].endRow, 10U);
    for (int p = 1; p <= layout.pageCount(); ++p) {
        const RecordingCanvas canvas = paint(report, layout, p, measure);
        for (const RecordingCanvas::Text& text : canvas.texts)
            EXPECT_LE(text.y + measure.height(), tight.bottomLimit()) << text.text << " on page " << p;
        for (const RecordingCanvas::Line& line : canvas.lines)
            EXPECT_LE(std::max(line.y1, line.y2), tight.bottomLimit()) << "page " << p;
    }

    // A row that ends exactly at the limit stays on its page.
    const PreparedReport exact = prepareReport(report, pageForRows(report, measure, 3, 0), measure);
    EXPECT_EQ(exact.pages[0].endRow, 3U);
}

TEST(GuiLayout, EveryPageGroupStartsAPage)
{
    const TextMeasure measure(8);
    std::vector<DirectoryEntry> entries = manyEntries(5, 10);
    for (const DirectoryEntry& entry : manyEntries(2, 20))
        entries.push_back(entry);
    const reports::Report report = directory(entries);
    const PreparedReport layout = prepareReport(report, pageForRows(report, measure, 3, 0), measure);
    ASSERT_EQ(layout.pageCount(), 3);
    EXPECT_EQ(layout.pages[1].endRow, 5U) << "the second page ends with the authority";
    EXPECT_EQ(layout.pages[2].firstRow, 5U);
    EXPECT_EQ(layout.pages[2].group, 1U);
}

TEST(GuiLayout, ElevenHundredPagesAreNumberedAndKeepTheirRows)
{
    const TextMeasure measure(8);
    const int rowsPerPage = 3;
    const reports::Report report = directory(manyEntries(1100 * rowsPerPage));
    const PreparedReport layout = prepareReport(report, pageForRows(report, measure, rowsPerPage, 0), measure);
    ASSERT_EQ(layout.pageCount(), 1100);
    for (size_t p = 0; p < layout.pages.size(); ++p) {
        ASSERT_EQ(layout.pages[p].firstRow, p * rowsPerPage);
        ASSERT_EQ(layout.pages[p].endRow, (p + 1) * rowsPerPage);
    }
    for (int page = 1; page <= 1100; ++page) {
        const RecordingCanvas canvas = paint(report, layout, page, measure);
        ASSERT_TRUE(canvas.findText(formatText("Pag. %d di 1100", page))) << page;
        const std::string firstLine = "Linea " + std::to_string((page - 1) * rowsPerPage);
        ASSERT_TRUE(canvas.findText(firstLine)) << "page " << page << " misses " << firstLine;
    }
    const RecordingCanvas beyond = paint(report, layout, 1101, measure);
    EXPECT_TRUE(beyond.texts.empty());
}

TEST(GuiLayout, MarginsStayInsideThePrintableArea)
{
    QPageLayout printer(QPageSize(QPageSize::A4), QPageLayout::Portrait, QMarginsF(0, 0, 0, 0), QPageLayout::Millimeter,
                        QMarginsF(10, 4, 1, 6));
    const PageGeometry page = pageGeometry(printer);
    // A4 is 595 x 842 points on every Qt device.
    EXPECT_EQ(page.pageWidth, 4958);
    EXPECT_EQ(page.pageHeight, 7016);
    EXPECT_EQ(page.marginLeft, 237) << "10 mm unprintable";
    EXPECT_EQ(page.marginTop, 95);
    EXPECT_EQ(page.marginRight, kMinimumMargin) << "1 mm is inside the 50 units";
    EXPECT_EQ(page.marginBottom, 142);
    EXPECT_EQ(page.bottomLimit(), 7016 - 142);

    QPageLayout landscape = printer;
    landscape.setOrientation(QPageLayout::Landscape);
    EXPECT_EQ(pageGeometry(landscape).pageWidth, 7016);
}

} // namespace
} // namespace korvan::gui
