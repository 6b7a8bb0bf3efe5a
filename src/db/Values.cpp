#include "db/Values.h"

#include "db/NumberText.h"

#include <cctype>
#include <cstdarg>
#include <cstdio>
#include <locale.h>

namespace korvan {

bool isLeapYear(int year)
{
    return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month)
{
    static const int days[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    if (month < 1 || month > 12)
        return 0;
    return month == 2 && isLeapYear(year) ? 29 : days[month - 1];
}

bool isValidDate(const CivilDate& date)
{
    return date.year >= 1 && date.year <= 9999 && date.month >= 1 && date.month <= 12 && date.day >= 1 &&
           date.day <= daysInMonth(date.year, date.month);
}

namespace {

// The C locale, made once: formatText switches the calling thread to it so
// that a "%f" writes a period whatever the process locale says.
locale_t cLocale()
{
    static const locale_t locale = newlocale(LC_ALL_MASK, "C", static_cast<locale_t>(nullptr));
    return locale;
}

class CLocaleScope {
  public:
    CLocaleScope() : previous_(cLocale() ? uselocale(cLocale()) : static_cast<locale_t>(nullptr)) {}
    ~CLocaleScope()
    {
        if (previous_)
            uselocale(previous_);
    }
    CLocaleScope(const CLocaleScope&) = delete;
    CLocaleScope& operator=(const CLocaleScope&) = delete;

  private:
    locale_t previous_;
};

} // namespace

std::string formatText(const char* format, ...)
{
    const CLocaleScope cNumbers;
    char small[256];
    va_list args;
    va_start(args, format);
    va_list copy;
    va_copy(copy, args);
    const int length = std::vsnprintf(small, sizeof small, format, args);
    va_end(args);
    if (length < 0) {
        va_end(copy);
        return {};
    }
    if (static_cast<size_t>(length) < sizeof small) {
        va_end(copy);
        return std::string(small, static_cast<size_t>(length));
    }
    std::string result(static_cast<size_t>(length), '\0');
    std::vsnprintf(result.data(), result.size() + 1, format, copy);
    va_end(copy);
    return result;
}

namespace {

// Writes `value` as `width` digits at `out`; dates are converted for every row
// read or written, and this avoids a printf per value.
void putDigits(char* out, int value, int width)
{
    for (int i = width - 1; i >= 0; --i, value /= 10)
        out[i] = static_cast<char>('0' + value % 10);
}

bool plainDigits(const CivilDate& date)
{
    return date.day >= 0 && date.day <= 99 && date.month >= 0 && date.month <= 99 && date.year >= 0 &&
           date.year <= 9999;
}

} // namespace

std::string formatDateText(const CivilDate& date)
{
    if (!plainDigits(date))
        return formatText("%02d/%02d/%04d", date.day, date.month, date.year);
    std::string text = "00/00/0000";
    putDigits(&text[0], date.day, 2);
    putDigits(&text[3], date.month, 2);
    putDigits(&text[6], date.year, 4);
    return text;
}

namespace {

bool readDigits(std::string_view text, size_t from, size_t count, int& value)
{
    value = 0;
    for (size_t i = from; i < from + count; ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        if (!std::isdigit(c))
            return false;
        value = value * 10 + (c - '0');
    }
    return true;
}

} // namespace

std::optional<CivilDate> parseDateText(const std::string& text)
{
    if (text.size() < 10)
        return std::nullopt;
    CivilDate date;
    if (!readDigits(text, 0, 2, date.day) || !readDigits(text, 3, 2, date.month) || !readDigits(text, 6, 4, date.year))
        return std::nullopt;
    return date;
}

std::string replaceDateSentinel(const std::string& text)
{
    if (text == kNoDateText)
        return kNoDateStoredText;
    if (text == kOpenEndedDateText)
        return kOpenEndedStoredText;
    return text;
}

std::string engineDateText(const CivilDate& date)
{
    if (!isValidDate(date) || date.year <= 1600)
        return kNoDateText;
    if (date.year >= 2400)
        return kOpenEndedDateText;
    return formatDateText(date);
}

std::string formatIsoDate(const CivilDate& date)
{
    if (!plainDigits(date))
        return formatText("%04d-%02d-%02d", date.year, date.month, date.day);
    std::string text = "0000-00-00";
    putDigits(&text[0], date.year, 4);
    putDigits(&text[5], date.month, 2);
    putDigits(&text[8], date.day, 2);
    return text;
}

std::optional<CivilDate> parseIsoDate(std::string_view text)
{
    if (text.size() < 10 || text[4] != '-' || text[7] != '-')
        return std::nullopt;
    CivilDate date;
    if (!readDigits(text, 0, 4, date.year) || !readDigits(text, 5, 2, date.month) || !readDigits(text, 8, 2, date.day))
        return std::nullopt;
    return date;
}

namespace {

std::string commaDecimal(std::string text)
{
    for (char& c : text)
        if (c == '.')
            c = ',';
    return text;
}

std::string dotDecimal(std::string text)
{
    for (char& c : text)
        if (c == ',')
            c = '.';
    return text;
}

} // namespace

std::string formatAmountText(double value)
{
    return commaDecimal(paddedFixedText(value, 4, 20, '0'));
}

std::string formatRealText(float value)
{
    return commaDecimal(paddedFixedText(static_cast<double>(value), 4, 20, '0'));
}

double parseDecimalText(const std::string& text)
{
    return readLeadingDecimal(dotDecimal(text)).value_or(0.0);
}

long parseIntegerText(const std::string& text)
{
    const std::optional<long long> value = readLeadingInteger(text);
    return value ? static_cast<long>(*value) : 0L;
}

std::optional<long long> parseWholeInteger(const std::string& text)
{
    const std::string trimmed = trimTrailingBlanks(text);
    size_t used = 0;
    const std::optional<long long> value = readLeadingInteger(trimmed, &used);
    if (!value || used != trimmed.size())
        return std::nullopt;
    return value;
}

std::optional<double> parseWholeDecimal(const std::string& text)
{
    const std::string trimmed = dotDecimal(trimTrailingBlanks(text));
    size_t used = 0;
    const std::optional<double> value = readLeadingDecimal(trimmed, &used);
    if (!value || used != trimmed.size())
        return std::nullopt;
    return value;
}

std::string trimTrailingBlanks(const std::string& text)
{
    std::string result = text;
    trimTrailingBlanksInPlace(result);
    return result;
}

void trimTrailingBlanksInPlace(std::string& text)
{
    const size_t end = text.find_last_not_of(' ');
    text.erase(end == std::string::npos ? 0 : end + 1);
}

std::string trimTrailingBlanksKeepOne(const std::string& text)
{
    const size_t end = text.find_last_not_of(' ');
    if (end != std::string::npos)
        return text.substr(0, end + 1);
    // A text made only of blanks keeps its first one.
    return std::string(text.empty() ? 0 : 1, ' ');
}

int utf8CharacterCount(const std::string& text)
{
    int count = 0;
    for (unsigned char c : text)
        if ((c & 0xC0) != 0x80)
            ++count;
    return count;
}

} // namespace korvan
