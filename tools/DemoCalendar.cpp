#include "DemoCalendar.h"

namespace korvan::demo {

int weekday(const CivilDate& date)
{
    // Sakamoto's method gives 0 = Sunday; shifted so that Monday is 0.
    static const int offsets[] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int year = date.year;
    if (date.month < 3)
        --year;
    const int sundayBased = (year + year / 4 - year / 100 + year / 400 + offsets[date.month - 1] + date.day) % 7;
    return (sundayBased + 6) % 7;
}

CivilDate easterSunday(int year)
{
    // Anonymous Gregorian algorithm (Meeus/Jones/Butcher).
    const int a = year % 19;
    const int b = year / 100;
    const int c = year % 100;
    const int d = b / 4;
    const int e = b % 4;
    const int f = (b + 8) / 25;
    const int g = (b - f + 1) / 3;
    const int h = (19 * a + b - d - g + 15) % 30;
    const int i = c / 4;
    const int k = c % 4;
    const int l = (32 + 2 * e + 2 * i - h - k) % 7;
    const int m = (a + 11 * h + 22 * l) / 451;
    const int month = (h + l - 7 * m + 114) / 31;
    const int day = (h + l - 7 * m + 114) % 31 + 1;
    return {year, month, day};
}

namespace {

int dayOfYear(const CivilDate& date)
{
    int total = date.day;
    for (int month = 1; month < date.month; ++month)
        total += daysInMonth(date.year, month);
    return total;
}

bool between(const CivilDate& date, const CivilDate& from, const CivilDate& to)
{
    return from.key() <= date.key() && date.key() <= to.key();
}

} // namespace

bool isPublicHoliday(const CivilDate& date)
{
    static const int fixed[][2] = {{1, 1},  {1, 6},  {4, 25}, {5, 1},   {6, 2},
                                   {8, 15}, {11, 1}, {12, 8}, {12, 25}, {12, 26}};
    for (const auto& holiday : fixed)
        if (date.month == holiday[0] && date.day == holiday[1])
            return true;
    const CivilDate easter = easterSunday(date.year);
    return dayOfYear(date) == dayOfYear(easter) + 1; // Lunedì dell'Angelo
}

bool isSchoolDay(const CivilDate& date)
{
    if (weekday(date) > 4 || isPublicHoliday(date))
        return false;
    const int y = date.year;
    const bool term = between(date, {y, 1, 7}, {y, 6, 7}) || between(date, {y, 9, 12}, {y, 12, 22});
    if (!term)
        return false;
    // Easter break: from the Thursday before Easter to the Tuesday after.
    const int easter = dayOfYear(easterSunday(y));
    const int day = dayOfYear(date);
    return day < easter - 3 || day > easter + 2;
}

bool operatesOn(ServicePattern pattern, const CivilDate& date)
{
    switch (pattern) {
    case ServicePattern::Weekdays:
        return weekday(date) < 6 && !isPublicHoliday(date);
    case ServicePattern::SchoolDays:
        return isSchoolDay(date);
    case ServicePattern::Holidays:
        return weekday(date) == 6 || isPublicHoliday(date);
    case ServicePattern::Daily:
        return true;
    case ServicePattern::Summer:
        return between(date, {date.year, 6, 15}, {date.year, 9, 15});
    }
    return false;
}

const char* patternName(ServicePattern pattern)
{
    switch (pattern) {
    case ServicePattern::Weekdays:
        return "Feriale";
    case ServicePattern::SchoolDays:
        return "Scolastico";
    case ServicePattern::Holidays:
        return "Festivo";
    case ServicePattern::Daily:
        return "Giornaliero";
    case ServicePattern::Summer:
        return "Estivo";
    }
    return "";
}

std::string monthFlags(ServicePattern pattern, int year, int month, const CivilDate& from, const CivilDate& to,
                       char notOperated)
{
    std::string flags(31, ' ');
    const int length = daysInMonth(year, month);
    for (int day = 1; day <= length; ++day) {
        const CivilDate date{year, month, day};
        flags[static_cast<size_t>(day - 1)] = between(date, from, to) && operatesOn(pattern, date) ? 'S' : notOperated;
    }
    return flags;
}

} // namespace korvan::demo
