#pragma once

// Shared by the SQLite benchmarks: the row count argument, a fresh database
// file with the schema's tables, the deterministic conkal rows, timing and
// the printed comparison with the baseline.

#include "SchemaCreator.h"
#include "db/Values.h"

#include <sqlite3.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <vector>

#include <sys/resource.h>
#include <unistd.h>

namespace korvan::bench {

inline long rowCountArgument(int argc, char** argv, long defaultCount)
{
    const long count = argc > 1 ? parseIntegerText(argv[1]) : defaultCount;
    return count > 0 ? count : defaultCount;
}

// Second argument: how many times each measurement is repeated (the best
// run counts).
inline int repeatArgument(int argc, char** argv, int defaultRepeats = 1)
{
    const int repeats = argc > 2 ? static_cast<int>(parseIntegerText(argv[2])) : defaultRepeats;
    return repeats > 0 ? repeats : defaultRepeats;
}

// A new database file with the conkal table, in the folder of the program's
// choice (the system's temporary folder by default), in write-ahead-log mode:
// the file back end keeps the journal mode of the file it opens, and the
// benchmarks measure the mode of a local runs database.
inline std::string freshDatabase(const std::string& name)
{
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder && *folder ? folder : "/tmp") + "/korvan-bench-" +
                             std::to_string(getpid()) + "-" + name + ".sqlite";
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((path + suffix).c_str());
    auto raw = tools::RawDatabase::sqliteFile(path);
    std::string error;
    if (!tools::createTables(raw, false, error, {"conkal"}) || raw.queryText("PRAGMA journal_mode=WAL") != "wal") {
        std::fprintf(stderr, "cannot create %s: %s\n", path.c_str(), error.c_str());
        std::exit(1);
    }
    return path;
}

inline void removeDatabase(const std::string& path)
{
    for (const char* suffix : {"", "-wal", "-shm"})
        std::remove((path + suffix).c_str());
}

// Row i of the generated calendar split: 365 days per run, four companies.
struct ConkalValues {
    int azienda;
    int id;
    int dayIndex; // 0..364, a day of 2004
    int ente;
    int minima;
    int cents; // euro * 100
};

inline ConkalValues conkalRow(long i)
{
    const long run = i / 365;
    return {1 + static_cast<int>(run % 4), 1 + static_cast<int>(run), static_cast<int>(i % 365),
            1 + static_cast<int>(i % 7),   static_cast<int>(i % 2),   static_cast<int>(i % 1000) * 25};
}

// The 365 days of 2004 as "dd/mm/yyyy" and ISO texts.
struct DayTexts {
    std::vector<std::string> italian;
    std::vector<std::string> iso;

    DayTexts()
    {
        CivilDate date{2004, 1, 1};
        for (int i = 0; i < 365; ++i) {
            italian.push_back(formatDateText(date));
            iso.push_back(formatIsoDate(date));
            if (++date.day > daysInMonth(date.year, date.month)) {
                date.day = 1;
                ++date.month;
            }
        }
    }
};

class Stopwatch {
  public:
    Stopwatch() : start_(std::chrono::steady_clock::now()) {}
    double seconds() const { return std::chrono::duration<double>(std::chrono::steady_clock::now() - start_).count(); }

  private:
    std::chrono::steady_clock::time_point start_;
};

inline long peakResidentKb()
{
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    return usage.ru_maxrss;
}

inline void printBaseline(const char* what, long rows, double seconds)
{
    std::printf("baseline  %-44s %10ld rows %8.3f s %12.0f rows/s\n", what, rows, seconds,
                static_cast<double>(rows) / seconds);
}

inline void printMeasured(const char* what, long rows, double seconds, double baselineSeconds, double goal)
{
    const double ratio = seconds / baselineSeconds;
    std::printf("measured  %-44s %10ld rows %8.3f s %12.0f rows/s  ratio %.2f (goal <= %.1f) %s\n", what, rows, seconds,
                static_cast<double>(rows) / seconds, ratio, goal, ratio <= goal ? "met" : "NOT MET");
}

// The settings the file back end gives its connection to a file in WAL mode.
inline void configureLikeTheFileBackEnd(sqlite3* db)
{
    sqlite3_exec(db, "PRAGMA journal_mode=WAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA synchronous=NORMAL", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA wal_autocheckpoint=10000", nullptr, nullptr, nullptr);
    sqlite3_exec(db, "PRAGMA journal_size_limit=67108864", nullptr, nullptr, nullptr);
}

// Inserts conkal rows with one prepared INSERT and the raw sqlite3 API; the
// baseline of the insert benchmarks and the filler of the others.
// `blockRows` 0: one transaction for everything; otherwise a commit every
// `blockRows` rows, the file back end's durability unit.
inline double rawConkalInsert(const std::string& path, long rows, const DayTexts& days, long blockRows = 0)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    configureLikeTheFileBackEnd(db);
    const Stopwatch watch;
    sqlite3_stmt* insert = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (?1, ?2, ?3, ?4, ?5, ?6)",
                       -1, &insert, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (long i = 0; i < rows; ++i) {
        const ConkalValues row = conkalRow(i);
        sqlite3_bind_int(insert, 1, row.azienda);
        sqlite3_bind_int(insert, 2, row.id);
        const std::string& day = days.iso[static_cast<size_t>(row.dayIndex)];
        sqlite3_bind_text(insert, 3, day.data(), static_cast<int>(day.size()), SQLITE_STATIC);
        sqlite3_bind_int(insert, 4, row.ente);
        sqlite3_bind_int(insert, 5, row.minima);
        sqlite3_bind_double(insert, 6, row.cents / 100.0);
        if (sqlite3_step(insert) != SQLITE_DONE) {
            std::fprintf(stderr, "raw insert failed: %s\n", sqlite3_errmsg(db));
            std::exit(1);
        }
        sqlite3_reset(insert);
        if (blockRows > 0 && (i + 1) % blockRows == 0) {
            sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
            sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
        }
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_finalize(insert);
    const double seconds = watch.seconds();
    sqlite3_close(db);
    return seconds;
}

} // namespace korvan::bench
