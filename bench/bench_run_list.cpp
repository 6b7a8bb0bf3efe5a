// Loading the largest line of a contract of 2,000 runs with a year of
// service days (about 600,000 conkal rows in the contract) into the run
// list, against the same joined query read with a plain loop on the same
// back end: sqlite3_step on the SQLite file, a plain ODBC block fetch on
// PostgreSQL. The load includes the itinerary marks and the names.
// Usage: bench_run_list [runs] [repeats]   (PostgreSQL: KORVAN_TEST_PG_DSN, KORVAN_TEST_PG_PORT)

#include "OdbcBenchSupport.h"
#include "db/DbConnection.h"
#include "runs/RunListLoader.h"

#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using namespace korvan;
using namespace korvan::bench;

namespace {

constexpr int kLines = 5;
constexpr runs::RunListKey kLargestLine{1, 1, 1};

class StderrSink : public MessageSink {
  public:
    void showMessage(const std::string& text, MessageIcon) override { std::fprintf(stderr, "%s\n", text.c_str()); }
    bool askConfirmation(const std::string&) override { return true; }
};

struct TableRows {
    std::string table;
    std::vector<std::string> columns;
    std::vector<std::vector<std::string>> rows;
};

// The contract: authority 1, company 1; line 1 has two runs in five, the
// other four lines one each; every run runs about 300 days of 2025.
std::vector<TableRows> contractRows(long runCount)
{
    std::vector<TableRows> tables{
        {"regent", {"codice", "denom"}, {{"1", "Regione Uno"}, {"2", "Provincia Due"}}},
        {"regazi", {"codice", "denom"}, {{"1", "Autolinee Uno"}}},
        {"linee", {"ID", "ente", "linea", "denom"}, {}},
        {"fermate", {"azienda", "ID", "denom"}, {}},
        {"corse",
         {"azienda", "ID", "ente", "codlinea", "codcorsa", "codperc", "verso", "lung", "ct_lung", "ct_tempo", "hh_p",
          "mm_p", "capol_p", "hh_a", "mm_a", "capol_a"},
         {}},
        {"conline", {"azienda", "ID", "ente", "linea"}, {}},
        {"concors", {"azienda", "ID", "ente", "minima", "euro"}, {}},
        {"conkal", {"azienda", "ID", "data", "ente", "minima", "euro"}, {}},
        {"conitine", {"azienda", "ID", "codperc", "sub", "ente", "minima", "euro", "lung", "tempo"}, {}},
    };
    auto table = [&tables](const char* name) -> TableRows& {
        return *std::find_if(tables.begin(), tables.end(), [name](const TableRows& t) { return t.table == name; });
    };
    for (int line = 1; line <= kLines; ++line)
        table("linee").rows.push_back({std::to_string(line), "1", "L" + std::to_string(line), "Linea"});
    for (int stop = 1; stop <= 60; ++stop)
        table("fermate").rows.push_back({"1", std::to_string(stop), "Fermata " + std::to_string(stop)});
    std::vector<std::string> days;
    for (CivilDate date{2025, 1, 1}; date.year == 2025;) {
        days.push_back(formatIsoDate(date));
        if (++date.day > daysInMonth(date.year, date.month)) {
            date.day = 1;
            if (++date.month > 12)
                date = {2026, 1, 1};
        }
    }
    for (long id = 1; id <= runCount; ++id) {
        const std::string run = std::to_string(id);
        const int line = id % 5 < 2 ? 1 : static_cast<int>(id % 5);
        const int departure = 300 + static_cast<int>(id % 1000);
        table("corse").rows.push_back({"1", run, "1", "L" + std::to_string(line), "C" + run, std::to_string(id % 40),
                                       "A", std::to_string(5000 + id % 7000), std::to_string(5000 + id % 7000), "40",
                                       std::to_string(departure / 60), std::to_string(departure % 60),
                                       std::to_string(1 + id % 60), std::to_string((departure + 40) / 60),
                                       std::to_string((departure + 40) % 60), std::to_string(1 + (id * 7) % 60)});
        table("conline").rows.push_back({"1", run, "1", std::to_string(line)});
        const bool minimum = id % 3 != 0;
        const std::string amount = formatText("%ld.%02ld", id % 90, id % 100);
        table("concors").rows.push_back({"1", run, minimum ? "1" : "2", minimum ? "1" : "0", amount});
        for (size_t day = 0; day < days.size(); ++day) {
            if ((day + static_cast<size_t>(id)) % 6 == 0)
                continue;
            const bool split = id % 11 == 0 && day < 30;
            table("conkal").rows.push_back({"1", run, days[day], split ? "2" : (minimum ? "1" : "2"),
                                            split ? "0" : (minimum ? "1" : "0"), amount});
        }
        if (id % 10 == 0)
            table("conitine").rows.push_back({"1", run, std::to_string(id % 40), "1", "1", "1", "1", "100", "1"});
    }
    return tables;
}

long countRows(const std::vector<TableRows>& tables, const char* name)
{
    for (const TableRows& t : tables)
        if (t.table == name)
            return static_cast<long>(t.rows.size());
    return 0;
}

void fail(const std::string& what)
{
    std::fprintf(stderr, "%s\n", what.c_str());
    std::exit(1);
}

void fillSqlite(const std::string& path, const std::vector<TableRows>& tables)
{
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const TableRows& t : tables) {
        std::string sql = "INSERT INTO " + t.table + " (";
        for (size_t c = 0; c < t.columns.size(); ++c)
            sql += (c ? ", " : "") + t.columns[c];
        sql += ") VALUES (";
        for (size_t c = 0; c < t.columns.size(); ++c)
            sql += c ? ", ?" : "?";
        sql += ")";
        sqlite3_stmt* insert = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &insert, nullptr) != SQLITE_OK)
            fail(sqlite3_errmsg(db));
        for (const auto& row : t.rows) {
            for (size_t c = 0; c < row.size(); ++c)
                sqlite3_bind_text(insert, static_cast<int>(c + 1), row[c].c_str(), -1, SQLITE_STATIC);
            if (sqlite3_step(insert) != SQLITE_DONE)
                fail(sqlite3_errmsg(db));
            sqlite3_reset(insert);
        }
        sqlite3_finalize(insert);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    sqlite3_close(db);
}

void fillPostgres(const std::string& dsn, const std::vector<TableRows>& tables)
{
    auto raw = tools::RawDatabase::odbc(dsn);
    std::string error;
    if (!raw.ok() || !tools::createTables(raw, true, error))
        fail("cannot create the tables on " + dsn + ": " + raw.error() + error);
    const std::string command = "psql -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p " +
                                environmentOr("KORVAN_TEST_PG_PORT", "54329") + " -U postgres -d korvan_test";
    FILE* psql = popen(command.c_str(), "w");
    if (!psql)
        fail("psql");
    for (const TableRows& t : tables) {
        std::string head = "COPY " + t.table + " (";
        for (size_t c = 0; c < t.columns.size(); ++c)
            head += (c ? ", " : "") + t.columns[c];
        head += ") FROM STDIN;\n";
        std::fputs(head.c_str(), psql);
        for (const auto& row : t.rows) {
            std::string line;
            for (size_t c = 0; c < row.size(); ++c)
                line += (c ? "\t" : "") + row[c];
            line += '\n';
            std::fputs(line.c_str(), psql);
        }
        std::fputs("\\.\n", psql);
    }
    std::fputs("ANALYZE;\n", psql);
    if (pclose(psql) != 0)
        fail("COPY through psql failed");
}

// The program's load: rows, service days and a checksum of the ids.
struct Loaded {
    long runs = 0;
    long days = 0;
};

Loaded loadThroughProgram(DbConnection* connection)
{
    const runs::RunListModel model = runs::loadRunList(connection, kLargestLine);
    Loaded loaded;
    loaded.runs = model.count();
    for (const runs::RunRow& row : model.rows())
        loaded.days += row.serviceDays;
    return loaded;
}

// The joined query stepped with the raw sqlite3 API on an open connection
// (its page cache as warm as the program's), every column read.
long readWithSqliteStep(sqlite3* db, const std::string& sql)
{
    sqlite3_stmt* select = nullptr;
    if (sqlite3_prepare_v2(db, sql.c_str(), -1, &select, nullptr) != SQLITE_OK)
        fail(sqlite3_errmsg(db));
    long rows = 0;
    long long sum = 0;
    long currentRun = -1;
    // What the run list needs: the run's columns on its first day, the day's
    // own columns on every row.
    while (sqlite3_step(select) == SQLITE_ROW) {
        const long run = sqlite3_column_int(select, 0);
        if (run != currentRun) {
            currentRun = run;
            for (int c = 1; c < 15; ++c) {
                if (c == 3)
                    sum += sqlite3_column_bytes(select, c) + (sqlite3_column_text(select, c) ? 1 : 0);
                else if (c == 8)
                    sum += static_cast<long long>(sqlite3_column_double(select, c));
                else
                    sum += sqlite3_column_int(select, c);
            }
        }
        sum += sqlite3_column_bytes(select, 15) + (sqlite3_column_text(select, 15) ? 1 : 0);
        sum += sqlite3_column_int(select, 16) + sqlite3_column_int(select, 17);
        ++rows;
    }
    sqlite3_finalize(select);
    return sum == 0 ? -1 : rows;
}

// A plain ODBC connection, kept open across the runs as the program's is.
struct PlainOdbc {
    explicit PlainOdbc(const std::string& dsn)
    {
        SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
        SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
        SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
        if (!SQL_SUCCEEDED(SQLConnect(dbc, reinterpret_cast<SQLCHAR*>(const_cast<char*>(dsn.c_str())), SQL_NTS, nullptr,
                                      0, nullptr, 0)))
            fail("cannot connect to " + dsn);
    }
    ~PlainOdbc()
    {
        SQLDisconnect(dbc);
        SQLFreeHandle(SQL_HANDLE_DBC, dbc);
        SQLFreeHandle(SQL_HANDLE_ENV, env);
    }
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
};

// The joined query with column-wise block binding and no layer.
long readWithOdbcBlocks(PlainOdbc& odbc, const std::string& sql, int rowsetSize)
{
    SQLHSTMT statement = SQL_NULL_HSTMT;
    SQLAllocHandle(SQL_HANDLE_STMT, odbc.dbc, &statement);
    const auto rows = static_cast<size_t>(rowsetSize);
    constexpr int kColumns = 18;
    constexpr SQLLEN kText = 64;
    std::vector<SQLINTEGER> numbers(rows * kColumns);
    std::vector<SQLDOUBLE> euro(rows);
    std::vector<char> texts(rows * 2 * kText);
    std::vector<SQL_DATE_STRUCT> dates(rows);
    std::vector<SQLLEN> indicators(rows * kColumns);
    SQLULEN fetched = 0;
    SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(rows)), 0);
    SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
    for (int c = 0; c < kColumns; ++c) {
        SQLLEN* indicator = &indicators[static_cast<size_t>(c) * rows];
        const auto column = static_cast<SQLUSMALLINT>(c + 1);
        if (c == 3)
            SQLBindCol(statement, column, SQL_C_CHAR, texts.data(), kText, indicator);
        else if (c == 15)
            SQLBindCol(statement, column, SQL_C_TYPE_DATE, dates.data(), 0, indicator);
        else if (c == 8)
            SQLBindCol(statement, column, SQL_C_DOUBLE, euro.data(), 0, indicator);
        else
            SQLBindCol(statement, column, SQL_C_SLONG, &numbers[static_cast<size_t>(c) * rows], 0, indicator);
    }
    long total = 0;
    long long sum = 0;
    if (!SQL_SUCCEEDED(SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(sql.c_str())), SQL_NTS)))
        fail("the plain ODBC query failed");
    while (SQL_SUCCEEDED(SQLFetch(statement)))
        for (SQLULEN r = 0; r < fetched; ++r) {
            sum += numbers[r] + dates[r].day + static_cast<long long>(euro[r]);
            ++total;
        }
    SQLFreeHandle(SQL_HANDLE_STMT, statement);
    return sum == 0 ? -1 : total;
}

// Best of `repeats` runs of each, alternating, to even out a shared machine.
void compare(const char* backEnd, int repeats, const std::function<long()>& baseline,
             const std::function<Loaded()>& program, double goal)
{
    double plainSeconds = 0, programSeconds = 0;
    long plainRows = 0;
    Loaded loaded;
    for (int run = 0; run < repeats; ++run) {
        Stopwatch plainWatch;
        plainRows = baseline();
        const double p = plainWatch.seconds();
        Stopwatch programWatch;
        loaded = program();
        const double l = programWatch.seconds();
        plainSeconds = run == 0 ? p : std::min(plainSeconds, p);
        programSeconds = run == 0 ? l : std::min(programSeconds, l);
    }
    if (plainRows != loaded.days)
        fail(formatText("%s: the plain loop read %ld rows, the run list holds %ld service days", backEnd, plainRows,
                        loaded.days));
    std::printf("%s: line 1 has %ld runs, %ld service days\n", backEnd, loaded.runs, loaded.days);
    printBaseline((std::string(backEnd) + ": plain loop over the query").c_str(), plainRows, plainSeconds);
    printMeasured((std::string(backEnd) + ": loadRunList").c_str(), plainRows, programSeconds, plainSeconds, goal);
}

} // namespace

int main(int argc, char** argv)
{
    const long runCount = rowCountArgument(argc, argv, 2000);
    const int repeats = repeatArgument(argc, argv, 3);
    const std::vector<TableRows> tables = contractRows(runCount);
    std::printf("Run list of the largest line: a contract of %ld runs, %ld conkal rows\n", runCount,
                countRows(tables, "conkal"));
    StderrSink sink;

    // The SQLite file.
    const char* folder = std::getenv("TMPDIR");
    const std::string path = std::string(folder && *folder ? folder : "/tmp") + "/korvan-bench-" +
                             std::to_string(getpid()) + "-runlist.sqlite";
    removeDatabase(path);
    {
        auto raw = tools::RawDatabase::sqliteFile(path);
        std::string error;
        if (!tools::createTables(raw, false, error))
            fail("cannot create " + path + ": " + error);
    }
    fillSqlite(path, tables);
    {
        auto connection = DbConnection::openSqlite(path, 25, 1, sink, SqliteAccess::ReadOnly);
        const std::string sql = runs::runListSql(connection.get(), kLargestLine);
        sqlite3* db = nullptr;
        sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
        // The page cache the file back end gives its connection.
        sqlite3_exec(db, "PRAGMA cache_size=-65536", nullptr, nullptr, nullptr);
        compare(
            "SQLite file", repeats, [&] { return readWithSqliteStep(db, sql); },
            [&] { return loadThroughProgram(connection.get()); }, 1.5);
        sqlite3_close(db);
    }
    removeDatabase(path);

    // PostgreSQL through psqlODBC.
    const std::string dsn = postgresDsn();
    fillPostgres(dsn, tables);
    {
        std::string driver;
        auto connection = DbConnection::openOdbc(dsn, driver, 25, 1, sink);
        if (!connection->IsOpen())
            fail("cannot open " + dsn);
        const std::string sql = runs::runListSql(connection.get(), kLargestLine);
        PlainOdbc plain(dsn);
        compare(
            "PostgreSQL", repeats, [&] { return readWithOdbcBlocks(plain, sql, 25); },
            [&] { return loadThroughProgram(connection.get()); }, 2.0);
    }
    auto raw = tools::RawDatabase::odbc(dsn);
    for (const schema::Table& table : schema::tables())
        raw.exec(schema::dropStatement(table));
    return 0;
}
