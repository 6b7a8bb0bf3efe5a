// The report-choice dialogs over the current contract and period, and the
// first page of each report in its preview, reached through the menu
// command as the user reaches it: the choice dialog's OK, the print dialog
// (its PDF file entry, as there is no printer), the preview.

#include "Shots.h"
#include "WindowGrab.h"
#include "shell/CommandIds.h"
#include "shell/MainWindow.h"
#include "ui/reports/ReportChoiceDialog.h"

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDeadlineTimer>
#include <QDir>
#include <QGraphicsView>
#include <QLineEdit>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrintPreviewWidget>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>

namespace korvan::screenshots {

namespace {

using korvan::reports::ReportKind;
namespace command = korvan::shell::command;

constexpr int kPreviewTimeoutMs = 60000;

Shot reportChoice(const char* name, ReportKind kind)
{
    return {name, [kind](ShotContext& context) {
                ui::reports::ReportChoiceDialog dialog(kind, context.connection(), context.sink, context.authority(),
                                                       context.periodStart(), context.periodEnd(), &context.window);
                return grabWindow(dialog);
            }};
}

// The preview shows one page at a time, as wide as the window: the top of
// the first page at about its printed size.
void showFirstPage(QPrintPreviewDialog& preview)
{
    settle();
    if (auto* pages = preview.findChild<QPrintPreviewWidget*>()) {
        pages->setViewMode(QPrintPreviewWidget::SinglePageView);
        pages->fitToWidth();
        settle();
        if (auto* view = pages->findChild<QGraphicsView*>())
            view->verticalScrollBar()->setValue(view->verticalScrollBar()->minimum());
    }
}

// Runs the report command with the current contract and period (every
// authority) and grabs its preview, which is then closed; the main
// window's idle processing closes the report view.
Shot reportPreview(const char* name, int commandId)
{
    return {name, [commandId](ShotContext& context) {
                Picture picture;
                bool taken = false;
                QTimer poll;
                poll.setInterval(20);
                QDeadlineTimer deadline(kPreviewTimeoutMs);
                QObject::connect(&poll, &QTimer::timeout, [&] {
                    QWidget* modal = QApplication::activeModalWidget();
                    if (!modal || !modal->isVisible()) {
                        if (deadline.hasExpired())
                            poll.stop();
                        return;
                    }
                    if (qobject_cast<ui::reports::ReportChoiceDialog*>(modal)) {
                        // Every authority when the current one is not among
                        // the dialog's (a contract's authority that pays no
                        // additional service).
                        auto* all = modal->findChild<QCheckBox*>("allAuthoritiesCheck");
                        auto* authority = modal->findChild<QComboBox*>("authorityCombo");
                        if (all && authority && !all->isChecked() && authority->currentIndex() < 0)
                            all->click();
                        if (auto* ok = modal->findChild<QPushButton*>("okButton"))
                            ok->click();
                    } else if (auto* setUp = qobject_cast<QPrintDialog*>(modal)) {
                        if (auto* file = setUp->findChild<QLineEdit*>("filename"))
                            file->setText(QDir::temp().filePath("korvan-screenshot-print.pdf"));
                        setUp->accept();
                    } else if (auto* preview = qobject_cast<QPrintPreviewDialog*>(modal)) {
                        poll.stop();
                        showFirstPage(*preview);
                        picture = grabWindow(*preview);
                        taken = true;
                        preview->reject();
                    } else {
                        poll.stop();
                        picture = grabWindow(*modal);
                        picture.faults.push_back("the report opened no preview");
                        taken = true;
                        modal->close();
                    }
                });
                poll.start();
                context.window.commandAction(commandId)->trigger();
                poll.stop();
                context.window.runIdleProcessing();
                if (!taken)
                    picture.faults.push_back("no preview opened");
                return picture;
            }};
}

const ShotList reportsShots("reports", {
                                           reportChoice("report-lines-directory", ReportKind::LinesDirectory),
                                           reportChoice("report-contracts", ReportKind::Contracts),
                                           reportChoice("report-contributions", ReportKind::Contributions),
                                           reportPreview("report-lines-directory-page", command::PrintLines),
                                           reportPreview("report-contracts-page", command::PrintContracts),
                                           reportPreview("report-contributions-page", command::PrintContributions),
                                       });

} // namespace

} // namespace korvan::screenshots
