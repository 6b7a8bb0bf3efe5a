// The report command as the menu runs it: the choice dialog, the view shown
// in the main window, the collected report, then the preview or the
// printing; a report without rows says so and leaves the window as it was;
// "Annulla" does nothing.

#include "ReportsTestSupport.h"

#include "core/OperationFeedback.h"
#include "support/PdfTools.h"
#include "ui/AccountingDialogFixture.h"
#include "ui/reports/ReportChoiceDialog.h"

#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QRadioButton>

using namespace korvan;
using namespace korvan::test;
using reports::ReportKind;
using ui::reports::ReportChoiceDialog;
using ui::reports::ReportView;

class ReportCommandTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<AccountingDialogFixture> db;
    std::unique_ptr<ReportHostWindow> window;
    int currentAuthority = -1;
    std::string periodStart;
    std::string periodEnd;

    void run(ReportKind kind)
    {
        ui::reports::ReportCommandContext context{window.get(),
                                                  db->connection.get(),
                                                  db->sink,
                                                  db->feedback,
                                                  currentAuthority,
                                                  periodStart,
                                                  periodEnd,
                                                  [this](ReportView* view) { window->showView(view); },
                                                  [this] { window->closeView(); },
                                                  window->viewHost()};
        ui::reports::runReportCommand(kind, context);
    }

  private slots:
    void init()
    {
        db = std::make_unique<AccountingDialogFixture>();
        window = std::make_unique<ReportHostWindow>(db->sink);
        window->show();
        currentAuthority = -1;
    }

    void cleanup() { window.reset(); }

    void cancelDoesNothing()
    {
        whenModal<ReportChoiceDialog>([](ReportChoiceDialog* dialog) { click(dialog, "cancelButton"); });
        run(ReportKind::LinesDirectory);
        QCOMPARE(window->viewsShown, 0);
        QVERIFY(db->sink.empty());
    }

    void anEmptyReportSaysSoAndLeavesTheWindowAsItWas()
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(db->dir.file("runs.db"));
        QVERIFY(raw.exec("DELETE FROM conline"));
        whenModal<ReportChoiceDialog>([](ReportChoiceDialog* dialog) { click(dialog, "okButton"); });
        run(ReportKind::LinesDirectory);
        QCOMPARE(window->viewsShown, 1);
        QCOMPARE(db->sink.entries.size(), size_t(1));
        QCOMPARE(db->sink.lastText(), std::string("Non ci sono dati da stampare !!!"));
        QCOMPARE(db->sink.entries.back().icon, MessageIcon::Information);
        QVERIFY(!window->centralWidget());
        QCOMPARE(window->windowTitle(), QString(ReportHostWindow::kMainTitle));
    }

    void printChoicePrintsEveryPage()
    {
        const std::string printed = db->dir.file("rubrica.pdf");
        window->configureView = [&printed](ReportView& view) { view.setPrinterFactory(pdfPrinterInto(printed)); };
        whenModal<ReportChoiceDialog>([](ReportChoiceDialog* dialog) {
            child<QRadioButton>(dialog, "printRadio")->click();
            whenModal<QPrintDialog>([](QPrintDialog* setUp) { setUp->accept(); });
            click(dialog, "okButton");
        });
        run(ReportKind::LinesDirectory);
        QVERIFY(db->sink.empty());
        ReportView* view = window->view();
        QVERIFY(view);
        QVERIFY(view->isFinished());
        QCOMPARE(window->windowTitle(), QStringLiteral("Rubrica Linee"));
        QCOMPARE(pdfPageCount(printed), std::optional<int>(1));
        const std::optional<std::string> text = pdfText(printed);
        QVERIFY(text && text->find("10 - Regione Dieci") != std::string::npos);
        QVERIFY(text->find("Città") != std::string::npos);
        // The main window's idle processing closes the ended view.
        window->closeView();
        QCOMPARE(window->windowTitle(), QString(ReportHostWindow::kMainTitle));
    }

    void previewChoiceOpensThePreviewUntilItIsClosed()
    {
        window->configureView = [this](ReportView& view) {
            view.setPrinterFactory(pdfPrinterInto(db->dir.file("anteprima.pdf")));
            connect(&view, &ReportView::previewShown, this, [](QPrintPreviewDialog* preview) { preview->reject(); });
        };
        whenModal<ReportChoiceDialog>([](ReportChoiceDialog* dialog) {
            whenModal<QPrintDialog>([](QPrintDialog* setUp) { setUp->accept(); });
            click(dialog, "okButton");
        });
        run(ReportKind::LinesDirectory);
        QVERIFY(db->sink.empty());
        QVERIFY(window->view() && window->view()->isFinished());
        QCOMPARE(window->view()->pageCount(), 1);
    }
};

QTEST_MAIN(ReportCommandTest)
#include "ReportCommandTest.moc"
