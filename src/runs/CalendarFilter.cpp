#include "runs/CalendarFilter.h"

#include "accounting/AccountingInput.h"
#include "runs/CalendarDay.h"

namespace korvan::runs {

CalendarFilter calendarFilterDefaults(const CalendarDayList& days)
{
    CivilDate earliest{2200, 12, 31};
    CivilDate latest{1700, 1, 1};
    for (const CalendarDay& day : days.days()) {
        if (!isValidDate(day.calendarDate))
            continue;
        if (day.calendarDate.key() < earliest.key())
            earliest = day.calendarDate;
        if (day.calendarDate.key() > latest.key())
            latest = day.calendarDate;
    }
    CalendarFilter filter;
    filter.startText = formatDateText(earliest);
    filter.endText = formatDateText(latest);
    return filter;
}

CalendarFilterCheck checkCalendarFilter(const CalendarFilter& filter)
{
    CalendarFilterCheck check;
    const std::optional<CivilDate> start = accounting::parseDateEntry(filter.startText);
    if (!start) {
        check.message = accounting::invalidPeriodDateMessage(true);
        check.startRefused = true;
        return check;
    }
    const std::optional<CivilDate> end = accounting::parseDateEntry(filter.endText);
    if (!end) {
        check.message = accounting::invalidPeriodDateMessage(false);
        return check;
    }
    check.period = CalendarPeriod{*start, *end};
    return check;
}

int applyCalendarFilter(CalendarDayList& days, const CalendarPeriod& period, const std::array<bool, 7>& weekdays)
{
    int added = 0;
    const int first = period.start.key(), last = period.end.key();
    for (size_t i = 0; i < days.size(); ++i) {
        const CalendarDay& day = days.days()[i];
        if (!isValidDate(day.calendarDate) || day.calendarDate.key() < first || day.calendarDate.key() > last)
            continue;
        if (!weekdays[static_cast<size_t>(accounting::weekdayIndex(day.calendarDate))])
            continue;
        if (!day.selected)
            ++added;
        days.setSelected(static_cast<int>(i), true);
    }
    return added;
}

} // namespace korvan::runs
