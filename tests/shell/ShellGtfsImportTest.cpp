// "Importa Feed GTFS..." of the "Database" menu: the two file dialogs, the
// import with the busy clock, and the connection to the new database.

#include "ShellTestSupport.h"
#include "shell/BusyClockWidget.h"
#include "shell/CommandIds.h"
#include "support/FeedChecks.h"
#include "support/HandMadeFeed.h"

#include <QAction>
#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QLineEdit>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <memory>

using namespace korvan;
using namespace korvan::test;
namespace command = korvan::shell::command;

namespace {

// The main window with the import's choice answered by the test.
class ImportingMainWindow : public shell::MainWindow {
  public:
    using MainWindow::MainWindow;
    std::optional<shell::GtfsImportChoice> answer;

  protected:
    std::optional<shell::GtfsImportChoice> promptGtfsImport() override { return answer; }
};

// Answers every modal file dialog that shows until `done` is set: the open
// dialog (the feed) with `open`, the save dialog (the new file) with `save`.
// A dialog still there at the next look is answered again.
void answerFileDialogs(std::function<void(QFileDialog&)> open, std::function<void(QFileDialog&)> save,
                       std::shared_ptr<bool> done)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [open, save, done, poll] {
        if (*done)
            return;
        if (auto* dialog = qobject_cast<QFileDialog*>(QApplication::activeModalWidget()))
            (dialog->acceptMode() == QFileDialog::AcceptOpen ? open : save)(*dialog);
        QTimer::singleShot(50, *poll);
    };
    QTimer::singleShot(0, *poll);
}

// Types `path` into the dialog as a user would: its folder, then its name in
// the name field. (QFileDialog::selectFile leaves the field alone once it
// has the focus, which it may have by the time a poll comes.)
void typeFileName(QFileDialog& dialog, const std::string& path)
{
    const QFileInfo file(QString::fromStdString(path));
    dialog.setDirectory(file.absolutePath());
    if (auto* name = dialog.findChild<QLineEdit*>("fileNameEdit"))
        name->setText(file.fileName());
    else
        dialog.selectFile(file.absoluteFilePath());
}

} // namespace

class ShellGtfsImportTest : public QObject {
    Q_OBJECT

  private slots:
    void theCommandIsThereWithoutAConnection()
    {
        TempDir dir;
        RecordingMessageSink sink;
        ImportingMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        QVERIFY(!window.connection());
        QVERIFY(window.commandAction(command::ImportGtfs)->isEnabled());
    }

    void importConnectsToTheNewDatabaseWithTheClockShown()
    {
        TempDir dir;
        const std::string old = makeRunsDatabase(dir, "old.sqlite");
        RecordingMessageSink sink;
        ImportingMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(old)}}), sink);
        window.startUp();
        const std::string target = dir.file("nuovo.sqlite");
        window.answer = shell::GtfsImportChoice{QString::fromStdString(HandMadeFeed::basic().writeZip(dir.path())),
                                                QString::fromStdString(target), false};
        const std::uint64_t starts = window.busyClock()->runNumber();
        window.commandAction(command::ImportGtfs)->trigger();
        QCOMPARE(window.busyClock()->runNumber(), starts + 1);
        // Until the event loop goes idle again.
        QVERIFY(window.busyClock()->isRunning());
        QCOMPARE(sink.entries.size(), size_t{1});
        QCOMPARE(sink.entries.front().icon, MessageIcon::Information);
        QVERIFY(sink.lastText().rfind("Importazione del feed GTFS completata.", 0) == 0);
        QVERIFY(window.connection() && window.connection()->IsOpen());
        QCOMPARE(window.session().sqlitePath(), target);
        QCOMPARE(queryValue(target, "SELECT count(*) FROM corse"), std::string("4"));
        QVERIFY(!window.progressBar());
    }

    void aRefusedFeedKeepsTheConnection()
    {
        TempDir dir;
        const std::string old = makeRunsDatabase(dir, "old.sqlite");
        RecordingMessageSink sink;
        ImportingMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(old)}}), sink);
        window.startUp();
        HandMadeFeed bad = HandMadeFeed::basic();
        bad.remove("trips.txt");
        window.answer = shell::GtfsImportChoice{QString::fromStdString(bad.writeFolder(dir.path())),
                                                QString::fromStdString(dir.file("nuovo.sqlite")), false};
        window.commandAction(command::ImportGtfs)->trigger();
        QCOMPARE(sink.entries.size(), size_t{1});
        QCOMPARE(sink.entries.front().icon, MessageIcon::Error);
        QVERIFY(sink.lastText().find("trips.txt: manca il file nel feed") != std::string::npos);
        QVERIFY(!std::filesystem::exists(dir.file("nuovo.sqlite")));
        QCOMPARE(window.session().sqlitePath(), old);
        QVERIFY(window.connection() && window.connection()->IsOpen());
    }

    void theFileDialogsAskForTheFeedThenTheNewFile()
    {
        TempDir dir;
        RecordingMessageSink sink;
        shell::MainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        sink.clear();
        const std::string feed = HandMadeFeed::basic().writeFolder(dir.path());
        const std::string target = dir.file("rete.sqlite");
        QString feedTitle, targetTitle;
        QFileDialog::AcceptMode targetMode = QFileDialog::AcceptOpen;
        auto done = std::make_shared<bool>(false);
        answerFileDialogs(
            [&](QFileDialog& dialog) {
                feedTitle = dialog.windowTitle();
                // A file of the feed's folder stands for the folder.
                typeFileName(dialog, feed + "/stops.txt");
                QMetaObject::invokeMethod(&dialog, "accept");
            },
            [&](QFileDialog& dialog) {
                targetTitle = dialog.windowTitle();
                targetMode = dialog.acceptMode();
                typeFileName(dialog, target);
                QMetaObject::invokeMethod(&dialog, "accept");
            },
            done);
        window.commandAction(command::ImportGtfs)->trigger();
        *done = true;
        QVERIFY(feedTitle.startsWith("Selezione del Feed GTFS"));
        QCOMPARE(targetTitle, QString("Nuovo Database delle Corse"));
        QCOMPARE(targetMode, QFileDialog::AcceptSave);
        QVERIFY2(sink.lastText().rfind("Importazione del feed GTFS completata.", 0) == 0, sink.lastText().c_str());
        QCOMPARE(window.session().sqlitePath(), target);
        QVERIFY(window.connection() && window.connection()->IsOpen());
    }

    void aChosenFileStandsForItsFeed()
    {
        QCOMPARE(shell::feedOfChosenFile("/dati/feed.zip"), QString("/dati/feed.zip"));
        QCOMPARE(shell::feedOfChosenFile("/dati/feed.ZIP"), QString("/dati/feed.ZIP"));
        QCOMPARE(shell::feedOfChosenFile("/dati/trento/stops.txt"), QString("/dati/trento"));
    }
};

QTEST_MAIN(ShellGtfsImportTest)
#include "ShellGtfsImportTest.moc"
