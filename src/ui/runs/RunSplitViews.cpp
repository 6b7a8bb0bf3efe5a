#include "ui/runs/RunSplitViews.h"

#include "ui/runs/CalendarView.h"
#include "ui/runs/ItineraryView.h"

namespace korvan::ui::runs {

namespace {

class SplitViews : public RunSplitViews {
  public:
    RunViewOutcome showCalendarView(RunViewContext& context, korvan::runs::RunRow& row) override
    {
        return CalendarView::open(context, row);
    }
    RunViewOutcome showItineraryView(RunViewContext& context, korvan::runs::RunRow& row) override
    {
        return ItineraryView::open(context, row);
    }
};

} // namespace

RunSplitViews& runSplitViews()
{
    static SplitViews views;
    return views;
}

} // namespace korvan::ui::runs
