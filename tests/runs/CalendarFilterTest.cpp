// The automatic filter of the calendar view: its defaults, the date rules
// of its OK and the selection it adds to.

#include "runs/CalendarFilter.h"
#include "runs/CalendarDay.h"

#include <gtest/gtest.h>

namespace korvan::runs {
namespace {

// The days of March 2024 from the 1st (a Friday) to `last`.
CalendarDayList marchDays(int last)
{
    std::vector<CalendarDay> days;
    for (int d = 1; d <= last; ++d) {
        CalendarDay day;
        day.calendarDate = {2024, 3, d};
        day.date = formatDateText(day.calendarDate);
        day.weekdayName = calendarWeekdayName(day.calendarDate);
        days.push_back(day);
    }
    return CalendarDayList(SplitRun{}, days);
}

std::vector<int> selectedDays(const CalendarDayList& days)
{
    std::vector<int> selected;
    for (const CalendarDay& day : days.days())
        if (day.selected)
            selected.push_back(day.calendarDate.day);
    return selected;
}

TEST(CalendarFilter, DefaultsSpanTheLoadedDaysWithEveryWeekdayOn)
{
    const CalendarFilter filter = calendarFilterDefaults(marchDays(31));
    EXPECT_EQ(filter.startText, "01/03/2024");
    EXPECT_EQ(filter.endText, "31/03/2024");
    for (bool on : filter.weekdays)
        EXPECT_TRUE(on);

    const CalendarFilter empty = calendarFilterDefaults(CalendarDayList(SplitRun{}, {}));
    EXPECT_EQ(empty.startText, "31/12/2200");
    EXPECT_EQ(empty.endText, "01/01/1700");
}

TEST(CalendarFilter, DatesOfEightOrTenCharactersFormingARealDateAreAccepted)
{
    CalendarFilter filter;
    filter.startText = "01/03/24";
    filter.endText = "31.03.2024";
    CalendarFilterCheck check = checkCalendarFilter(filter);
    ASSERT_TRUE(check.period);
    EXPECT_EQ(check.period->start, (CivilDate{2024, 3, 1}));
    EXPECT_EQ(check.period->end, (CivilDate{2024, 3, 31}));

    const std::string startMessage = "ATTENZIONE: la data di inizio periodo è espressa in un formato illegale.\n\n"
                                     "Le date devono essere espresse nella forma GG/MM/AAAA.\n\n";
    const std::string endMessage = "ATTENZIONE: la data di fine periodo è espressa in un formato illegale.\n\n"
                                   "Le date devono essere espresse nella forma GG/MM/AAAA.\n\n";
    for (const char* refused : {"1/3/2024", "01/3/2024", "30/02/2024", "01_03_2024", "", "01/03/2O24", "00/03/24"}) {
        filter.startText = refused;
        check = checkCalendarFilter(filter);
        EXPECT_FALSE(check.period) << refused;
        EXPECT_TRUE(check.startRefused) << refused;
        EXPECT_EQ(check.message, startMessage) << refused;
    }
    filter.startText = "29-02-2024";
    filter.endText = "29/02/2023";
    check = checkCalendarFilter(filter);
    EXPECT_FALSE(check.period);
    EXPECT_FALSE(check.startRefused);
    EXPECT_EQ(check.message, endMessage);
}

TEST(CalendarFilter, SaturdaysAreAddedToTheSelectionWithoutClearingIt)
{
    CalendarDayList days = marchDays(31);
    days.setSelected(3, true); // Monday 4 March, picked by hand
    std::array<bool, 7> saturdays{};
    saturdays[5] = true;
    const int added = applyCalendarFilter(days, {{2024, 3, 1}, {2024, 3, 31}}, saturdays);
    EXPECT_EQ(added, 5);
    EXPECT_EQ(selectedDays(days), (std::vector<int>{2, 4, 9, 16, 23, 30}));
    for (const CalendarDay& day : days.days()) {
        if (day.selected && day.calendarDate.day != 4) {
            EXPECT_EQ(day.weekdayName, "Sabato");
        }
    }

    // Once more: nothing new, nothing lost.
    EXPECT_EQ(applyCalendarFilter(days, {{2024, 3, 1}, {2024, 3, 31}}, saturdays), 0);
    EXPECT_EQ(selectedDays(days).size(), 6u);
}

TEST(CalendarFilter, ThePeriodIncludesBothEndsAndAReversedPeriodSelectsNothing)
{
    const std::array<bool, 7> every{true, true, true, true, true, true, true};
    CalendarDayList days = marchDays(31);
    EXPECT_EQ(applyCalendarFilter(days, {{2024, 3, 10}, {2024, 3, 12}}, every), 3);
    EXPECT_EQ(selectedDays(days), (std::vector<int>{10, 11, 12}));

    CalendarDayList reversed = marchDays(31);
    EXPECT_EQ(applyCalendarFilter(reversed, {{2024, 3, 12}, {2024, 3, 10}}, every), 0);
    EXPECT_TRUE(selectedDays(reversed).empty());
}

TEST(CalendarFilter, WeekdayNamesFollowTheCalendar)
{
    EXPECT_EQ(calendarWeekdayName({2024, 3, 3}), "Domenica");
    EXPECT_EQ(calendarWeekdayName({2024, 2, 29}), "Giovedi");
    EXPECT_EQ(calendarWeekdayName({2000, 1, 1}), "Sabato");
    EXPECT_EQ(calendarWeekdayName({2025, 12, 31}), "Mercoledi");
    EXPECT_EQ(calendarWeekdayName({2023, 2, 29}), "");
}

} // namespace
} // namespace korvan::runs
