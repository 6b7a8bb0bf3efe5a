// The run browser on a real runs file: the line choice at opening, the
// labels and layout, the commands of the bar and pop-up, the accounting
// dialog writing inside the browser's transaction, and what a second
// connection sees after "Aggiorna Vista", "Ripristina" and Escape.

#include "BrowserWidgetFixture.h"

#include "runs/BrowserTransaction.h"
#include "support/RecordingFeedback.h"
#include "ui/common/PickListCombo.h"
#include "ui/runs/CalendarView.h"
#include "ui/runs/ItineraryView.h"
#include "ui/runs/ListWindow.h"
#include "ui/runs/RunAccountingDialog.h"
#include "ui/runs/RunBrowserCommands.h"
#include "ui/runs/RunBrowserDialog.h"
#include "ui/runs/RunFilterDialog.h"
#include "ui/runs/SplitViewCommands.h"

#include <QCheckBox>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMimeData>
#include <QPushButton>
#include <QTest>

using namespace korvan;
using namespace korvan::test;
using namespace korvan::ui::runs;

class RunBrowserTest : public QObject {
    Q_OBJECT

  private:
    std::unique_ptr<BrowserWidgetFixture> db;
    RecordingFeedback feedback;
    int authority = 10;
    int company = 3;

    std::unique_ptr<RunBrowserDialog> openBrowser()
    {
        auto browser = std::make_unique<RunBrowserDialog>(db->connection.get(), db->sink, feedback, authority, company,
                                                          runSplitViews());
        if (!browser->beginTransaction())
            qFatal("the browser's transaction did not begin: %s", db->sink.lastText().c_str());
        browser->resize(1000, 500);
        browser->show();
        if (!QTest::qWaitForWindowExposed(browser.get()))
            qFatal("the browser is not shown");
        return browser;
    }

    // Re-finances the cursor run with a total through the real dialog.
    void financeCursorRun(RunBrowserDialog& browser, const QString& amount)
    {
        whenDialogShows<RunAccountingDialog>([amount](RunAccountingDialog* dialog) {
            dialog->findChild<QLineEdit*>("amountEdit")->setText(amount);
            dialog->findChild<QPushButton*>("okButton")->click();
        });
        browser.runCommand(command::RunAccounting);
    }

    std::string storedAmount(int id)
    {
        return db->query("SELECT euro FROM concors WHERE azienda = 3 AND ID = " + std::to_string(id));
    }

    // The browser on line 2 of 30 runs (BrowserWidgetFixture::addLongLine),
    // more than its list shows at once.
    std::unique_ptr<RunBrowserDialog> openLongLine()
    {
        db->addLongLine(30);
        auto browser = openBrowser();
        browser->showLine({10, 3, 2});
        browser->listWindow()->renderList();
        if (browser->listWindow()->visibleRows() >= 30)
            qFatal("the list shows every run at once");
        return browser;
    }

    // The middle of the row shown `screenRow` rows below the header.
    static QPoint rowPoint(ListWindow* list, int screenRow)
    {
        const ListGeometry& g = list->listGeometry();
        return QPoint(40, g.rowTop(list->topRow() + screenRow, list->topRow()) + g.rowHeight() / 2);
    }

    static void clickRow(ListWindow* list, int screenRow, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
    {
        QTest::mouseClick(list->viewport(), Qt::LeftButton, modifiers, rowPoint(list, screenRow));
        list->renderList();
    }

    static long cursorRunId(RunBrowserDialog& browser)
    {
        const runs::RunRow* row = browser.model()->rowAt(browser.listWindow()->cursorRow());
        return row ? row->runId : -1;
    }

    static std::vector<long> selectedRunIds(RunBrowserDialog& browser)
    {
        std::vector<long> ids;
        for (const runs::RunRow& row : browser.model()->rows())
            if (row.selected)
                ids.push_back(row.runId);
        return ids;
    }

    // Sorts from the pop-up as the user does: a right click on the cursor
    // row, "Ordinamento" and the order by their mnemonics.
    static void sortFromPopup(RunBrowserDialog& browser, Qt::Key orderKey)
    {
        ListWindow* list = browser.listWindow();
        auto poll = std::make_shared<std::function<void()>>();
        auto step = std::make_shared<int>(0);
        *poll = [poll, step, orderKey] {
            auto* menu = qobject_cast<QMenu*>(QApplication::activePopupWidget());
            const bool orders = menu && menu->title() == QStringLiteral("&Ordinamento");
            if (menu && *step == 0 && !orders) {
                *step = 1;
                QTest::keyClick(menu, Qt::Key_O);
            } else if (orders) {
                QTest::keyClick(menu, orderKey);
                return;
            }
            QTimer::singleShot(10, *poll);
        };
        QTimer::singleShot(0, *poll);
        QTest::mouseClick(list->viewport(), Qt::RightButton, Qt::NoModifier,
                          rowPoint(list, list->cursorRow() - list->topRow()));
        list->renderList();
    }

    // Runs `act`; every run accounting dialog it opens is closed at once
    // and counted.
    static int accountingDialogsOpenedBy(const std::function<void()>& act)
    {
        int opened = 0;
        QTimer closer;
        closer.setInterval(10);
        QObject::connect(&closer, &QTimer::timeout, [&opened] {
            if (auto* dialog = qobject_cast<RunAccountingDialog*>(QApplication::activeModalWidget())) {
                ++opened;
                dialog->reject();
            }
        });
        closer.start();
        act();
        return opened;
    }

  private slots:
    void init()
    {
        db = std::make_unique<BrowserWidgetFixture>();
        feedback = RecordingFeedback();
        authority = 10;
        company = 3;
    }

    void opensOnTheLineChoiceAndLabelsTheLine()
    {
        authority = 10;
        company = -1;
        RunBrowserDialog browser(db->connection.get(), db->sink, feedback, authority, company, runSplitViews());
        QVERIFY(browser.beginTransaction());
        QCOMPARE(browser.authorityLabel()->text(), QStringLiteral("Ente: non assegnato"));
        QCOMPARE(browser.companyLabel()->text(), QStringLiteral("Azienda: non assegnata"));
        QCOMPARE(browser.lineLabel()->text(), QStringLiteral("Linea: non assegnata"));
        QString companyAtOpening;
        whenDialogShows<RunFilterDialog>([&](RunFilterDialog* filter) {
            companyAtOpening = filter->companyList()->currentText();
            filter->companyList()->setCurrentIndex(0);
            fillCombo(filter->lineList(), {"0000 - L0", "0001 - L1"});
            filter->lineList()->setCurrentIndex(1);
            filter->findChild<QPushButton*>("okButton")->click();
            QTimer::singleShot(0, &browser, [&browser] { QTest::keyClick(&browser, Qt::Key_Escape); });
        });
        QCOMPARE(browser.exec(), int(QDialog::Accepted));
        QCOMPARE(companyAtOpening, QString());
        QCOMPARE(company, 3); // "the choice becomes the current contract"
        QCOMPARE(browser.authorityLabel()->text(), QStringLiteral("Ente: [10] Regione Dieci"));
        QCOMPARE(browser.companyLabel()->text(), QString::fromUtf8("Azienda: [3] Società Tre"));
        QCOMPARE(browser.lineLabel()->text(), QStringLiteral("Linea: [1] L1 Linea uno"));
        QVERIFY(browser.model());
        QCOMPARE(browser.model()->count(), 2);
        QVERIFY(!feedback.busyCalls.empty() && feedback.busyCalls.front()); // "a reload shows the clock"
        QVERIFY(!browser.transaction().isOpen());
    }

    // The places of the 8-point font (a line 13 pixels high) scaled to the
    // window's; the list between the labels and the bar.
    void laysOutTheLabelsListAndBar()
    {
        auto browser = openBrowser();
        const auto px = [&browser](int pixels) { return qRound(pixels * browser->fontMetrics().height() / 13.0); };
        const QRect list = browser->listWindow()->QWidget::geometry();
        QCOMPARE(browser->authorityLabel()->geometry().topLeft(), QPoint(px(10), px(5)));
        QCOMPARE(browser->authorityLabel()->width(), 1000 - px(60));
        QCOMPARE(browser->companyLabel()->y(), browser->authorityLabel()->geometry().bottom() + 1 + px(5));
        QCOMPARE(list.left(), px(10));
        QCOMPARE(list.right() + 1, 1000 - px(10));
        QVERIFY(list.top() >= browser->lineLabel()->geometry().bottom() + px(5));
        QVERIFY(list.bottom() <= 500 - px(35));
        QVERIFY(browser->button(command::SelectLine)->isDefault());
        const int order[] = {command::Done,          command::RefreshView,  command::Restore,       command::SelectLine,
                             command::RunAccounting, command::CalendarView, command::ItineraryView, command::SaveList};
        const int gaps[] = {0, 30, 5, 30, 30, 5, 5, 30};
        int right = 0;
        for (size_t i = 0; i < std::size(order); ++i) {
            const QRect place = browser->button(order[i])->geometry();
            QCOMPARE(place.bottom() + 1, 500 - px(5));
            QVERIFY(place.top() > list.bottom() + px(5) - 1);
            QCOMPARE(place.left(), i == 0 ? px(15) : right + 1 + px(gaps[i]));
            right = place.right();
        }
        QCOMPARE(browser->button(command::SaveList)->text(), QStringLiteral("Salva CSV..."));
    }

    void anUnknownLineShowsAnEmptyListAndRunCommandsDoNothing()
    {
        auto browser = openBrowser();
        // No line yet: the run commands do nothing.
        browser->runCommand(command::RunAccounting);
        browser->runCommand(command::CalendarView);
        browser->showLine({10, 3, 77});
        QCOMPARE(browser->lineLabel()->text(), QStringLiteral("Linea: [77] *** Non Esistente *** "));
        QCOMPARE(browser->model()->count(), 0);
        browser->runCommand(command::RunAccounting);
        browser->runCommand(command::ItineraryView);
        QVERIFY(QApplication::activeModalWidget() == nullptr || QApplication::activeModalWidget() == browser.get());
        const QImage image = browser->listWindow()->renderList();
        QCOMPARE(image.pixel(3, 3), QColor(0, 0, 192).rgb()); // "the header alone"
    }

    void sortsSelectsAndStartsAnotherLineInIdOrder()
    {
        auto browser = openBrowser();
        browser->showLine({10, 3, 1});
        QCOMPARE(browser->model()->rowAt(0)->runId, 1);
        browser->runCommand(5133); // by amount: 5,00 then 12,90
        QCOMPARE(browser->model()->order(), '$');
        browser->runCommand(5131); // by length: run 2 (4 km) first
        QCOMPARE(browser->model()->rowAt(0)->runId, 2);
        browser->runCommand(command::SelectAll);
        QVERIFY(browser->model()->rowAt(0)->selected && browser->model()->rowAt(1)->selected);
        browser->runCommand(command::ClearSelection);
        QVERIFY(!browser->model()->rowAt(1)->selected);
        browser->runCommand(command::SelectAll);
        // Another line (the same one chosen again) starts afresh.
        browser->showLine({10, 3, 1});
        QCOMPARE(browser->model()->order(), 'I');
        QCOMPARE(browser->model()->rowAt(0)->runId, 1);
        QVERIFY(!browser->model()->rowAt(0)->selected);
        // The split views open on the cursor run; "Annulla" changes nothing.
        whenDialogShows<CalendarView>([](CalendarView* view) { view->runCommand(command::DropChanges); });
        browser->runCommand(command::CalendarView);
        whenDialogShows<ItineraryView>([](ItineraryView* view) { view->runCommand(command::DropChanges); });
        browser->runCommand(command::ItineraryView);
        QVERIFY(!browser->model()->rowAt(0)->modified);
        QVERIFY(!browser->model()->rowAt(0)->calendarMarker);
    }

    void anEditStaysPendingUntilRefresh()
    {
        auto browser = openBrowser();
        browser->showLine({10, 3, 1});
        financeCursorRun(*browser, "12,5");
        QVERIFY(browser->model()->findRun(1)->modified);
        QCOMPARE(browser->model()->findRun(1)->amount, 12.5);
        QCOMPARE(storedAmount(1), std::string("5.0")); // "pending: a second connection sees the old amount"
        browser->runCommand(command::RefreshView);
        QCOMPARE(storedAmount(1), std::string("12.5"));
        QCOMPARE(db->query("SELECT COUNT(*) FROM conkal WHERE ID = 1 AND euro = 12.5"), std::string("3"));
        QVERIFY(!browser->model()->findRun(1)->modified); // kept: no longer pending
    }

    void restoreUndoesAndEscapeKeeps()
    {
        auto browser = openBrowser();
        browser->showLine({10, 3, 1});
        financeCursorRun(*browser, "7");
        browser->runCommand(command::Restore);
        QCOMPARE(storedAmount(1), std::string("5.0"));
        QCOMPARE(browser->model()->findRun(1)->amount, 5.0);
        financeCursorRun(*browser, "8");
        QTest::keyClick(browser.get(), Qt::Key_Escape);
        QVERIFY(!browser->isVisible());
        QCOMPARE(browser->result(), int(QDialog::Accepted));
        QCOMPARE(storedAmount(1), std::string("8.0"));
        QVERIFY(!db->connection->InTransaction());
    }

    void doubleClickOpensTheAccountingOfTheRowUnderThePointer()
    {
        auto browser = openBrowser();
        browser->showLine({10, 3, 1});
        ListWindow* list = browser->listWindow();
        list->renderList();
        QString edited;
        whenDialogShows<RunAccountingDialog>([&edited](RunAccountingDialog* dialog) {
            edited = dialog->findChild<QLineEdit*>("amountEdit")->text();
            dialog->reject();
        });
        const int y = list->listGeometry().rowTop(1, 0) + 3;
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, QPoint(30, y));
        QCOMPARE(list->cursorRow(), 1);
        QCOMPARE(edited, QStringLiteral("12.90"));
        QVERIFY(!browser->model()->findRun(2)->modified);
    }

    void aSortFromThePopUpKeepsTheCursorOnItsRun()
    {
        auto browser = openLongLine();
        ListWindow* list = browser->listWindow();
        clickRow(list, 5, Qt::ControlModifier);
        clickRow(list, 12);
        QCOMPARE(cursorRunId(*browser), 113L);
        sortFromPopup(*browser, Qt::Key_L); // "per &Lunghezza": the last runs first
        QCOMPARE(browser->model()->order(), 'L');
        QCOMPARE(browser->model()->rowAt(0)->runId, 130L);
        QCOMPARE(cursorRunId(*browser), 113L);
        QCOMPARE(list->cursorRow() - list->topRow(), 12); // on the same screen row
        QCOMPARE(selectedRunIds(*browser), std::vector<long>{106});
    }

    void refreshAndRestoreKeepTheOrderTheCursorAndTheSelection_data()
    {
        QTest::addColumn<int>("commandId");
        QTest::newRow("Aggiorna Vista") << int(command::RefreshView);
        QTest::newRow("Ripristina") << int(command::Restore);
    }

    void refreshAndRestoreKeepTheOrderTheCursorAndTheSelection()
    {
        QFETCH(int, commandId);
        auto browser = openLongLine();
        ListWindow* list = browser->listWindow();
        sortFromPopup(*browser, Qt::Key_L);
        clickRow(list, 4, Qt::ControlModifier);
        clickRow(list, 3);
        const long cursorRun = cursorRunId(*browser);
        const std::vector<long> selected = selectedRunIds(*browser);
        QCOMPARE(selected.size(), size_t(1));
        QTest::mouseClick(browser->button(commandId), Qt::LeftButton);
        list->renderList();
        QCOMPARE(browser->model()->order(), 'L');
        QCOMPARE(browser->model()->rowAt(0)->runId, 130L);
        QCOMPARE(cursorRunId(*browser), cursorRun);
        QCOMPARE(list->cursorRow() - list->topRow(), 3);
        QCOMPARE(selectedRunIds(*browser), selected);
    }

    void scrollingLeavesTheCursorOnItsRunForTheNextFinancing()
    {
        auto browser = openLongLine();
        ListWindow* list = browser->listWindow();
        clickRow(list, 1);
        QCOMPARE(cursorRunId(*browser), 102L);
        QWheelEvent down(QPointF(40, 80), list->viewport()->mapToGlobal(QPointF(40, 80)), QPoint(), QPoint(0, -120),
                         Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
        for (int i = 0; i < 8; ++i)
            QApplication::sendEvent(list->viewport(), &down);
        list->renderList();
        QCOMPARE(list->topRow(), 8); // the cursor row is out of view
        QCOMPARE(cursorRunId(*browser), 102L);
        QString shown;
        whenDialogShows<RunAccountingDialog>([&shown](RunAccountingDialog* dialog) {
            shown = dialog->findChild<QLineEdit*>("amountEdit")->text();
            dialog->reject();
        });
        QTest::mouseClick(browser->button(command::RunAccounting), Qt::LeftButton);
        QCOMPARE(shown, QStringLiteral("12.00")); // run 102's amount
        QVERIFY(list->topRow() <= 1);             // brought back into view first
    }

    void aClickOrDoubleClickOnTheHeaderLeavesTheCursorAndTheSelection()
    {
        auto browser = openLongLine();
        ListWindow* list = browser->listWindow();
        clickRow(list, 3);
        const QPoint header(40, list->listGeometry().headerHeight() / 2);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, header);
        QTest::mouseClick(list->viewport(), Qt::LeftButton, Qt::ControlModifier, header);
        QCOMPARE(cursorRunId(*browser), 104L);
        QVERIFY(selectedRunIds(*browser).empty());
        const int opened = accountingDialogsOpenedBy(
            [&] { QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, header); });
        QCOMPARE(opened, 0);
        QCOMPARE(cursorRunId(*browser), 104L);
        // On a row the double click still opens the financing of that run.
        QCOMPARE(accountingDialogsOpenedBy(
                     [&] { QTest::mouseDClick(list->viewport(), Qt::LeftButton, Qt::NoModifier, rowPoint(list, 5)); }),
                 1);
        QCOMPARE(cursorRunId(*browser), 106L);
    }

    // Enter on the list opens "Finanziamento" of the cursor run, Ctrl+F
    // finds a run by code or ID and shows it, all with the keys.
    void theListsKeysMoveFindAndFinanceTheCursorRun()
    {
        auto browser = openLongLine();
        ListWindow* list = browser->listWindow();
        QCOMPARE(browser->focusWidget(), list); // the keys go to the list once a line is shown
        QTest::keyClick(list, Qt::Key_End);
        QCOMPARE(cursorRunId(*browser), 130L);
        QTest::keyClick(list, Qt::Key_Up);
        QCOMPARE(cursorRunId(*browser), 129L);
        QString shown;
        whenDialogShows<RunAccountingDialog>([&shown](RunAccountingDialog* dialog) {
            shown = dialog->findChild<QLineEdit*>("amountEdit")->text();
            dialog->reject();
        });
        QTest::keyClick(list, Qt::Key_Return);
        QCOMPARE(shown, QStringLiteral("66.00")); // run 129's amount

        const auto find = [&](const QString& typed) {
            whenDialogShows<QInputDialog>([typed](QInputDialog* dialog) {
                QCOMPARE(dialog->windowTitle(), QStringLiteral("Cerca Corsa"));
                QLineEdit* edit = dialog->findChild<QLineEdit*>();
                edit->selectAll();
                QTest::keyClicks(edit, typed);
                QTest::keyClick(edit, Qt::Key_Return);
            });
            QTest::keyClick(list, Qt::Key_F, Qt::ControlModifier);
            list->renderList();
        };
        find("r105"); // a code, letters in either case
        QCOMPARE(cursorRunId(*browser), 105L);
        QVERIFY(list->topRow() <= 4 && 4 < list->topRow() + list->visibleRows());
        find("120"); // an ID
        QCOMPARE(cursorRunId(*browser), 120L);
        QVERIFY(list->topRow() <= 19 && 19 < list->topRow() + list->visibleRows());
        db->sink.clear();
        find("Z9");
        QCOMPARE(cursorRunId(*browser), 120L);
        QCOMPARE(db->sink.lastText(), std::string("ATTENZIONE: Nessuna corsa della lista ha codice o ID \"Z9\".\n\n"
                                                  "Occorre indicare il codice o l'ID di una corsa della lista.\n\n"));
    }

    // Ctrl+C puts the selected runs (Space, Shift with the arrows) on the
    // clipboard as the CSV rows of korvan-batch runs, in the list's order;
    // without a selection, the cursor run.
    void ctrlCCopiesTheSelectedRunsAsCsvRows()
    {
        auto browser = openBrowser();
        browser->showLine({10, 3, 1});
        ListWindow* list = browser->listWindow();
        list->renderList();
        const QString header = "\"Ente\";\"Azienda\";\"Linea\";\"ID\";\"Corsa\";\"Partenza\";\"Arrivo\";"
                               "\"Lunghezza Km\";\"Finanziamento\";\"Ente Pagante\";\"Importo Euro\";"
                               "\"Giorni Effettuazione\";\"Dal\";\"Al\";\"CAL\";\"PERC\"\r\n";
        const QString run1 = "10;3;1;1;\"C1\";\"07:30 Piazza Dante\";\"08:15 Piazza Dante\";10,00;"
                             "\"Servizio Minimo\";10;5,00;3;\"07/01/2024\";\"09/01/2024\";0;0\r\n";
        const QString run2 = "10;3;1;2;\"C2\";\"06:00 Piazza Dante\";\"06:30 Piazza Dante\";4,00;"
                             "\"Provincia Quaranta\";40;12,90;2;\"07/01/2024\";\"08/01/2024\";1;0\r\n";
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), header + run1);
        QTest::keyClick(list, Qt::Key_Down, Qt::ShiftModifier);
        QCOMPARE(selectedRunIds(*browser), (std::vector<long>{1, 2}));
        browser->runCommand(5131); // by length: run 2 first
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), header + run2 + run1);
        QCOMPARE(QGuiApplication::clipboard()->mimeData()->data("text/csv"), (header + run2 + run1).toUtf8());
        QTest::keyClick(list, Qt::Key_Space); // the cursor run (2) leaves the selection
        QTest::keyClick(list, Qt::Key_C, Qt::ControlModifier);
        QCOMPARE(QGuiApplication::clipboard()->text(), header + run1);
    }

    // "Salva CSV..." proposes the contract and line as the file's name,
    // adds the extension a typed name lacks, writes the whole list in its
    // order as korvan-batch runs --csv does and says where it went.
    void salvaCsvSavesTheWholeListInItsOrder()
    {
        auto browser = openBrowser();
        QStringList status;
        browser->setStatusLine([&status](const QString& text) { status << text; });
        browser->showLine({10, 3, 1});
        browser->runCommand(5131); // by length: run 2 first
        const TempDir folder;
        QString proposed;
        whenDialogShows<QFileDialog>([&proposed, &folder](QFileDialog* dialog) {
            auto* name = dialog->findChild<QLineEdit*>("fileNameEdit");
            proposed = name->text();
            dialog->setDirectory(QString::fromStdString(folder.path()));
            name->setText("elenco");
            QTest::keyClick(name, Qt::Key_Return);
        });
        QTest::mouseClick(browser->button(command::SaveList), Qt::LeftButton);
        QCOMPARE(proposed, QStringLiteral("Corse_0010_0003_0001.csv"));
        const std::string path = folder.file("elenco.csv");
        QFile file(QString::fromStdString(path));
        QVERIFY(file.open(QIODevice::ReadOnly));
        const std::string written = file.readAll().toStdString();
        QCOMPARE(written.substr(0, 3), std::string("\xEF\xBB\xBF"));
        const size_t second = written.find("\r\n10;3;1;");
        QVERIFY(second != std::string::npos);
        QCOMPARE(written.substr(second + 2, 10), std::string("10;3;1;2;\"")); // run 2 first
        QVERIFY(written.find("\r\n10;3;1;1;\"C1\"") != std::string::npos);
        QCOMPARE(status, QStringList{"CSV salvato in " + QDir::toNativeSeparators(QString::fromStdString(path))});
    }

    void aFailedChangeKeepsTheMarksAndTheSelectionOfThePendingOnes()
    {
        // The database refuses every change of run 2's days.
        tools::RawDatabase raw = db->rawDatabase();
        QVERIFY(raw.exec("CREATE TRIGGER refuse_run_2 BEFORE UPDATE ON conkal WHEN NEW.ID = 2 "
                         "BEGIN SELECT RAISE(ABORT, 'riga rifiutata'); END"));
        auto browser = openBrowser();
        browser->showLine({10, 3, 1});
        ListWindow* list = browser->listWindow();
        list->renderList();
        financeCursorRun(*browser, "7"); // run 1: pending, red
        QVERIFY(browser->model()->findRun(1)->modified);
        clickRow(list, 0, Qt::ControlModifier);
        clickRow(list, 1);
        QCOMPARE(cursorRunId(*browser), 2L);
        whenDialogShows<RunAccountingDialog>([](RunAccountingDialog* dialog) {
            dialog->findChild<QLineEdit*>("amountEdit")->setText("9");
            dialog->findChild<QCheckBox*>("applyToSelectedCheck")->click(); // run 2 alone
            dialog->findChild<QPushButton*>("okButton")->click();
        });
        browser->runCommand(command::RunAccounting);
        QCOMPARE(db->sink.lastText(), runs::changeNotWrittenNotice());
        // Run 1's change is still pending, and still shows as such.
        QVERIFY(browser->model()->findRun(1)->modified);
        QVERIFY(browser->model()->findRun(1)->selected);
        QCOMPARE(browser->model()->findRun(1)->amount, 7.0);
        QVERIFY(!browser->model()->findRun(2)->modified);
        QCOMPARE(browser->model()->findRun(2)->amount, 12.9);
        QCOMPARE(cursorRunId(*browser), 2L);
        // Kept: no longer pending; the selection stays.
        QTest::mouseClick(browser->button(command::RefreshView), Qt::LeftButton);
        QCOMPARE(storedAmount(1), std::string("7.0"));
        QVERIFY(!browser->model()->findRun(1)->modified);
        QVERIFY(browser->model()->findRun(1)->selected);
    }
};

QTEST_MAIN(RunBrowserTest)
#include "RunBrowserTest.moc"
