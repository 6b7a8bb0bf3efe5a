#include "support/FeedChecks.h"

#include "support/TestSupport.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <stdexcept>

namespace korvan::test {

namespace {

std::vector<std::string> splitCsvLine(const std::string& line)
{
    std::vector<std::string> fields(1);
    bool quoted = false;
    for (size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted) {
            if (c == '"' && i + 1 < line.size() && line[i + 1] == '"')
                fields.back() += line[++i];
            else if (c == '"')
                quoted = false;
            else
                fields.back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            fields.emplace_back();
        } else if (c != '\r') {
            fields.back() += c;
        }
    }
    return fields;
}

int dateNumber(const std::chrono::year_month_day& date)
{
    return static_cast<int>(date.year()) * 10000 + static_cast<int>(static_cast<unsigned>(date.month())) * 100 +
           static_cast<int>(static_cast<unsigned>(date.day()));
}

std::chrono::sys_days dayOf(int yyyymmdd)
{
    using namespace std::chrono;
    return sys_days{year{yyyymmdd / 10000} / month{static_cast<unsigned>(yyyymmdd / 100 % 100)} /
                    day{static_cast<unsigned>(yyyymmdd % 100)}};
}

} // namespace

std::string realFeedFolder()
{
    const std::string gtfs = sharedDataFolder("gtfs");
    if (gtfs.empty())
        return "";
    const std::filesystem::path feed = std::filesystem::path(gtfs) / "trento-urbano";
    return std::filesystem::exists(feed / "stop_times.txt") ? feed.string() : "";
}

size_t CsvTable::column(const std::string& name) const
{
    for (size_t i = 0; i < header.size(); ++i)
        if (header[i] == name)
            return i;
    throw std::runtime_error("no column " + name);
}

CsvTable readCsvTable(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    if (!in)
        throw std::runtime_error("cannot read " + path);
    CsvTable table;
    std::string line;
    while (std::getline(in, line)) {
        if (table.header.empty()) {
            if (line.rfind("\xEF\xBB\xBF", 0) == 0)
                line.erase(0, 3);
            table.header = splitCsvLine(line);
        } else if (!line.empty() && line != "\r") {
            table.rows.push_back(splitCsvLine(line));
        }
    }
    return table;
}

std::map<std::string, std::set<int>> serviceDays(const std::string& feedFolder, int first, int last)
{
    using namespace std::chrono;
    std::map<std::string, std::set<int>> days;
    const std::filesystem::path folder(feedFolder);
    if (std::filesystem::exists(folder / "calendar.txt")) {
        const CsvTable calendar = readCsvTable((folder / "calendar.txt").string());
        const char* names[7] = {"sunday", "monday", "tuesday", "wednesday", "thursday", "friday", "saturday"};
        for (const auto& row : calendar.rows) {
            std::set<int>& service = days[row[calendar.column("service_id")]];
            const int from = std::stoi(row[calendar.column("start_date")]);
            const int to = std::stoi(row[calendar.column("end_date")]);
            for (sys_days d = dayOf(std::max(from, first)); d <= dayOf(std::min(to, last)); d += std::chrono::days{1})
                if (row[calendar.column(names[weekday{d}.c_encoding()])] == "1")
                    service.insert(dateNumber(year_month_day{d}));
        }
    }
    if (std::filesystem::exists(folder / "calendar_dates.txt")) {
        const CsvTable dates = readCsvTable((folder / "calendar_dates.txt").string());
        for (const auto& row : dates.rows) {
            std::set<int>& service = days[row[dates.column("service_id")]];
            const int date = std::stoi(row[dates.column("date")]);
            if (date < first || date > last)
                continue;
            if (row[dates.column("exception_type")] == "1")
                service.insert(date);
            else
                service.erase(date);
        }
    }
    return days;
}

std::vector<std::string> queryRows(const std::string& databasePath, const std::string& sql)
{
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(databasePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        sqlite3_close(db);
        throw std::runtime_error("cannot open " + databasePath);
    }
    sqlite3_stmt* statement = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
        const std::string error = sqlite3_errmsg(db);
        sqlite3_close(db);
        throw std::runtime_error(error + ": " + sql);
    }
    std::vector<std::string> rows;
    while (sqlite3_step(statement) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(statement); ++c) {
            const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, c));
            row += (c ? "|" : "") + std::string(text ? text : "");
        }
        rows.push_back(row);
    }
    sqlite3_finalize(statement);
    sqlite3_close(db);
    return rows;
}

std::string queryValue(const std::string& databasePath, const std::string& sql)
{
    const std::vector<std::string> rows = queryRows(databasePath, sql);
    return rows.empty() ? "" : rows.front();
}

} // namespace korvan::test
