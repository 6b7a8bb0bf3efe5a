// While the run browser (a modal window over the client area) is open, the
// main window's menu is disabled; it is usable again once the browser has
// closed.

#include "ShellTestSupport.h"

#include "shell/CommandIds.h"
#include "shell/CommandWiring.h"
#include "ui/runs/RunBrowserDialog.h"
#include "ui/runs/RunFilterDialog.h"

#include <QAction>
#include <QApplication>
#include <QMenuBar>
#include <QTimer>

using namespace korvan;
using namespace korvan::test;

class ShellRunBrowserMenuTest : public QObject {
    Q_OBJECT

  private slots:
    void theMenuIsDisabledWhileTheBrowserIsOpen()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}}), sink);
        shell::wireDataCommands(window);
        window.startUp();
        QVERIFY(window.menuBar()->isEnabled());

        bool browserSeen = false;
        bool menuEnabledMeanwhile = true;
        QTimer poll;
        poll.setInterval(10);
        connect(&poll, &QTimer::timeout, [&] {
            // The line choice the browser opens on, over the browser.
            auto* filter = qobject_cast<ui::runs::RunFilterDialog*>(QApplication::activeModalWidget());
            if (!filter || !filter->isVisible())
                return;
            poll.stop();
            auto* browser = qobject_cast<ui::runs::RunBrowserDialog*>(filter->parentWidget());
            browserSeen = browser != nullptr;
            menuEnabledMeanwhile = window.menuBar()->isEnabled();
            if (filter)
                filter->reject();
            if (browser && browser->isVisible())
                browser->finishAndClose();
        });
        poll.start();
        window.commandAction(shell::command::RunBrowser)->trigger();
        poll.stop();

        QVERIFY(browserSeen);
        QVERIFY(!menuEnabledMeanwhile);
        QVERIFY(window.menuBar()->isEnabled());
    }
};

QTEST_MAIN(ShellRunBrowserMenuTest)
#include "ShellRunBrowserMenuTest.moc"
