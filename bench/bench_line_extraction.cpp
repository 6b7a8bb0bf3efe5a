// Times the extraction of normalized lines over a generated network of many
// runs against a baseline measured in the same run: the same two tables
// rebuilt by plain SQL on the same back end (DELETE, then INSERT ... SELECT
// with the same grouping, numbering and code normalization). Both results
// are compared row for row before the figures are printed.
//
// Usage: bench_line_extraction [runs] [sqlite|postgres|both]
// PostgreSQL needs KORVAN_TEST_PG_DSN (an ODBC data source).

#include "DemoNetwork.h"
#include "DemoOdbcWriter.h"
#include "DemoSqliteWriter.h"
#include "SchemaCreator.h"
#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "db/Values.h"
#include "lines/LineExtraction.h"
#include "support/RecordingMessageSink.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>

using namespace korvan;

namespace {

double seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// A code as the extraction normalizes it: trailing blanks off, a blank code
// one blank.
const char* kNormalized = "CASE WHEN RTRIM(COALESCE(%1$s, '')) = '' THEN ' ' ELSE RTRIM(%1$s) END";

std::string normalized(const std::string& column)
{
    char buffer[256];
    std::snprintf(buffer, sizeof buffer, kNormalized, column.c_str());
    return buffer;
}

bool rebuildWithPlainSql(tools::RawDatabase& raw)
{
    const std::string numbered = "SELECT azienda, ente, codlinea, "
                                 "ROW_NUMBER() OVER (ORDER BY azienda, ente, codlinea) - 1 AS num "
                                 "FROM corse GROUP BY azienda, ente, codlinea";
    const std::string statements[] = {
        "DELETE FROM conline",
        "DELETE FROM linee",
        "INSERT INTO linee (ID, ente, linea, denom) SELECT num, ente, " + normalized("codlinea") + ", NULL FROM (" +
            numbered + ") g",
        "INSERT INTO conline (azienda, ID, ente, linea) SELECT c.azienda, c.ID, c.ente, f.num FROM corse c "
        "JOIN (SELECT azienda, ente, " +
            normalized("codlinea") + " AS code, MIN(num) AS num FROM (" + numbered + ") g GROUP BY azienda, ente, " +
            normalized("codlinea") +
            ") f ON f.azienda = c.azienda AND f.ente = c.ente AND f.code = " + normalized("c.codlinea"),
    };
    for (const std::string& sql : statements)
        if (!raw.exec(sql)) {
            std::fprintf(stderr, "%s\n%s\n", sql.c_str(), raw.error().c_str());
            return false;
        }
    return true;
}

// Order-sensitive digests of both tables, to compare the two rebuilds. Codes
// count without trailing blanks: over ODBC the table cursor stores a blank
// code without its blank.
std::string digest(tools::RawDatabase& raw)
{
    return raw.queryText("SELECT COUNT(*) || '/' || SUM(ID * 7 + ente * 13 + LENGTH(RTRIM(linea))) FROM linee") + " " +
           raw.queryText("SELECT COUNT(*) || '/' || SUM((ID % 1000) * linea + azienda * 3 + ente) FROM conline");
}

struct Figures {
    double extraction = 0;
    double baseline = 0;
    bool same = false;
};

bool measure(const char* label, tools::RawDatabase& raw,
             const std::function<std::unique_ptr<DbConnection>(MessageSink&)>& open, long runs)
{
    test::RecordingMessageSink sink;
    SilentFeedback feedback;
    std::unique_ptr<DbConnection> connection = open(sink);
    if (!connection || !connection->IsOpen()) {
        std::fprintf(stderr, "%s: cannot open: %s\n", label, sink.lastText().c_str());
        return false;
    }
    Figures figures;
    // Baseline first, then the extraction over the baseline's rows, so that
    // both start from full tables and delete them first.
    bool ok = true;
    figures.baseline = seconds([&] { ok = rebuildWithPlainSql(raw); });
    if (!ok)
        return false;
    const std::string expected = digest(raw);
    lines::ExtractionResult result;
    figures.extraction = seconds([&] { result = lines::extractNormalizedLines(connection.get(), sink, feedback); });
    const std::string got = digest(raw);
    figures.same = got == expected;
    if (!figures.same)
        std::printf("  plain SQL rows %s, extraction rows %s\n", expected.c_str(), got.c_str());
    std::printf("%-22s runs %ld  lines %d  extraction %.3f s  plain SQL %.3f s  ratio %.2f  same rows: %s\n", label,
                runs, result.linesCreated, figures.extraction, figures.baseline,
                figures.baseline > 0 ? figures.extraction / figures.baseline : 0.0, figures.same ? "yes" : "NO");
    if (sink.entries.size() != 2)
        std::printf("  messages: %s\n", sink.lastText().c_str());
    return figures.same;
}

// The demo network's runs; the calendars and timetables are not read by the
// extraction and are left out to keep the set-up short.
demo::Network runsOnly(long runs)
{
    demo::DemoOptions options;
    options.runs = runs;
    demo::Network network = demo::generateNetwork(options);
    network.months.clear();
    for (demo::Run& run : network.runs)
        run.times.clear();
    return network;
}

} // namespace

int main(int argc, char** argv)
{
    const long runs = argc > 1 ? parseIntegerText(argv[1]) : 50000;
    const std::string which = argc > 2 ? argv[2] : "both";
    const demo::Network network = runsOnly(runs);
    bool ok = true;

    if (which == "sqlite" || which == "both") {
        const std::string path =
            (std::filesystem::temp_directory_path() / ("bench_line_extraction_" + std::to_string(getpid()) + ".db"))
                .string();
        std::string error;
        if (!demo::writeSqliteFile(network, path, error)) {
            std::fprintf(stderr, "sqlite: %s\n", error.c_str());
            return 1;
        }
        {
            tools::RawDatabase raw = tools::RawDatabase::sqliteFile(path);
            ok = measure(
                     "SQLite file", raw,
                     [&](MessageSink& sink) {
                         return DbConnection::openSqlite(path, DbConnection::kDefaultRowsetSizeOrdinary,
                                                         DbConnection::kDefaultRowsetSizeBlob, sink);
                     },
                     runs) &&
                 ok;
        }
        for (const char* suffix : {"", "-wal", "-shm"})
            std::filesystem::remove(path + suffix);
    }

    const char* dsn = std::getenv("KORVAN_TEST_PG_DSN");
    if ((which == "postgres" || which == "both") && dsn && *dsn) {
        std::string error;
        if (!demo::writeOdbc(network, dsn, true, error)) {
            std::fprintf(stderr, "postgres: %s\n", error.c_str());
            return 1;
        }
        tools::RawDatabase raw = tools::RawDatabase::odbc(dsn);
        ok = measure(
                 "PostgreSQL (ODBC)", raw,
                 [&](MessageSink& sink) {
                     std::string driver;
                     return DbConnection::openOdbc(dsn, driver, DbConnection::kDefaultRowsetSizeOrdinary,
                                                   DbConnection::kDefaultRowsetSizeBlob, sink);
                 },
                 runs) &&
             ok;
    } else if (which != "sqlite") {
        std::printf("PostgreSQL (ODBC)      skipped: KORVAN_TEST_PG_DSN is not set\n");
    }
    return ok ? 0 : 1;
}
