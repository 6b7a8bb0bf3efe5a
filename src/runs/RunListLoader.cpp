#include "runs/RunListLoader.h"

#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "refdata/NameLookups.h"

namespace korvan::runs {

namespace {

enum Column {
    RunId,
    RouteCode,
    GrantingAuthority,
    RunCode,
    Length,
    Duration,
    RunMinimum,
    RunPayer,
    Amount,
    DepartureHour,
    DepartureMinute,
    DepartureStop,
    ArrivalHour,
    ArrivalMinute,
    ArrivalStop,
    Day,
    DayMinimum,
    DayPayer,
};

void prepareRunQuery(SelectCursor& select, const RunListKey& key)
{
    select.AddField("corse", "ID", SqlType::Integer);
    select.AddField("corse", "codperc", SqlType::Integer);
    select.AddField("corse", "ente", SqlType::SmallInt);
    select.AddField("corse", "codcorsa", SqlType::VarChar);
    select.AddField("corse", "ct_lung", SqlType::Integer);
    select.AddField("corse", "ct_tempo", SqlType::SmallInt);
    select.AddField("concors", "minima", SqlType::Bit);
    select.AddField("concors", "ente", SqlType::SmallInt);
    select.AddField("concors", "euro", SqlType::Double);
    select.AddField("corse", "hh_p", SqlType::SmallInt);
    select.AddField("corse", "mm_p", SqlType::SmallInt);
    select.AddField("corse", "capol_p", SqlType::Integer);
    select.AddField("corse", "hh_a", SqlType::SmallInt);
    select.AddField("corse", "mm_a", SqlType::SmallInt);
    select.AddField("corse", "capol_a", SqlType::Integer);
    select.AddField("conkal", "data", SqlType::Date);
    select.AddField("conkal", "minima", SqlType::Bit);
    select.AddField("conkal", "ente", SqlType::SmallInt);
    select.SetFrom("conline, linee, concors, corse, conkal");
    select.SetWhere(formatText("corse.azienda = %d AND corse.ente = %d AND linee.ID = %d AND concors.azienda = %d",
                               key.company, key.authority, key.line, key.company) +
                    " AND concors.ID = corse.ID AND conline.linea = linee.ID" +
                    formatText(" AND conline.azienda = %d AND conline.ID = corse.ID", key.company) +
                    formatText(" AND conkal.azienda = %d AND conkal.ID = corse.ID", key.company));
    select.SetOrderBy("corse.ID, conkal.data");
}

int shortAt(SelectCursor& select, int column)
{
    int value = 0;
    select.GetShort(column, value);
    return value;
}

long longAt(SelectCursor& select, int column)
{
    int value = 0;
    select.GetLong(column, value);
    return value;
}

// The run fields of a group's first row.
RunRow runOf(SelectCursor& select, int company)
{
    RunRow row;
    row.company = company;
    row.runId = longAt(select, RunId);
    row.routeCode = longAt(select, RouteCode);
    row.grantingAuthority = shortAt(select, GrantingAuthority);
    select.GetText(RunCode, row.runCode);
    trimTrailingBlanksInPlace(row.runCode);
    row.lengthMetres = longAt(select, Length);
    row.duration = shortAt(select, Duration);
    row.minimumService = shortAt(select, RunMinimum) != 0;
    row.payingAuthority = shortAt(select, RunPayer);
    select.GetDouble(Amount, row.amount);
    row.departureMinutes = shortAt(select, DepartureHour) * 60 + shortAt(select, DepartureMinute);
    row.departureStop = longAt(select, DepartureStop);
    row.arrivalMinutes = shortAt(select, ArrivalHour) * 60 + shortAt(select, ArrivalMinute);
    row.arrivalStop = longAt(select, ArrivalStop);
    return row;
}

// Sets the itinerary marker of every run of the line with an itinerary
// split of the contract's company (a run of another company with the same
// ID does not count).
void markItinerarySplits(DbConnection* connection, const RunListKey& key, RunListModel& model)
{
    SelectCursor select(connection);
    select.AddField("conitine", "ID", SqlType::Integer);
    select.SetFrom("conitine, linee, conline, corse");
    select.SetWhere(
        formatText("corse.azienda = %d AND corse.ente = %d AND linee.ID = %d", key.company, key.authority, key.line) +
        " AND conitine.ID = corse.ID AND conline.linea = linee.ID AND conline.ID = corse.ID" +
        formatText(" AND conitine.azienda = %d AND conline.azienda = %d", key.company, key.company));
    select.SetGroupBy("conitine.ID");
    select.SetOrderBy("conitine.ID");
    for (bool row = select.Execute(); row; row = select.MoveNext())
        model.markItinerarySplit(longAt(select, 0));
}

} // namespace

std::string runListSql(DbConnection* connection, const RunListKey& key)
{
    SelectCursor select(connection);
    prepareRunQuery(select, key);
    select.BuildSql();
    return select.SqlText();
}

RunListModel loadRunList(DbConnection* connection, const RunListKey& key)
{
    RunListModel model(key.company);
    if (!connection || !connection->IsOpen())
        return model;
    {
        SelectCursor select(connection);
        prepareRunQuery(select, key);
        RunRow current;
        bool inGroup = false;
        int firstMinimum = 0, firstPayer = 0;
        std::string day;
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            const long id = longAt(select, RunId);
            select.GetText(Day, day);
            const int dayMinimum = shortAt(select, DayMinimum);
            const int dayPayer = shortAt(select, DayPayer);
            if (!inGroup || id != current.runId) {
                if (inGroup)
                    model.addRow(std::move(current));
                current = runOf(select, key.company);
                current.firstDay = day;
                firstMinimum = dayMinimum;
                firstPayer = dayPayer;
                inGroup = true;
            } else if (dayMinimum != firstMinimum || dayPayer != firstPayer) {
                current.calendarMarker = true;
            }
            ++current.serviceDays;
            current.lastDay = day;
        }
        if (inGroup)
            model.addRow(std::move(current));
    }
    markItinerarySplits(connection, key, model);
    fillRunNames(connection, model);
    model.sort(kRunIdOrder);
    return model;
}

void fillRunNames(DbConnection* connection, RunListModel& model)
{
    std::vector<long> stops;
    std::vector<int> payers;
    for (const RunRow& row : model.rows()) {
        stops.push_back(row.departureStop);
        stops.push_back(row.arrivalStop);
        if (!row.minimumService)
            payers.push_back(row.payingAuthority);
    }
    const auto stopNames = stops.empty() ? std::unordered_map<long, std::string>{}
                                         : refdata::stopNames(connection, model.company(), stops);
    const auto payerNames =
        payers.empty() ? std::unordered_map<int, std::string>{} : refdata::authorityNames(connection, payers);
    auto nameOf = [](const auto& names, auto code) {
        const auto found = names.find(code);
        return found == names.end() ? std::string() : found->second;
    };
    for (RunRow& row : model.rows()) {
        row.departureStopName = nameOf(stopNames, row.departureStop);
        row.arrivalStopName = nameOf(stopNames, row.arrivalStop);
        row.payingAuthorityName = row.minimumService ? std::string() : nameOf(payerNames, row.payingAuthority);
        row.departureLabel = terminusLabel(row.departureMinutes, row.departureStopName);
        row.arrivalLabel = terminusLabel(row.arrivalMinutes, row.arrivalStopName);
    }
}

} // namespace korvan::runs
