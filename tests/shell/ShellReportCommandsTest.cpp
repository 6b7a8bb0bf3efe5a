// The report commands through the real main window on a real runs file:
// 5118, 5121 and 5122 open their dialog, show the report view over the
// client area and preview the right pages; the preview's print button comes
// back as the print command and prints, without a second print dialog, into
// the PDF file the preview was set up for, and the status line says so; the
// end of the preview closes the view; a report without rows says so and
// leaves the window as it was.

#include "ShellTestSupport.h"
#include "support/PdfTools.h"
#include "ui/AccountingDialogFixture.h"
#include "ui/reports/ReportsTestSupport.h"

#include "shell/ClientAreaWidget.h"
#include "shell/CommandIds.h"
#include "shell/CommandWiring.h"
#include "ui/reports/ReportChoiceDialog.h"

#include <QAction>
#include <QCheckBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QStatusBar>

using namespace korvan;
using namespace korvan::test;
namespace command = korvan::shell::command;
using ui::reports::ReportChoiceDialog;
using ui::reports::ReportView;

namespace {

// What the preview showed while it was open.
struct PreviewSeen {
    bool shown = false;
    int pages = 0;
    QString windowTitle;
    bool viewCoversClientArea = false;
};

// The print dialog as a user on this machine (no printer) answers it: the
// PDF file entry with the given name.
void printIntoFile(const std::string& path)
{
    whenModal<QPrintDialog>([path](QPrintDialog* dialog) {
        if (auto* fileName = dialog->findChild<QLineEdit*>("filename"))
            fileName->setText(QString::fromStdString(path));
        dialog->accept();
    });
}

} // namespace

class ShellReportCommandsTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<AccountingDialogFixture> db;
    std::unique_ptr<TempDir> dir;
    RecordingMessageSink sink;
    std::unique_ptr<PromptedMainWindow> window;

    void exec(const std::string& sql)
    {
        tools::RawDatabase raw = tools::RawDatabase::sqliteFile(db->dir.file("runs.db"));
        QVERIFY2(raw.exec(sql), raw.error().c_str());
    }

    // Opens the preview of the command with the dialog's entries made by
    // `choose`, the set-up printing into `printInto` (or a file of its own),
    // notes what it shows, then either closes it or presses its print
    // button, which prints on the same printer without asking again.
    PreviewSeen preview(int commandId, std::function<void(ReportChoiceDialog*)> choose,
                        const std::string& printInto = "")
    {
        PreviewSeen seen;
        whenModal<ReportChoiceDialog>([choose](ReportChoiceDialog* dialog) {
            if (choose)
                choose(dialog);
            click(dialog, "okButton");
        });
        printIntoFile(printInto.empty() ? dir->file("anteprima.pdf") : printInto);
        whenModal<QPrintPreviewDialog>([this, &seen, printInto](QPrintPreviewDialog* dialog) {
            seen.shown = true;
            seen.pages = dialog->findChild<QPrintPreviewWidget*>()->pageCount();
            seen.windowTitle = window->windowTitle();
            seen.viewCoversClientArea = window->reportView() && window->reportView()->isVisible();
            if (printInto.empty()) {
                dialog->reject();
                return;
            }
            dialog->findChild<QAction*>("previewPrintAction")->trigger();
        });
        window->commandAction(commandId)->trigger();
        return seen;
    }

    // An idle moment of the main loop (the loop blocks waiting for events).
    void settle()
    {
        QEventLoop loop;
        QTimer::singleShot(100, &loop, &QEventLoop::quit);
        loop.exec();
    }

  private slots:
    void init()
    {
        db = std::make_unique<AccountingDialogFixture>();
        dir = std::make_unique<TempDir>();
        // Runs 1 and 2 on three and two days of March, minimum service of
        // authority 10 at 12.50 a day; run 3 on one day of additional
        // service paid by authority 40 (3.00).
        exec(
            "INSERT INTO corse (azienda, ID, ente, lung, hh_p, mm_p, hh_a, mm_a) VALUES (3, 3, 10, 2000, 9, 0, 9, 10)");
        exec("INSERT INTO conline (azienda, ID, ente, linea) VALUES (3, 3, 10, 0)");
        exec("UPDATE corse SET ct_lung = lung, ct_tempo = 30");
        exec("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 1, 10, 1, 12.5)");
        exec("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 2, 10, 1, 12.5)");
        exec("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 3, 40, 0, 3)");
        for (const char* row : {"1, '2025-03-03', 10, 1, 0", "1, '2025-03-04', 10, 1, 0", "1, '2025-03-05', 10, 1, 0",
                                "2, '2025-03-03', 10, 1, 0", "2, '2025-03-04', 10, 1, 0", "3, '2025-03-05', 40, 0, 3"})
            exec(std::string("INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, ") + row + ")");
        sink.clear();
        window = std::make_unique<PromptedMainWindow>(
            writeSettingsStore(*dir, {{"Database", QString::fromStdString(db->dir.file("runs.db"))}}), sink);
        shell::wireDataCommands(*window);
        window->startUp();
        QVERIFY(sink.empty());
    }

    void cleanup()
    {
        window.reset();
        db.reset();
    }

    void linesDirectoryPreviewsItsPageAndTheEndClosesTheView()
    {
        const PreviewSeen seen = preview(command::PrintLines, nullptr);
        QVERIFY(seen.shown);
        QCOMPARE(seen.pages, 1);
        QCOMPARE(seen.windowTitle, QStringLiteral("Rubrica Linee"));
        QVERIFY(seen.viewCoversClientArea);
        QVERIFY(sink.empty());
        // The idle processing closes the view whose preview has ended.
        settle();
        QVERIFY(!window->reportView());
        QCOMPARE(window->windowTitle(), QString(ReportHostWindow::kMainTitle));
        // The lines directory leaves the current contract and period alone.
        QCOMPARE(window->currentAuthority(), -1);
        QCOMPARE(window->periodStartText(), std::string());
    }

    void contractsForTheChosenAuthorityAndPeriodPrintFromThePreview()
    {
        const std::string printed = dir->file("contratti.pdf");
        const PreviewSeen seen = preview(
            command::PrintContracts,
            [](ReportChoiceDialog* dialog) {
                child<QCheckBox>(dialog, "allAuthoritiesCheck")->click();
                typeInto(dialog, "authorityCombo", "0010");
                typeInto(dialog, "periodStartEdit", "01-03-25");
                typeInto(dialog, "periodEndEdit", "31.03.2025");
            },
            printed);
        QVERIFY(seen.shown);
        QCOMPARE(seen.pages, 1);
        QCOMPARE(seen.windowTitle, QStringLiteral("Rubrica Contratti"));
        QVERIFY(sink.empty());
        QCOMPARE(window->currentAuthority(), 10);
        QCOMPARE(window->periodStartText(), std::string("01/03/2025"));
        QCOMPARE(window->periodEndText(), std::string("31/03/2025"));

        QCOMPARE(pdfPageCount(printed), std::optional<int>(1));
        QCOMPARE(window->statusBar()->currentMessage(), "Stampa salvata in " + QString::fromStdString(printed));
        const std::optional<std::string> text = pdfText(printed);
        QVERIFY(text);
        QVERIFY2(text->find("Totali Contratto") != std::string::npos, text->c_str());
        QVERIFY2(text->find("Ente: [10] Regione Dieci") != std::string::npos, text->c_str());
        // Five minimum days of 12.50, one additional day of 3.00.
        QVERIFY2(text->find("65.50") != std::string::npos, text->c_str());
        settle();
        QVERIFY(!window->reportView());
    }

    void contributionsReopenOnTheCurrentAuthorityAndSayWhenEmpty()
    {
        window->current().authority = 40;
        window->current().periodStartText = "01/03/2025";
        window->current().periodEndText = "31/03/2025";
        bool preselected = false;
        const PreviewSeen seen = preview(command::PrintContributions, [&preselected](ReportChoiceDialog* dialog) {
            preselected = !child<QCheckBox>(dialog, "allAuthoritiesCheck")->isChecked() &&
                          dialog->findChild<QComboBox*>("authorityCombo")->currentText().startsWith("0040");
        });
        QVERIFY(preselected);
        QVERIFY(seen.shown);
        QCOMPARE(seen.pages, 1);
        QCOMPARE(seen.windowTitle, QStringLiteral("Rubrica Servizi Aggiuntivi"));
        settle();

        // February: nothing to print; the window stays as it was.
        whenModal<ReportChoiceDialog>([](ReportChoiceDialog* dialog) {
            typeInto(dialog, "periodStartEdit", "01/02/2025");
            typeInto(dialog, "periodEndEdit", "28/02/2025");
            click(dialog, "okButton");
        });
        window->commandAction(command::PrintContributions)->trigger();
        QCOMPARE(sink.entries.size(), size_t(1));
        QCOMPARE(sink.lastText(), std::string("Non ci sono dati da stampare !!!"));
        QCOMPARE(sink.entries.back().icon, MessageIcon::Information);
        QVERIFY(!window->reportView());
        QCOMPARE(window->windowTitle(), QString(ReportHostWindow::kMainTitle));
    }

    void thePrintCommandWithoutAViewDoesNothing()
    {
        window->printCommand();
        QVERIFY(sink.empty());
        QVERIFY(!window->reportView());
    }
};

QTEST_MAIN(ShellReportCommandsTest)
#include "ShellReportCommandsTest.moc"
