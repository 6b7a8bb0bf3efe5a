#pragma once

// The calendar view of one run: its service days in the list window, the
// automatic filter ("Filtro Calendario"), the per-day dialog 128, and
// "Registra Modifiche", which writes the modified days into the browser's
// transaction, marks the runs it reached (`modified`, CAL) and closes the
// view. "Annulla" and Escape close it writing nothing.

#include "runs/CalendarDay.h"
#include "ui/runs/CalendarListClient.h"
#include "ui/runs/RunSplitViews.h"
#include "ui/runs/SplitViewFrame.h"

namespace korvan::ui::runs {

class CalendarFilterDialog;
class SplitAccountingDialog;

class CalendarView : public SplitViewFrame {
    Q_OBJECT
  public:
    CalendarView(const RunViewContext& context, korvan::runs::RunRow& run);

    // Command 1033 of the browser: the view of the run, modally; Changed when
    // "Registra Modifiche" wrote.
    static RunViewOutcome open(RunViewContext& context, korvan::runs::RunRow& run);

    korvan::runs::CalendarDayList& days() { return days_; }
    void runCommand(int commandId) override;
    bool hasUnsavedChanges() const override { return days_.anyModified(); }

    // The dialogs the commands open, for the tests to reach them; each is
    // run modally by the command.
    CalendarFilterDialog* makeFilterDialog();
    SplitAccountingDialog* makeDayDialog(int position);

  private:
    void saveChanges();
    void filter();
    void editDay();

    RunViewContext context_;
    korvan::runs::RunRow& run_;
    korvan::runs::CalendarDayList days_;
    CalendarListClient client_;
};

} // namespace korvan::ui::runs
