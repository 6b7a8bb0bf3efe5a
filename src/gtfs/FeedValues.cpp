#include "gtfs/FeedValues.h"

#include <charconv>

namespace korvan::gtfs {

namespace {

bool allDigits(std::string_view text)
{
    if (text.empty())
        return false;
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

int digitsValue(std::string_view text)
{
    int value = 0;
    for (char c : text)
        value = value * 10 + (c - '0');
    return value;
}

} // namespace

std::optional<int> parseFeedTime(std::string_view text)
{
    const size_t first = text.find(':');
    if (first == std::string_view::npos)
        return std::nullopt;
    const size_t second = text.find(':', first + 1);
    if (second == std::string_view::npos)
        return std::nullopt;
    const std::string_view hours = text.substr(0, first);
    const std::string_view minutes = text.substr(first + 1, second - first - 1);
    const std::string_view seconds = text.substr(second + 1);
    if (hours.size() > 2 || !allDigits(hours) || minutes.size() != 2 || !allDigits(minutes) || seconds.size() != 2 ||
        !allDigits(seconds))
        return std::nullopt;
    const int m = digitsValue(minutes), s = digitsValue(seconds);
    if (m > 59 || s > 59)
        return std::nullopt;
    return digitsValue(hours) * 3600 + m * 60 + s;
}

std::optional<CivilDate> parseFeedDate(std::string_view text)
{
    if (text.size() != 8 || !allDigits(text))
        return std::nullopt;
    const CivilDate date{digitsValue(text.substr(0, 4)), digitsValue(text.substr(4, 2)),
                         digitsValue(text.substr(6, 2))};
    if (!isValidDate(date))
        return std::nullopt;
    return date;
}

std::optional<long long> parseFeedInteger(std::string_view text)
{
    long long value = 0;
    const char* end = text.data() + text.size();
    const char* begin = text.data();
    if (begin != end && *begin == '+')
        ++begin;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

std::optional<double> parseFeedDecimal(std::string_view text)
{
    double value = 0;
    const char* end = text.data() + text.size();
    const char* begin = text.data();
    if (begin != end && *begin == '+')
        ++begin;
    const auto [stop, error] = std::from_chars(begin, end, value);
    if (begin == end || error != std::errc() || stop != end)
        return std::nullopt;
    return value;
}

// The civil-calendar day count of H. Hinnant's public-domain algorithms.
long dayNumber(const CivilDate& date)
{
    const long y = date.month <= 2 ? date.year - 1 : date.year;
    const long era = (y >= 0 ? y : y - 399) / 400;
    const long yoe = y - era * 400;
    const long m = date.month;
    const long doy = (153 * (m > 2 ? m - 3 : m + 9) + 2) / 5 + date.day - 1;
    const long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + doe - 719468;
}

CivilDate dateOfDay(long day)
{
    const long z = day + 719468;
    const long era = (z >= 0 ? z : z - 146096) / 146097;
    const long doe = z - era * 146097;
    const long yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    const long doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const long mp = (5 * doy + 2) / 153;
    const int d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
    const int m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const long y = yoe + era * 400 + (m <= 2 ? 1 : 0);
    return {static_cast<int>(y), m, d};
}

} // namespace korvan::gtfs
