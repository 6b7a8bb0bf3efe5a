#pragma once

// The figures of the contracts and contributions statements, kept exact:
// lengths in whole metres, times in whole minutes and amounts in whole
// ten-thousandths of a euro (the program stores amounts with four decimals
// at most). Sums and products of them are exact, so a total is the same on
// every back end and in every order, and equals the same sum done by the
// database; figures are rounded only where they are printed.

#include <optional>
#include <string>

namespace korvan::reports {

// Ten-thousandths of a euro.
using Amount = long long;

inline constexpr long long kAmountUnitsPerEuro = 10000;

// A stored euro value to the nearest ten-thousandth; nothing when it is not
// a finite number of at most a thousand billion euro.
std::optional<Amount> amountFromEuro(double euro);

// Whole cents, halves away from zero.
long long centsOf(Amount amount);
// "%1.2lf" of the amount, its cents rounded as centsOf ("12.35" for
// 12.3450, "-0.05" for -0.0450).
std::string euroText(Amount amount);
// The cents as a number of euro (the CSV's value, two decimals).
double euroValue(Amount amount);

// "%1.2lf" of the kilometres of a length in metres, halves of a hundredth
// away from zero ("12.35" for 12345 m).
std::string kilometreText(long long metres);
// The kilometres as a number (the CSV's value, three decimals: exact).
double kilometreValue(long long metres);

// The time of a run row: "%d:%02d" of hours and minutes above 59 minutes,
// else "00:%02d" (59 -> "00:59", 60 -> "1:00").
std::string runTimeText(long long minutes);
// The time of a total row: "%d:%02d" from 60 minutes, else "00:%d" without
// a leading zero (45 -> "00:45", 5 -> "00:5").
std::string totalTimeText(long long minutes);

// The Partenza and Arrivo texts: "%d:%02d " of the time of day followed by
// the stop's name, or by "???" when the stop has none.
std::string stopTimeText(int minutesOfDay, const std::string& stopName);

} // namespace korvan::reports
