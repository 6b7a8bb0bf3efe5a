#include "accounting/AccountingInput.h"

#include <algorithm>
#include <cctype>
#include <cmath>

namespace korvan::accounting {

namespace {

bool isDigit(char c)
{
    return std::isdigit(static_cast<unsigned char>(c)) != 0;
}

int twoDigits(const std::string& text, size_t at)
{
    return (text[at] - '0') * 10 + (text[at + 1] - '0');
}

} // namespace

std::optional<double> readAmountEntry(std::string_view text)
{
    size_t end = text.size();
    while (end > 0 && text[end - 1] == ' ')
        --end;
    std::string number;
    size_t at = 0;
    if (at < end && text[at] == '+')
        ++at;
    auto digits = [&] {
        const size_t from = at;
        while (at < end && isDigit(text[at]))
            number += text[at++];
        return at > from;
    };
    if (!digits())
        return std::nullopt;
    if (at < end && (text[at] == ',' || text[at] == '.')) {
        number += '.';
        ++at;
        if (!digits())
            return std::nullopt;
    }
    if (at != end)
        return std::nullopt;
    const std::optional<double> value = parseWholeDecimal(number);
    if (!value || !std::isfinite(*value) || !(*value > 0.0))
        return std::nullopt;
    return value;
}

std::optional<double> parseEuroPerKm(const std::string& text)
{
    if (text.size() > kEuroPerKmMaxLength)
        return std::nullopt;
    return readAmountEntry(text);
}

std::optional<int> parseTimeOfDay(const std::string& text)
{
    std::string entry = text.substr(0, 15);
    const size_t blank = entry.find(' ');
    if (blank != std::string::npos)
        entry.resize(blank);
    if (entry.size() != 4 && entry.size() != 5)
        return std::nullopt;
    const size_t sep = entry.size() - 3;
    if (std::string(",-.:").find(entry[sep]) == std::string::npos)
        return std::nullopt;
    for (size_t i = 0; i < entry.size(); ++i)
        if (i != sep && !isDigit(entry[i]))
            return std::nullopt;
    const int hours = sep == 1 ? entry[0] - '0' : twoDigits(entry, 0);
    const int minutes = twoDigits(entry, sep + 1);
    if (hours > 23 || minutes > 59)
        return std::nullopt;
    return hours * 100 + minutes;
}

std::optional<CivilDate> parseDateEntry(const std::string& text)
{
    if (text.size() != 8 && text.size() != 10)
        return std::nullopt;
    for (size_t i = 0; i < text.size(); ++i) {
        const bool separator = i == 2 || i == 5;
        if (separator ? std::string("-./").find(text[i]) == std::string::npos : !isDigit(text[i]))
            return std::nullopt;
    }
    CivilDate date;
    date.day = twoDigits(text, 0);
    date.month = twoDigits(text, 3);
    date.year = text.size() == 8 ? 2000 + twoDigits(text, 6) : twoDigits(text, 6) * 100 + twoDigits(text, 8);
    if (!isValidDate(date))
        return std::nullopt;
    return date;
}

std::string runAmountText(long lengthMetres, double euroPerKm)
{
    return commaAmountText(static_cast<double>(lengthMetres) * 0.001 * euroPerKm, 2);
}

std::string fourDecimalAmountText(double value)
{
    return commaAmountText(value, 4);
}

std::string commaAmountText(double value, int decimals)
{
    std::string text = fixedText(value, decimals);
    std::replace(text.begin(), text.end(), '.', ',');
    return text;
}

std::string invalidEuroPerKmMessage()
{
    return std::string("ATTENZIONE: Il valore in Euro/Km non è valido.\n\n") +
           "Occorre indicare un valore positivo non nullo.\n\n";
}

std::string invalidTimeMessage(bool start)
{
    return std::string("ATTENZIONE ") +
           (start ? "L'orario iniziale è espresso in modo illegale.\n\n"
                  : "L'orario finale è espresso in modo illegale.\n\n") +
           "Gli orari devono essere espressi nel formato HH.MM\n\n";
}

std::string invalidPeriodDateMessage(bool start)
{
    return std::string(start ? "ATTENZIONE: la data di inizio periodo è espressa in un formato illegale.\n\n"
                             : "ATTENZIONE: la data di fine periodo è espressa in un formato illegale.\n\n") +
           "Le date devono essere espresse nella forma GG/MM/AAAA.\n\n";
}

int weekdayIndex(const CivilDate& date)
{
    // Sakamoto's method gives 0 for Sunday; shift so that Monday is 0.
    static const int offsets[12] = {0, 3, 2, 5, 0, 3, 5, 1, 4, 6, 2, 4};
    int year = date.year;
    if (date.month < 3)
        year -= 1;
    const int sunday0 = (year + year / 4 - year / 100 + year / 400 + offsets[date.month - 1] + date.day) % 7;
    return (sunday0 + 6) % 7;
}

const char* weekdayName(int index)
{
    static const char* const names[7] = {"Lunedi", "Martedi", "Mercoledi", "Giovedi", "Venerdi", "Sabato", "Domenica"};
    return index >= 0 && index < 7 ? names[index] : "";
}

} // namespace korvan::accounting
