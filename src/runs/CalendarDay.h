#pragma once

// The calendar of one run as its split view shows it: one `CalendarDay` per
// `conkal` row, in date order, with the financing and amount of that day.
// Changes stay in the list (`modified`) until RunCalendarWrite stores them.

#include "db/Values.h"
#include "runs/SplitChange.h"
#include "runs/SplitRun.h"

#include <optional>
#include <string>
#include <vector>

namespace korvan {
class DbConnection;
}

namespace korvan::runs {

struct CalendarDay {
    int company = 0;
    long runId = 0;
    std::string date;       // "dd/mm/yyyy"
    CivilDate calendarDate; // the same date as numbers
    std::string weekdayName;
    bool minimumService = true;
    int grantingAuthority = 0;
    int payingAuthority = 0;
    long lengthMetres = 0;
    double amount = 0.0;
    std::string payingAuthorityName;
    bool modified = false;
    bool selected = false;
};

// "Domenica", "Lunedi", ... "Sabato" of a date; "" for an impossible one.
std::string calendarWeekdayName(const CivilDate& date);

class CalendarDayList {
  public:
    // The days of the run: every `conkal` row of (company, run ID) by date. A
    // minimum-service day shows the run's paying authority and amount,
    // whatever its own row holds; another day its own authority and amount.
    // Then the names of the paying authorities.
    static CalendarDayList load(DbConnection* connection, const SplitRun& run);

    const std::vector<CalendarDay>& days() const { return days_; }
    size_t size() const { return days_.size(); }
    const CalendarDay* at(int position) const;
    const SplitRun& run() const { return run_; }

    void setSelected(int position, bool selected);
    void toggleSelected(int position);
    void selectAll();
    void clearSelection();
    // Some day other than the one at `position` is selected.
    bool anyOtherSelected(int position) const;

    // A refusal message when the change cannot be made (carrying a total to
    // other runs in proportion to a run length of 0); nothing when it can.
    std::optional<std::string> refusal(const SplitChange& change) const;
    // The per-day dialog's OK on the day at `position`: the day, and with
    // applyToSelected every selected day, take the change; the list keeps
    // applyToSelectedRuns for "Registra Modifiche". False when refused.
    bool applyChange(int position, const SplitChange& change);

    bool propagateToSelectedRuns() const { return propagateToSelectedRuns_; }
    bool anyModified() const;

    // For fixtures and the view: a list built from days already at hand.
    CalendarDayList(const SplitRun& run, std::vector<CalendarDay> days) : run_(run), days_(std::move(days)) {}

  private:
    SplitRun run_;
    std::vector<CalendarDay> days_;
    bool propagateToSelectedRuns_ = false;
};

} // namespace korvan::runs
