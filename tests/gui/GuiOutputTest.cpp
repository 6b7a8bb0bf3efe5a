// Reports on real devices: a page rendered into an image, a PDF file read
// back with pdfinfo and pdftotext, and the refusals of the PDF writer.

#include "gui/PagePainter.h"
#include "gui/ReportOutput.h"
#include "gui/TextMeasure.h"
#include "reports/LinesDirectory.h"
#include "support/PdfTools.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

namespace korvan::gui {
namespace {

using reports::DirectoryEntry;

reports::Report directory(int linesOfFirstAuthority)
{
    std::vector<DirectoryEntry> entries;
    for (int i = 0; i < linesOfFirstAuthority; ++i)
        entries.push_back({i, 10, "L" + std::to_string(i), "Linea numero " + std::to_string(i), 100 + i});
    entries.push_back({900, 20, "C1", "Circolare Città", 7});
    return reports::linesDirectoryReport(entries, {{10, "Provincia di Valdora"}, {20, "Comune di San Vito"}},
                                         "07/03/2025 09:04");
}

bool darkPixelIn(const QImage& image, const QRect& area)
{
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (qGray(image.pixel(x, y)) < 100)
                return true;
    return false;
}

TEST(GuiOutput, PdfPagesAndTextAsPrepared)
{
    test::TempDir dir;
    const std::string path = dir.file("rubrica.pdf");
    // Enough lines of the first authority to fill more than one A4 page.
    const reports::Report report = directory(100);
    const PreparedReport prepared = prepareReport(report, pageGeometry(pdfPageLayout()), TextMeasure(8));
    ASSERT_EQ(prepared.pageCount(), 3);

    std::string error;
    ASSERT_TRUE(writePdf(report, path, error)) << error;
    EXPECT_EQ(test::pdfPageCount(path), prepared.pageCount());
    const std::optional<std::string> text = test::pdfText(path);
    ASSERT_TRUE(text) << "pdftotext could not read " << path;
    EXPECT_NE(text->find("KORVAN - \"Varcotab Gestione Contabile - Regione Valdora\""), std::string::npos) << *text;
    EXPECT_NE(text->find("Pag. 1 di 3"), std::string::npos);
    EXPECT_NE(text->find("Pag. 3 di 3"), std::string::npos);
    EXPECT_NE(text->find("07/03/2025 09:04"), std::string::npos);
    EXPECT_NE(text->find("10 - Provincia di Valdora"), std::string::npos);
    EXPECT_NE(text->find("Denominazione Linea"), std::string::npos);
    EXPECT_NE(text->find("Linea numero 99"), std::string::npos);
    EXPECT_NE(text->find("Circolare Città"), std::string::npos);
    // The last page holds the second authority alone.
    const std::string lastPage = text->substr(text->rfind('\f', text->size() - 2) + 1);
    EXPECT_NE(lastPage.find("20 - Comune di San Vito"), std::string::npos);
    EXPECT_EQ(lastPage.find("Linea numero"), std::string::npos);
}

TEST(GuiOutput, PdfWriterRefusesEmptyReportsAndUnwritablePaths)
{
    test::TempDir dir;
    std::string error;
    EXPECT_FALSE(writePdf(reports::linesDirectoryReport({}, {}, ""), dir.file("vuoto.pdf"), error));
    EXPECT_EQ(error, "Non ci sono dati da stampare !!!");
    error.clear();
    const std::string unwritable = dir.file("manca/rubrica.pdf");
    EXPECT_FALSE(writePdf(directory(2), unwritable, error));
    EXPECT_EQ(error, "Impossibile scrivere il file PDF " + unwritable);
}

TEST(GuiOutput, APageRenderedIntoAnImage)
{
    const reports::Report report = directory(3);
    const TextMeasure measure(8);
    const PreparedReport prepared = prepareReport(report, pageGeometry(pdfPageLayout()), measure);
    const double dpi = 100;
    const QImage image = renderPage(report, prepared, 1, dpi);
    EXPECT_EQ(image.width(), 826) << "A4 at 100 dpi";
    EXPECT_EQ(image.height(), 1169);
    const auto px = [dpi](int units) { return static_cast<int>(units * dpi / kUnitsPerInch); };

    // The grey column band: its middle, right of the column headers.
    const int lh = measure.height();
    const int bandTop = prepared.page.top() + 3 * lh + 50;
    const QPoint band(px(prepared.tableRight - 30), px(bandTop + 30));
    EXPECT_EQ(image.pixelColor(band), QColor(192, 192, 192));
    // The title in the top left corner, dark on white.
    EXPECT_TRUE(darkPixelIn(image, QRect(px(prepared.page.left()), px(prepared.page.top()), px(1000), px(lh))));
    EXPECT_EQ(image.pixelColor(px(prepared.page.left()) + 1, px(prepared.page.top()) - 3), QColor(Qt::white));
    // Nothing below the last row's closing rule.
    const int end = bandTop + lh + 40 + 3 * (lh + 20);
    EXPECT_FALSE(darkPixelIn(image, QRect(0, px(end) + 2, image.width(), image.height() - px(end) - 2)));
    EXPECT_TRUE(darkPixelIn(image, QRect(px(prepared.columns[2].x), px(end - lh - 10), px(500), px(lh))));
}

} // namespace
} // namespace korvan::gui
