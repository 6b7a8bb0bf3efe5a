// KORVAN: the application object and its one main window.

#include "shell/CommandLine.h"
#include "shell/CommandWiring.h"
#include "shell/MainWindow.h"
#include "shell/Settings.h"
#include "shell/ShellResources.h"
#include "ui/common/MessageBoxSink.h"
#include "ui/common/QtTranslations.h"

#include <QApplication>
#include <QIcon>

#include <iostream>

int main(int argc, char** argv)
{
    // --help and --version need no display.
    if (const std::optional<int> status =
            korvan::shell::answerCommandLine(std::vector<std::string>(argv + 1, argv + argc), std::cout))
        return *status;

    QApplication app(argc, argv);
    QApplication::setApplicationName("KORVAN");
    QApplication::setOrganizationName("KORVAN");
    korvan::ui::installItalianQtTranslations(app);
    // The desktop entry korvan.desktop: its icon and name for the window.
    QApplication::setDesktopFileName("korvan");
    korvan::shell::initShellResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvan/icon.png")));

    korvan::ui::MessageBoxSink sink;
    korvan::shell::MainWindow window(korvan::shell::SettingsStore::standard(), sink);
    sink.setParentWidget(&window);
    korvan::shell::wireDataCommands(window);
    window.startUp();
    return QApplication::exec();
}
