// The calendar and itinerary views of one run of the current contract, with
// the filter dialog and dialogs 128 and 130. The contract's service days are
// generated first (silently), so that the calendar has days; the run is one
// with an itinerary split of the demo database.

#include "Shots.h"
#include "WindowGrab.h"
#include "accounting/CalendarGeneration.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "refdata/NameLookups.h"
#include "runs/BrowserTransaction.h"
#include "runs/RunListModel.h"
#include "shell/MainWindow.h"
#include "ui/runs/CalendarFilterDialog.h"
#include "ui/runs/CalendarView.h"
#include "ui/runs/ItineraryView.h"
#include "ui/runs/SplitAccountingDialog.h"

#include <memory>

namespace korvan::screenshots {

namespace {

class QuietSink : public MessageSink {
  public:
    void showMessage(const std::string&, MessageIcon) override {}
    bool askConfirmation(const std::string&) override { return true; }
};

// The contract's service days of the demo year, once.
void generateDays(ShotContext& context)
{
    static bool done = false;
    if (done)
        return;
    done = true;
    QuietSink quiet;
    korvan::accounting::CalendarRequest request;
    request.authority = context.authority();
    request.company = context.company();
    request.periodStart = {2025, 1, 1};
    request.periodEnd = {2025, 12, 31};
    korvan::accounting::generateServiceDays(context.connection(), request, quiet, context.feedback());
}

// The first run of the contract with service days and, when the demo
// database has them (an older one has not), an itinerary split, as the
// browser would list it.
korvan::runs::RunRow splitRun(ShotContext& context)
{
    korvan::runs::RunRow row;
    SelectCursor select(context.connection());
    for (const auto& [table, column, type] :
         std::vector<std::tuple<const char*, const char*, int>>{{"corse", "ID", SqlType::Integer},
                                                                {"corse", "codcorsa", SqlType::VarChar},
                                                                {"corse", "codperc", SqlType::Integer},
                                                                {"corse", "ct_lung", SqlType::Integer},
                                                                {"corse", "hh_p", SqlType::SmallInt},
                                                                {"corse", "mm_p", SqlType::SmallInt},
                                                                {"corse", "capol_p", SqlType::Integer},
                                                                {"corse", "hh_a", SqlType::SmallInt},
                                                                {"corse", "mm_a", SqlType::SmallInt},
                                                                {"corse", "capol_a", SqlType::Integer},
                                                                {"concors", "minima", SqlType::SmallInt},
                                                                {"concors", "ente", SqlType::SmallInt},
                                                                {"concors", "euro", SqlType::Double}})
        select.AddField(table, column, type);
    select.SetFrom("corse, concors");
    const std::string contractRuns =
        formatText("corse.azienda = %d AND corse.ente = %d", context.company(), context.authority()) +
        " AND concors.azienda = corse.azienda AND concors.ID = corse.ID" +
        " AND EXISTS (SELECT 1 FROM conkal WHERE conkal.azienda = corse.azienda AND conkal.ID = corse.ID)";
    select.SetWhere(contractRuns + " AND EXISTS (SELECT 1 FROM conitine WHERE conitine.azienda = corse.azienda" +
                    " AND conitine.ID = corse.ID)");
    select.SetOrderBy("corse.ID");
    if (!select.Execute()) {
        select.SetWhere(contractRuns);
        if (!select.Execute())
            return row;
    }
    int id = 0, route = 0, length = 0, hh = 0, mm = 0, from = 0, ha = 0, ma = 0, to = 0, minimum = 0, payer = 0;
    select.GetLong(0, id);
    select.GetText(1, row.runCode);
    select.GetLong(2, route);
    select.GetLong(3, length);
    select.GetShort(4, hh);
    select.GetShort(5, mm);
    select.GetLong(6, from);
    select.GetShort(7, ha);
    select.GetShort(8, ma);
    select.GetLong(9, to);
    select.GetShort(10, minimum);
    select.GetShort(11, payer);
    select.GetDouble(12, row.amount);
    row.company = context.company();
    row.runId = id;
    row.routeCode = route;
    row.runCode = trimTrailingBlanks(row.runCode);
    row.lengthMetres = length;
    row.grantingAuthority = context.authority();
    row.minimumService = minimum != 0;
    row.payingAuthority = payer;
    const std::unordered_map<long, std::string> stops =
        korvan::refdata::stopNames(context.connection(), row.company, {from, to});
    const auto name = [&stops](long stop) {
        const auto found = stops.find(stop);
        return found != stops.end() ? found->second : std::string();
    };
    row.departureLabel = korvan::runs::terminusLabel(hh * 60 + mm, name(from));
    row.arrivalLabel = korvan::runs::terminusLabel(ha * 60 + ma, name(to));
    return row;
}

// The view of one run inside a browser of that one run; the window's
// pictures are taken while the view is shown.
template <typename View> Picture withView(ShotContext& context, const std::function<Picture(View&)>& take)
{
    generateDays(context);
    korvan::runs::RunListModel model(context.company());
    model.addRow(splitRun(context));
    // Nothing is written: the browser's transaction need not run.
    QuietSink quiet;
    korvan::runs::BrowserTransaction transaction(context.connection(), quiet);
    ui::runs::RunViewContext browser{context.connection(), context.sink,   context.feedback(), model,
                                     transaction,          &context.window};
    View view(browser, *model.rowAt(0));
    return take(view);
}

Picture calendarView(ShotContext& context)
{
    return withView<ui::runs::CalendarView>(context, [](ui::runs::CalendarView& view) {
        // A few Saturdays selected and one day paid apart, as in use.
        korvan::runs::CalendarDayList& days = view.days();
        for (size_t i = 0; i < days.size() && i < 40; ++i)
            if (days.days()[i].weekdayName == "Sabato")
                days.setSelected(static_cast<int>(i), true);
        korvan::runs::SplitChange change;
        change.value = 12.5;
        if (days.size() > 2)
            days.applyChange(2, change);
        return grabWindow(view);
    });
}

Picture calendarFilter(ShotContext& context)
{
    return withView<ui::runs::CalendarView>(context, [](ui::runs::CalendarView& view) {
        std::unique_ptr<ui::runs::CalendarFilterDialog> dialog(view.makeFilterDialog());
        return grabWindow(*dialog);
    });
}

Picture dayDialog(ShotContext& context)
{
    return withView<ui::runs::CalendarView>(context, [](ui::runs::CalendarView& view) {
        std::unique_ptr<ui::runs::SplitAccountingDialog> dialog(view.makeDayDialog(0));
        return grabWindow(*dialog);
    });
}

Picture itineraryView(ShotContext& context)
{
    return withView<ui::runs::ItineraryView>(context, [](ui::runs::ItineraryView& view) { return grabWindow(view); });
}

Picture arcDialog(ShotContext& context)
{
    return withView<ui::runs::ItineraryView>(context, [](ui::runs::ItineraryView& view) {
        std::unique_ptr<ui::runs::SplitAccountingDialog> dialog(view.makeArcDialog(1));
        return grabWindow(*dialog);
    });
}

const ShotList splitViewShots("split-views", {
                                                 {"calendar-view", calendarView},
                                                 {"calendar-filter", calendarFilter},
                                                 {"calendar-day-dialog", dayDialog},
                                                 {"itinerary-view", itineraryView},
                                                 {"itinerary-arc-dialog", arcDialog},
                                             });

} // namespace

} // namespace korvan::screenshots
