#include "shell/CommandWiring.h"

#include "lines/LineExtraction.h"
#include "shell/ClientAreaWidget.h"
#include "shell/CommandIds.h"
#include "shell/MainWindow.h"
#include "shell/ReportWiring.h"
#include "ui/accounting/BaseAssignmentDialog.h"
#include "ui/accounting/CalendarGenerationDialog.h"
#include "ui/accounting/SplitRemovalDialog.h"
#include "ui/common/SaveFileDialog.h"
#include "ui/lines/LineEditDialog.h"
#include "ui/lines/LineMergeDialog.h"
#include "ui/runs/RunBrowserDialog.h"

#include <QMenuBar>
#include <QStatusBar>

#include <memory>

namespace korvan::shell {

namespace {

// The menu of a window that a modal window covers: it does nothing meanwhile,
// and says so.
class DisabledMenu {
  public:
    explicit DisabledMenu(MainWindow& window) : bar_(window.menuBar()) { bar_->setEnabled(false); }
    ~DisabledMenu() { bar_->setEnabled(true); }
    DisabledMenu(const DisabledMenu&) = delete;
    DisabledMenu& operator=(const DisabledMenu&) = delete;

  private:
    QMenuBar* bar_;
};

// The status line's message of a saved file stays this long (milliseconds).
constexpr int kSavedStatusTimeout = 30000;

void wireAssignment(MainWindow& window, int commandId, accounting::AssignmentKind kind)
{
    window.setCommandHandler(commandId, [&window, kind] {
        MainWindow::CurrentContract& current = window.current();
        ui::accounting::BaseAssignmentDialog::runCommand(kind, &window, window.connection(), window.messageSink(),
                                                         window.feedback(), current.authority, current.company);
    });
}

void wireRemoval(MainWindow& window, int commandId, accounting::RemovalMode mode)
{
    window.setCommandHandler(commandId, [&window, mode] {
        MainWindow::CurrentContract& current = window.current();
        ui::accounting::SplitRemovalDialog::runCommand(mode, &window, window.connection(), window.messageSink(),
                                                       window.feedback(), current.authority, current.company);
    });
}

} // namespace

void wireDataCommands(MainWindow& window)
{
    window.setCommandHandler(command::ExtractLines, [&window] {
        lines::extractNormalizedLines(window.connection(), window.messageSink(), window.feedback());
        window.repaintClientArea();
    });
    window.setCommandHandler(command::EditLines,
                             [&window] { ui::lines::editNormalizedLines(window.connection(), &window); });
    window.setCommandHandler(command::MergeLines, [&window] {
        ui::lines::mergeNormalizedLines(window.connection(), window.messageSink(), &window);
    });

    wireAssignment(window, command::AssignPerContract, accounting::AssignmentKind::Contract);
    wireAssignment(window, command::AssignPerLine, accounting::AssignmentKind::Line);
    wireAssignment(window, command::AssignPerCalendar, accounting::AssignmentKind::DayType);
    wireAssignment(window, command::AssignPerTimeBand, accounting::AssignmentKind::TimeBand);

    window.setCommandHandler(command::ServiceDays, [&window] {
        MainWindow::CurrentContract& current = window.current();
        ui::accounting::CalendarGenerationDialog::runCommand(&window, window.connection(), window.messageSink(),
                                                             window.feedback(), current.authority, current.company,
                                                             current.periodStartText, current.periodEndText);
        window.repaintClientArea();
    });

    // The folder of the program's last save, kept while it runs.
    const auto saveFolder = std::make_shared<ui::SaveFolder>();
    window.setCommandHandler(command::RunBrowser, [&window, saveFolder] {
        MainWindow::CurrentContract& current = window.current();
        const DisabledMenu menu(window);
        const ui::runs::BrowserHost host{
            [&window](std::function<bool()> closer) { window.setOpenWorkCloser(closer); },
            [&window](const QString& text) { window.statusBar()->showMessage(text, kSavedStatusTimeout); }, saveFolder};
        ui::runs::runBrowserCommand(window.clientArea(), window.connection(), window.messageSink(), window.feedback(),
                                    current.authority, current.company, host);
    });

    wireRemoval(window, command::RemoveAdditionalFinancing, accounting::RemovalMode::AdditionalFinancing);
    wireRemoval(window, command::RemoveCalendarSplits, accounting::RemovalMode::CalendarSplits);
    wireRemoval(window, command::RemoveItinerarySplits, accounting::RemovalMode::ItinerarySplits);

    wireReportCommands(window);
}

} // namespace korvan::shell
