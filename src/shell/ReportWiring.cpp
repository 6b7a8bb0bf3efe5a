#include "shell/ReportWiring.h"

#include "shell/CommandIds.h"
#include "shell/MainWindow.h"
#include "ui/reports/ReportCommand.h"

namespace korvan::shell {

namespace {

void wireReport(MainWindow& window, int commandId, reports::ReportKind kind)
{
    window.setCommandHandler(commandId, [&window, kind] {
        MainWindow::CurrentContract& current = window.current();
        ui::reports::ReportViewHost host{&window.messageSink(),
                                         [&window](const QString& title) { window.setWindowTitle(title); },
                                         [&window] { window.setMainTitle(); }, [&window] { window.printCommand(); }};
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
    wireReport(window, command::PrintLines, reports::ReportKind::LinesDirectory);
    wireReport(window, command::PrintContracts, reports::ReportKind::Contracts);
    wireReport(window, command::PrintContributions, reports::ReportKind::Contributions);
}

} // namespace korvan::shell
