#pragma once

// The values of a feed's fields: times of day that may run past midnight
// ("25:10:00"), dates as YYYYMMDD, whole and decimal numbers read in the C
// locale whatever the process locale; and dates as day numbers, so that a
// service's days are counted and walked simply.

#include "db/Values.h"

#include <optional>
#include <string_view>

namespace korvan::gtfs {

// Seconds after the midnight that starts the service day: "H:MM:SS" or
// "HH:MM:SS", hours 0 to 99 (past 24 on the next calendar day), minutes and
// seconds 0 to 59.
std::optional<int> parseFeedTime(std::string_view text);
// A date "YYYYMMDD" that exists.
std::optional<CivilDate> parseFeedDate(std::string_view text);
std::optional<long long> parseFeedInteger(std::string_view text);
std::optional<double> parseFeedDecimal(std::string_view text);

// Days since 1 January 1970 (proleptic Gregorian calendar), and back.
long dayNumber(const CivilDate& date);
CivilDate dateOfDay(long day);

} // namespace korvan::gtfs
