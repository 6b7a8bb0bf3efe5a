#pragma once

// Italian service calendars for the demo runs: public holidays, the school
// year and the weekday patterns a run is scheduled by, turned into the 31 day
// flags of a month row.

#include "db/Values.h"

#include <string>

namespace korvan::demo {

enum class ServicePattern {
    Weekdays,   // feriale: Monday to Saturday except public holidays
    SchoolDays, // scolastico: Monday to Friday of the school year
    Holidays,   // festivo: Sundays and public holidays
    Daily,      // giornaliero: every day
    Summer,     // estivo: every day from mid-June to mid-September
};

// 0 = Monday ... 6 = Sunday.
int weekday(const CivilDate& date);
CivilDate easterSunday(int year);
// National public holidays, Easter Monday included.
bool isPublicHoliday(const CivilDate& date);
bool isSchoolDay(const CivilDate& date);
bool operatesOn(ServicePattern pattern, const CivilDate& date);
const char* patternName(ServicePattern pattern);

// The 31 flags of one month: 'S' on the days the pattern operates between
// `from` and `to` (inclusive), `notOperated` on the other days of the month,
// and a blank on the days the month does not have.
std::string monthFlags(ServicePattern pattern, int year, int month, const CivilDate& from, const CivilDate& to,
                       char notOperated);

} // namespace korvan::demo
