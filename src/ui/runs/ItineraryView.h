#pragma once

// The itinerary view of one run: its route's stops and arcs in the list
// window under the band of the original financing and the arcs' sum, the
// per-arc dialog 130, and "Registra Modifiche", which writes the modified
// arcs into the browser's transaction, marks the runs it reached
// (`modified`, PERC) and closes the view. "Annulla" and Escape close it
// writing nothing.

#include "runs/ItineraryArc.h"
#include "ui/runs/ItineraryListClient.h"
#include "ui/runs/RunSplitViews.h"
#include "ui/runs/SplitViewFrame.h"

namespace korvan::ui::runs {

class SplitAccountingDialog;

class ItineraryView : public SplitViewFrame {
    Q_OBJECT
  public:
    ItineraryView(const RunViewContext& context, korvan::runs::RunRow& run);

    // Command 1034 of the browser: the view of the run, modally; Changed when
    // "Registra Modifiche" wrote.
    static RunViewOutcome open(RunViewContext& context, korvan::runs::RunRow& run);

    korvan::runs::ItineraryArcList& arcs() { return arcs_; }
    void runCommand(int commandId) override;
    bool hasUnsavedChanges() const override { return arcs_.anyModified(); }

    // The per-arc dialog of the line at `position`; none for the first stop.
    SplitAccountingDialog* makeArcDialog(int position);

  private:
    void saveChanges();
    void editArc();

    RunViewContext context_;
    korvan::runs::RunRow& run_;
    korvan::runs::ItineraryArcList arcs_;
    ItineraryListClient client_;
};

} // namespace korvan::ui::runs
