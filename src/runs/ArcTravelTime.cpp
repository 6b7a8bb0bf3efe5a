#include "runs/ArcTravelTime.h"

#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"

namespace korvan::runs {

int arcTravelMinutes(int hour1, int minute1, int dwell1, int hour2, int minute2)
{
    constexpr int kMinutesPerDay = 24 * 60;
    int between = (hour2 * 60 + minute2) - (hour1 * 60 + minute1);
    if (between < 0)
        between += kMinutesPerDay;
    const int travel = between - dwell1;
    return travel > 0 ? travel : 0;
}

RunPassingTimes RunPassingTimes::load(DbConnection* connection, int company, long runId)
{
    RunPassingTimes times;
    SelectCursor select(connection);
    select.AddField("orari", "sub", SqlType::SmallInt);
    select.AddField("orari", "hh", SqlType::SmallInt);
    select.AddField("orari", "mm", SqlType::SmallInt);
    select.AddField("orari", "sosta", SqlType::SmallInt);
    select.SetFrom("orari");
    select.SetWhere(formatText("azienda = %d AND ID = %ld", company, runId));
    select.SetOrderBy("sub");
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        int sub = 0, hour = 0, minute = 0, dwell = 0;
        select.GetShort(0, sub);
        select.GetShort(1, hour);
        select.GetShort(2, minute);
        select.GetShort(3, dwell);
        times.add(sub, hour, minute, dwell);
    }
    return times;
}

int RunPassingTimes::travelMinutes(int sub) const
{
    const auto from = bySub_.find(sub);
    const auto to = bySub_.find(sub + 1);
    if (from == bySub_.end() || to == bySub_.end())
        return 0;
    return arcTravelMinutes(from->second.hour, from->second.minute, from->second.dwell, to->second.hour,
                            to->second.minute);
}

} // namespace korvan::runs
