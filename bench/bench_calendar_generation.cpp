// Times the service-day calendar generation of one contract of many runs over
// one year, and the per-contract base assignment of the same runs, against
// the fastest plain way of writing the same rows on the same back end:
//   SQLite file: one prepared INSERT in one transaction (calendar), prepared
//                lookups and inserts without a transaction (assignment);
//   PostgreSQL:  COPY through psql (calendar), prepared ODBC lookups and
//                inserts (assignment).
// On every back end (the SQLite file, PostgreSQL and SQLite through its ODBC
// driver) it also times a regeneration with collisions against the first
// generation of the same rows: March is generated into an empty table, then
// July; the school runs have no day in July, so their rows are kept and
// every one of their days collides with a kept row.
//
// Usage: bench_calendar_generation [runs] [sqlite|postgres|sqlite-odbc|both|all]
// PostgreSQL needs KORVAN_TEST_PG_DSN (the ODBC data source) and
// KORVAN_TEST_PG_PORT (psql reaches postgres@127.0.0.1/korvan_test there);
// SQLite through ODBC needs KORVAN_TEST_SQLITE_DSN.

#include "SchemaCreator.h"
#include "accounting/AccountingInput.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "db/Values.h"
#include "support/RecordingMessageSink.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace korvan;

namespace {

constexpr int kAuthority = 1;
constexpr int kCompany = 1;
constexpr int kYear = 2004;

double seconds(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

std::string env(const char* name, const char* fallback = "")
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

// Weekdays for every run, Saturdays too for odd runs. Three runs in four are
// school runs, without service in July and August.
std::string monthFlags(long run, int month)
{
    std::string flags(31, 'N');
    if (run % 4 != 0 && (month == 7 || month == 8))
        return flags;
    for (int day = 1; day <= daysInMonth(kYear, month); ++day) {
        const int wd = accounting::weekdayIndex({kYear, month, day});
        if (wd < 5 || (wd == 5 && run % 2 == 1))
            flags[static_cast<size_t>(day - 1)] = 'S';
    }
    return flags;
}

struct Fixture {
    long runs = 0;
    // The rows the generation must write, for the baselines.
    std::vector<std::pair<long, CivilDate>> days;
};

Fixture plannedRows(long runs)
{
    Fixture fixture;
    fixture.runs = runs;
    for (long run = 1; run <= runs; ++run)
        for (int month = 1; month <= 12; ++month) {
            const std::string flags = monthFlags(run, month);
            for (int day = 1; day <= 31; ++day)
                if (flags[static_cast<size_t>(day - 1)] == 'S')
                    fixture.days.push_back({run, {kYear, month, day}});
        }
    return fixture;
}

void check(bool ok, const std::string& what)
{
    if (!ok) {
        std::fprintf(stderr, "bench: %s\n", what.c_str());
        std::exit(1);
    }
}

// ---- SQLite file ----

void sqliteExec(sqlite3* db, const char* sql)
{
    char* message = nullptr;
    check(sqlite3_exec(db, sql, nullptr, nullptr, &message) == SQLITE_OK, message ? message : sql);
}

sqlite3* openRawSqlite(const std::string& path)
{
    sqlite3* db = nullptr;
    check(sqlite3_open(path.c_str(), &db) == SQLITE_OK, "cannot open " + path);
    // The same journal settings as the program's file back end.
    sqliteExec(db, "PRAGMA journal_mode=WAL");
    sqliteExec(db, "PRAGMA synchronous=NORMAL");
    return db;
}

void fillSqlite(const std::string& path, const Fixture& fixture)
{
    tools::RawDatabase raw = tools::RawDatabase::sqliteFile(path);
    std::string error;
    check(tools::createTables(raw, true, error), error);
    sqlite3* db = openRawSqlite(path);
    sqliteExec(db, "BEGIN");
    sqliteExec(db, "INSERT INTO proto (azienda, tipo, protoc, datini, datfin, azzera) "
                   "VALUES (1, 'B', 1, '2004-01-01', '2004-12-31', 0)");
    sqlite3_stmt* run = nullptr;
    sqlite3_stmt* month = nullptr;
    sqlite3_prepare_v2(db, "INSERT INTO corse (azienda, ID, ente, lung) VALUES (1, ?, 1, ?)", -1, &run, nullptr);
    sqlite3_prepare_v2(db, "INSERT INTO mesi (azienda, ID, protoc, anno, mese, giorni) VALUES (1, ?, 1, 2004, ?, ?)",
                       -1, &month, nullptr);
    for (long id = 1; id <= fixture.runs; ++id) {
        sqlite3_bind_int64(run, 1, id);
        sqlite3_bind_int64(run, 2, 5000 + id % 20000);
        sqlite3_step(run);
        sqlite3_reset(run);
        for (int m = 1; m <= 12; ++m) {
            const std::string flags = monthFlags(id, m);
            sqlite3_bind_int64(month, 1, id);
            sqlite3_bind_int(month, 2, m);
            sqlite3_bind_text(month, 3, flags.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_step(month);
            sqlite3_reset(month);
        }
    }
    sqlite3_finalize(run);
    sqlite3_finalize(month);
    sqliteExec(db, "COMMIT");
    sqlite3_close(db);
}

void clearTable(tools::RawDatabase& raw, const std::string& table)
{
    std::string error;
    check(tools::createTables(raw, true, error, {table}), error);
}

double sqliteBaselineCalendar(const std::string& path, const Fixture& fixture)
{
    sqlite3* db = openRawSqlite(path);
    const double time = seconds([&] {
        sqlite3_stmt* insert = nullptr;
        sqliteExec(db, "BEGIN");
        sqlite3_prepare_v2(db, "INSERT INTO conkal (azienda, ID, data, ente, minima, euro) VALUES (?, ?, ?, ?, ?, ?)",
                           -1, &insert, nullptr);
        for (const auto& [id, date] : fixture.days) {
            const std::string iso = formatIsoDate(date);
            sqlite3_bind_int(insert, 1, kCompany);
            sqlite3_bind_int64(insert, 2, id);
            sqlite3_bind_text(insert, 3, iso.c_str(), -1, SQLITE_TRANSIENT);
            sqlite3_bind_int(insert, 4, kAuthority);
            sqlite3_bind_int(insert, 5, 1);
            sqlite3_bind_double(insert, 6, 0.0);
            check(sqlite3_step(insert) == SQLITE_DONE, sqlite3_errmsg(db));
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
        sqliteExec(db, "COMMIT");
    });
    sqlite3_close(db);
    return time;
}

double sqliteBaselineAssignment(const std::string& path, const Fixture& fixture)
{
    sqlite3* db = openRawSqlite(path);
    const double time = seconds([&] {
        sqlite3_stmt* find = nullptr;
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, "SELECT 1 FROM concors WHERE azienda = ? AND ID = ?", -1, &find, nullptr);
        sqlite3_prepare_v2(db, "INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (?, ?, ?, 1, ?)", -1,
                           &insert, nullptr);
        for (long id = 1; id <= fixture.runs; ++id) {
            sqlite3_bind_int(find, 1, kCompany);
            sqlite3_bind_int64(find, 2, id);
            const bool found = sqlite3_step(find) == SQLITE_ROW;
            sqlite3_reset(find);
            if (found)
                continue;
            sqlite3_bind_int(insert, 1, kCompany);
            sqlite3_bind_int64(insert, 2, id);
            sqlite3_bind_int(insert, 3, kAuthority);
            sqlite3_bind_double(insert, 4, static_cast<double>(5000 + id % 20000) * 0.001 * 0.75);
            check(sqlite3_step(insert) == SQLITE_DONE, sqlite3_errmsg(db));
            sqlite3_reset(insert);
        }
        sqlite3_finalize(find);
        sqlite3_finalize(insert);
    });
    sqlite3_close(db);
    return time;
}

// ---- PostgreSQL ----

std::string psqlCommand()
{
    return "psql -q -X -v ON_ERROR_STOP=1 -h 127.0.0.1 -p " + env("KORVAN_TEST_PG_PORT", "54329") +
           " -U postgres -d korvan_test";
}

void psqlCopy(const std::string& table, const std::string& columns, const std::string& csvPath)
{
    const std::string command =
        psqlCommand() + " -c \"\\copy " + table + " (" + columns + ") FROM '" + csvPath + "' WITH (FORMAT csv)\"";
    check(std::system(command.c_str()) == 0, "psql failed: " + command);
}

void fillPostgres(tools::RawDatabase& raw, const Fixture& fixture, const std::string& folder)
{
    std::string error;
    check(tools::createTables(raw, true, error), error);
    check(raw.exec("INSERT INTO proto (azienda, tipo, protoc, datini, datfin, azzera) "
                   "VALUES (1, 'B', 1, '2004-01-01', '2004-12-31', 0)"),
          raw.error());
    {
        std::ofstream runs(folder + "/corse.csv"), months(folder + "/mesi.csv");
        for (long id = 1; id <= fixture.runs; ++id) {
            runs << "1," << id << ",1," << 5000 + id % 20000 << "\n";
            for (int m = 1; m <= 12; ++m)
                months << "1," << id << ",1,2004," << m << "," << monthFlags(id, m) << "\n";
        }
    }
    psqlCopy("corse", "azienda, id, ente, lung", folder + "/corse.csv");
    psqlCopy("mesi", "azienda, id, protoc, anno, mese, giorni", folder + "/mesi.csv");
    check(raw.exec("ANALYZE"), raw.error());
}

double postgresBaselineCalendar(const Fixture& fixture, const std::string& folder)
{
    const std::string csv = folder + "/conkal.csv";
    {
        std::ofstream rows(csv);
        for (const auto& [id, date] : fixture.days)
            rows << kCompany << "," << id << "," << formatIsoDate(date) << "," << kAuthority << ",1,0\n";
    }
    return seconds([&] { psqlCopy("conkal", "azienda, id, data, ente, minima, euro", csv); });
}

double postgresBaselineAssignment(const std::string& dsn, const Fixture& fixture)
{
    SQLHENV envHandle = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &envHandle);
    SQLSetEnvAttr(envHandle, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, envHandle, &dbc);
    std::string connect = "DSN=" + dsn + ";";
    check(SQL_SUCCEEDED(SQLDriverConnect(dbc, nullptr, reinterpret_cast<SQLCHAR*>(connect.data()), SQL_NTS, nullptr, 0,
                                         nullptr, SQL_DRIVER_NOPROMPT)),
          "cannot connect to " + dsn);
    SQLHSTMT find = SQL_NULL_HSTMT, insert = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &find);
    SQLAllocHandle(SQL_HANDLE_STMT, dbc, &insert);
    SQLINTEGER company = kCompany, authority = kAuthority, id = 0;
    double euro = 0;
    SQLLEN none = 0;
    SQLPrepare(find,
               reinterpret_cast<SQLCHAR*>(const_cast<char*>("SELECT 1 FROM concors WHERE azienda = ? AND id = ?")),
               SQL_NTS);
    SQLBindParameter(find, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &company, 0, &none);
    SQLBindParameter(find, 2, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &id, 0, &none);
    SQLPrepare(insert,
               reinterpret_cast<SQLCHAR*>(
                   const_cast<char*>("INSERT INTO concors (azienda, id, ente, minima, euro) VALUES (?, ?, ?, 1, ?)")),
               SQL_NTS);
    SQLBindParameter(insert, 1, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &company, 0, &none);
    SQLBindParameter(insert, 2, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &id, 0, &none);
    SQLBindParameter(insert, 3, SQL_PARAM_INPUT, SQL_C_SLONG, SQL_INTEGER, 0, 0, &authority, 0, &none);
    SQLBindParameter(insert, 4, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 0, 0, &euro, 0, &none);
    const double time = seconds([&] {
        for (long run = 1; run <= fixture.runs; ++run) {
            id = static_cast<SQLINTEGER>(run);
            check(SQL_SUCCEEDED(SQLExecute(find)), "lookup failed");
            const bool found = SQLFetch(find) == SQL_SUCCESS;
            SQLCloseCursor(find);
            if (found)
                continue;
            euro = static_cast<double>(5000 + run % 20000) * 0.001 * 0.75;
            check(SQL_SUCCEEDED(SQLExecute(insert)), "insert failed");
        }
    });
    SQLFreeHandle(SQL_HANDLE_STMT, find);
    SQLFreeHandle(SQL_HANDLE_STMT, insert);
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, envHandle);
    return time;
}

// ---- the program's operations ----

using Opener = std::function<std::unique_ptr<DbConnection>(int rowsetSize, MessageSink& sink)>;

void reportMessages(const test::RecordingMessageSink& sink)
{
    for (const auto& entry : sink.entries)
        if (entry.icon != MessageIcon::Information)
            std::printf("    message: %s\n", entry.text.c_str());
}

double programCalendar(const Opener& open, int rowsetSize, accounting::CalendarResult& result, int firstMonth = 1,
                       int lastMonth = 12)
{
    test::RecordingMessageSink sink;
    SilentFeedback feedback;
    std::unique_ptr<DbConnection> connection = open(rowsetSize, sink);
    check(connection && connection->IsOpen(), sink.lastText());
    const accounting::CalendarRequest request{
        kAuthority, kCompany, {kYear, firstMonth, 1}, {kYear, lastMonth, daysInMonth(kYear, lastMonth)}};
    const double time =
        seconds([&] { result = accounting::generateServiceDays(connection.get(), request, sink, feedback); });
    reportMessages(sink);
    return time;
}

double programAssignment(const Opener& open, int& added)
{
    test::RecordingMessageSink sink;
    SilentFeedback feedback;
    std::unique_ptr<DbConnection> connection = open(DbConnection::kDefaultRowsetSizeOrdinary, sink);
    check(connection && connection->IsOpen(), sink.lastText());
    accounting::AssignmentRequest request;
    request.contractAuthority = kAuthority;
    request.contractCompany = kCompany;
    request.euroPerKm = 0.75;
    const double time =
        seconds([&] { added = accounting::runContractAssignment(connection.get(), request, sink, feedback).added; });
    reportMessages(sink);
    return time;
}

void printRatio(const char* what, double program, double baseline)
{
    std::printf("  %-44s %9.3f s   baseline %8.3f s   ratio %6.2f\n", what, program, baseline,
                baseline > 0 ? program / baseline : 0.0);
}

// March into an empty table (the baseline), then July over it.
void regeneration(const Opener& open, const std::function<void()>& emptyConkal, int rowsetSize)
{
    emptyConkal();
    accounting::CalendarResult first, second;
    const double firstTime = programCalendar(open, rowsetSize, first, 3, 3);
    const double secondTime = programCalendar(open, rowsetSize, second, 7, 7);
    std::printf("  first generation (March), rowset %d: %ld of %ld rows inserted\n", rowsetSize, first.inserted,
                first.total);
    std::printf("  regeneration (July), rowset %d: %ld deleted, %ld of %ld inserted, %ld already present\n", rowsetSize,
                second.deleted, second.inserted, second.total, second.rejected);
    printRatio(("regeneration after a first, rowset " + std::to_string(rowsetSize)).c_str(), secondTime, firstTime);
}

void benchSqlite(const Fixture& fixture, const std::string& folder)
{
    const std::string path = folder + "/bench.db";
    std::printf("SQLite file back end (%s)\n", path.c_str());
    fillSqlite(path, fixture);
    tools::RawDatabase raw = tools::RawDatabase::sqliteFile(path);
    const Opener open = [&](int rowsetSize, MessageSink& sink) {
        return DbConnection::openSqlite(path, rowsetSize, DbConnection::kDefaultRowsetSizeBlob, sink);
    };

    // Each run is compared with a baseline measured just before it, so that
    // a change of load on the machine between the two weighs least.
    for (int rowsetSize : {25, 1000}) {
        clearTable(raw, "conkal");
        const double baseline = sqliteBaselineCalendar(path, fixture);
        clearTable(raw, "conkal");
        accounting::CalendarResult result;
        const double time = programCalendar(open, rowsetSize, result);
        std::printf("  calendar, rowset %4d: %ld of %ld rows inserted\n", rowsetSize, result.inserted, result.total);
        printRatio(("calendar generation, rowset " + std::to_string(rowsetSize)).c_str(), time, baseline);
    }

    clearTable(raw, "concors");
    const double assignBaseline = sqliteBaselineAssignment(path, fixture);
    clearTable(raw, "concors");
    int added = 0;
    const double assign = programAssignment(open, added);
    std::printf("  assignment: %d runs inserted\n", added);
    printRatio("per-contract assignment", assign, assignBaseline);

    for (int rowsetSize : {25, 1000})
        regeneration(
            open, [&] { clearTable(raw, "conkal"); }, rowsetSize);
}

void benchPostgres(const Fixture& fixture, const std::string& folder)
{
    const std::string dsn = env("KORVAN_TEST_PG_DSN");
    if (dsn.empty()) {
        std::printf("PostgreSQL: KORVAN_TEST_PG_DSN not set, skipped\n");
        return;
    }
    std::printf("PostgreSQL through ODBC (%s)\n", dsn.c_str());
    tools::RawDatabase raw = tools::RawDatabase::odbc(dsn);
    check(raw.ok(), raw.error());
    fillPostgres(raw, fixture, folder);
    const Opener open = [&](int rowsetSize, MessageSink& sink) {
        std::string driver;
        return DbConnection::openOdbc(dsn, driver, rowsetSize, DbConnection::kDefaultRowsetSizeBlob, sink);
    };

    double best = 0, bestBaseline = 0;
    for (int rowsetSize : {25, 250, 1000}) {
        clearTable(raw, "conkal");
        const double baseline = postgresBaselineCalendar(fixture, folder);
        clearTable(raw, "conkal");
        accounting::CalendarResult result;
        const double time = programCalendar(open, rowsetSize, result);
        std::printf("  calendar, rowset %4d: %ld of %ld rows inserted\n", rowsetSize, result.inserted, result.total);
        printRatio(("calendar generation, rowset " + std::to_string(rowsetSize)).c_str(), time, baseline);
        if (best == 0 || time / baseline < best / bestBaseline) {
            best = time;
            bestBaseline = baseline;
        }
    }
    printRatio("calendar generation, best rowset", best, bestBaseline);

    clearTable(raw, "concors");
    const double assignBaseline = postgresBaselineAssignment(dsn, fixture);
    clearTable(raw, "concors");
    int added = 0;
    const double assign = programAssignment(open, added);
    std::printf("  assignment: %d runs inserted\n", added);
    printRatio("per-contract assignment", assign, assignBaseline);

    for (int rowsetSize : {25, 1000})
        regeneration(
            open, [&] { clearTable(raw, "conkal"); }, rowsetSize);
}

// SQLite through its ODBC driver: the data source's own file, filled as the
// file back end's.
void benchSqliteOdbc(const Fixture& fixture)
{
    const std::string dsn = env("KORVAN_TEST_SQLITE_DSN");
    if (dsn.empty()) {
        std::printf("SQLite through ODBC: KORVAN_TEST_SQLITE_DSN not set, skipped\n");
        return;
    }
    std::string path;
    {
        tools::RawDatabase probe = tools::RawDatabase::odbc(dsn);
        check(probe.ok(), probe.error());
        path = probe.queryText("SELECT file FROM pragma_database_list WHERE name = 'main'");
    }
    check(!path.empty(), "the file of " + dsn + " is unknown");
    std::printf("SQLite through ODBC (%s, %s)\n", dsn.c_str(), path.c_str());
    fillSqlite(path, fixture);
    const Opener open = [&](int rowsetSize, MessageSink& sink) {
        std::string driver;
        return DbConnection::openOdbc(dsn, driver, rowsetSize, DbConnection::kDefaultRowsetSizeBlob, sink);
    };
    for (int rowsetSize : {25, 1000})
        regeneration(
            open,
            [&] {
                tools::RawDatabase raw = tools::RawDatabase::sqliteFile(path);
                clearTable(raw, "conkal");
            },
            rowsetSize);
}

} // namespace

int main(int argc, char** argv)
{
    const long runs = argc > 1 ? parseIntegerText(argv[1]) : 10000;
    const std::string which = argc > 2 ? argv[2] : "both";
    const Fixture fixture = plannedRows(runs);
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("korvan-bench-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(folder);
    std::printf("contract of %ld runs over %d: %zu service days\n", runs, kYear, fixture.days.size());
    if (which == "sqlite" || which == "both" || which == "all")
        benchSqlite(fixture, folder);
    if (which == "postgres" || which == "both" || which == "all")
        benchPostgres(fixture, folder);
    if (which == "sqlite-odbc" || which == "all")
        benchSqliteOdbc(fixture);
    std::filesystem::remove_all(folder);
    return 0;
}
