#include "runs/CalendarDay.h"

#include "accounting/AccountingInput.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "runs/SplitLines.h"
#include "runs/SplitRefusals.h"

namespace korvan::runs {

std::string calendarWeekdayName(const CivilDate& date)
{
    if (!isValidDate(date))
        return "";
    return accounting::weekdayName(accounting::weekdayIndex(date));
}

CalendarDayList CalendarDayList::load(DbConnection* connection, const SplitRun& run)
{
    std::vector<CalendarDay> days;
    SelectCursor select(connection);
    select.AddField("conkal", "data", SqlType::Date);
    select.AddField("conkal", "minima", SqlType::Bit);
    select.AddField("conkal", "ente", SqlType::SmallInt);
    select.AddField("conkal", "euro", SqlType::Double);
    select.SetFrom("conkal");
    select.SetWhere(formatText("azienda = %d AND ID = %ld", run.company, run.runId));
    select.SetOrderBy("data");
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        CalendarDay day;
        day.company = run.company;
        day.runId = run.runId;
        int minimum = 0, authority = 0;
        double euro = 0.0;
        select.GetText(0, day.date);
        select.GetShort(1, minimum);
        select.GetShort(2, authority);
        select.GetDouble(3, euro);
        if (const std::optional<CivilDate> date = parseDateText(day.date))
            day.calendarDate = *date;
        day.weekdayName = calendarWeekdayName(day.calendarDate);
        day.minimumService = minimum != 0;
        day.grantingAuthority = run.grantingAuthority;
        day.lengthMetres = run.lengthMetres;
        day.payingAuthority = day.minimumService ? run.payingAuthority : authority;
        day.amount = day.minimumService ? run.amount : euro;
        days.push_back(day);
    }

    fillPayingAuthorityNames(connection, days);
    return CalendarDayList(run, std::move(days));
}

const CalendarDay* CalendarDayList::at(int position) const
{
    return lineAt(days_, position);
}

void CalendarDayList::setSelected(int position, bool selected)
{
    if (at(position))
        days_[static_cast<size_t>(position)].selected = selected;
}

void CalendarDayList::toggleSelected(int position)
{
    if (const CalendarDay* day = at(position))
        setSelected(position, !day->selected);
}

void CalendarDayList::selectAll()
{
    for (CalendarDay& day : days_)
        day.selected = true;
}

void CalendarDayList::clearSelection()
{
    for (CalendarDay& day : days_)
        day.selected = false;
}

bool CalendarDayList::anyOtherSelected(int position) const
{
    return runs::anyOtherSelected(days_, position);
}

bool CalendarDayList::anyModified() const
{
    return runs::anyModified(days_);
}

std::optional<std::string> CalendarDayList::refusal(const SplitChange& change) const
{
    // The other runs get the day's amount in proportion to their length
    // against this run's: a run of length 0 gives no proportion.
    if (change.applyToSelectedRuns && run_.lengthMetres <= 0)
        return zeroLengthRunMessage();
    return std::nullopt;
}

bool CalendarDayList::applyChange(int position, const SplitChange& change)
{
    if (!at(position) || refusal(change))
        return false;
    // Every day of the run has the run's length, so a total is the same for
    // each selected day and a price per km gives the same amount: no length
    // is divided by (a run of length 0 gets its total, or 0 per km).
    auto amountOf = [&change](const CalendarDay& day) {
        return change.totalMode ? change.value : static_cast<double>(day.lengthMetres) * 0.001 * change.value;
    };
    CalendarDay& edited = days_[static_cast<size_t>(position)];
    takeSplitChange(edited, change, amountOf(edited));
    propagateToSelectedRuns_ = change.applyToSelectedRuns;
    if (change.applyToSelected)
        for (CalendarDay& day : days_)
            if (day.selected)
                takeSplitChange(day, change, amountOf(day));
    return true;
}

} // namespace korvan::runs
