// The run browser on a real runs file: the line choice at opening, the
// labels and layout, the commands of the bar and pop-up, the accounting
// dialog writing inside the browser's transaction, and what a second
// connection sees after "Aggiorna Vista", "Ripristina" and Escape.

#include "BrowserWidgetFixture.h"

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

#include <QLabel>
#include <QLineEdit>
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

    void laysOutTheLabelsListAndBar()
    {
        auto browser = openBrowser();
        const QRect list = browser->listWindow()->QWidget::geometry();
        QCOMPARE(list, QRect(10, 60, 980, 500 - 35 - 60));
        QCOMPARE(browser->authorityLabel()->geometry().topLeft(), QPoint(10, 5));
        QCOMPARE(browser->authorityLabel()->width(), 940);
        QVERIFY(browser->button(command::SelectLine)->isDefault());
        const int order[] = {command::Done,          command::RefreshView,  command::Restore,      command::SelectLine,
                             command::RunAccounting, command::CalendarView, command::ItineraryView};
        int right = 0;
        for (int id : order) {
            const QRect place = browser->button(id)->geometry();
            QCOMPARE(place.bottom() + 1, 495);
            QVERIFY(place.left() > right);
            right = place.right();
        }
        QCOMPARE(browser->button(command::Done)->x(), 15);
        QCOMPARE(browser->button(command::RefreshView)->x(), browser->button(command::Done)->geometry().right() + 31);
        QCOMPARE(browser->button(command::Restore)->x(), browser->button(command::RefreshView)->geometry().right() + 6);
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

    void sortsSelectsAndReloadsBackToIdOrder()
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
        browser->runCommand(command::RefreshView);
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
        QVERIFY(!browser->model()->findRun(1)->modified); // "a reload builds the rows anew"
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
};

QTEST_MAIN(RunBrowserTest)
#include "RunBrowserTest.moc"
