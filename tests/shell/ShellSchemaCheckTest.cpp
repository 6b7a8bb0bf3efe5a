// Connecting checks the runs database against the tables and columns the
// program uses: a database that lacks one is refused with one message,
// before any operation can start on it.

#include "ShellTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "shell/DatabaseSession.h"

using namespace korvan;
using namespace korvan::test;
using korvan::shell::DatabaseSession;

class ShellSchemaCheckTest : public QObject {
    Q_OBJECT

  private slots:
    void completeDatabaseConnectsSilently()
    {
        TempDir dir;
        const std::string path = makeRunsDatabase(dir);
        RecordingMessageSink sink;
        DatabaseSession session(sink);
        QVERIFY(session.chooseSqliteFile(path));
        QVERIFY(session.isConnected());
        QVERIFY(sink.empty());
    }

    void databaseWithoutATableIsRefusedInOneMessage()
    {
        TempDir dir;
        const std::string path = makeRunsDatabase(dir);
        {
            tools::RawDatabase raw = tools::RawDatabase::sqliteFile(path);
            QVERIFY(raw.exec("DROP TABLE conitine"));
        }
        RecordingMessageSink sink;
        DatabaseSession session(sink);
        QVERIFY(!session.chooseSqliteFile(path));
        QVERIFY(!session.isConnected());
        QVERIFY(!session.connection());
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.entries[0].icon, MessageIcon::Error);
        QCOMPARE(sink.entries[0].text,
                 std::string("ATTENZIONE: il database non contiene le tavole e le colonne utilizzate da KORVAN nella "
                             "forma attesa.\n\nTavole mancanti: conitine\n\nOccorre completare o correggere il "
                             "database: la connessione è stata chiusa.\n\n"));
        // Like a database that does not open, it is not kept in the settings.
        QCOMPARE(session.sqlitePath(), std::string());
    }
};

QTEST_MAIN(ShellSchemaCheckTest)
#include "ShellSchemaCheckTest.moc"
