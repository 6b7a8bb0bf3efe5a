// Start-up, connection choice, disconnection, about box and exit of the main
// window, on real settings files and real SQLite runs databases.

#include "ShellTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "core/Version.h"
#include "db/TableCursor.h"
#include "shell/CommandIds.h"
#include "shell/Settings.h"

#include <QAction>
#include <QFileInfo>

using namespace korvan;
using namespace korvan::test;
namespace command = korvan::shell::command;

namespace {

const std::string kNoDatabase = "L'applicazione KORVAN non è associata ad un database.\n\n"
                                "Prima di iniziare ad operare con KORVAN è necessario\n"
                                "associare un database già esistente di Varcotab.\n\n";
const std::string kExitQuestion = "E' stata richiesta l'uscita da KORVAN.\n\nIntendi veramente uscire dal programma ?";
const char* const kMissingDsn = "korvan_no_such_dsn";

bool dataCommandsEnabled(const shell::MainWindow& window)
{
    return window.commandAction(command::ExtractLines)->isEnabled() &&
           window.commandAction(command::RunBrowser)->isEnabled() &&
           window.commandAction(command::ServiceDays)->isEnabled();
}

bool anyDataCommandEnabled(const shell::MainWindow& window)
{
    for (int id : {5114, 5115, 5116, 5117, 5118, 5119, 5120, 5121, 5122, 5123, 5124, 5125, 5126, 5127, 5141})
        if (window.commandAction(id)->isEnabled())
            return true;
    return false;
}

} // namespace

class ShellStartupTest : public QObject {
    Q_OBJECT

  private slots:
    void firstStartWithEmptyStoreSaysNoDatabaseOnce()
    {
        TempDir dir;
        const QString store = writeSettingsStore(dir, {});
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(store, sink);
            window.startUp();
            QCOMPARE(sink.entries.size(), std::size_t(1));
            QCOMPARE(sink.entries[0].text, kNoDatabase);
            QCOMPARE(sink.entries[0].icon, MessageIcon::Error);
            QVERIFY(window.connection() == nullptr);
            QVERIFY(!anyDataCommandEnabled(window));
            QVERIFY(window.isMaximized());
            QCOMPARE(window.windowTitle(), QString::fromUtf8("KORVAN - \"Contabilità Varcotab - Regione Valdora\""));
            QVERIFY(QString::fromStdString(window.aboutText()).endsWith("\n\nDatabase: Nessuno"));
        }
        // The defaults are written back into the existing store.
        QCOMPARE(storedValue(store, "RowSzAlfa").toInt(), 25);
        QCOMPARE(storedValue(store, "RowSzBlob").toInt(), 1);
        QCOMPARE(storedValue(store, "Database").toString(), QString());
    }

    void missingStoreWarnsKeepsDefaultsAndIsNotCreated()
    {
        TempDir dir;
        const QString store = QString::fromStdString(dir.file("KORVAN.ini"));
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(store, sink);
            window.startUp();
            QCOMPARE(sink.entries.size(), std::size_t(2));
            QCOMPARE(sink.entries[0].text, std::string(shell::kSettingsStoreMissingMessage));
            QCOMPARE(sink.entries[1].text, kNoDatabase);
            QCOMPARE(window.session().rowsetSizeOrdinary(), 25);
            QCOMPARE(window.session().rowsetSizeBlob(), 1);
        }
        QVERIFY(!QFileInfo::exists(store));
    }

    // The package installs packaging/KORVAN.ini as the defaults for every
    // user: a first start reads them without the serious-fault message and
    // its exit writes the user's own file.
    void firstStartFromThePackagedDefaults()
    {
        TempDir dir;
        const QString packaged = QStringLiteral(KORVAN_PACKAGED_SETTINGS);
        const QString own = QString::fromStdString(dir.file("config/KORVAN/KORVAN.ini"));
        QFile original(packaged);
        QVERIFY(original.open(QIODevice::ReadOnly));
        const QByteArray packagedText = original.readAll();
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(shell::SettingsStore(own, packaged), sink);
            window.startUp();
            QCOMPARE(countMessages(sink, shell::kSettingsStoreMissingMessage), 0);
            QCOMPARE(sink.entries.size(), std::size_t(1));
            QCOMPARE(sink.entries[0].text, kNoDatabase);
            QCOMPARE(window.session().rowsetSizeOrdinary(), 25);
            QCOMPARE(window.session().rowsetSizeBlob(), 1);
            QVERIFY(!QFileInfo::exists(own));
        }
        QCOMPARE(storedValue(own, "RowSzAlfa").toInt(), 25);
        QCOMPARE(storedValue(own, "RowSzBlob").toInt(), 1);
        QCOMPARE(storedValue(own, "Database").toString(), QString());
        QVERIFY(storedValue(own, "DsnOdbc").isValid());
        QVERIFY(original.seek(0));
        QCOMPARE(original.readAll(), packagedText);

        // Without the user's file and without the defaults: the fault, and
        // nothing is written.
        TempDir bare;
        const QString none = QString::fromStdString(bare.file("config/KORVAN/KORVAN.ini"));
        RecordingMessageSink bareSink;
        {
            PromptedMainWindow window(shell::SettingsStore(none, QString::fromStdString(bare.file("etc/KORVAN.ini"))),
                                      bareSink);
            window.startUp();
            QCOMPARE(bareSink.entries.size(), std::size_t(2));
            QCOMPARE(bareSink.entries[0].text, std::string(shell::kSettingsStoreMissingMessage));
            QCOMPARE(bareSink.entries[1].text, kNoDatabase);
        }
        QVERIFY(!QFileInfo::exists(QString::fromStdString(bare.file("config"))));
    }

    // An office's defaults naming its database: every user's first start
    // connects to it and keeps it in their own file.
    void defaultsNamingADatabaseConnectTheFirstStart()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        const QString defaults =
            writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}, {"RowSzBlob", 4}});
        const QString own = QString::fromStdString(dir.file("home/KORVAN/KORVAN.ini"));
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(shell::SettingsStore(own, defaults), sink);
            window.startUp();
            QVERIFY2(sink.empty(), sink.lastText().c_str());
            QVERIFY(window.connection() && window.connection()->IsOpen());
            QVERIFY(dataCommandsEnabled(window));
        }
        QCOMPARE(storedValue(own, "Database").toString(), QString::fromStdString(runs));
        QCOMPARE(storedValue(own, "RowSzBlob").toInt(), 4);
    }

    void storedFileConnectsAndEnablesDataCommands()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        const QString store = writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}});
        RecordingMessageSink sink;
        PromptedMainWindow window(store, sink);
        window.startUp();
        QVERIFY2(sink.empty(), sink.lastText().c_str());
        QVERIFY(window.connection() && window.connection()->IsSqlite() && window.connection()->IsOpen());
        QVERIFY(dataCommandsEnabled(window));
        const QString about = QString::fromStdString(window.aboutText());
        QVERIFY2(about.endsWith(QString::fromStdString("\n\nDatabase: " + runs + " (" +
                                                       window.connection()->SqliteVersion() + ")")),
                 qPrintable(about));
        QVERIFY2(about.contains(" (SQLite 3."), qPrintable(about));
        QVERIFY(about.startsWith(QString::fromUtf8("INFORMAZIONI SUL PROGRAMMA\n\nKORVAN - \"Contabilità Varcotab - "
                                                   "Regione Valdora\"\nVersione ") +
                                 programVersion() + "\nSistema operativo "));
    }

    void storedFileThatNoLongerOpensIsForgotten()
    {
        TempDir dir;
        const QString store = writeSettingsStore(dir, {{"Database", QString::fromStdString(dir.file("gone.sqlite"))}});
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(store, sink);
            window.startUp();
            QVERIFY(anyMessageStartsWith(sink, "Errore in fase di apertura del database\n\n"));
            QVERIFY(window.connection() == nullptr);
            QVERIFY(!anyDataCommandEnabled(window));
            QVERIFY(!QFileInfo::exists(QString::fromStdString(dir.file("gone.sqlite"))));
        }
        QCOMPARE(storedValue(store, "Database").toString(), QString());
    }

    void storedDsnThatNoLongerOpensIsEmptyAfterExit()
    {
        TempDir dir;
        const QString store = writeSettingsStore(dir, {{"DsnOdbc", kMissingDsn}, {"RowSzAlfa", 40}});
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(store, sink);
            window.startUp();
            QCOMPARE(countMessages(sink, kNoDatabase), 0);
            QVERIFY(anyMessageStartsWith(sink, "Errore in fase di conessione al database \n\n"));
            QVERIFY(window.connection() == nullptr);
            QVERIFY(!anyDataCommandEnabled(window));
            QCOMPARE(window.session().odbcDsn(), std::string());
        }
        QCOMPARE(storedValue(store, "DsnOdbc").toString(), QString());
        QCOMPARE(storedValue(store, "RowSzAlfa").toInt(), 40);

        // The next start has nothing to connect to.
        RecordingMessageSink nextSink;
        PromptedMainWindow next(store, nextSink);
        next.startUp();
        QCOMPARE(countMessages(nextSink, kNoDatabase), 1);
    }

    void dsnAndFileStoredUsesOdbcAndKeepsThePath()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        const QString store =
            writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}, {"DsnOdbc", kMissingDsn}});
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(store, sink);
            window.startUp();
            // The data source is tried and fails; the file is not tried.
            QVERIFY(anyMessageStartsWith(sink, "Errore in fase di conessione al database \n\n"));
            QVERIFY(window.connection() == nullptr);
            QVERIFY(window.session().useOdbc());
            QVERIFY(!window.session().useSqlite());
            QCOMPARE(window.session().sqlitePath(), runs);
        }
        QCOMPARE(storedValue(store, "Database").toString(), QString::fromStdString(runs));
        QCOMPARE(storedValue(store, "DsnOdbc").toString(), QString());
    }

    void dsnAndFileStoredWithAWorkingDsn()
    {
        const std::string dsn = sqliteOdbcDsn();
        if (dsn.empty()) {
            if (odbcRequired())
                QFAIL("KORVAN_TEST_SQLITE_DSN is not set");
            QSKIP("no SQLite ODBC data source");
        }
        giveOdbcDatabaseTheSchema(dsn);
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        const QString store = writeSettingsStore(
            dir, {{"Database", QString::fromStdString(runs)}, {"DsnOdbc", QString::fromStdString(dsn)}});
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(store, sink);
            window.startUp();
            QVERIFY2(sink.empty(), sink.lastText().c_str());
            QVERIFY(window.connection() && window.connection()->IsOdbc() && window.connection()->IsOpen());
            QVERIFY(dataCommandsEnabled(window));
            QVERIFY(!window.session().odbcDriver().empty());
            QVERIFY(QString::fromStdString(window.aboutText())
                        .endsWith(QString::fromStdString("Database: ODBC via DSN \"" + dsn +
                                                         "\" Driver: " + window.session().odbcDriver() +
                                                         "\nRowsetSize (Dati ordinari): 25\n"
                                                         "RowsetSize (Dati Blob): 1")));
        }
        QCOMPARE(storedValue(store, "Database").toString(), QString::fromStdString(runs));
        QCOMPARE(storedValue(store, "DsnOdbc").toString(), QString::fromStdString(dsn));
    }

    void storedBlockSizeOutOfRangeIsNeitherUsedNorSavedBack()
    {
        const std::string dsn = sqliteOdbcDsn();
        if (dsn.empty()) {
            if (odbcRequired())
                QFAIL("KORVAN_TEST_SQLITE_DSN is not set");
            QSKIP("no SQLite ODBC data source");
        }
        giveOdbcDatabaseTheSchema(dsn);
        TempDir dir;
        const QString store =
            writeSettingsStore(dir, {{"DsnOdbc", QString::fromStdString(dsn)}, {"RowSzAlfa", 999999999}});
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(store, sink);
            window.startUp();
            QCOMPARE(sink.entries.size(), std::size_t(1));
            QVERIFY(anyMessageStartsWith(sink, "ATTENZIONE: Il file di configurazione KORVAN.ini contiene una "
                                               "dimensione\ndel rowset fuori dall'intervallo ammesso"));
            QVERIFY(window.connection() && window.connection()->IsOpen());
            QCOMPARE(window.connection()->RowsetSizeOrdinary(), 25);
            // The calendar generation's block cursor: with the stored size its
            // buffers aborted the program with std::bad_alloc.
            TableCursor cursor(window.connection(), "conkal", true);
            QVERIFY(cursor.IsOpen());
            QVERIFY(QString::fromStdString(window.aboutText()).contains("RowsetSize (Dati ordinari): 25\n"));
        }
        QCOMPARE(storedValue(store, "RowSzAlfa").toInt(), 25);

        // Said once: the next start finds the default and says nothing.
        RecordingMessageSink nextSink;
        PromptedMainWindow next(store, nextSink);
        next.startUp();
        QVERIFY2(nextSink.empty(), nextSink.lastText().c_str());
        QCOMPARE(next.session().rowsetSizeOrdinary(), 25);
    }

    void disconnectAfterOdbcKeepsTheDataSource()
    {
        const std::string dsn = sqliteOdbcDsn();
        if (dsn.empty()) {
            if (odbcRequired())
                QFAIL("KORVAN_TEST_SQLITE_DSN is not set");
            QSKIP("no SQLite ODBC data source");
        }
        giveOdbcDatabaseTheSchema(dsn);
        TempDir dir;
        const QString store = writeSettingsStore(dir, {});
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(store, sink);
            window.startUp();
            window.dataSourceAnswer = shell::DataSourceChoice{dsn, "", 30, 2};
            window.commandAction(command::OdbcConnect)->trigger();
            QVERIFY(window.connection() && window.connection()->IsOpen());
            QVERIFY(dataCommandsEnabled(window));
            sink.clear();
            window.commandAction(command::SqliteDisconnect)->trigger();
            QCOMPARE(sink.lastText(), std::string("Confermi sconnessione database ?"));
            QVERIFY(window.connection() == nullptr);
            QVERIFY(!anyDataCommandEnabled(window));
        }
        QCOMPARE(storedValue(store, "DsnOdbc").toString(), QString::fromStdString(dsn));
        QCOMPARE(storedValue(store, "RowSzAlfa").toInt(), 30);
        QCOMPARE(storedValue(store, "RowSzBlob").toInt(), 2);

        RecordingMessageSink nextSink;
        PromptedMainWindow next(store, nextSink);
        next.startUp();
        QVERIFY2(nextSink.empty(), nextSink.lastText().c_str());
        QVERIFY(next.connection() && next.connection()->IsOpen());
    }

    void choosingAFileReplacesTheDataSourceAndDisconnectForgetsIt()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        const QString store = writeSettingsStore(dir, {{"DsnOdbc", "whatever"}});
        RecordingMessageSink sink;
        {
            PromptedMainWindow window(store, sink);
            window.startUp();
            sink.clear();
            window.sqliteFileAnswer = QString::fromStdString(runs);
            window.commandAction(command::SqliteConnect)->trigger();
            QVERIFY2(sink.empty(), sink.lastText().c_str());
            QVERIFY(window.connection() && window.connection()->IsSqlite());
            QVERIFY(window.session().useSqlite() && !window.session().useOdbc());
            QVERIFY(dataCommandsEnabled(window));

            // Cancel on the confirmation keeps the connection.
            sink.confirmReply = false;
            window.commandAction(command::SqliteDisconnect)->trigger();
            QCOMPARE(sink.entries.back().icon, MessageIcon::Question);
            QVERIFY(window.connection() != nullptr);

            sink.confirmReply = true;
            window.commandAction(command::SqliteDisconnect)->trigger();
            QVERIFY(window.connection() == nullptr);
            QCOMPARE(window.session().sqlitePath(), std::string());
            QVERIFY(!anyDataCommandEnabled(window));
            QVERIFY(QString::fromStdString(window.aboutText()).endsWith("Database: Nessuno"));
        }
        QCOMPARE(storedValue(store, "Database").toString(), QString());
        QCOMPARE(storedValue(store, "DsnOdbc").toString(), QString());

        RecordingMessageSink nextSink;
        PromptedMainWindow next(store, nextSink);
        next.startUp();
        QCOMPARE(countMessages(nextSink, kNoDatabase), 1);
    }

    void aFailedChoiceLeavesNoConnection()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        const QString store = writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}});
        RecordingMessageSink sink;
        PromptedMainWindow window(store, sink);
        window.startUp();
        QVERIFY(window.connection() != nullptr);

        // Cancelling the prompt changes nothing.
        window.dataSourceAnswer.reset();
        window.commandAction(command::OdbcConnect)->trigger();
        QVERIFY(window.connection() != nullptr);

        window.dataSourceAnswer = shell::DataSourceChoice{kMissingDsn, "", 10, 3};
        window.commandAction(command::OdbcConnect)->trigger();
        QVERIFY(anyMessageStartsWith(sink, "Errore in fase di conessione al database \n\n"));
        QVERIFY(window.connection() == nullptr);
        QVERIFY(!anyDataCommandEnabled(window));
        QCOMPARE(window.session().sqlitePath(), std::string());
        QCOMPARE(window.session().odbcDsn(), std::string());
        QCOMPARE(window.session().rowsetSizeOrdinary(), 10);
        QVERIFY(QString::fromStdString(window.aboutText()).endsWith("Database: Nessuno"));
    }

    void exitCancelChangesNothing()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        const QString store = writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}});
        RecordingMessageSink sink;
        PromptedMainWindow window(store, sink);
        window.startUp();
        sink.confirmReply = false;
        window.commandAction(command::Exit)->trigger();
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.entries[0].text, kExitQuestion);
        QCOMPARE(sink.entries[0].icon, MessageIcon::Question);
        QVERIFY(window.isVisible());
        QVERIFY(window.connection() && window.connection()->IsOpen());
        QCOMPARE(window.saves, 0);
    }

    void exitOkClosesTheConnectionBeforeSaving()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        const QString store = writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}, {"RowSzBlob", 7}});
        RecordingMessageSink sink;
        PromptedMainWindow window(store, sink);
        window.startUp();
        QVERIFY(window.connection() != nullptr);
        QVERIFY(window.close());
        QCOMPARE(sink.lastText(), kExitQuestion);
        QVERIFY(!window.isVisible());
        QCOMPARE(window.saves, 1);
        QVERIFY(window.connectionClosedAtSave);
        QCOMPARE(storedValue(store, "Database").toString(), QString::fromStdString(runs));
        QCOMPARE(storedValue(store, "RowSzBlob").toInt(), 7);
    }

    void unwiredDataCommandsDoNothingAndHandlersRun()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        const QString store = writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}});
        RecordingMessageSink sink;
        PromptedMainWindow window(store, sink);
        window.startUp();
        int runsBrowsed = 0;
        window.setCommandHandler(command::RunBrowser, [&] { ++runsBrowsed; });
        window.commandAction(command::RunBrowser)->trigger();
        window.commandAction(command::ExtractLines)->trigger();
        QCOMPARE(runsBrowsed, 1);
        QVERIFY(sink.empty());
        // The shell's own commands keep their operations.
        window.setCommandHandler(command::About, [&] { ++runsBrowsed; });
        window.commandAction(command::About)->trigger();
        QCOMPARE(runsBrowsed, 1);
        QCOMPARE(sink.entries.back().icon, MessageIcon::Information);
        QVERIFY(sink.lastText().rfind("INFORMAZIONI SUL PROGRAMMA\n\n", 0) == 0);
    }
};

QTEST_MAIN(ShellStartupTest)
#include "ShellStartupTest.moc"
