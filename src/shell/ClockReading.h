#pragma once

// The busy clock's MM:SS reading of an elapsed time.

#include <array>
#include <cstdint>

namespace korvan::shell {

// Half a second as a fraction of a day.
inline constexpr double kHalfSecondInDays = 5.787037037037037e-6;

// Four digits: minutes' tens and units, seconds' tens and units.
using ClockDigits = std::array<int, 4>;

// elapsed in days -> MM:SS:
//   minutes = trunc((elapsed ± half second) × 1440) mod 60
//   seconds = trunc((elapsed ± half second) × 86400) mod 60
// with the half second added, or taken away when elapsed is negative. Each
// value is printed "%02d" and its first two characters shown, a character
// that is not a digit showing as 0: -1 s reads 00:01, -75 s reads 01:01.
ClockDigits clockDigits(double elapsedDays);

// Whole seconds (may be negative, the clock having gone back) as days.
inline double secondsToDays(std::int64_t seconds)
{
    return static_cast<double>(seconds) / 86400.0;
}

} // namespace korvan::shell
