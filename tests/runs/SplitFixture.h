#pragma once

// Runs with routes, timetables, stops and accounting rows on every back end,
// for the calendar and itinerary splits; rows inserted with plain SQL and
// read back through the program's own cursors.

#include "core/SqlText.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "runs/SplitRun.h"
#include "support/AccountingFixture.h"

#include <string>
#include <vector>

namespace korvan::test {

class SplitDbTest : public AccountingDbTest {
  protected:
    void addAuthority(int code, const std::string& name)
    {
        exec(formatText("INSERT INTO regent (codice, denom) VALUES (%d, ", code) + quoteSqlText(name) + ")");
    }
    // A run with its route and accounted length, and its `concors` row.
    runs::SplitRun addSplitRun(int company, long id, int authority, long route, long lengthMetres, double amount,
                               bool minimum = true, int payer = -1)
    {
        exec(formatText("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, codperc, lung, ct_lung) "
                        "VALUES (%d, %ld, %d, 'L', 'C%ld', %ld, %ld, %ld)",
                        company, id, authority, id, route, lengthMetres, lengthMetres));
        const int paying = minimum ? authority : payer;
        addConcors(company, id, paying, minimum, amount);
        runs::SplitRun run;
        run.company = company;
        run.runId = id;
        run.routeCode = route;
        run.grantingAuthority = authority;
        run.payingAuthority = paying;
        run.minimumService = minimum;
        run.lengthMetres = lengthMetres;
        run.amount = amount;
        return run;
    }
    void addStop(int company, long id, const std::string& name)
    {
        exec(formatText("INSERT INTO fermate (azienda, ID, denom) VALUES (%d, %ld, ", company, id) +
             quoteSqlText(name) + ")");
    }
    // Arc `arcId` from stop `from` to stop `to`, at position `sub` of the route.
    void addRouteArc(int company, long route, int sub, long arcId, long from, long to, long lengthMetres,
                     long progressive)
    {
        exec(formatText("INSERT INTO archi (azienda, ID, inizio, fine, lung) VALUES (%d, %ld, %ld, %ld, %ld)", company,
                        arcId, from, to, lengthMetres));
        exec(formatText("INSERT INTO detitine (azienda, ID, sub, arco, dist) VALUES (%d, %ld, %d, %ld, %ld)", company,
                        route, sub, arcId, progressive));
    }
    void addPassing(int company, long runId, int sub, int hour, int minute, int dwell = 0)
    {
        exec(formatText("INSERT INTO orari (azienda, ID, sub, hh, mm, sosta) VALUES (%d, %ld, %d, %d, %d, %d)", company,
                        runId, sub, hour, minute, dwell));
    }
    void addArcSplit(int company, long runId, long route, int sub, int authority, bool minimum, double euro)
    {
        exec(formatText("INSERT INTO conitine (azienda, ID, codperc, sub, ente, minima, euro, lung, tempo) "
                        "VALUES (%d, %ld, %ld, %d, %d, %d, %.4f, 0, 0)",
                        company, runId, route, sub, authority, minimum ? 1 : 0, euro));
    }

    // `conitine` as "ID|codperc|sub|ente|minima|euro|lung|tempo" by key.
    std::vector<std::string> arcSplitRows(int company)
    {
        std::vector<std::string> rows;
        SelectCursor select(connection.get());
        select.AddField("conitine", "ID", SqlType::Integer);
        select.AddField("conitine", "codperc", SqlType::Integer);
        select.AddField("conitine", "sub", SqlType::SmallInt);
        select.AddField("conitine", "ente", SqlType::SmallInt);
        select.AddField("conitine", "minima", SqlType::SmallInt);
        select.AddField("conitine", "euro", SqlType::Double);
        select.AddField("conitine", "lung", SqlType::Integer);
        select.AddField("conitine", "tempo", SqlType::SmallInt);
        select.SetFrom("conitine");
        select.SetWhere(formatText("azienda = %d", company));
        select.SetOrderBy("ID, codperc, sub");
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            int id = 0, route = 0, sub = 0, authority = 0, minimum = 0, length = 0, time = 0;
            double euro = 0;
            select.GetLong(0, id);
            select.GetLong(1, route);
            select.GetShort(2, sub);
            select.GetShort(3, authority);
            select.GetShort(4, minimum);
            select.GetDouble(5, euro);
            select.GetLong(6, length);
            select.GetShort(7, time);
            rows.push_back(
                formatText("%d|%d|%d|%d|%d|%.4f|%d|%d", id, route, sub, authority, minimum != 0, euro, length, time));
        }
        return rows;
    }
};

} // namespace korvan::test
