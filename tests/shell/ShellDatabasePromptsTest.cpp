// The database commands through their real modal prompts: the file-open
// dialog of "Metodo SQLite" and the "Selezione DataSource" dialog of
// "Metodo ODBC".

#include "ShellTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "shell/CommandIds.h"
#include "shell/DataSourceDialog.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QFileDialog>
#include <QLineEdit>
#include <QTimer>

#include <functional>
#include <memory>

using namespace korvan;
using namespace korvan::test;
namespace command = korvan::shell::command;

namespace {

// Runs `answer` on the next modal dialog of type T once it is shown.
template <typename T> void answerNextDialog(std::function<void(T&)> answer)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [answer, poll] {
        auto* dialog = qobject_cast<T*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, *poll);
            return;
        }
        answer(*dialog);
    };
    QTimer::singleShot(0, *poll);
}

} // namespace

class ShellDatabasePromptsTest : public QObject {
    Q_OBJECT

  private slots:
    void fileDialogChoosesAnExistingSqliteFile()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        RecordingMessageSink sink;
        shell::MainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        sink.clear();

        QString title;
        QStringList filters;
        QFileDialog::FileMode mode = QFileDialog::AnyFile;
        answerNextDialog<QFileDialog>([&](QFileDialog& dialog) {
            title = dialog.windowTitle();
            filters = dialog.nameFilters();
            mode = dialog.fileMode();
            dialog.selectFile(QString::fromStdString(runs));
            QMetaObject::invokeMethod(&dialog, "accept");
        });
        window.commandAction(command::SqliteConnect)->trigger();
        QCOMPARE(title, QString("Selezione del Database"));
        QCOMPARE(filters.size(), 2);
        QVERIFY(filters[0].contains("*.sqlite"));
        QCOMPARE(filters[1], QString("Tutti i files (*.*)"));
        QCOMPARE(mode, QFileDialog::ExistingFile);
        QVERIFY2(sink.empty(), sink.lastText().c_str());
        QVERIFY(window.connection() && window.connection()->IsSqlite() && window.connection()->IsOpen());
        QCOMPARE(window.session().sqlitePath(), runs);
    }

    void cancelledFileDialogKeepsTheConnection()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        RecordingMessageSink sink;
        shell::MainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}}), sink);
        window.startUp();
        answerNextDialog<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
        window.commandAction(command::SqliteConnect)->trigger();
        QVERIFY(window.connection() && window.connection()->IsOpen());
        QCOMPARE(window.session().sqlitePath(), runs);
    }

    void dataSourceDialogConnectsWithTheTypedValues()
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
        RecordingMessageSink sink;
        shell::MainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}}), sink);
        window.startUp();
        answerNextDialog<shell::DataSourceDialog>([&](shell::DataSourceDialog& dialog) {
            // It opens with the initial values, not the current settings.
            QCOMPARE(dialog.dsnField()->currentText(), QString());
            dialog.dsnField()->setEditText(QString::fromStdString(dsn));
            dialog.ordinarySizeField()->setText("50");
            dialog.blobSizeField()->setText("2");
            dialog.accept();
        });
        window.commandAction(command::OdbcConnect)->trigger();
        QVERIFY2(sink.empty(), sink.lastText().c_str());
        QVERIFY(window.connection() && window.connection()->IsOdbc() && window.connection()->IsOpen());
        QCOMPARE(window.connection()->RowsetSizeOrdinary(), 50);
        QCOMPARE(window.connection()->RowsetSizeBlob(), 2);
        QCOMPARE(window.session().sqlitePath(), std::string());
        QCOMPARE(window.session().odbcDriver(), std::string("SQLite3"));
    }
};

QTEST_MAIN(ShellDatabasePromptsTest)
#include "ShellDatabasePromptsTest.moc"
