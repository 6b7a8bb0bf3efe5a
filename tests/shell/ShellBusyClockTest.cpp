// The busy indicator: the clock's MM:SS arithmetic, its pictures and faces,
// how beginBusy, the worker's ticks and the idle processing switch it on and
// off, and the pointer around operations, their boxes and modal loops. Run
// on the offscreen platform and, under Xvfb, on X11, where the worker's
// frames must reach the screen itself.

#include "ShellTestSupport.h"
#include "support/RecordingMessageSink.h"

#include "core/OperationFeedback.h"
#include "shell/BusyClockWidget.h"
#include "shell/ClientAreaWidget.h"
#include "shell/ClockFace.h"
#include "shell/ClockPictures.h"
#include "shell/ClockReading.h"
#include "ui/common/MessageBoxSink.h"

#include <QApplication>
#include <QDialog>
#include <QEventLoop>
#include <QMessageBox>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <chrono>
#include <optional>
#include <thread>

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

// The reading a clock face shows, read back from its pixels; -1 for a place
// that holds no digit picture.
ClockDigits readFace(const QImage& face, const shell::ClockPictures& pictures, int frameWidth)
{
    const QImage pixels = face.convertToFormat(QImage::Format_RGB32);
    const int dw = pictures.digitWidth(), cw = pictures.colonWidth();
    const int x0 = frameWidth + 10, y = frameWidth + 10;
    const int places[4] = {x0, x0 + dw, x0 + 2 * dw + cw, x0 + 3 * dw + cw};
    ClockDigits reading{-1, -1, -1, -1};
    for (std::size_t i = 0; i < 4; ++i) {
        const QImage place = pixels.copy(places[i], y, dw, pictures.digitHeight());
        for (int d = 0; d < 10; ++d)
            if (place == pictures.digits[static_cast<std::size_t>(d)].convertToFormat(QImage::Format_RGB32))
                reading[i] = d;
    }
    return reading;
}

// What the clock window shows on the screen: grabbed from the X server when
// the worker paints it there, else the last frame painted.
QImage clockOnScreen(shell::BusyClockWidget* clock)
{
    if (clock->paintsFromWorker())
        return clock->screen()->grabWindow(clock->winId()).toImage();
    return clock->shownFrame();
}

std::optional<Qt::CursorShape> pointerShape()
{
    if (const QCursor* cursor = QApplication::overrideCursor())
        return cursor->shape();
    return std::nullopt;
}

// Answers the modal box the operation is about to show, noting the pointer
// over it.
void answerBoxWhenShown(std::optional<Qt::CursorShape>& pointerOverBox)
{
    QTimer::singleShot(0, [&pointerOverBox] {
        pointerOverBox = pointerShape();
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->accept();
    });
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
        for (const QImage& digit : pictures.digits)
            QCOMPARE(digit.size(), QSize(36, 48));
        QCOMPARE(pictures.colon.size(), QSize(12, 48));
        const QColor lit(255, 0, 0), unlit(0, 0, 128);
        // Middle of the top segment (a) and of the middle segment (g).
        const QPoint top(18, 5), middle(18, 24);
        QCOMPARE(pictures.digits[8].pixelColor(top), lit);
        QCOMPARE(pictures.digits[8].pixelColor(middle), lit);
        QCOMPARE(pictures.digits[1].pixelColor(top), unlit);
        QCOMPARE(pictures.digits[0].pixelColor(middle), unlit);
        QCOMPARE(pictures.digits[7].pixelColor(top), lit);
        QCOMPARE(pictures.digits[8].pixelColor(0, 0), QColor(Qt::black));
        QCOMPARE(pictures.colon.pixelColor(6, 16), lit);
        QCOMPARE(pictures.colon.pixelColor(6, 2), QColor(Qt::black));
    }

    void aFaceShowsItsReadingAndBlinks()
    {
        const auto pictures = shell::ClockPictures::create();
        const shell::ClockFrameStyle style{2, Qt::white, Qt::darkGray};
        const QImage face = shell::paintClockFace(pictures, style, QSize(190, 82), ClockDigits{1, 2, 5, 9}, true);
        QCOMPARE(face.size(), QSize(190, 82));
        QCOMPARE(readFace(face, pictures, 2), (ClockDigits{1, 2, 5, 9}));
        QCOMPARE(face.pixelColor(0, 0), QColor(Qt::white));
        QCOMPARE(face.pixelColor(189, 81), QColor(Qt::darkGray));
        QCOMPARE(face.pixelColor(2, 2), QColor(Qt::black));
        const QRect colon(2 + 10 + 72, 2 + 10, 12, 48);
        QCOMPARE(face.copy(colon), pictures.colon);
        const QImage dark = shell::paintClockFace(pictures, style, QSize(190, 82), ClockDigits{1, 2, 5, 9}, false);
        QVERIFY(dark.copy(colon).allGray());
        QCOMPARE(readFace(dark, pictures, 2), (ClockDigits{1, 2, 5, 9}));
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
        // The first worker has ended; nothing of it hides the second run.
        QTest::qWait(300);
        QVERIFY(clock->isVisible());
        window.runIdleProcessing();
        QTRY_VERIFY_WITH_TIMEOUT(!clock->isVisible(), 5000);
    }

    void theClockTicksWhileTheInterfaceThreadIsBlocked()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        QVERIFY(QTest::qWaitForWindowExposed(&window));
        shell::BusyClockWidget* clock = window.busyClock();
        window.beginBusy(true);
        // On X11 the worker's frames go to the screen without the interface thread.
        QCOMPARE(clock->paintsFromWorker(), QGuiApplication::platformName() == QLatin1String("xcb"));
        QCOMPARE(readFace(clockOnScreen(clock), clock->pictures(), 2), (ClockDigits{0, 0, 0, 0}));
        // The operation holds the interface thread: not one event is
        // processed while it runs.
        std::this_thread::sleep_for(std::chrono::milliseconds(2500));
        const ClockDigits shown = readFace(clockOnScreen(clock), clock->pictures(), 2);
        QVERIFY2(shown[0] >= 0 && shown[1] >= 0 && shown[2] >= 0 && shown[3] >= 0, "no clock face on the screen");
        const int seconds = (shown[0] * 10 + shown[1]) * 60 + shown[2] * 10 + shown[3];
        QVERIFY2(seconds >= 1, "the clock still shows 00:00");
        window.runIdleProcessing();
        QVERIFY(!clock->isVisible());
    }

    void thePointerEndsWhenTheOperationReturnsToItsDialog()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        shell::BusyClockWidget* clock = window.busyClock();
        ui::MessageBoxSink boxes;
        boxes.setParentWidget(&window);
        std::optional<Qt::CursorShape> pointerOverResult, pointerAfterResult, pointerInDialog;
        bool clockDuringResult = false, clockInDialog = true, clockShownInDialog = true, dialogOpen = false;
        QEventLoop mainLoop;
        // A menu command opens a contract dialog; its OK runs an operation
        // that ends with its result box, and the dialog stays open.
        QTimer::singleShot(0, &window, [&] {
            QDialog dialog(&window);
            auto* ok = new QPushButton("OK", &dialog);
            QObject::connect(ok, &QPushButton::clicked, &dialog, [&] {
                window.beginBusy(true);
                answerBoxWhenShown(pointerOverResult);
                clockDuringResult = clock->isRunning();
                boxes.showMessage("Risultati dell'assegnazione:", MessageIcon::Information);
                pointerAfterResult = pointerShape();
                // Back in the dialog's loop, after its idle moments.
                QTimer::singleShot(1000, &dialog, [&] {
                    pointerInDialog = pointerShape();
                    clockInDialog = clock->isRunning();
                    clockShownInDialog = clock->isVisible();
                    dialogOpen = dialog.isVisible();
                    dialog.accept();
                });
            });
            QTimer::singleShot(0, ok, &QPushButton::click);
            dialog.exec();
            mainLoop.quit();
        });
        mainLoop.exec();
        QVERIFY(clockDuringResult);
        QCOMPARE(pointerOverResult, std::optional<Qt::CursorShape>(Qt::ArrowCursor));
        QCOMPARE(pointerAfterResult, std::optional<Qt::CursorShape>(Qt::WaitCursor));
        QVERIFY(dialogOpen);
        QCOMPARE(pointerInDialog, std::nullopt);
        QVERIFY(!clockInDialog);
        QVERIFY(!clockShownInDialog);
    }

    void aModalBrowserEndsItsLoadAndItsReloads()
    {
        TempDir dir;
        RecordingMessageSink sink;
        PromptedMainWindow window(writeSettingsStore(dir, {}), sink);
        window.startUp();
        shell::BusyClockWidget* clock = window.busyClock();
        ui::MessageBoxSink boxes;
        boxes.setParentWidget(&window);
        std::optional<Qt::CursorShape> pointerAtLoad, pointerAfterLoad, pointerOverBox, pointerAfterBox,
            pointerAfterReload;
        bool clockAtLoad = false, clockAfterLoad = false, clockInBrowser = true, clockDuringBox = false,
             clockAfterReload = true;
        QEventLoop mainLoop;
        QTimer::singleShot(0, &window, [&] {
            QDialog browser(&window);
            {
                // The first view loads before the browser's own loop runs.
                BusyScope busy(window.feedback(), true);
                clockAtLoad = clock->isRunning();
                pointerAtLoad = pointerShape();
            }
            pointerAfterLoad = pointerShape();
            clockAfterLoad = clock->isRunning();
            QTimer::singleShot(1000, &browser, [&] {
                clockInBrowser = clock->isRunning();
                // A reload from the browser's loop, with a box in the middle.
                window.beginBusy(true);
                answerBoxWhenShown(pointerOverBox);
                clockDuringBox = clock->isRunning();
                boxes.showMessage("Aggiornamento", MessageIcon::Information);
                pointerAfterBox = pointerShape();
                QTimer::singleShot(1000, &browser, [&] {
                    pointerAfterReload = pointerShape();
                    clockAfterReload = clock->isRunning();
                    browser.accept();
                });
            });
            browser.exec();
            mainLoop.quit();
        });
        mainLoop.exec();
        QVERIFY(clockAtLoad);
        QCOMPARE(pointerAtLoad, std::optional<Qt::CursorShape>(Qt::WaitCursor));
        // The pointer ends with the load, the clock at the next idle moment.
        QCOMPARE(pointerAfterLoad, std::nullopt);
        QVERIFY(clockAfterLoad);
        QVERIFY(!clockInBrowser);
        QVERIFY(clockDuringBox);
        QCOMPARE(pointerOverBox, std::optional<Qt::CursorShape>(Qt::ArrowCursor));
        QCOMPARE(pointerAfterBox, std::optional<Qt::CursorShape>(Qt::WaitCursor));
        QCOMPARE(pointerAfterReload, std::nullopt);
        QVERIFY(!clockAfterReload);
        QVERIFY(!QApplication::overrideCursor());
    }
};

QTEST_MAIN(ShellBusyClockTest)
#include "ShellBusyClockTest.moc"
