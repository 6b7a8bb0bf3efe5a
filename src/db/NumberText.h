#pragma once

// Numbers to text and back, always with the C locale's rules (a period as
// decimal separator, no grouping) whatever locale the process runs under:
// Qt sets the C library's locale from the environment, and the users'
// it_IT.UTF-8 has a decimal comma that strtod and printf would follow.
// Every number that crosses between text and value goes through here.

#include <optional>
#include <string>
#include <string_view>

namespace korvan {

// "%.*f": `decimals` digits after a period, rounded to nearest.
std::string fixedText(double value, int decimals);
// "%0<width>.*f" (pad '0': zeros after the sign) or "%<width>.*f" (pad ' ').
std::string paddedFixedText(double value, int decimals, int width, char pad);
// The shortest text that reads back as the same value ("12345.6", "1e+300").
std::string shortestText(double value);

// The leading part of `text` that forms a decimal number, as strtod reads
// it in the C locale: blanks, an optional sign, digits with an optional
// period, an optional exponent. Nothing when no digit begins it or the value
// is out of a double's range. `used` gets the characters read.
std::optional<double> readLeadingDecimal(std::string_view text, size_t* used = nullptr);
// The same for a decimal integer (blanks, sign, digits), as strtoll reads
// it; nothing when no digit begins it or it is beyond a 64-bit integer.
std::optional<long long> readLeadingInteger(std::string_view text, size_t* used = nullptr);

} // namespace korvan
