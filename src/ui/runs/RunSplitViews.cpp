#include "ui/runs/RunSplitViews.h"

namespace korvan::ui::runs {

namespace {

class NoSplitViews : public RunSplitViews {
  public:
    RunViewOutcome showCalendarView(RunViewContext&, korvan::runs::RunRow&) override
    {
        return RunViewOutcome::Unchanged;
    }
    RunViewOutcome showItineraryView(RunViewContext&, korvan::runs::RunRow&) override
    {
        return RunViewOutcome::Unchanged;
    }
};

} // namespace

RunSplitViews& runSplitViews()
{
    static NoSplitViews views;
    return views;
}

} // namespace korvan::ui::runs
