#include "ui/reports/ReportCommand.h"

#include "db/MessageSink.h"
#include "reports/ReportCollection.h"
#include "reports/ReportFileName.h"
#include "ui/reports/ReportChoiceDialog.h"

#include <QPointer>

#include <ctime>

namespace korvan::ui::reports {

void runReportCommand(korvan::reports::ReportKind kind, ReportCommandContext& context)
{
    ReportChoiceDialog dialog(kind, context.connection, context.sink, context.currentAuthority, context.periodStartText,
                              context.periodEndText, context.window);
    if (dialog.exec() != QDialog::Accepted)
        return;
    const korvan::reports::ReportChoice choice = dialog.choice();

    // The report's view stands in the main window from the report's creation.
    const std::time_t createdAt = std::time(nullptr);
    QPointer<ReportView> view = new ReportView(context.viewHost);
    context.showView(view);

    std::optional<korvan::reports::Report> report =
        korvan::reports::collectReport(kind, choice, context.connection, context.feedback, createdAt);
    if (!report || report->empty()) {
        context.sink.showMessage(korvan::reports::kNoDataMessage, MessageIcon::Information);
        context.closeView();
        return;
    }
    if (!view || !view->attachReport(std::make_unique<korvan::reports::Report>(std::move(*report)))) {
        context.sink.showMessage(kAttachRefusedMessage, MessageIcon::Information);
        return;
    }
    view->setFileStem(QString::fromStdString(korvan::reports::reportFileStem(kind, choice)));
    if (choice.preview)
        view->startPreview();
    else
        view->startPrint();
}

} // namespace korvan::ui::reports
