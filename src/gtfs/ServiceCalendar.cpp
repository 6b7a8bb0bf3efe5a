#include "gtfs/ServiceCalendar.h"

#include "gtfs/CsvReader.h"
#include "gtfs/FeedError.h"
#include "gtfs/FeedValues.h"

#include <algorithm>
#include <set>

namespace korvan::gtfs {

namespace {

const char* const kWeekdayColumns[7] = {"monday", "tuesday", "wednesday", "thursday", "friday", "saturday", "sunday"};

CivilDate dateField(const CsvReader& csv, int column)
{
    const std::string_view text = csv.required(column);
    const std::optional<CivilDate> date = parseFeedDate(text);
    if (!date)
        csv.fail(column, "\"" + std::string(text) + "\" non è una data AAAAMMGG");
    return *date;
}

// Monday 0 ... Sunday 6 of a day number (1 January 1970 was a Thursday).
int weekdayOf(long day)
{
    return static_cast<int>(((day % 7) + 7 + 3) % 7);
}

} // namespace

ServiceCalendar ServiceCalendar::read(const FeedSource& source)
{
    const bool haveCalendar = source.has("calendar.txt");
    const bool haveDates = source.has("calendar_dates.txt");
    if (!haveCalendar && !haveDates)
        throw FeedError("calendar.txt", 0, "", "manca il file nel feed, e manca anche calendar_dates.txt");
    ServiceCalendar calendar;
    std::vector<std::set<long>> days;
    long first = 0, last = -1;
    bool any = false;
    auto widen = [&](long day) {
        first = any ? std::min(first, day) : day;
        last = any ? std::max(last, day) : day;
        any = true;
    };
    auto serviceOf = [&](const std::string& id) {
        const auto [found, added] = calendar.index_.emplace(id, static_cast<int>(calendar.services_.size()));
        if (added) {
            calendar.services_.push_back({id, {}});
            days.emplace_back();
        }
        return found->second;
    };
    if (haveCalendar) {
        CsvReader csv(source.open("calendar.txt"), "calendar.txt");
        const int id = csv.requiredColumn("service_id");
        int weekday[7];
        for (int d = 0; d < 7; ++d)
            weekday[d] = csv.requiredColumn(kWeekdayColumns[d]);
        const int start = csv.requiredColumn("start_date");
        const int end = csv.requiredColumn("end_date");
        while (csv.next()) {
            const std::string serviceId(csv.required(id));
            if (calendar.index_.count(serviceId))
                csv.fail(id, "il servizio \"" + serviceId + "\" compare già in una riga precedente");
            const int service = serviceOf(serviceId);
            bool runs[7];
            for (int d = 0; d < 7; ++d) {
                const std::string_view flag = csv.required(weekday[d]);
                if (flag != "0" && flag != "1")
                    csv.fail(weekday[d], "\"" + std::string(flag) + "\" non è 0 o 1");
                runs[d] = flag == "1";
            }
            const long from = dayNumber(dateField(csv, start));
            const long to = dayNumber(dateField(csv, end));
            if (to < from)
                csv.fail(end, "la data di fine precede quella di inizio");
            widen(from);
            widen(to);
            for (long day = from; day <= to; ++day)
                if (runs[weekdayOf(day)])
                    days[static_cast<size_t>(service)].insert(day);
        }
    }
    if (haveDates) {
        CsvReader csv(source.open("calendar_dates.txt"), "calendar_dates.txt");
        const int id = csv.requiredColumn("service_id");
        const int date = csv.requiredColumn("date");
        const int type = csv.requiredColumn("exception_type");
        while (csv.next()) {
            const int service = serviceOf(std::string(csv.required(id)));
            const long day = dayNumber(dateField(csv, date));
            const std::string_view kind = csv.required(type);
            if (kind == "1") {
                days[static_cast<size_t>(service)].insert(day);
                widen(day);
            } else if (kind == "2") {
                days[static_cast<size_t>(service)].erase(day);
            } else {
                csv.fail(type, "\"" + std::string(kind) + "\" non è 1 (giorno aggiunto) o 2 (giorno tolto)");
            }
        }
    }
    for (size_t i = 0; i < days.size(); ++i)
        calendar.services_[i].days.assign(days[i].begin(), days[i].end());
    if (any) {
        calendar.firstDay_ = first;
        calendar.lastDay_ = last;
    }
    return calendar;
}

std::vector<MonthDays> ServiceCalendar::months(int service) const
{
    std::vector<MonthDays> result;
    for (long day : services_[static_cast<size_t>(service)].days) {
        const CivilDate date = dateOfDay(day);
        if (result.empty() || result.back().year != date.year || result.back().month != date.month)
            result.push_back({date.year, date.month, std::string(31, 'N')});
        result.back().days[static_cast<size_t>(date.day - 1)] = 'S';
    }
    return result;
}

} // namespace korvan::gtfs
