#pragma once

// The automatic filter of the calendar view ("Filtro Calendario"): a period
// and the weekdays to include. Its defaults come from the loaded days, its
// two dates are checked as the dialog's OK checks them, and applying it adds
// the matching days to the selection without clearing any.

#include "db/Values.h"

#include <array>
#include <optional>
#include <string>

namespace korvan::runs {

class CalendarDayList;

struct CalendarFilter {
    std::string startText; // "Data Inizio"
    std::string endText;   // "Data Fine"
    // Monday = 0 ... Sunday = 6, all on when the dialog opens.
    std::array<bool, 7> weekdays{true, true, true, true, true, true, true};
};

// The dialog's opening state: the earliest and latest loaded day, the search
// starting from 31/12/2200 and 01/01/1700 (the two dates shown when there
// are no days).
CalendarFilter calendarFilterDefaults(const CalendarDayList& days);

struct CalendarPeriod {
    CivilDate start;
    CivilDate end;
};

struct CalendarFilterCheck {
    std::optional<CalendarPeriod> period; // nothing when refused
    std::string message;                  // the refusal, stop icon
    bool startRefused = false;            // which field the message is about
};

// "GG/MM/AA" (year 2000 + AA) or "GG/MM/AAAA" with '/', '-' or '.' as
// separators, forming a real date; the start date is checked first.
CalendarFilterCheck checkCalendarFilter(const CalendarFilter& filter);

// Selects every day inside the period (both ends included) whose weekday is
// on; the others keep their selection. The number of days it selected that
// were not selected before.
int applyCalendarFilter(CalendarDayList& days, const CalendarPeriod& period, const std::array<bool, 7>& weekdays);

} // namespace korvan::runs
