// The run browser on the contract's largest line (its service days
// generated first, Saturdays of June re-accounted so that some runs carry
// split days), the pop-up menu with its orders, the balloon, and dialogs 123
// and 125.

#include "Shots.h"
#include "WindowGrab.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "core/OperationFeedback.h"
#include "db/Values.h"
#include "refdata/PickLists.h"
#include "runs/RunAccounting.h"
#include "shell/ClientAreaWidget.h"
#include "shell/MainWindow.h"
#include "ui/runs/ListWindow.h"
#include "ui/runs/RunAccountingDialog.h"
#include "ui/runs/RunBrowserCommands.h"
#include "ui/runs/RunBrowserDialog.h"
#include "ui/runs/RunFilterDialog.h"
#include "ui/runs/RunListClient.h"

#include <QMenu>

#include <memory>
#include <optional>

namespace korvan::screenshots {

namespace {

// The preparing operations' result boxes are not pictures: kept here.
class QuietSink : public MessageSink {
  public:
    void showMessage(const std::string&, MessageIcon icon) override { failed = failed || icon == MessageIcon::Error; }
    bool askConfirmation(const std::string&) override { return true; }
    bool failed = false;
};

// The contract's line with the most runs, once its service days exist.
std::optional<runs::RunListKey> browsedLine(ShotContext& context)
{
    static std::optional<runs::RunListKey> line;
    static bool prepared = false;
    if (prepared)
        return line;
    prepared = true;
    DbConnection* connection = context.connection();
    const std::optional<CivilDate> start = parseDateText(context.periodStart());
    const std::optional<CivilDate> end = parseDateText(context.periodEnd());
    if (!start || !end)
        return line;
    SilentFeedback quiet;
    QuietSink sink;
    if (!accounting::generateServiceDays(connection, {context.authority(), context.company(), *start, *end}, sink,
                                         quiet)
             .completed)
        return line;
    accounting::AssignmentRequest saturdays;
    saturdays.contractAuthority = context.authority();
    saturdays.contractCompany = context.company();
    saturdays.euroPerKm = 2.15;
    saturdays.periodStart = {start->year, 6, 1};
    saturdays.periodEnd = {start->year, 6, 30};
    saturdays.weekdays = {false, false, false, false, false, true, false};
    accounting::runAssignment(accounting::AssignmentKind::DayType, connection, saturdays, sink, quiet);
    int most = 0;
    for (const std::string& entry : refdata::contractLinesById(connection, context.authority(), context.company())) {
        const runs::RunListKey key{context.authority(), context.company(), refdata::codeOfEntry(entry)};
        const int count = runs::loadRunList(connection, key).count();
        if (count > most) {
            most = count;
            line = key;
        }
    }
    return line;
}

// The browser over the client area on the line, a few runs selected, one
// re-financed (pending), the cursor on the fourth row.
std::unique_ptr<ui::runs::RunBrowserDialog> openBrowser(ShotContext& context)
{
    const std::optional<runs::RunListKey> line = browsedLine(context);
    auto browser = std::make_unique<ui::runs::RunBrowserDialog>(context.connection(), context.sink, context.feedback(),
                                                                context.authority(), context.company(),
                                                                ui::runs::runSplitViews(), &context.window);
    if (!line || !browser->beginTransaction())
        return browser;
    browser->placeOver(context.window.clientArea());
    browser->showLine(*line);
    runs::RunListModel* model = browser->model();
    if (model && model->count() > 6) {
        model->rowAt(1)->selected = true;
        model->rowAt(5)->selected = true;
        runs::RunAccountingChange change;
        change.value = 18.5;
        change.minimumService = true;
        runs::applyRunAccounting(context.connection(), *model, *model->rowAt(2), change, context.feedback());
        browser->listWindow()->setCursorRow(3);
    }
    return browser;
}

Picture browserPicture(ShotContext& context)
{
    auto browser = openBrowser(context);
    Picture picture = grabWindow(*browser);
    // The re-financing stays on the copy only until the picture is taken.
    browser->runCommand(ui::runs::command::Restore);
    browser->finishAndClose();
    return picture;
}

Picture balloonPicture(ShotContext& context)
{
    auto browser = openBrowser(context);
    grabWindow(*browser);
    ui::runs::ListWindow* list = browser->listWindow();
    const int y = list->listGeometry().rowTop(6, list->topRow()) + 3;
    list->pointerMovedTo(QPoint(200, y));
    Picture picture = grabWindow(*browser);
    browser->runCommand(ui::runs::command::Restore);
    browser->finishAndClose();
    return picture;
}

Picture popupPicture(ShotContext& context)
{
    auto browser = openBrowser(context);
    grabWindow(*browser);
    ui::runs::ListWindow* list = browser->listWindow();
    browser->runCommand(5133); // "per &Importo": the checked order
    auto* client = static_cast<ui::runs::RunListClient*>(list->client());
    std::unique_ptr<QMenu> menu(client->buildPopupMenu(nullptr));
    const QPoint at = list->viewport()->mapToGlobal(QPoint(120, list->listGeometry().rowTop(3, 0) + 5));
    menu->popup(at);
    QMenu* orders = menu->actions().at(2)->menu();
    orders->popup(menu->mapToGlobal(menu->actionGeometry(menu->actions().at(2)).topRight()));
    Picture picture = grabMenus({menu.get(), orders});
    orders->hide();
    menu->hide();
    settle();
    browser->runCommand(ui::runs::command::Restore);
    browser->finishAndClose();
    return picture;
}

Picture filterPicture(ShotContext& context)
{
    const std::optional<runs::RunListKey> line = browsedLine(context);
    ui::runs::RunFilterDialog dialog(context.connection(), context.sink, context.authority(), context.company(),
                                     line ? line->line : -1, &context.window);
    return grabWindow(dialog);
}

Picture accountingPicture(ShotContext& context)
{
    const std::optional<runs::RunListKey> line = browsedLine(context);
    runs::RunListModel model = line ? runs::loadRunList(context.connection(), *line) : runs::RunListModel();
    if (model.count() < 2)
        return {QImage(), {"the browsed line has no runs"}};
    model.rowAt(1)->selected = true;
    ui::runs::RunAccountingDialog dialog(context.connection(), context.sink, model, *model.rowAt(0), &context.window);
    return grabWindow(dialog);
}

const ShotList runsShots("runs", {
                                     {"run-browser", browserPicture},
                                     {"run-browser-balloon", balloonPicture},
                                     {"run-browser-popup", popupPicture},
                                     {"run-filter-dialog", filterPicture},
                                     {"run-accounting-dialog", accountingPicture},
                                 });

} // namespace

} // namespace korvan::screenshots
