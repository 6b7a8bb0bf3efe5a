#pragma once

// The report commands of the menu (lines directory, contracts, additional
// contributions): the choice dialog, a report view shown in the main
// window, the report collected into it, and the preview or the printing.
// A report without rows says so and closes its view.

#include "reports/ReportChoice.h"
#include "ui/reports/ReportView.h"

#include <functional>
#include <string>

namespace korvan {
class DbConnection;
class MessageSink;
class OperationFeedback;
} // namespace korvan

namespace korvan::ui::reports {

// Shown (information icon) when the view refuses the report.
inline constexpr const char* kAttachRefusedMessage = "E' impossibile associare la stampa !!!\n";

// What a report command borrows from the main window for its length.
struct ReportCommandContext {
    QWidget* window = nullptr; // the dialogs' parent
    DbConnection* connection = nullptr;
    MessageSink& sink;
    OperationFeedback& feedback;
    int& currentAuthority;
    std::string& periodStartText;
    std::string& periodEndText;
    // Shows the view over the client area, replacing and destroying an
    // earlier one; the window owns it from then on.
    std::function<void(ReportView*)> showView;
    // Destroys the view shown.
    std::function<void()> closeView;
    // Given to the view (title while shown, the program's title after).
    ReportViewHost viewHost;
};

void runReportCommand(korvan::reports::ReportKind kind, ReportCommandContext& context);

} // namespace korvan::ui::reports
