// The busy indicator: the clock's MM:SS arithmetic, its pictures, and how
// beginBusy, the worker's ticks and the idle processing switch it on and off.

#include "ShellTestSupport.h"

#include "shell/BusyClockWidget.h"
#include "shell/ClientAreaWidget.h"
#include "shell/ClockPictures.h"
#include "shell/ClockReading.h"

#include <QApplication>
#include <QEventLoop>
#include <QTimer>

using namespace korvan;
using namespace korvan::test;
using korvan::shell::ClockDigits;
using korvan::shell::clockDigits;
using korvan::shell::secondsToDays;

Q_DECLARE_METATYPE(ClockDigits)

namespace {

// Runs the main event loop until it has been idle, as after an operation.
void returnToEventLoop(int milliseconds = 100)
{
    QEventLoop loop;
    QTimer::singleShot(milliseconds, &loop, &QEventLoop::quit);
    loop.exec();
}

} // namespace

class ShellBusyClockTest : public QObject {
    Q_OBJECT

  private slots:
    void readingOfElapsedSeconds_data()
    {
        QTest::addColumn<int>("seconds");
        QTest::addColumn<ClockDigits>("digits");
        QTest::newRow("start") << 0 << ClockDigits{0, 0, 0, 0};
        QTest::newRow("59 s") << 59 << ClockDigits{0, 0, 5, 9};
        QTest::newRow("one minute") << 60 << ClockDigits{0, 1, 0, 0};
        QTest::newRow("12:34") << 754 << ClockDigits{1, 2, 3, 4};
        QTest::newRow("last before wrap") << 3599 << ClockDigits{5, 9, 5, 9};
        QTest::newRow("one hour wraps") << 3600 << ClockDigits{0, 0, 0, 0};
        QTest::newRow("1 h 1 min 1 s") << 3661 << ClockDigits{0, 1, 0, 1};
        // Clock gone back: "%02d" of -1 is "-1", the sign shows as 0.
        QTest::newRow("-1 s") << -1 << ClockDigits{0, 0, 0, 1};
        // -75.5 s: minutes trunc(-1.258) = -1 -> "-1"; seconds -75 mod 60 = -15 -> "-15".
        QTest::newRow("-75 s") << -75 << ClockDigits{0, 1, 0, 1};
        // -600.5 s: minutes -10 -> "-10", shown "-1"; seconds -600 mod 60 = 0.
        QTest::newRow("-600 s") << -600 << ClockDigits{0, 1, 0, 0};
    }

    void readingOfElapsedSeconds()
    {
        QFETCH(int, seconds);
        QFETCH(ClockDigits, digits);
        QCOMPARE(clockDigits(secondsToDays(seconds)), digits);
    }

    void halfASecondRoundsToTheNearestSecond()
    {
        QCOMPARE(clockDigits(59.6 / 86400.0), (ClockDigits{0, 1, 0, 0}));
        QCOMPARE(clockDigits(59.4 / 86400.0), (ClockDigits{0, 0, 5, 9}));
        QCOMPARE(clockDigits(-0.4 / 86400.0), (ClockDigits{0, 0, 0, 0}));
    }

    void picturesHaveTheirSizesAndSegments()
    {
        const auto pictures = shell::ClockPictures::create();
        for (const QPixmap& digit : pictures.digits)
            QCOMPARE(digit.size(), QSize(36, 48));
        QCOMPARE(pictures.colon.size(), QSize(12, 48));
        const QColor lit(255, 0, 0), unlit(0, 0, 128);
        // Middle of the top segment (a) and of the middle segment (g).
        const QPoint top(18, 5), middle(18, 24);
        QCOMPARE(pictures.digits[8].toImage().pixelColor(top), lit);
        QCOMPARE(pictures.digits[8].toImage().pixelColor(middle), lit);
        QCOMPARE(pictures.digits[1].toImage().pixelColor(top), unlit);
        QCOMPARE(pictures.digits[0].toImage().pixelColor(middle), unlit);
        QCOMPARE(pictures.digits[7].toImage().pixelColor(top), lit);
        QCOMPARE(pictures.digits[8].toImage().pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(pictures.colon.toImage().pixelColor(6, 16), lit);
        QCOMPARE(pictures.colon.toImage().pixelColor(6, 2), QColor(Qt::black));
    }

    void clockWindowIs186By78AndCentred()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        shell::BusyClockWidget* clock = window.busyClock();
        QCOMPARE(clock->clientSize(), QSize(186, 78));
        QCOMPARE(clock->contentsRect().size(), QSize(186, 78));
        QVERIFY(!clock->isVisible());
        window.beginBusy(true);
        QVERIFY(clock->isVisible());
        const QRect client = window.clientArea()->geometry();
        QCOMPARE(clock->geometry().center().x() - client.center().x(), 0);
        QVERIFY(qAbs(clock->geometry().center().y() - client.center().y()) <= 1);
        // It shows 00:00 with the separator straight away.
        QCOMPARE(clock->shownDigits(), (ClockDigits{0, 0, 0, 0}));
        QVERIFY(clock->colonShown());
        window.runIdleProcessing();
    }

    void beginBusyWithoutClockOnlySetsThePointer()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        window.beginBusy(false);
        QVERIFY(!window.busyClock()->isVisible());
        QVERIFY(!window.busyClock()->isRunning());
        QVERIFY(QApplication::overrideCursor());
        QCOMPARE(QApplication::overrideCursor()->shape(), Qt::WaitCursor);
        returnToEventLoop();
        QVERIFY(!window.busyClock()->isVisible());
        QVERIFY(!QApplication::overrideCursor());
    }

    void secondBeginBusyDoesNotRestartTheClock()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        shell::BusyClockWidget* clock = window.busyClock();
        window.beginBusy(true);
        const auto run = clock->runNumber();
        const auto started = clock->startTime();
        window.beginBusy(true);
        window.beginBusy(false);
        QCOMPARE(clock->runNumber(), run);
        QCOMPARE(clock->startTime(), started);
        QVERIFY(clock->isRunning());
        window.runIdleProcessing();
        // Only one pointer change to undo.
        QVERIFY(!QApplication::overrideCursor());
    }

    void theWorkerTicksWhileTheOperationRuns()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        shell::BusyClockWidget* clock = window.busyClock();
        window.beginBusy(true);
        // The ticks are delivered while events are processed without the
        // loop going idle (QTRY does not let the queue block).
        QTRY_VERIFY_WITH_TIMEOUT(clock->shownDigits()[3] >= 1, 10000);
        QVERIFY(clock->isVisible());
        QVERIFY(clock->isRunning());
        window.runIdleProcessing();
        QTRY_VERIFY_WITH_TIMEOUT(!clock->isVisible(), 5000);
    }

    void returningToTheEventLoopSwitchesTheClockOff()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        shell::BusyClockWidget* clock = window.busyClock();
        window.beginBusy(true);
        QVERIFY(clock->isVisible());
        returnToEventLoop();
        QVERIFY(!clock->isRunning());
        QVERIFY(!QApplication::overrideCursor());
        QTRY_VERIFY_WITH_TIMEOUT(!clock->isVisible(), 5000);
    }

    void aModalLoopInsideTheOperationDoesNotStopTheClock()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        shell::BusyClockWidget* clock = window.busyClock();
        bool runningInsideModalLoop = false;
        QEventLoop mainLoop;
        // A menu command: busy, then a modal box's own loop, then return.
        QTimer::singleShot(0, &window, [&] {
            window.beginBusy(true);
            QEventLoop modalLoop;
            QTimer::singleShot(150, &modalLoop, &QEventLoop::quit);
            modalLoop.exec();
            runningInsideModalLoop = clock->isRunning();
            QTimer::singleShot(100, &mainLoop, &QEventLoop::quit);
        });
        mainLoop.exec();
        QVERIFY(runningInsideModalLoop);
        QVERIFY(!clock->isRunning());
        QTRY_VERIFY_WITH_TIMEOUT(!clock->isVisible(), 5000);
    }

    void aNewRunIsNotHiddenByTheEndOfThePreviousOne()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        shell::BusyClockWidget* clock = window.busyClock();
        window.beginBusy(true);
        window.runIdleProcessing();
        window.beginBusy(true);
        QCOMPARE(clock->runNumber(), 2u);
        QVERIFY(clock->isRunning());
        // Whatever the first worker posted on its way out is ignored.
        QTest::qWait(300);
        QVERIFY(clock->isVisible());
        window.runIdleProcessing();
        QTRY_VERIFY_WITH_TIMEOUT(!clock->isVisible(), 5000);
    }
};

QTEST_MAIN(ShellBusyClockTest)
#include "ShellBusyClockTest.moc"
