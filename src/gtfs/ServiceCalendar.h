#pragma once

// The days each service of a feed runs: the weekdays of calendar.txt between
// its two dates, with the days calendar_dates.txt adds (exception_type 1) and
// removes (2); a feed may have only one of the two files. The month
// calendars of the runs database are built from it: one 31-character text a
// month, 'S' on the days the service runs.

#include "db/Values.h"
#include "gtfs/FeedSource.h"
#include "gtfs/FeedTables.h"

#include <string>
#include <vector>

namespace korvan::gtfs {

struct MonthDays {
    int year = 0;
    int month = 0;
    std::string days; // 31 characters, 'S' or 'N' (days the month lacks are 'N')
};

struct Service {
    std::string id;
    std::vector<long> days; // day numbers (FeedValues.h), ascending
};

class ServiceCalendar {
  public:
    // Reads calendar.txt and calendar_dates.txt; one of them must be there.
    static ServiceCalendar read(const FeedSource& source);

    const IdIndex& index() const { return index_; }
    const std::vector<Service>& services() const { return services_; }
    // The first and last day of the feed's validity: the span of every
    // calendar.txt period and every date of calendar_dates.txt. No value
    // (first > last) when the feed has neither.
    long firstDay() const { return firstDay_; }
    long lastDay() const { return lastDay_; }
    // The months in which the service runs at least once, in order.
    std::vector<MonthDays> months(int service) const;

  private:
    IdIndex index_;
    std::vector<Service> services_;
    long firstDay_ = 1;
    long lastDay_ = 0;
};

} // namespace korvan::gtfs
