#include "shell/ClockReading.h"

#include <cmath>
#include <cstdio>

namespace korvan::shell {

namespace {

// "%02d" of `value`, its first two characters as digits.
void putTwoDigits(long value, int* out)
{
    char text[24];
    std::snprintf(text, sizeof text, "%02ld", value);
    for (int i = 0; i < 2; ++i)
        out[i] = (text[i] >= '0' && text[i] <= '9') ? text[i] - '0' : 0;
}

} // namespace

ClockDigits clockDigits(double elapsedDays)
{
    const double rounded = elapsedDays + (elapsedDays < 0 ? -kHalfSecondInDays : kHalfSecondInDays);
    const long minutes = static_cast<long>(std::trunc(rounded * 1440.0)) % 60;
    const long seconds = static_cast<long>(std::trunc(rounded * 86400.0)) % 60;
    ClockDigits digits{};
    putTwoDigits(minutes, &digits[0]);
    putTwoDigits(seconds, &digits[2]);
    return digits;
}

} // namespace korvan::shell
