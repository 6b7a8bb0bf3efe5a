#pragma once

// The travel time over an arc written to `conitine.tempo`: the minutes from
// the passing time at the arc's first stop to that at the next one, less the
// dwell at the first stop. A run that passes midnight between the two stops
// (23:58, then 00:03) counts the day it crossed.

#include <map>

namespace korvan {
class DbConnection;
}

namespace korvan::runs {

// Minutes from hh1:mm1 (dwell `dwell1`) to hh2:mm2; never negative (a dwell
// longer than the stop-to-stop time gives 0).
int arcTravelMinutes(int hour1, int minute1, int dwell1, int hour2, int minute2);

// The `orari` rows of one run, read once for all its arcs.
class RunPassingTimes {
  public:
    static RunPassingTimes load(DbConnection* connection, int company, long runId);

    // The time over arc `sub` (from stop `sub` to stop `sub` + 1); 0 when
    // either row is missing.
    int travelMinutes(int sub) const;
    // One passing time, as `orari` holds it.
    void add(int sub, int hour, int minute, int dwell) { bySub_[sub] = {hour, minute, dwell}; }

  private:
    struct Passing {
        int hour = 0;
        int minute = 0;
        int dwell = 0;
    };
    std::map<int, Passing> bySub_;
};

} // namespace korvan::runs
