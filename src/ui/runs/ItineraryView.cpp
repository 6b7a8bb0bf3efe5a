#include "ui/runs/ItineraryView.h"

#include "core/OperationFeedback.h"
#include "runs/ItinerarySplitWrite.h"
#include "ui/runs/ListWindow.h"
#include "ui/runs/SplitAccountingDialog.h"
#include "ui/runs/SplitViewCommands.h"
#include "ui/runs/SplitViewRuns.h"

#include <memory>

namespace korvan::ui::runs {

namespace {

korvan::runs::ItineraryArcList loadArcs(const RunViewContext& context, const korvan::runs::RunRow& run)
{
    BusyScope busy(context.feedback, true);
    return korvan::runs::ItineraryArcList::load(context.connection, splitRunOf(run));
}

} // namespace

ItineraryView::ItineraryView(const RunViewContext& context, korvan::runs::RunRow& run)
    : SplitViewFrame(run, context.sink, context.parent), context_(context), run_(run), arcs_(loadArcs(context, run)),
      client_([this](int id) { runCommand(id); })
{
    setObjectName("itineraryView");
    addBarButton(QStringLiteral("Registra Modifiche"), "saveButton", 0, command::SaveChanges);
    addBarButton(QStringLiteral("Annulla"), "cancelButton", 5, command::DropChanges);
    addBarButton(QStringLiteral("Finanziamento"), "accountingButton", 30, command::ArcAccounting);
    client_.setArcs(&arcs_);
    listWindow()->setClient(&client_);
}

RunViewOutcome ItineraryView::open(RunViewContext& context, korvan::runs::RunRow& run)
{
    ItineraryView view(context, run);
    return view.exec() == QDialog::Accepted ? RunViewOutcome::Changed : RunViewOutcome::Unchanged;
}

void ItineraryView::runCommand(int commandId)
{
    switch (commandId) {
    case command::SaveChanges:
        saveChanges();
        return;
    case command::DropChanges:
        reject();
        return;
    case command::ArcAccounting:
        editArc();
        return;
    case command::SelectAllArcs:
        arcs_.selectAll();
        break;
    case command::ClearArcSelection:
        arcs_.clearSelection();
        break;
    default:
        return;
    }
    listWindow()->refresh();
}

SplitAccountingDialog* ItineraryView::makeArcDialog(int position)
{
    const korvan::runs::ItineraryArc* arc = arcs_.at(position);
    if (!arc || !arc->isArc())
        return nullptr;
    SplitDialogSetup setup;
    setup.kind = SplitKind::Arc;
    setup.minimumService = arc->minimumService;
    setup.payingAuthority = arc->payingAuthority;
    setup.amount = arc->amount;
    setup.otherItemsSelected = arcs_.anyOtherSelected(position);
    setup.otherRunsSelected = context_.model.anyOtherSelected(run_);
    return new SplitAccountingDialog(
        setup, context_.connection, context_.sink,
        [this, position](const korvan::runs::SplitChange& change) { return arcs_.refusal(position, change); }, this);
}

void ItineraryView::editArc()
{
    const int position = listWindow()->cursorRow();
    std::unique_ptr<SplitAccountingDialog> dialog(makeArcDialog(position));
    if (!dialog || dialog->exec() != QDialog::Accepted)
        return;
    arcs_.applyChange(position, dialog->change());
    listWindow()->refresh();
}

void ItineraryView::saveChanges()
{
    // The browser's transaction must be running: the first change begins
    // it, taking the contract's lock (the layer has told why when it cannot).
    if (!context_.transaction.readyForChanges())
        return;
    context_.feedback.beginBusy(false);
    const korvan::runs::SplitWriteResult result = korvan::runs::writeItineraryChanges(
        context_.connection, arcs_, selectedSplitRuns(context_.model), context_.sink);
    if (!result.written)
        return;
    for (long runId : result.markedRuns) {
        if (korvan::runs::RunRow* row = context_.model.findRun(runId)) {
            row->modified = true;
            row->itineraryMarker = true;
        }
    }
    accept();
}

} // namespace korvan::ui::runs
