#pragma once

// Fixture databases for the accounting operations on every back end
// (support/BackendTest.h): runs, lines, protocols, month calendars and
// accounting rows inserted with plain SQL, results read back through the
// program's own select cursor.

#include "support/BackendTest.h"

#include <initializer_list>
#include <string>
#include <vector>

namespace korvan::test {

// Every row of the five accounting tables as the program reads them, each as
// "table|value|value...", tables in schema order and rows in key order: two
// snapshots are equal when nothing changed.
std::vector<std::string> accountingSnapshot(DbConnection* connection);

class AccountingDbTest : public RunsDatabaseTest {
  protected:
    void addRun(int company, long id, int authority, long length, int depHour = 8, int depMinute = 0, int arrHour = 9,
                int arrMinute = 0);
    void addLine(int lineId, int authority, const std::string& code);
    void addRunLine(int company, long id, int authority, int lineId);
    void addConcors(int company, long id, int authority, bool minimum, double euro);
    // `isoDate` "YYYY-MM-DD".
    void addConkal(int company, long id, const std::string& isoDate, int authority, bool minimum, double euro);
    void addProtocol(int company, long number, const std::string& isoStart, const std::string& isoEnd, bool reset);
    void addMonth(int company, long id, long protocol, int year, int month, const std::string& flags);
    void addItinerarySplit(int company, long id, int sub);

    // Rows of `conkal`/`concors` as "ID|data|ente|minima|euro" texts
    // ("ID|ente|minima|euro" for concors), ordered by key.
    std::vector<std::string> conkalRows(int company, const std::string& extraWhere = "");
    std::vector<std::string> concorsRows(int company);
};

// 31 day flags with 'S' on the given days.
std::string flagsOn(std::initializer_list<int> days);
// 31 day flags, 'S' everywhere.
std::string allDays();

} // namespace korvan::test
