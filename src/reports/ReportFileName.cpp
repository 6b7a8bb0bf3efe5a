#include "reports/ReportFileName.h"

#include "db/Values.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <optional>

namespace korvan::reports {

namespace {

const char* reportName(ReportKind kind)
{
    switch (kind) {
    case ReportKind::LinesDirectory:
        return "Linee";
    case ReportKind::Contracts:
        return "Contratti";
    case ReportKind::Contributions:
        break;
    }
    return "Contributi";
}

std::string isoDay(const CivilDate& date)
{
    char text[16];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d", date.year, date.month, date.day);
    return text;
}

// A whole year, a whole month, one day or the two days.
std::string periodName(const std::string& startText, const std::string& endText)
{
    const std::optional<CivilDate> start = parseDateText(startText);
    const std::optional<CivilDate> end = parseDateText(endText);
    if (!start || !end)
        return {};
    char text[16];
    const bool sameYear = start->year == end->year;
    if (sameYear && start->month == 1 && start->day == 1 && end->month == 12 && end->day == 31) {
        std::snprintf(text, sizeof text, "%04d", start->year);
        return text;
    }
    if (sameYear && start->month == end->month && start->day == 1 && end->day == daysInMonth(end->year, end->month)) {
        std::snprintf(text, sizeof text, "%04d-%02d", start->year, start->month);
        return text;
    }
    if (*start == *end)
        return isoDay(*start);
    return isoDay(*start) + "_" + isoDay(*end);
}

std::string lowered(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

} // namespace

std::string reportFileStem(ReportKind kind, const ReportChoice& choice)
{
    std::string stem = reportName(kind);
    if (!choice.allAuthorities) {
        char code[16];
        std::snprintf(code, sizeof code, "_%04d", choice.authority);
        stem += code;
    }
    if (hasPeriod(kind)) {
        const std::string period = periodName(choice.periodStart, choice.periodEnd);
        if (!period.empty())
            stem += "_" + period;
        if (!choice.analytic)
            stem += "_Sintetico";
    }
    return stem;
}

std::string withExtension(const std::string& path, const std::string& extension)
{
    const std::string ending = "." + lowered(extension);
    if (path.size() > ending.size() && lowered(path.substr(path.size() - ending.size())) == ending)
        return path;
    return path + "." + extension;
}

} // namespace korvan::reports
