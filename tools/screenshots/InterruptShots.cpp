// A long operation stopped by the user: the main window while the service
// days of the current contract and period are generated (banner, progress,
// clock and the "Interrompi" button), then the message the interrupted
// generation shows. The generation is undone, so the demo copy stays as
// the other pictures expect it.

#include "Shots.h"
#include "WindowCheck.h"
#include "WindowGrab.h"
#include "shell/ClientAreaWidget.h"
#include "shell/CommandIds.h"
#include "shell/MainWindow.h"
#include "ui/accounting/CalendarGenerationDialog.h"

#include <QAction>
#include <QApplication>
#include <QDeadlineTimer>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QTimer>

#include <optional>

namespace korvan::screenshots {

namespace {

constexpr int kTimeoutMs = 120000;

// Both pictures come from one generation: the second shot takes the one the
// first left.
std::optional<Picture> interruptedMessage;

Picture stoppedGeneration(ShotContext& context)
{
    shell::MainWindow& window = context.window;
    Picture working;
    Picture message;
    bool stopped = false;
    QTimer poll;
    poll.setInterval(0);
    QDeadlineTimer deadline(kTimeoutMs);
    QObject::connect(&poll, &QTimer::timeout, [&] {
        QWidget* modal = QApplication::activeModalWidget();
        if (auto* dialog = qobject_cast<ui::accounting::CalendarGenerationDialog*>(modal)) {
            if (dialog->isVisible())
                dialog->findChild<QPushButton*>("okButton")->click();
            return;
        }
        if (auto* box = qobject_cast<QMessageBox*>(modal); box && box->isVisible()) {
            // The warning before the generation; after the stop, its message.
            if (box->icon() == QMessageBox::Question) {
                box->button(QMessageBox::Ok)->click();
                return;
            }
            poll.stop();
            message = grabWindow(*box);
            box->button(QMessageBox::Ok)->click();
            return;
        }
        const QProgressBar* bar = window.progressBar();
        QPushButton* button = window.interruptButton();
        if (stopped || !bar || !button || bar->value() < 30 ||
            window.clientArea()->bannerText() != "Inserimento Giorni Effettuazione Corse") {
            if (deadline.hasExpired())
                poll.stop();
            return;
        }
        // The screen as the user sees it: the button is a window of its own
        // over the main window.
        working.image = QGuiApplication::primaryScreen()->grabWindow(0).toImage().copy(window.frameGeometry());
        working.faults = windowFaults(window);
        stopped = true;
        button->click();
    });
    poll.start();
    window.commandAction(shell::command::ServiceDays)->trigger();
    poll.stop();
    window.runIdleProcessing();
    if (!stopped)
        working.faults.push_back("the generation ended before it could be stopped");
    if (message.image.isNull())
        message.faults.push_back("the interrupted generation said nothing");
    interruptedMessage = message;
    return working;
}

Picture stoppedMessage(ShotContext&)
{
    if (!interruptedMessage)
        return {QImage(), {"no generation was stopped"}};
    return *interruptedMessage;
}

const ShotList interruptShots("interrupt", {
                                               {"calendar-generation-working", stoppedGeneration},
                                               {"calendar-generation-interrupted", stoppedMessage},
                                           });

} // namespace

} // namespace korvan::screenshots
