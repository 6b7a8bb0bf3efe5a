#include "runs/CalendarDay.h"

#include "accounting/AccountingInput.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "refdata/NameLookups.h"
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

    std::vector<int> payers;
    for (const CalendarDay& day : days)
        if (!day.minimumService)
            payers.push_back(day.payingAuthority);
    if (!payers.empty()) {
        const std::unordered_map<int, std::string> names = refdata::authorityNames(connection, payers);
        for (CalendarDay& day : days) {
            const auto found = names.find(day.payingAuthority);
            if (!day.minimumService && found != names.end())
                day.payingAuthorityName = found->second;
        }
    }
    return CalendarDayList(run, std::move(days));
}

const CalendarDay* CalendarDayList::at(int position) const
{
    return position >= 0 && static_cast<size_t>(position) < days_.size() ? &days_[static_cast<size_t>(position)]
                                                                         : nullptr;
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
    for (size_t i = 0; i < days_.size(); ++i)
        if (days_[i].selected && static_cast<int>(i) != position)
            return true;
    return false;
}

bool CalendarDayList::anyModified() const
{
    for (const CalendarDay& day : days_)
        if (day.modified)
            return true;
    return false;
}

std::optional<std::string> CalendarDayList::refusal(const SplitChange& change) const
{
    // The other runs get the day's amount in proportion to their length
    // against this run's: a run of length 0 gives no proportion.
    if (change.applyToSelectedRuns && run_.lengthMetres <= 0)
        return zeroLengthRunMessage();
    return std::nullopt;
}

void CalendarDayList::changeDay(CalendarDay& day, const SplitChange& change, double amount) const
{
    day.modified = true;
    day.amount = amount;
    day.minimumService = change.minimumService;
    if (change.minimumService) {
        day.payingAuthority = day.grantingAuthority;
        day.payingAuthorityName.clear();
    } else {
        day.payingAuthority = change.payingAuthority;
        day.payingAuthorityName = change.payingAuthorityName;
    }
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
    changeDay(edited, change, amountOf(edited));
    propagateToSelectedRuns_ = change.applyToSelectedRuns;
    if (change.applyToSelected)
        for (CalendarDay& day : days_)
            if (day.selected)
                changeDay(day, change, amountOf(day));
    return true;
}

} // namespace korvan::runs
