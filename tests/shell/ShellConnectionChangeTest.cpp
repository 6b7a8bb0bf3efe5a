// Changing the database from the menu: the current contract and period of
// the previous database are forgotten, and the status line names the
// database now open (the title stays the program's own).

#include "ShellTestSupport.h"

#include "shell/CommandIds.h"

#include <QAction>
#include <QLabel>
#include <QStatusBar>

using namespace korvan;
using namespace korvan::test;
namespace command = korvan::shell::command;

namespace {

const char* const kTitle = "KORVAN - \"Contabilità Varcotab - Regione Valdora\"";

// What a contract dialog and a period dialog leave behind.
void chooseContractAndPeriod(shell::MainWindow& window)
{
    window.current() = {4, 1, "01/03/2025", "31/03/2025"};
}

bool forgotten(const shell::MainWindow& window)
{
    return window.currentAuthority() == -1 && window.currentCompany() == -1 && window.periodStartText().empty() &&
           window.periodEndText().empty();
}

// The status line's naming of the database.
QLabel* databaseLabel(const shell::MainWindow& window)
{
    return window.statusBar()->findChild<QLabel*>(QStringLiteral("databaseLabel"));
}

QString statusLine(const shell::MainWindow& window)
{
    const QLabel* label = databaseLabel(window);
    return label ? label->text() : QStringLiteral("<no status line>");
}

} // namespace

class ShellConnectionChangeTest : public QObject {
    Q_OBJECT

  private slots:
    void anotherFileOrNoneForgetsTheContractAndTheStatusLineSaysWhich()
    {
        TempDir dir;
        const std::string first = makeRunsDatabase(dir, "primo.sqlite");
        const std::string second = makeRunsDatabase(dir, "secondo.sqlite");
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(first)}}), sink);
        window.startUp();
        QCOMPARE(statusLine(window), QString::fromStdString("Database: " + first));
        QVERIFY(databaseLabel(window)->isVisible());

        // A cancelled choice changes nothing.
        chooseContractAndPeriod(window);
        window.sqliteFileAnswer.reset();
        window.commandAction(command::SqliteConnect)->trigger();
        QCOMPARE(window.currentAuthority(), 4);

        window.sqliteFileAnswer = QString::fromStdString(second);
        window.commandAction(command::SqliteConnect)->trigger();
        QVERIFY(window.connection() && window.connection()->IsOpen());
        QVERIFY(forgotten(window));
        QCOMPARE(statusLine(window), QString::fromStdString("Database: " + second));
        QCOMPARE(window.windowTitle(), QString::fromUtf8(kTitle));

        chooseContractAndPeriod(window);
        window.commandAction(command::SqliteDisconnect)->trigger();
        QVERIFY(!window.connection());
        QVERIFY(forgotten(window));
        QCOMPARE(statusLine(window), QStringLiteral("Database: nessuno"));
        QCOMPARE(window.windowTitle(), QString::fromUtf8(kTitle));
    }

    void aDataSourceForgetsTheContractAndTheStatusLineNamesIt()
    {
        KORVAN_SQLITE_ODBC_DSN_OR_SKIP(dsn);
        TempDir dir;
        const std::string file = makeRunsDatabase(dir);
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(file)}}), sink);
        window.startUp();
        chooseContractAndPeriod(window);
        window.dataSourceAnswer = shell::DataSourceChoice{dsn, "SQLite3", 25, 1};
        window.commandAction(command::OdbcConnect)->trigger();
        QVERIFY2(window.connection() && window.connection()->IsOdbc(), sink.lastText().c_str());
        QVERIFY(forgotten(window));
        QCOMPARE(statusLine(window), QString::fromStdString("Database: origine dati ODBC \"" + dsn + "\" (SQLite3)"));
    }
};

QTEST_MAIN(ShellConnectionChangeTest)
#include "ShellConnectionChangeTest.moc"
