#pragma once

// The entries the accounting dialogs read from their edit fields, parsed
// without any widget: the price per kilometre, a time of day "HH.MM" and a
// date of 8 or 10 characters; and the amount text written for a run.

#include "db/Values.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvan::accounting {

// The characters the "Euro/Km" edit holds.
inline constexpr size_t kEuroPerKmMaxLength = 8;

// An amount typed by the user, in every dialog and in korvan-batch: digits
// with at most one decimal separator, "," or "." with digits on both sides,
// an optional "+" first, then nothing but blanks; the value must be
// positive. Anything else is refused rather than read as another number:
// "1,8,5", "1.000,50", "12,5.3", "1,", ",5", "1e3", " 5", "" and "0" give
// nothing.
std::optional<double> readAmountEntry(std::string_view text);

// "Euro/Km": an amount entry of at most the edit's 8 characters (a longer
// one, from the batch command, is refused rather than read cut).
std::optional<double> parseEuroPerKm(const std::string& text);

// A time of day: the first 15 characters cut at the first blank must be
// "H?MM" or "HH?MM" with "?" one of ",-.:"; hours 0-23, minutes 0-59.
// The value is hours * 100 + minutes ("8.30", "08:30", "8-30", "08,30" give
// 830).
std::optional<int> parseTimeOfDay(const std::string& text);

// A date "DD?MM?YY" (year 2000 + YY) or "DD?MM?YYYY", each "?" one of
// "-./", forming a real calendar date.
std::optional<CivilDate> parseDateEntry(const std::string& text);

// The amount of a run: length (metres) * 0.001 * price per km, "%1.2lf" with
// a comma ("9,26" for 12 345 m at 0.75).
std::string runAmountText(long lengthMetres, double euroPerKm);
// "%1.4lf" with a comma: amounts carried over from existing rows.
std::string fourDecimalAmountText(double value);
// `decimals` digits after a comma, in the C locale whatever the user's: the
// text every amount is written to the runs database as.
std::string commaAmountText(double value, int decimals);

// The refusal messages of those entries (stop icon).
std::string invalidEuroPerKmMessage();
// "Dalle" (`start`) or "Alle".
std::string invalidTimeMessage(bool start);
// "Data Inizio" (`start`) or "Data Fine".
std::string invalidPeriodDateMessage(bool start);

// Monday = 0 ... Sunday = 6.
int weekdayIndex(const CivilDate& date);
// The weekday names the day-type assignment offers, Monday = 0 ("Lunedi")
// ... Sunday = 6 ("Domenica").
const char* weekdayName(int index);

} // namespace korvan::accounting
