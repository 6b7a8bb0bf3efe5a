#include "db/NumberText.h"

#include <charconv>
#include <cmath>

namespace korvan {

namespace {

bool isDigit(char c)
{
    return c >= '0' && c <= '9';
}

bool isBlank(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

// Where the number begins: past the blanks, at the sign if any.
size_t skipBlanks(std::string_view text)
{
    size_t at = 0;
    while (at < text.size() && isBlank(text[at]))
        ++at;
    return at;
}

} // namespace

std::string fixedText(double value, int decimals)
{
    // A double needs at most 309 integer digits; the buffer grows for more
    // decimals.
    std::string text(static_cast<size_t>(330 + (decimals > 0 ? decimals : 0)), '\0');
    const auto result =
        std::to_chars(text.data(), text.data() + text.size(), value, std::chars_format::fixed, decimals);
    text.resize(static_cast<size_t>(result.ptr - text.data()));
    return text;
}

std::string paddedFixedText(double value, int decimals, int width, char pad)
{
    std::string text = fixedText(value, decimals);
    if (static_cast<int>(text.size()) >= width)
        return text;
    const size_t missing = static_cast<size_t>(width) - text.size();
    // As printf: zeros go after the sign, and never into "inf" or "nan".
    if (pad == '0' && std::isfinite(value)) {
        const size_t signLength = text[0] == '-' ? 1 : 0;
        text.insert(signLength, missing, '0');
    } else {
        text.insert(0, missing, ' ');
    }
    return text;
}

std::string shortestText(double value)
{
    char text[64];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::optional<double> readLeadingDecimal(std::string_view text, size_t* used)
{
    if (used)
        *used = 0;
    size_t at = skipBlanks(text);
    bool negative = false;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        negative = text[at++] == '-';
    // A digit, or a period and a digit, must begin the number ("inf",
    // "nan" and hexadecimal forms are not numbers here).
    const bool startsNumber =
        at < text.size() && (isDigit(text[at]) || (text[at] == '.' && at + 1 < text.size() && isDigit(text[at + 1])));
    if (!startsNumber)
        return std::nullopt;
    double value = 0;
    const auto result = std::from_chars(text.data() + at, text.data() + text.size(), value, std::chars_format::general);
    if (result.ec != std::errc())
        return std::nullopt;
    if (used)
        *used = static_cast<size_t>(result.ptr - text.data());
    return negative ? -value : value;
}

std::optional<long long> readLeadingInteger(std::string_view text, size_t* used)
{
    if (used)
        *used = 0;
    size_t at = skipBlanks(text);
    // from_chars takes a minus sign itself, but not a plus sign.
    size_t from = at;
    if (at < text.size() && (text[at] == '+' || text[at] == '-'))
        from = text[at++] == '+' ? at : at - 1;
    if (at >= text.size() || !isDigit(text[at]))
        return std::nullopt;
    long long value = 0;
    const auto result = std::from_chars(text.data() + from, text.data() + text.size(), value);
    if (result.ec != std::errc())
        return std::nullopt;
    if (used)
        *used = static_cast<size_t>(result.ptr - text.data());
    return value;
}

} // namespace korvan
