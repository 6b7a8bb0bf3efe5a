#pragma once

// Shared by the ODBC benchmarks: the PostgreSQL data source of the test
// servers, a fresh conkal table, and the COPY baseline run through psql.

#include "SchemaCreator.h"
#include "SqliteBenchSupport.h"

#include <cstdio>
#include <cstdlib>
#include <string>

namespace korvan::bench {

inline std::string environmentOr(const char* name, const char* fallback)
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// The data source the benchmarks write to (scripts/test-servers.sh).
inline std::string postgresDsn()
{
    return environmentOr("KORVAN_TEST_PG_DSN", "korvan_pg");
}

// Drops and creates conkal through a raw connection; exits on failure.
inline void freshConkal(const std::string& dsn)
{
    auto raw = tools::RawDatabase::odbc(dsn);
    std::string error;
    if (!raw.ok() || !tools::createTables(raw, true, error, {"conkal"})) {
        std::fprintf(stderr, "cannot create conkal on %s: %s%s\n", dsn.c_str(), raw.error().c_str(), error.c_str());
        std::exit(1);
    }
}

inline long conkalCount(const std::string& dsn)
{
    auto raw = tools::RawDatabase::odbc(dsn);
    const std::string text = raw.queryText("SELECT COUNT(*) FROM conkal");
    return text.empty() ? -1 : parseIntegerText(text);
}

// COPY conkal FROM STDIN of rows 0..count-1, fed to psql on the server of
// the test data source; the seconds it took.
inline double copyConkal(long count)
{
    const std::string command = "psql -q -h 127.0.0.1 -p " + environmentOr("KORVAN_TEST_PG_PORT", "54329") +
                                " -U postgres -d korvan_test -c "
                                "'COPY conkal (azienda, id, data, ente, minima, euro) FROM STDIN'";
    const DayTexts days;
    Stopwatch watch;
    FILE* psql = popen(command.c_str(), "w");
    if (!psql) {
        std::perror("psql");
        std::exit(1);
    }
    char line[128];
    for (long i = 0; i < count; ++i) {
        const ConkalValues row = conkalRow(i);
        const int length = std::snprintf(line, sizeof line, "%d\t%d\t%s\t%d\t%d\t%d.%02d\n", row.azienda, row.id,
                                         days.iso[static_cast<size_t>(row.dayIndex)].c_str(), row.ente, row.minima,
                                         row.cents / 100, row.cents % 100);
        std::fwrite(line, 1, static_cast<size_t>(length), psql);
    }
    if (pclose(psql) != 0) {
        std::fprintf(stderr, "COPY through psql failed\n");
        std::exit(1);
    }
    return watch.seconds();
}

// The resident set size now, in kilobytes.
inline long residentKb()
{
    FILE* status = std::fopen("/proc/self/statm", "r");
    long pages = 0;
    long resident = 0;
    if (status) {
        if (std::fscanf(status, "%ld %ld", &pages, &resident) != 2)
            resident = 0;
        std::fclose(status);
    }
    return resident * (sysconf(_SC_PAGESIZE) / 1024);
}

} // namespace korvan::bench
