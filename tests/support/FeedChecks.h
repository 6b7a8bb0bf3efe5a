#pragma once

// What the GTFS tests check the import against: the feed's own files, read
// here with a plain CSV split of their own, and the rows of the database
// made, read with SQLite directly.

#include <map>
#include <set>
#include <string>
#include <vector>

namespace korvan::test {

// The real feed of the shared data (Trentino trasporti, urban network), or
// "" when the shared data are not beside the repository.
std::string realFeedFolder();

struct CsvTable {
    std::vector<std::string> header;
    std::vector<std::vector<std::string>> rows;
    // The column's index; throws when absent.
    size_t column(const std::string& name) const;
};
CsvTable readCsvTable(const std::string& path);

// The days (YYYYMMDD) from `first` to `last` (YYYYMMDD) on which each
// service of the feed folder runs: calendar.txt's weekdays and period, with
// calendar_dates.txt's added and removed days.
std::map<std::string, std::set<int>> serviceDays(const std::string& feedFolder, int first, int last);

// Every row of a query on a SQLite file, its columns joined by '|'.
std::vector<std::string> queryRows(const std::string& databasePath, const std::string& sql);
// The first column of the first row ("" when none).
std::string queryValue(const std::string& databasePath, const std::string& sql);

} // namespace korvan::test
