#pragma once

// A contract line for the run browser's tests on every back end: authority
// 10 ("Regione Dieci"), company 3, line 1 "L1". Runs 1, 2 and 6 are listed;
// run 3 has no service day, run 4 is on line 2, run 5 has no accounting row,
// and company 4 has a run 1 of its own on the same line.

#include "core/SqlText.h"
#include "db/Values.h"
#include "runs/RunListLoader.h"
#include "support/AccountingFixture.h"

#include <string>

namespace korvan::test {

class BrowserDbTest : public AccountingDbTest {
  protected:
    static constexpr runs::RunListKey kLine{10, 3, 1};

    // A run with its timetable, terminus stops and route.
    void addFullRun(int company, long id, long length, int departure, long fromStop, int arrival, long toStop,
                    int duration = 45, long route = 7)
    {
        exec(formatText("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, codperc, lung, ct_lung, ct_tempo, "
                        "hh_p, mm_p, capol_p, hh_a, mm_a, capol_a) VALUES (%d, %ld, 10, 'L1', 'C%ld  ', %ld, %ld, "
                        "%ld, %d, %d, %d, %ld, %d, %d, %ld)",
                        company, id, id, route, length, length, duration, departure / 60, departure % 60, fromStop,
                        arrival / 60, arrival % 60, toStop));
    }
    void addStop(int company, long id, const std::string& name)
    {
        exec(formatText("INSERT INTO fermate (azienda, ID, denom) VALUES (%d, %ld, ", company, id) +
             quoteSqlText(name) + ")");
    }
    void addAuthority(int code, const std::string& name)
    {
        exec(formatText("INSERT INTO regent (codice, denom) VALUES (%d, ", code) + quoteSqlText(name) + ")");
    }

    void buildLine()
    {
        addAuthority(10, "Regione Dieci");
        addAuthority(40, "Provincia Quaranta   ");
        exec("INSERT INTO regazi (codice, denom) VALUES (3, 'Società Tre')");
        addLine(1, 10, "L1");
        addLine(2, 10, "L2");
        addStop(3, 100, "Piazza Dante  ");
        addStop(3, 101, "Stazione");
        addStop(4, 102, "Altrove");

        addFullRun(3, 1, 10000, 7 * 60 + 30, 100, 8 * 60 + 15, 101);
        addRunLine(3, 1, 10, 1);
        addConcors(3, 1, 10, true, 5);
        for (const char* day : {"2024-01-07", "2024-02-01", "2024-06-28"})
            addConkal(3, 1, day, 10, true, 5);
        addItinerarySplit(3, 1, 1);

        addFullRun(3, 2, 4000, 9 * 60, 102, 9 * 60 + 40, 100, 40);
        addRunLine(3, 2, 10, 1);
        addConcors(3, 2, 40, false, 12.3);
        addConkal(3, 2, "2024-03-01", 40, false, 12.3);
        addConkal(3, 2, "2024-03-02", 10, true, 12.3);
        addItinerarySplit(4, 2, 1); // another company's run 2

        addFullRun(3, 3, 5000, 600, 100, 650, 101);
        addRunLine(3, 3, 10, 1);
        addConcors(3, 3, 10, true, 1);

        addFullRun(3, 4, 5000, 600, 100, 650, 101);
        addRunLine(3, 4, 10, 2);
        addConcors(3, 4, 10, true, 1);
        addConkal(3, 4, "2024-01-08", 10, true, 1);

        addFullRun(3, 5, 5000, 600, 100, 650, 101);
        addRunLine(3, 5, 10, 1);
        addConkal(3, 5, "2024-01-08", 10, true, 1);

        addFullRun(3, 6, 0, 5 * 60, 101, 5 * 60 + 5, 999);
        addRunLine(3, 6, 10, 1);
        addConcors(3, 6, 99, false, 2);
        addConkal(3, 6, "2024-05-05", 10, true, 2);

        addFullRun(4, 1, 7000, 600, 102, 650, 102);
        addRunLine(4, 1, 10, 1);
        addConcors(4, 1, 10, true, 1);
        addConkal(4, 1, "2024-01-08", 10, true, 1);
    }

    // Every row of concors and conkal read with plain SQL, as one text: a
    // second connection's view of the accounting.
    std::string accountingChecksum(tools::RawDatabase& db)
    {
        std::string text;
        for (const char* sql :
             {"SELECT COUNT(*) FROM concors", "SELECT SUM(ID * 7 + ente * 3 + minima) FROM concors",
              "SELECT SUM(euro * ID) FROM concors", "SELECT COUNT(*) FROM conkal",
              "SELECT SUM(ID * 7 + ente * 3 + minima) FROM conkal", "SELECT SUM(euro * ID) FROM conkal"})
            text += db.queryText(sql) + "|";
        return text;
    }
};

} // namespace korvan::test
