// The report view: attaching a report and the window title, the print
// set-up cancelled, the preview opened on one page as wide as the window and
// closed, printing through the set-up into a PDF file with the same pages as
// the PDF writer's, the printer remembered from one pass to the next and
// reused by the preview's print button, and the save buttons' proposed
// file, its extension and the status line.

#include "ReportsTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "gui/ReportOutput.h"
#include "gui/TextMeasure.h"
#include "support/PdfTools.h"
#include "support/TestSupport.h"

#include <QAction>
#include <QDir>
#include <QFileDialog>
#include <QGraphicsItem>
#include <QGraphicsScene>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QStatusBar>
#include <QTest>
#include <QTimer>

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

    void previewShowsOnePageAsWideAsTheWindowAndItsEndEndsThePass()
    {
        ReportView* view = newView();
        view->attachReport(smallDirectory(120));
        view->setPrinterFactory(pdfPrinterInto(dir->file("anteprima.pdf")));
        whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        QPrintPreviewWidget::ViewMode mode = QPrintPreviewWidget::FacingPagesView;
        QPrintPreviewWidget::ZoomMode zoom = QPrintPreviewWidget::CustomZoom;
        int firstPageTopInView = -1000;
        int previewPages = 0;
        bool saveButtons = false;
        bool finishedWhileShown = true;
        connect(view, &ReportView::previewShown, this, [&, view](QPrintPreviewDialog* dialog) {
            auto* pages = dialog->findChild<QPrintPreviewWidget*>();
            mode = pages->viewMode();
            zoom = pages->zoomMode();
            // The first page from its top, where the header is.
            QCoreApplication::processEvents();
            QCoreApplication::processEvents();
            const QGraphicsView* graphics = pages->findChild<QGraphicsView*>();
            qreal firstTop = 1e9;
            for (const QGraphicsItem* item : graphics->scene()->items())
                if (!item->parentItem())
                    firstTop = std::min(firstTop, item->sceneBoundingRect().top());
            firstPageTopInView = graphics->mapFromScene(QPointF(0, firstTop)).y();
            previewPages = pages->pageCount();
            saveButtons = dialog->findChild<QAction*>("savePdfAction") && dialog->findChild<QAction*>("saveCsvAction");
            finishedWhileShown = view->isFinished();
            dialog->reject();
        });
        view->startPreview();
        QCOMPARE(mode, QPrintPreviewWidget::SinglePageView);
        QCOMPARE(zoom, QPrintPreviewWidget::FitToWidth);
        QVERIFY2(firstPageTopInView >= 0 && firstPageTopInView <= 20, qPrintable(QString::number(firstPageTopInView)));
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

    void thePreviewsPrintButtonPrintsOnItsPrinterWithoutAskingAgain()
    {
        ReportView* view = newView();
        view->attachReport(smallDirectory(120));
        const std::string printed = dir->file("stampa.pdf");
        view->setPrinterFactory(pdfPrinterInto(printed));
        int setUps = 0;
        QTimer answer;
        answer.setInterval(20);
        connect(&answer, &QTimer::timeout, [&setUps] {
            if (auto* dialog = qobject_cast<QPrintDialog*>(QApplication::activeModalWidget())) {
                ++setUps;
                dialog->accept();
            }
        });
        answer.start();
        connect(view, &ReportView::previewShown, this,
                [](QPrintPreviewDialog* dialog) { dialog->findChild<QAction*>("previewPrintAction")->trigger(); });
        view->startPreview();
        answer.stop();
        QCOMPARE(setUps, 1);
        QVERIFY(view->isFinished());
        QCOMPARE(pdfPageCount(printed), std::optional<int>(3));
        QCOMPARE(window->statusTexts.back(), "Stampa salvata in " + QString::fromStdString(printed));
    }

    void theNextSetUpStartsFromThePrinterChosenLast()
    {
        const QString chosen = QString::fromStdString(dir->file("scelta.pdf"));
        ReportView* first = newView();
        first->attachReport(smallDirectory());
        first->setPrinterFactory(pdfPrinterInto(dir->file("predefinita.pdf")));
        whenModal<QPrintDialog>([chosen](QPrintDialog* dialog) {
            dialog->findChild<QLineEdit*>("filename")->setText(chosen);
            dialog->accept();
        });
        first->startPrint();
        QVERIFY(QFile::exists(chosen));
        window->closeView();

        ReportView* second = newView();
        second->attachReport(smallDirectory());
        second->setPrinterFactory(pdfPrinterInto(dir->file("predefinita.pdf")));
        QString proposed;
        whenModal<QPrintDialog>([&proposed](QPrintDialog* dialog) {
            proposed = dialog->printer()->outputFileName();
            dialog->reject();
        });
        second->startPrint();
        QCOMPARE(proposed, chosen);
    }

    void saveProposesTheReportsFileInTheLastFolderAndAddsTheExtension_data()
    {
        QTest::addColumn<QString>("action");
        QTest::addColumn<QString>("extension");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("saved");
        QTest::newRow("PDF, no extension") << "savePdfAction"
                                           << "pdf"
                                           << "marzo"
                                           << "marzo.pdf";
        QTest::newRow("PDF, another ending") << "savePdfAction"
                                             << "pdf"
                                             << "marzo.2025"
                                             << "marzo.2025.pdf";
        QTest::newRow("PDF, its extension") << "savePdfAction"
                                            << "pdf"
                                            << "Marzo.PDF"
                                            << "Marzo.PDF";
        QTest::newRow("CSV, no extension") << "saveCsvAction"
                                           << "csv"
                                           << "marzo"
                                           << "marzo.csv";
        QTest::newRow("CSV, another ending") << "saveCsvAction"
                                             << "csv"
                                             << "marzo.txt"
                                             << "marzo.txt.csv";
    }

    void saveProposesTheReportsFileInTheLastFolderAndAddsTheExtension()
    {
        QFETCH(QString, action);
        QFETCH(QString, extension);
        QFETCH(QString, typed);
        QFETCH(QString, saved);
        const QString first = QString::fromStdString(dir->file("primo"));
        const QString second = QString::fromStdString(dir->file("secondo"));
        QVERIFY(QDir().mkpath(first) && QDir().mkpath(second));
        window->session->saveFolder().rememberFile(first + "/previous.pdf");
        ReportView* view = newView();
        view->attachReport(smallDirectory());
        view->setFileStem("Contratti_0001_2025-03");
        view->setPrinterFactory(pdfPrinterInto(dir->file("anteprima.pdf")));
        whenModal<QPrintDialog>([](QPrintDialog* dialog) { dialog->accept(); });
        QString proposedFirst, proposedThen, statusShown;
        connect(view, &ReportView::previewShown, this, [&](QPrintPreviewDialog* dialog) {
            QAction* save = dialog->findChild<QAction*>(action);
            whenModal<QFileDialog>([&](QFileDialog* files) {
                proposedFirst = files->selectedFiles().value(0);
                // The user goes to another folder and types a name.
                files->setDirectory(second);
                files->findChild<QLineEdit*>("fileNameEdit")->setText(typed);
                static_cast<QDialog*>(files)->accept();
            });
            save->trigger();
            statusShown = dialog->findChild<QStatusBar*>("previewStatusLine")->currentMessage();
            whenModal<QFileDialog>([&](QFileDialog* files) {
                proposedThen = files->selectedFiles().value(0);
                files->reject();
            });
            save->trigger();
            dialog->reject();
        });
        view->startPreview();

        const QString name = "Contratti_0001_2025-03." + extension;
        QCOMPARE(proposedFirst, first + "/" + name);
        QVERIFY(QFile::exists(second + "/" + saved));
        QCOMPARE(statusShown, extension.toUpper() + " salvato in " + second + "/" + saved);
        QCOMPARE(window->statusTexts.back(), statusShown);
        // The next save proposes the folder of the last one.
        QCOMPARE(proposedThen, second + "/" + name);
        QVERIFY(sink.empty());
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
