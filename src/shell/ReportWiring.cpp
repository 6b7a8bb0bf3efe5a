#include "shell/ReportWiring.h"

#include "shell/CommandIds.h"
#include "shell/MainWindow.h"
#include "ui/reports/PrintSession.h"
#include "ui/reports/ReportCommand.h"

#include <QStatusBar>

#include <memory>

namespace korvan::shell {

namespace {

// The status line's messages of the reports stay this long (milliseconds).
constexpr int kReportStatusTimeout = 30000;

void wireReport(MainWindow& window, int commandId, reports::ReportKind kind,
                const std::shared_ptr<ui::reports::PrintSession>& session)
{
    window.setCommandHandler(commandId, [&window, kind, session] {
        MainWindow::CurrentContract& current = window.current();
        ui::reports::ReportViewHost host{
            &window.messageSink(),
            [&window](const QString& title) { window.setWindowTitle(title); },
            [&window] { window.setMainTitle(); },
            [&window] { window.printCommand(); },
            [&window](const QString& text) { window.statusBar()->showMessage(text, kReportStatusTimeout); },
            session};
        ui::reports::ReportCommandContext context{
            &window,
            window.connection(),
            window.messageSink(),
            window.feedback(),
            current.authority,
            current.periodStartText,
            current.periodEndText,
            [&window](ui::reports::ReportView* view) { window.setReportView(view); },
            [&window] { window.closeReportView(); },
            host};
        ui::reports::runReportCommand(kind, context);
    });
}

} // namespace

void wireReportCommands(MainWindow& window)
{
    // The printer and the save folder are remembered from report to report.
    const auto session = std::make_shared<ui::reports::PrintSession>();
    wireReport(window, command::PrintLines, reports::ReportKind::LinesDirectory, session);
    wireReport(window, command::PrintContracts, reports::ReportKind::Contracts, session);
    wireReport(window, command::PrintContributions, reports::ReportKind::Contributions, session);
}

} // namespace korvan::shell
