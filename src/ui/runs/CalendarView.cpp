#include "ui/runs/CalendarView.h"

#include "core/OperationFeedback.h"
#include "runs/CalendarFilter.h"
#include "runs/RunCalendarWrite.h"
#include "ui/runs/CalendarFilterDialog.h"
#include "ui/runs/ListWindow.h"
#include "ui/runs/SplitAccountingDialog.h"
#include "ui/runs/SplitViewCommands.h"
#include "ui/runs/SplitViewRuns.h"

#include <memory>

namespace korvan::ui::runs {

namespace {

korvan::runs::CalendarDayList loadDays(const RunViewContext& context, const korvan::runs::RunRow& run)
{
    BusyScope busy(context.feedback, true);
    return korvan::runs::CalendarDayList::load(context.connection, splitRunOf(run));
}

} // namespace

CalendarView::CalendarView(const RunViewContext& context, korvan::runs::RunRow& run)
    : SplitViewFrame(run, context.sink, context.parent), context_(context), run_(run), days_(loadDays(context, run)),
      client_([this](int id) { runCommand(id); })
{
    setObjectName("calendarView");
    addBarButton(QStringLiteral("Registra Modifiche"), "saveButton", 0, command::SaveChanges);
    addBarButton(QStringLiteral("Annulla"), "cancelButton", 5, command::DropChanges);
    addBarButton(QStringLiteral("Filtro Automatico"), "filterButton", 30, command::CalendarFilter);
    addBarButton(QStringLiteral("Finanziamento"), "accountingButton", 30, command::DayAccounting);
    client_.setDays(&days_);
    listWindow()->setClient(&client_);
}

RunViewOutcome CalendarView::open(RunViewContext& context, korvan::runs::RunRow& run)
{
    CalendarView view(context, run);
    return view.exec() == QDialog::Accepted ? RunViewOutcome::Changed : RunViewOutcome::Unchanged;
}

void CalendarView::runCommand(int commandId)
{
    switch (commandId) {
    case command::SaveChanges:
        saveChanges();
        return;
    case command::DropChanges:
        reject();
        return;
    case command::CalendarFilter:
        filter();
        return;
    case command::DayAccounting:
        editDay();
        return;
    case command::SelectAllDays:
        days_.selectAll();
        break;
    case command::ClearDaySelection:
        days_.clearSelection();
        break;
    default:
        return;
    }
    listWindow()->refresh();
}

CalendarFilterDialog* CalendarView::makeFilterDialog()
{
    return new CalendarFilterDialog(korvan::runs::calendarFilterDefaults(days_), context_.sink, this);
}

SplitAccountingDialog* CalendarView::makeDayDialog(int position)
{
    const korvan::runs::CalendarDay* day = days_.at(position);
    if (!day)
        return nullptr;
    SplitDialogSetup setup;
    setup.kind = SplitKind::Day;
    setup.minimumService = day->minimumService;
    setup.payingAuthority = day->payingAuthority;
    setup.amount = day->amount;
    setup.otherItemsSelected = days_.anyOtherSelected(position);
    setup.otherRunsSelected = context_.model.anyOtherSelected(run_);
    return new SplitAccountingDialog(
        setup, context_.connection, context_.sink,
        [this](const korvan::runs::SplitChange& change) { return days_.refusal(change); }, this);
}

void CalendarView::filter()
{
    std::unique_ptr<CalendarFilterDialog> dialog(makeFilterDialog());
    if (dialog->exec() != QDialog::Accepted)
        return;
    korvan::runs::applyCalendarFilter(days_, dialog->period(), dialog->weekdays());
    listWindow()->refresh();
}

void CalendarView::editDay()
{
    const int position = listWindow()->cursorRow();
    std::unique_ptr<SplitAccountingDialog> dialog(makeDayDialog(position));
    if (!dialog || dialog->exec() != QDialog::Accepted)
        return;
    days_.applyChange(position, dialog->change());
    listWindow()->refresh();
}

void CalendarView::saveChanges()
{
    // The browser's transaction must be running: the first change begins
    // it, taking the contract's lock (the layer has told why when it cannot).
    if (!context_.transaction.readyForChanges())
        return;
    context_.feedback.beginBusy(false);
    const korvan::runs::SplitWriteResult result = korvan::runs::writeCalendarChanges(
        context_.connection, days_, selectedSplitRuns(context_.model), context_.sink);
    // Nothing of this view was kept: it stays open to try again or drop it.
    if (!result.written)
        return;
    for (long runId : result.markedRuns) {
        if (korvan::runs::RunRow* row = context_.model.findRun(runId)) {
            row->modified = true;
            row->calendarMarker = true;
        }
    }
    accept();
}

} // namespace korvan::ui::runs
