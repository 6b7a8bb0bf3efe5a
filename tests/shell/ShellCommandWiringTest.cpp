// The data commands reach their operations: each asks its own first question
// or opens its own dialog, on a real (empty) runs database.

#include "ShellTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "lines/LineExtraction.h"
#include "shell/CommandIds.h"
#include "shell/CommandWiring.h"

#include <QAction>
#include <QApplication>
#include <QDialog>
#include <QTimer>

#include <functional>
#include <memory>

using namespace korvan;
using namespace korvan::test;
namespace command = korvan::shell::command;

Q_DECLARE_METATYPE(std::string)

namespace {

// Rejects the next modal dialog once it is shown and returns its class name
// through `seen`.
void rejectNextDialog(QString& seen)
{
    auto poll = std::make_shared<std::function<void()>>();
    *poll = [&seen, poll] {
        auto* dialog = qobject_cast<QDialog*>(QApplication::activeModalWidget());
        if (!dialog) {
            QTimer::singleShot(10, *poll);
            return;
        }
        seen = dialog->metaObject()->className();
        dialog->reject();
    };
    QTimer::singleShot(0, *poll);
}

} // namespace

class ShellCommandWiringTest : public QObject {
    Q_OBJECT

  private slots:
    void commandsAskTheirOperationsQuestion_data()
    {
        QTest::addColumn<int>("commandId");
        QTest::addColumn<std::string>("question");
        QTest::newRow("5114") << command::ExtractLines << lines::extractionConfirmationText();
        QTest::newRow("5115") << command::AssignPerContract
                              << accounting::assignmentWarningText(accounting::AssignmentKind::Contract);
        QTest::newRow("5116") << command::AssignPerLine
                              << accounting::assignmentWarningText(accounting::AssignmentKind::Line);
        QTest::newRow("5123") << command::AssignPerCalendar
                              << accounting::assignmentWarningText(accounting::AssignmentKind::DayType);
        QTest::newRow("5124") << command::AssignPerTimeBand
                              << accounting::assignmentWarningText(accounting::AssignmentKind::TimeBand);
        QTest::newRow("5141") << command::ServiceDays << accounting::calendarWarningText();
    }

    void commandsAskTheirOperationsQuestion()
    {
        QFETCH(int, commandId);
        QFETCH(std::string, question);
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}}), sink);
        shell::wireDataCommands(window);
        window.startUp();
        QVERIFY(sink.empty());
        sink.confirmReply = false;
        window.commandAction(commandId)->trigger();
        QCOMPARE(sink.entries.size(), std::size_t(1));
        QCOMPARE(sink.entries[0].text, question);
        QCOMPARE(sink.entries[0].icon, MessageIcon::Question);
    }

    void removalCommandsOpenTheirDialog()
    {
        TempDir dir;
        const std::string runs = makeRunsDatabase(dir);
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {{"Database", QString::fromStdString(runs)}}), sink);
        shell::wireDataCommands(window);
        window.startUp();
        for (int id :
             {command::RemoveAdditionalFinancing, command::RemoveCalendarSplits, command::RemoveItinerarySplits}) {
            QString seen;
            rejectNextDialog(seen);
            window.commandAction(id)->trigger();
            QCOMPARE(seen, QString("korvan::ui::accounting::SplitRemovalDialog"));
        }
    }
};

QTEST_MAIN(ShellCommandWiringTest)
#include "ShellCommandWiringTest.moc"
