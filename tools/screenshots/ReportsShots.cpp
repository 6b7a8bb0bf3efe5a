// The report-choice dialogs over the current contract and period.

#include "Shots.h"
#include "WindowGrab.h"
#include "shell/MainWindow.h"
#include "ui/reports/ReportChoiceDialog.h"

namespace korvan::screenshots {

namespace {

using korvan::reports::ReportKind;

Shot reportChoice(const char* name, ReportKind kind)
{
    return {name, [kind](ShotContext& context) {
                ui::reports::ReportChoiceDialog dialog(kind, context.connection(), context.sink, context.authority(),
                                                       context.periodStart(), context.periodEnd(), &context.window);
                return grabWindow(dialog);
            }};
}

const ShotList reportsShots("reports", {
                                           reportChoice("report-lines-directory", ReportKind::LinesDirectory),
                                           reportChoice("report-contracts", ReportKind::Contracts),
                                           reportChoice("report-contributions", ReportKind::Contributions),
                                       });

} // namespace

} // namespace korvan::screenshots
