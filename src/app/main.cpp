// KORVAN: the application object and its one main window.

#include "shell/CommandLine.h"
#include "shell/CommandWiring.h"
#include "shell/MainWindow.h"
#include "shell/Settings.h"
#include "shell/ShellResources.h"
#include "ui/common/MessageBoxSink.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

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
    // The desktop entry korvan.desktop: its icon and name for the window.
    QApplication::setDesktopFileName("korvan");
    korvan::shell::initShellResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvan/icon.png")));
    // Qt's own texts (standard buttons, file and print dialogs) in the
    // user's language, when Debian's qt6-translations-l10n is installed.
    QTranslator qtTexts;
    if (qtTexts.load(QLocale::system(), "qtbase", "_", QLibraryInfo::path(QLibraryInfo::TranslationsPath)))
        QApplication::installTranslator(&qtTexts);

    korvan::ui::MessageBoxSink sink;
    korvan::shell::MainWindow window(korvan::shell::SettingsStore::standard(), sink);
    sink.setParentWidget(&window);
    korvan::shell::wireDataCommands(window);
    window.startUp();
    return QApplication::exec();
}
