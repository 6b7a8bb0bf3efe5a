#pragma once

// Text forms of values exchanged with the database layer: dates as
// "dd/mm/yyyy" with the two sentinels, amounts as "%020.4lf" with a comma,
// numbers read with either decimal separator. Numbers are converted by the
// C locale's rules whatever the process locale (db/NumberText.h).

#include "db/NumberText.h"

#include <optional>
#include <string>
#include <string_view>

namespace korvan {

inline constexpr const char* kNoDateText = "00/00/0000";
inline constexpr const char* kOpenEndedDateText = "99/99/9999";
inline constexpr const char* kNoDateStoredText = "01/01/1600";
inline constexpr const char* kOpenEndedStoredText = "31/12/2400";

struct CivilDate {
    int year = 0;
    int month = 0;
    int day = 0;

    // year * 10000 + month * 100 + day: how operations compare dates.
    int key() const { return year * 10000 + month * 100 + day; }
    bool operator==(const CivilDate&) const = default;
};

bool isLeapYear(int year);
int daysInMonth(int year, int month);
// A date that exists in the calendar (month 1..12, day within the month).
bool isValidDate(const CivilDate& date);

// "%02d/%02d/%04d" of day, month, year.
std::string formatDateText(const CivilDate& date);
// Day from characters 1-2, month from 4-5, year from 7-10; separators are not
// examined. Nothing when the text is shorter than 10 characters or those
// positions do not hold digits. The result is not checked for validity.
std::optional<CivilDate> parseDateText(const std::string& text);

// "00/00/0000" becomes "01/01/1600" and "99/99/9999" becomes "31/12/2400"
// (whole-text comparisons); any other text is returned unchanged.
std::string replaceDateSentinel(const std::string& text);
// The reading rule of the file back end: year 1600 or earlier gives
// "00/00/0000", 2400 or later "99/99/9999", else the date itself; an invalid
// date gives "00/00/0000".
std::string engineDateText(const CivilDate& date);

// ISO "YYYY-MM-DD", the form dates take inside SQLite files.
std::string formatIsoDate(const CivilDate& date);
std::optional<CivilDate> parseIsoDate(std::string_view text);

// "%020.4lf" with every "." replaced by ",".
std::string formatAmountText(double value);
// "%020.4f" of a single-precision value, "." replaced by ",".
std::string formatRealText(float value);
// Every "," replaced by "." then the leading part that forms a number is
// read, as strtod does in the C locale; 0 when nothing forms a number.
double parseDecimalText(const std::string& text);
// The leading part that forms a decimal integer, as strtol does; 0 when
// nothing forms one.
long parseIntegerText(const std::string& text);

// Whole-text numeric checks used by the file back end, which refuses what
// its columns cannot hold instead of storing a leading part.
std::optional<long long> parseWholeInteger(const std::string& text);
std::optional<double> parseWholeDecimal(const std::string& text);

// Why a value given as text was refused by a column, as the engine words it.
inline constexpr const char* kConversionErrorText = "Errore di conversione del tipo di dati.";
inline constexpr const char* kFieldTooSmallText =
    "Il campo è troppo piccolo per accettare la quantità di dati che si è tentato di aggiungere.";

// Removes trailing blanks (spaces) from the text.
std::string trimTrailingBlanks(const std::string& text);
void trimTrailingBlanksInPlace(std::string& text);
// The select cursor's rule: trailing blanks removed, but a text made only of
// blanks keeps its first one.
std::string trimTrailingBlanksKeepOne(const std::string& text);
// The characters of a UTF-8 text: how the width of a text column is counted.
int utf8CharacterCount(const std::string& text);

// printf-style formatting into a std::string, in the C locale whatever the
// process locale (a "%f" always writes a period).
std::string formatText(const char* format, ...) __attribute__((format(printf, 1, 2)));

} // namespace korvan
