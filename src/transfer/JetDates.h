#pragma once

// The dates of a JET file: a double counting days from 30 December 1899
// (day 0), its fraction the time of day; before day 0 the whole part counts
// back and the fraction still runs forward (-1.25 is 29 December 1899,
// 06:00). JET holds 1 January 100 to 31 December 9999.

#include "db/Values.h"

#include <optional>
#include <string>

namespace korvan::transfer {

struct JetDate {
    CivilDate date;
    bool timeOfDay = false; // a time other than midnight
};

// The date of a stored value; nothing when the value is no date, with the
// reason in `problem`: not a number, beyond JET's calendar, or day 0 itself,
// which JET keeps for a time of day without a date.
std::optional<JetDate> jetStoredDate(double stored, std::string& problem);

// Days from 1 January 1970 and back (proleptic Gregorian calendar).
long long daysFromCivil(const CivilDate& date);
CivilDate civilFromDays(long long days);

} // namespace korvan::transfer
