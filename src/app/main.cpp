// KORVAN: the application object and its one main window.

#include "shell/CommandWiring.h"
#include "shell/MainWindow.h"
#include "shell/Settings.h"
#include "shell/ShellResources.h"
#include "ui/common/MessageBoxSink.h"
#include "ui/common/QtTranslations.h"

#include <QApplication>
#include <QIcon>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName("KORVAN");
    QApplication::setOrganizationName("KORVAN");
    korvan::ui::installItalianQtTranslations(app);
    korvan::shell::initShellResources();
    QApplication::setWindowIcon(QIcon(QStringLiteral(":/korvan/icon.png")));

    korvan::ui::MessageBoxSink sink;
    korvan::shell::MainWindow window(korvan::shell::SettingsStore::defaultFilePath(), sink);
    sink.setParentWidget(&window);
    korvan::shell::wireDataCommands(window);
    window.startUp();
    return QApplication::exec();
}
