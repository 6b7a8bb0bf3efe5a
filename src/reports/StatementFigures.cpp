#include "reports/StatementFigures.h"

#include "db/Values.h"

#include <cmath>

namespace korvan::reports {

namespace {

constexpr double kLargestEuro = 1e12;

// value / divisor to the nearest whole number, halves away from zero.
long long roundedQuotient(long long value, long long divisor)
{
    const long long half = divisor / 2;
    return value >= 0 ? (value + half) / divisor : -((-value + half) / divisor);
}

// "-" before the text of the magnitude, so that the parts after the sign
// keep their fixed form.
std::string withSign(long long value, std::string (*magnitudeText)(long long))
{
    return value < 0 ? "-" + magnitudeText(-value) : magnitudeText(value);
}

std::string hundredthsText(long long hundredths)
{
    return formatText("%lld.%02lld", hundredths / 100, hundredths % 100);
}

std::string runTimeMagnitude(long long minutes)
{
    if (minutes > 59)
        return formatText("%lld:%02lld", minutes / 60, minutes % 60);
    return formatText("00:%02lld", minutes);
}

std::string totalTimeMagnitude(long long minutes)
{
    if (minutes < 60)
        return formatText("00:%lld", minutes);
    return formatText("%lld:%02lld", minutes / 60, minutes % 60);
}

} // namespace

std::optional<Amount> amountFromEuro(double euro)
{
    if (!std::isfinite(euro) || std::fabs(euro) > kLargestEuro)
        return std::nullopt;
    return std::llround(euro * static_cast<double>(kAmountUnitsPerEuro));
}

long long centsOf(Amount amount)
{
    return roundedQuotient(amount, kAmountUnitsPerEuro / 100);
}

std::string euroText(Amount amount)
{
    const long long cents = centsOf(amount);
    return withSign(cents, hundredthsText);
}

double euroValue(Amount amount)
{
    return static_cast<double>(centsOf(amount)) / 100.0;
}

std::string kilometreText(long long metres)
{
    return withSign(roundedQuotient(metres, 10), hundredthsText);
}

double kilometreValue(long long metres)
{
    return static_cast<double>(metres) / 1000.0;
}

std::string runTimeText(long long minutes)
{
    return withSign(minutes, runTimeMagnitude);
}

std::string totalTimeText(long long minutes)
{
    return withSign(minutes, totalTimeMagnitude);
}

std::string stopTimeText(int minutesOfDay, const std::string& stopName)
{
    return formatText("%d:%02d ", minutesOfDay / 60, minutesOfDay % 60) + (stopName.empty() ? "???" : stopName);
}

} // namespace korvan::reports
