#include "transfer/JetDates.h"

#include <cmath>

namespace korvan::transfer {

namespace {

// 1 January 100 and 31 December 9999 as JET counts them.
constexpr double kFirstJetDay = -657434;
constexpr double kLastJetDay = 2958465;

} // namespace

long long daysFromCivil(const CivilDate& date)
{
    const long long y = date.year - (date.month <= 2 ? 1 : 0);
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const long long yearOfEra = y - era * 400;
    const long long dayOfYear = (153 * (date.month + (date.month > 2 ? -3 : 9)) + 2) / 5 + date.day - 1;
    const long long dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
    return era * 146097 + dayOfEra - 719468;
}

CivilDate civilFromDays(long long days)
{
    days += 719468;
    const long long era = (days >= 0 ? days : days - 146096) / 146097;
    const long long dayOfEra = days - era * 146097;
    const long long yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
    const long long dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
    const long long mp = (5 * dayOfYear + 2) / 153;
    const int day = static_cast<int>(dayOfYear - (153 * mp + 2) / 5 + 1);
    const int month = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
    const int year = static_cast<int>(yearOfEra + era * 400 + (month <= 2 ? 1 : 0));
    return {year, month, day};
}

std::optional<JetDate> jetStoredDate(double stored, std::string& problem)
{
    problem.clear();
    if (!std::isfinite(stored) || stored < kFirstJetDay || stored >= kLastJetDay + 1) {
        problem = "Data impossibile: il valore memorizzato (" + shortestText(stored) +
                  ") non è un giorno del calendario JET (dal 01/01/0100 al 31/12/9999).";
        return std::nullopt;
    }
    const double whole = std::trunc(stored);
    if (whole == 0) {
        problem = "Data impossibile: il giorno 0 di JET (30/12/1899) indica un'ora senza data.";
        return std::nullopt;
    }
    static const long long dayZero = daysFromCivil({1899, 12, 30});
    JetDate result;
    result.date = civilFromDays(dayZero + static_cast<long long>(whole));
    // Times are kept to the second: a fraction below half a second is none.
    result.timeOfDay = std::fabs(stored - whole) * 86400.0 >= 0.5;
    return result;
}

} // namespace korvan::transfer
