#pragma once

// Fixture databases for the pick lists, the line operations and the
// reports on every back end (support/BackendTest.h): authorities,
// companies, runs and lines inserted with plain SQL, results read back
// through the program's own select cursor. Header-only.

#include "core/SqlText.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "support/BackendTest.h"

#include <string>
#include <vector>

namespace korvan::test {

class RunsDbTest : public RunsDatabaseTest {
  protected:
    void addAuthority(int code, const std::string& name)
    {
        exec(formatText("INSERT INTO regent (codice, denom) VALUES (%d, ", code) + quoteSqlText(name) + ")");
    }
    void addCompany(int code, const std::string& name)
    {
        exec(formatText("INSERT INTO regazi (codice, denom) VALUES (%d, ", code) + quoteSqlText(name) + ")");
    }
    void addRun(int company, long id, int authority, const std::string& lineCode)
    {
        exec(formatText("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, lung) VALUES (%d, %ld, %d, ",
                        company, id, authority) +
             quoteSqlText(lineCode) + formatText(", 'C%ld', 1000)", id));
    }
    void addLine(int id, int authority, const std::string& code, const std::string& name = "")
    {
        exec(formatText("INSERT INTO linee (ID, ente, linea, denom) VALUES (%d, %d, ", id, authority) +
             quoteSqlText(code) + ", " + quoteSqlText(name) + ")");
    }
    void addRunLine(int company, long id, int authority, int line)
    {
        exec(formatText("INSERT INTO conline (azienda, ID, ente, linea) VALUES (%d, %ld, %d, %d)", company, id,
                        authority, line));
    }
    void addConcors(int company, long id, int authority, bool minimum)
    {
        exec(formatText("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (%d, %ld, %d, %d, 1.5)", company,
                        id, authority, minimum ? 1 : 0));
    }

    // `linee` as "ID|ente|linea|denom" by ID, texts between brackets so
    // blanks show.
    std::vector<std::string> lineRows()
    {
        std::vector<std::string> rows;
        SelectCursor select(connection.get());
        select.AddField("linee", "ID", SqlType::SmallInt);
        select.AddField("linee", "ente", SqlType::SmallInt);
        select.AddField("linee", "linea", SqlType::VarChar);
        select.AddField("linee", "denom", SqlType::VarChar);
        select.SetFrom("linee");
        select.SetOrderBy("linee.ID");
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            int id = 0, authority = 0;
            std::string code, name;
            select.GetShort(0, id);
            select.GetShort(1, authority);
            select.GetText(2, code);
            select.GetText(3, name);
            rows.push_back(formatText("%d|%d|[%s]|[%s]", id, authority, code.c_str(), name.c_str()));
        }
        return rows;
    }

    // `conline` as "azienda|ID|ente|linea" by company and run.
    std::vector<std::string> runLineRows()
    {
        std::vector<std::string> rows;
        SelectCursor select(connection.get());
        select.AddField("conline", "azienda", SqlType::SmallInt);
        select.AddField("conline", "ID", SqlType::Integer);
        select.AddField("conline", "ente", SqlType::SmallInt);
        select.AddField("conline", "linea", SqlType::SmallInt);
        select.SetFrom("conline");
        select.SetOrderBy("conline.azienda, conline.ID");
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            int company = 0, id = 0, authority = 0, line = 0;
            select.GetShort(0, company);
            select.GetLong(1, id);
            select.GetShort(2, authority);
            select.GetShort(3, line);
            rows.push_back(formatText("%d|%d|%d|%d", company, id, authority, line));
        }
        return rows;
    }
};

} // namespace korvan::test
