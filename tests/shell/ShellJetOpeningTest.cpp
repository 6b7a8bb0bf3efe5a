// "Metodo SQLite → Connetti" on a JET file: the program says the file is
// read-only for it, proposes a SQLite file beside it (or one the user
// picks, or a copy made before), copies with the progress bar and the busy
// clock, and connects to the copy; a file that is no runs database is
// refused and the connection stays as it was.

#include "ShellTestSupport.h"

#include "DemoNetwork.h"
#include "DemoSqliteWriter.h"
#include "shell/BusyClockWidget.h"
#include "shell/CommandIds.h"
#include "shell/JetOpening.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>

using namespace korvan;
using namespace korvan::test;
namespace command = korvan::shell::command;
namespace fs = std::filesystem;

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

// The main window, its progress bar watched as the copy moves it.
class WatchedWindow : public shell::MainWindow {
  public:
    using MainWindow::MainWindow;
    void setProgress(int percent) override
    {
        MainWindow::setProgress(percent);
        percents.push_back(percent);
        barShown = barShown || (progressBar() && progressBar()->isVisible());
    }
    std::vector<int> percents;
    bool barShown = false;
};

struct Notice {
    QString text;
    QStringList buttons;
};

// Chooses `file` in the file dialog, then presses `button` of the notice;
// `next` then answers what follows it.
void chooseFileAndPress(const std::string& file, const QString& button, Notice& notice, std::function<void()> next = {})
{
    answerNextDialog<QFileDialog>([file, button, &notice, next](QFileDialog& dialog) {
        dialog.selectFile(QString::fromStdString(file));
        QMetaObject::invokeMethod(&dialog, "accept");
        answerNextDialog<QMessageBox>([button, &notice, next](QMessageBox& box) {
            notice.text = box.text();
            for (QAbstractButton* each : box.buttons())
                notice.buttons << each->text();
            if (next)
                next();
            for (QAbstractButton* each : box.buttons())
                if (each->text() == button) {
                    each->click();
                    return;
                }
            box.reject();
        });
    });
}

std::string writeDemo(const TempDir& dir, const std::string& name)
{
    std::string error;
    const std::string path = dir.file(name);
    if (!demo::writeSqliteFile(demo::generateNetwork({100, 2025}), path, error))
        qFatal("cannot write the demo: %s", error.c_str());
    return path;
}

} // namespace

class ShellJetOpeningTest : public QObject {
    Q_OBJECT

  private slots:
    void proposedCopyIsBesideTheFile()
    {
        QCOMPARE(shell::proposedCopyPath("/dati/Corse 2025.MDB"), std::string("/dati/Corse 2025.sqlite"));
        QVERIFY(shell::isJetFileName("a.accdb") && shell::isJetFileName("A.MDB"));
        QVERIFY(!shell::isJetFileName("a.sqlite") && !shell::isJetFileName("mdb"));
    }

    void aRunsDatabaseIsCopiedWithProgressAndConnected()
    {
        TempDir dir;
        const std::string current = makeRunsDatabase(dir);
        const std::string jet = writeDemo(dir, "corse.mdb");
        RecordingMessageSink sink;
        WatchedWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(current)}}), sink);
        window.startUp();
        sink.clear();
        Notice notice;
        chooseFileAndPress(jet, "Crea la copia", notice);
        window.commandAction(command::SqliteConnect)->trigger();

        QVERIFY2(notice.text.contains("KORVAN legge questo file senza mai modificarlo"), qPrintable(notice.text));
        QVERIFY(notice.text.contains(QString::fromStdString(dir.file("corse.sqlite"))));
        QCOMPARE(notice.buttons.size(), 3);
        QVERIFY(notice.buttons.contains("Scegli un altro file...") && notice.buttons.contains("Annulla"));
        QVERIFY2(!window.percents.empty() && window.percents.back() == 100, "the bar went to 100");
        QVERIFY(window.barShown);
        QVERIFY(!window.progressBar());
        QVERIFY(window.busyClock()->isRunning());
        QCOMPARE(sink.entries.size(), size_t(1));
        QVERIFY2(sink.lastText().rfind("Copia completata e verificata: 14 tavole", 0) == 0, sink.lastText().c_str());
        QVERIFY(window.connection() && window.connection()->IsOpen());
        QCOMPARE(window.session().sqlitePath(), dir.file("corse.sqlite"));
        window.runIdleProcessing();
        QVERIFY(!window.busyClock()->isRunning());
    }

    void aCopyMadeBeforeIsUsedAgain()
    {
        TempDir dir;
        const std::string jet = writeDemo(dir, "corse.mdb");
        const std::string copy = writeDemo(dir, "corse.sqlite");
        RecordingMessageSink sink;
        shell::MainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        sink.clear();
        Notice notice;
        chooseFileAndPress(jet, "Usa la copia esistente", notice);
        window.commandAction(command::SqliteConnect)->trigger();
        QVERIFY2(notice.text.contains("Una copia esiste già"), qPrintable(notice.text));
        QVERIFY2(sink.empty(), sink.lastText().c_str());
        QCOMPARE(window.session().sqlitePath(), copy);
        QVERIFY(window.connection() && window.connection()->IsOpen());
    }

    void anotherPlaceCanBePicked()
    {
        TempDir dir;
        const std::string jet = writeDemo(dir, "corse.mdb");
        RecordingMessageSink sink;
        shell::MainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        sink.clear();
        Notice notice;
        QFileDialog::AcceptMode mode = QFileDialog::AcceptOpen;
        chooseFileAndPress(jet, "Scegli un altro file...", notice, [&dir, &mode] {
            answerNextDialog<QFileDialog>([&dir, &mode](QFileDialog& save) {
                mode = save.acceptMode();
                save.selectFile(QString::fromStdString(dir.file("altro.sqlite")));
                QMetaObject::invokeMethod(&save, "accept");
            });
        });
        window.commandAction(command::SqliteConnect)->trigger();
        QCOMPARE(mode, QFileDialog::AcceptSave);
        QCOMPARE(window.session().sqlitePath(), dir.file("altro.sqlite"));
        QVERIFY(!fs::exists(dir.file("corse.sqlite")));
        QVERIFY(window.connection() && window.connection()->IsOpen());
    }

    void aJetFileThatIsNoRunsDatabaseLeavesTheConnectionAlone()
    {
        const std::string folder = sharedDataFolder("jet");
        if (folder.empty())
            QSKIP("the JET test files (shared/data/jet) are not there");
        TempDir dir;
        const std::string current = makeRunsDatabase(dir);
        const std::string jet = dir.file("nwind.mdb");
        fs::copy_file(folder + "/nwind.mdb", jet);
        RecordingMessageSink sink;
        shell::MainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(current)}}), sink);
        window.startUp();
        sink.clear();
        Notice notice;
        chooseFileAndPress(jet, "Crea la copia", notice);
        window.commandAction(command::SqliteConnect)->trigger();
        QVERIFY(notice.text.contains("è un database JET"));
        QCOMPARE(sink.entries.size(), size_t(1));
        QVERIFY2(sink.lastText().find("Tavole mancanti: regent") != std::string::npos, sink.lastText().c_str());
        QVERIFY(!fs::exists(dir.file("nwind.sqlite")));
        QCOMPARE(window.session().sqlitePath(), current);
        QVERIFY(window.connection() && window.connection()->IsOpen());
    }
};

QTEST_MAIN(ShellJetOpeningTest)
#include "ShellJetOpeningTest.moc"
