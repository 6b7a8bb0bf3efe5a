// Command 5120 in the main window: the browser opens over the client area on
// its line choice, each reload inside its own loop starts and ends the wait
// cursor and the clock, and closing the program while the browser is open
// keeps the pending changes first.

#include "ShellTestSupport.h"

#include "shell/BusyClockWidget.h"
#include "shell/ClientAreaWidget.h"
#include "shell/CommandIds.h"
#include "shell/CommandWiring.h"
#include "ui/common/PickListCombo.h"
#include "ui/runs/RunAccountingDialog.h"
#include "ui/runs/RunBrowserCommands.h"
#include "ui/runs/RunBrowserDialog.h"
#include "ui/runs/RunFilterDialog.h"

#include <QAction>
#include <QApplication>
#include <QEventLoop>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>

#include <functional>
#include <memory>

using namespace korvan;
using namespace korvan::test;
using namespace korvan::ui::runs;

namespace {

std::string makeBrowsedDatabase(const TempDir& dir)
{
    const std::string path = makeRunsDatabase(dir);
    tools::RawDatabase db = tools::RawDatabase::sqliteFile(path);
    for (const char* sql :
         {"INSERT INTO regent (codice, denom) VALUES (10, 'Regione Dieci')",
          "INSERT INTO regazi (codice, denom) VALUES (3, 'Società Tre')",
          "INSERT INTO linee (ID, ente, linea, denom) VALUES (1, 10, 'L1', 'Linea uno')",
          "INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, ct_lung) VALUES (3, 1, 10, 'L1', 'C1', 10000)",
          "INSERT INTO conline (azienda, ID, ente, linea) VALUES (3, 1, 10, 1)",
          "INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (3, 1, 10, 1, 5)",
          "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (3, 1, '2025-01-07', 10, 1, 5)"})
        if (!db.exec(sql))
            qFatal("fixture: %s", db.error().c_str());
    return path;
}

std::optional<Qt::CursorShape> pointerShape()
{
    if (const QCursor* cursor = QApplication::overrideCursor())
        return cursor->shape();
    return std::nullopt;
}

// Calls `act` with the active modal dialog of class T once it shows.
template <typename T> void whenShown(std::function<void(T*)> act)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [act, poll] {
        T* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog || !dialog->isVisible()) {
            QTimer::singleShot(10, *poll);
            return;
        }
        act(dialog);
    };
    QTimer::singleShot(0, *poll);
}

} // namespace

class ShellRunBrowserTest : public QObject {
    Q_OBJECT

  private:
    // What the test saw, step by step.
    struct Seen {
        RunBrowserDialog* browser = nullptr;
        QRect browserPlace;
        std::uint64_t runsBeforeLoad = 0, runsAfterLoad = 0, runsAfterReload = 0;
        std::optional<Qt::CursorShape> pointerAfterLoad = Qt::WaitCursor, pointerAfterReload = Qt::WaitCursor;
        bool clockLater = true, clockAfterReload = true;
        std::string amountWhilePending;
    };

  private slots:
    void theBrowserReloadsBusyAndExitKeepsItsChanges()
    {
        TempDir dir;
        const std::string path = makeBrowsedDatabase(dir);
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(path)}}), sink);
        shell::wireDataCommands(window);
        window.startUp();
        QVERIFY(window.connection());
        window.current().authority = 10;
        window.current().company = 3;
        shell::BusyClockWidget* clock = window.busyClock();
        Seen seen;

        // 3. An edit, then exit with the browser open: its "Fine" runs first.
        auto editAndExit = [&] {
            seen.clockAfterReload = clock->isRunning();
            whenShown<RunAccountingDialog>([](RunAccountingDialog* dialog) {
                dialog->findChild<QLineEdit*>("amountEdit")->setText("12,5");
                dialog->findChild<QPushButton*>("okButton")->click();
            });
            seen.browser->runCommand(command::RunAccounting);
            seen.amountWhilePending =
                tools::RawDatabase::sqliteFile(path).queryText("SELECT euro FROM concors WHERE ID = 1");
            window.close();
        };
        // 2. "Aggiorna Vista" from the browser's loop: one more run of the clock.
        auto reload = [&] {
            seen.clockLater = clock->isRunning();
            seen.browser->runCommand(command::RefreshView);
            seen.runsAfterReload = clock->runNumber();
            seen.pointerAfterReload = pointerShape();
            QTimer::singleShot(1200, editAndExit);
        };
        // 1. The line choice at opening; right after its load (polled without
        // pause, so that the loop never goes idle before) the pointer is back.
        auto afterLoad = std::make_shared<std::function<void()>>();
        *afterLoad = [&, afterLoad] {
            if (!seen.browser->model()) {
                QTimer::singleShot(0, *afterLoad);
                return;
            }
            seen.pointerAfterLoad = pointerShape();
            seen.runsAfterLoad = clock->runNumber();
            seen.browserPlace = seen.browser->geometry();
            QTimer::singleShot(1200, reload);
        };
        whenShown<RunFilterDialog>([&](RunFilterDialog* filter) {
            seen.browser = qobject_cast<RunBrowserDialog*>(filter->parentWidget());
            seen.runsBeforeLoad = clock->runNumber();
            filter->lineList()->setCurrentIndex(0);
            filter->findChild<QPushButton*>("okButton")->click();
            QTimer::singleShot(0, *afterLoad);
        });
        QEventLoop mainLoop;
        QTimer::singleShot(0, &window, [&] {
            window.commandAction(shell::command::RunBrowser)->trigger();
            mainLoop.quit();
        });
        mainLoop.exec();

        QVERIFY(seen.browser);
        QCOMPARE(seen.browserPlace, QRect(window.clientArea()->mapToGlobal(QPoint(0, 0)), window.clientArea()->size()));
        QCOMPARE(seen.runsAfterLoad, seen.runsBeforeLoad + 1); // the clock ran for the load...
        QCOMPARE(seen.pointerAfterLoad, std::nullopt);
        QVERIFY(!seen.clockLater); // ...and ended with it
        QCOMPARE(seen.runsAfterReload, seen.runsAfterLoad + 1);
        QCOMPARE(seen.pointerAfterReload, std::nullopt);
        QVERIFY(!seen.clockAfterReload);
        QCOMPARE(seen.amountWhilePending, std::string("5.0"));
        QVERIFY(!window.isVisible());
        QVERIFY(window.connection() == nullptr);
        QCOMPARE(tools::RawDatabase::sqliteFile(path).queryText("SELECT euro FROM concors WHERE ID = 1"),
                 std::string("12.5"));
        QCOMPARE(tools::RawDatabase::sqliteFile(path).queryText("SELECT euro FROM conkal WHERE ID = 1"),
                 std::string("12.5"));
    }
};

QTEST_MAIN(ShellRunBrowserTest)
#include "ShellRunBrowserTest.moc"
