// KORVAN: the application object and its one main window.

#include "shell/CommandWiring.h"
#include "shell/MainWindow.h"
#include "shell/Settings.h"
#include "shell/ShellResources.h"
#include "ui/common/MessageBoxSink.h"

#include <QApplication>
#include <QIcon>
#include <QTimer>

namespace {

// Test-only: with KORVAN_SCREENSHOT set to a PNG path, the window is grabbed
// into that file a moment after start-up and the program ends without the
// exit question (scripts/screenshot.sh).
void scheduleScreenshot(korvan::shell::MainWindow& window)
{
    const QString path = qEnvironmentVariable("KORVAN_SCREENSHOT");
    if (path.isEmpty())
        return;
    QTimer::singleShot(1500, &window, [&window, path] {
        const bool saved = window.grab().save(path, "PNG");
        QCoreApplication::exit(saved ? 0 : 1);
    });
}

} // namespace

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("KORVAN");
    QApplication::setOrganizationName("KORVAN");
    korvan::shell::initShellResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvan/icon.png")));

    korvan::ui::MessageBoxSink sink;
    korvan::shell::MainWindow window(korvan::shell::SettingsStore::defaultFilePath(), sink);
    sink.setParentWidget(&window);
    korvan::shell::wireDataCommands(window);
    window.startUp();
    scheduleScreenshot(window);
    return QApplication::exec();
}
