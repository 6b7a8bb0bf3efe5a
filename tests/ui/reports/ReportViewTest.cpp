// The report view: attaching a report and the window title, the print
// set-up cancelled, the preview opened with two pages side by side and
// closed, and printing through the set-up into a PDF file with the same
// pages as the PDF writer's.

#include "ReportsTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "gui/ReportOutput.h"
#include "gui/TextMeasure.h"
#include "support/PdfTools.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QTest>

#include <sstream>

using namespace korvan;
using namespace korvan::test;
using ui::reports::ReportView;

namespace {

std::vector<std::string> words(const std::string& text)
{
    std::istringstream in(text);
    std::vector<std::string> all;
    for (std::string word; in >> word;)
        all.push_back(word);
    return all;
}

} // namespace

class ReportViewTest : public QObject {
    Q_OBJECT

  private:
    RecordingMessageSink sink;
    std::unique_ptr<ReportHostWindow> window;
    std::unique_ptr<TempDir> dir;

    ReportView* newView()
    {
        auto* view = new ReportView(window->viewHost());
        window->showView(view);
        return view;
    }

    // The orientation the print set-up opens with for the report.
    QPageLayout::Orientation proposedOrientation(std::unique_ptr<reports::Report> report)
    {
        ReportView* view = newView();
        view->attachReport(std::move(report));
        view->setPrinterFactory(pdfPrinterInto(dir->file("orientamento.pdf")));
        QPageLayout::Orientation proposed = QPageLayout::Portrait;
        bool asked = false;
        whenModal<QPrintDialog>([&proposed, &asked](QPrintDialog* dialog) {
            proposed = dialog->printer()->pageLayout().orientation();
            asked = true;
            dialog->reject();
        });
        view->startPrint();
        window->closeView();
        if (!asked)
            qFatal("no print set-up");
        return proposed;
    }

  private slots:
    void init()
    {
        sink.clear();
        window = std::make_unique<ReportHostWindow>(sink);
        dir = std::make_unique<TempDir>();
    }

    void cleanup() { window.reset(); }

    void attachesOneReportAndShowsItsTitle()
    {
        ReportView* view = newView();
        QVERIFY(!view->attachReport(nullptr));
        QCOMPARE(window->windowTitle(), QString(ReportHostWindow::kMainTitle));
        QVERIFY(view->attachReport(smallDirectory()));
        QCOMPARE(window->windowTitle(), QStringLiteral("Rubrica Linee"));
        QVERIFY(!view->attachReport(smallDirectory(5)));
        QCOMPARE(view->report()->rows.size(), size_t(4));
        QVERIFY(!view->isFinished());
        window->closeView();
        QCOMPARE(window->windowTitle(), QString(ReportHostWindow::kMainTitle));
    }

    void cancelledSetUpEndsThePass()
    {
        ReportView* view = newView();
        view->attachReport(smallDirectory());
        view->setPrinterFactory(pdfPrinterInto(dir->file("annullata.pdf")));
        bool previewed = false;
        connect(view, &ReportView::previewShown, this, [&previewed] { previewed = true; });
        whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
        view->startPreview();
        QVERIFY(view->isFinished());
        QVERIFY(view->previewEnded());
        QVERIFY(!previewed);
        QVERIFY(sink.empty());

        whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->reject(); });
        view->startPrint();
        QVERIFY(view->isFinished());
        QVERIFY(!QFile::exists(QString::fromStdString(dir->file("annullata.pdf"))));
    }

    void theSetUpProposesLandscapeForATableTooWideForPortrait()
    {
        QCOMPARE(proposedOrientation(smallDirectory()), QPageLayout::Portrait);
        std::unique_ptr<reports::Report> wide = smallDirectory();
        wide->rows[0].cells[2] = reports::Cell::textCell(std::string(300, 'M'));
        QCOMPARE(proposedOrientation(std::move(wide)), QPageLayout::Landscape);
    }

    void previewShowsTwoPagesAndItsEndEndsThePass()
    {
        ReportView* view = newView();
        view->attachReport(smallDirectory(120));
        view->setPrinterFactory(pdfPrinterInto(dir->file("anteprima.pdf")));
        whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        QPrintPreviewWidget::ViewMode mode = QPrintPreviewWidget::SinglePageView;
        int previewPages = 0;
        bool saveButtons = false;
        bool finishedWhileShown = true;
        connect(view, &ReportView::previewShown, this, [&, view](QPrintPreviewDialog* dialog) {
            auto* pages = dialog->findChild<QPrintPreviewWidget*>();
            mode = pages->viewMode();
            previewPages = pages->pageCount();
            saveButtons = dialog->findChild<QAction*>("savePdfAction") && dialog->findChild<QAction*>("saveCsvAction");
            finishedWhileShown = view->isFinished();
            dialog->reject();
        });
        view->startPreview();
        QCOMPARE(mode, QPrintPreviewWidget::FacingPagesView);
        QVERIFY(saveButtons);
        QVERIFY(!finishedWhileShown);
        QVERIFY(view->isFinished());
        QCOMPARE(view->pageCount(), 3);
        QCOMPARE(previewPages, 3);
        QVERIFY(sink.empty());
    }

    void printingGivesTheSamePagesAsThePdfWriter()
    {
        ReportView* view = newView();
        view->attachReport(smallDirectory(120));
        const std::string printed = dir->file("stampa.pdf");
        view->setPrinterFactory(pdfPrinterInto(printed));
        whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        view->startPrint();
        QVERIFY(view->isFinished());
        QVERIFY(sink.empty());
        QCOMPARE(pdfPageCount(printed), std::optional<int>(view->pageCount()));

        // Preview, printer and PDF file: the same layout, whatever the
        // device's resolution.
        const std::string written = dir->file("rubrica.pdf");
        std::string error;
        QVERIFY(gui::writePdf(*view->report(), written, error));
        QCOMPARE(pdfPageCount(written), std::optional<int>(view->pageCount()));
        const std::optional<std::string> printedText = pdfText(printed);
        const std::optional<std::string> writtenText = pdfText(written);
        QVERIFY(printedText && writtenText);
        QVERIFY(printedText->find("Pag. 3 di 3") != std::string::npos);
        QVERIFY(words(*printedText) == words(*writtenText));
    }

    void aPrinterThatCannotOpenIsSaidAndEndsThePass()
    {
        ReportView* view = newView();
        view->attachReport(smallDirectory());
        // A folder is no file to print into.
        view->setPrinterFactory(pdfPrinterInto(dir->path()));
        whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        view->startPrint();
        QCOMPARE(sink.lastText(), ui::reports::printerUnavailableMessage());
        QCOMPARE(sink.entries.back().icon, MessageIcon::Information);
        QVERIFY(sink.lastText().rfind("Non è possibile aprire la stampante.\n\n", 0) == 0);
        QVERIFY(view->isFinished());
    }

    void savesPdfAndCsvOrSaysWhyNot()
    {
        ReportView* view = newView();
        view->attachReport(smallDirectory());
        QVERIFY(view->saveCsv(QString::fromStdString(dir->file("rubrica.csv"))));
        QFile csv(QString::fromStdString(dir->file("rubrica.csv")));
        QVERIFY(csv.open(QIODevice::ReadOnly));
        QVERIFY(csv.readAll().startsWith("\xEF\xBB\xBF\"Ente\";"));
        QVERIFY(view->savePdf(QString::fromStdString(dir->file("rubrica.pdf"))));
        QCOMPARE(pdfPageCount(dir->file("rubrica.pdf")), std::optional<int>(2));

        QVERIFY(!view->saveCsv(QString::fromStdString(dir->file("manca/rubrica.csv"))));
        QCOMPARE(sink.lastText(), "Impossibile scrivere il file CSV " + dir->file("manca/rubrica.csv"));
        QCOMPARE(sink.entries.back().icon, MessageIcon::Error);
        QVERIFY(!view->savePdf(QString::fromStdString(dir->file("manca/rubrica.pdf"))));
        QCOMPARE(sink.lastText(), "Impossibile scrivere il file PDF " + dir->file("manca/rubrica.pdf"));
    }
};

QTEST_MAIN(ReportViewTest)
#include "ReportViewTest.moc"
