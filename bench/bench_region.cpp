// The bulk operations at the scale of a region, on each back end, against
// the engine's own fastest way of writing the same rows, measured in the
// same run: COPY through psql on PostgreSQL, one prepared INSERT bound row
// by row in one transaction on a SQLite file (the file back end, and the
// file behind the SQLite ODBC data source).
//
// The demo database (korvan-demo --runs N) is made anew for each back end
// and block size; then, in the order a user does it: the lines are
// extracted, every contract is assigned at 1,85 euro per km, the service
// days of every contract are generated for the demo year, a week of days is
// re-assigned by day type (updates), the year is generated again (every day
// deleted and inserted anew) and the itinerary splits are removed (deletes).
// Each operation's rows are then loaded by the baseline into an empty copy
// of their table (same columns, same key); the rows a re-assignment changes
// in place are written over the same rows by the engine's own bulk update,
// and loaded into an empty copy too. The peak resident memory is the
// process's highest during the operation.
//
// Usage: bench_region [--runs N] [--blocks 25,1000] [--backends file,postgres,sqlite-odbc]
//                     [--ops extract,assign,generate,daytype,regenerate,remove]
// --quick is --runs 5000. PostgreSQL needs KORVAN_TEST_PG_DSN and
// KORVAN_TEST_PG_PORT (psql reaches postgres@127.0.0.1/korvan_test there),
// the SQLite data source KORVAN_TEST_SQLITE_DSN (scripts/test-servers.sh).

#include "SchemaCreator.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "accounting/SplitRemoval.h"
#include "core/OperationFeedback.h"
#include "core/SqlText.h"
#include "db/DbConnection.h"
#include "lines/LineExtraction.h"
#include "refdata/PickLists.h"
#include "support/RecordingMessageSink.h"

#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

using namespace korvan;

namespace {

constexpr int kYear = 2025;
constexpr const char* kScratch = "korvan_bench_copy";

struct Options {
    long runs = 50000;
    std::vector<int> blocks{25, 1000};
    std::vector<std::string> backends{"file", "postgres", "sqlite-odbc"};
    std::vector<std::string> ops{"extract", "assign", "generate", "daytype", "regenerate", "remove"};
};

[[noreturn]] void fail(const std::string& what)
{
    std::fprintf(stderr, "bench_region: %s\n", what.c_str());
    std::exit(1);
}

std::string env(const char* name, const char* fallback = "")
{
    const char* value = std::getenv(name);
    return value && *value ? value : fallback;
}

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> items;
    std::stringstream in(text);
    for (std::string item; std::getline(in, item, ',');)
        if (!item.empty())
            items.push_back(item);
    return items;
}

bool contains(const std::vector<std::string>& list, const std::string& item)
{
    for (const std::string& entry : list)
        if (entry == item)
            return true;
    return false;
}

double secondsOf(const std::function<void()>& work)
{
    const auto start = std::chrono::steady_clock::now();
    work();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// The peak resident memory is reset before each operation and read after it.
void resetPeakMemory()
{
    std::ofstream("/proc/self/clear_refs") << "5";
}

double peakMemoryMb()
{
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);)
        if (line.rfind("VmHWM:", 0) == 0)
            return std::atof(line.c_str() + 6) / 1024.0;
    return 0.0;
}

std::string toolPath(const char* relative)
{
    const std::filesystem::path self = std::filesystem::read_symlink("/proc/self/exe");
    return (self.parent_path().parent_path() / relative).string();
}

void run(const std::string& command)
{
    if (std::system(command.c_str()) != 0)
        fail("failed: " + command);
}

std::string psql()
{
    return "PGOPTIONS=--client-min-messages=warning psql -q -X -v ON_ERROR_STOP=1 -h 127.0.0.1 -p " +
           env("KORVAN_TEST_PG_PORT", "54329") + " -U postgres -d korvan_test";
}

// The seconds psql itself reports for one meta-command (a \copy), so that
// its start and its connection, which KORVAN's measure leaves out too, are
// not counted: some 25 ms, a third of COPY's time for 50,000 rows.
double psqlTimed(const std::string& command)
{
    const std::string line = "LC_ALL=C " + psql() + " -c '\\timing on' -c \"" + command + "\"";
    FILE* out = popen(line.c_str(), "r");
    if (!out)
        fail("failed: " + line);
    double milliseconds = -1;
    char text[512];
    while (std::fgets(text, sizeof text, out))
        if (std::strncmp(text, "Time: ", 6) == 0)
            milliseconds = std::atof(text + 6);
    if (pclose(out) != 0 || milliseconds < 0)
        fail("failed: " + line);
    return milliseconds / 1000.0;
}

// ---- the baselines: the rows an operation wrote, loaded again ----

// Rows of one table that an operation wrote (or removed), and how often the
// baseline loads them (a regeneration deletes the days and inserts them).
// Rows changed in place (a re-assignment of days already there) name their
// key and changed columns: their baseline is the engine's own bulk update
// of the same rows on that key, as no load into an empty table has to find
// its rows among millions first.
struct Rows {
    std::string table;
    std::string where;
    int times = 1;
    std::vector<std::string> key = {};
    std::vector<std::string> changed = {};
    bool inPlace() const { return !key.empty(); }
};

std::string joined(const std::vector<std::string>& names, const std::string& format, const char* separator)
{
    std::string text;
    for (const std::string& name : names) {
        std::string item = format;
        for (size_t at; (at = item.find('@')) != std::string::npos;)
            item.replace(at, 1, name);
        text += (text.empty() ? "" : separator) + item;
    }
    return text;
}

class Backend {
  public:
    virtual ~Backend() = default;
    virtual std::string name() const = 0;
    virtual void freshDemo(long runs) = 0;
    virtual std::unique_ptr<DbConnection> open(int block, MessageSink& sink) = 0;
    // Keeps the rows aside, to be loaded by load() (before an operation
    // that removes them, after one that writes them).
    virtual long keep(const Rows& rows) = 0;
    // The baseline's seconds to load the rows kept last into an empty copy
    // of their table.
    virtual double load(const Rows& rows) = 0;
    // Keeps the database as it is before an operation that changes rows in
    // place, for update() to start from.
    virtual void keepState() {}
    // The baseline's seconds to write the rows kept last over the same rows
    // of their table, found by their key: over the rows as keepState() found
    // them where the back end keeps it, else over the operation's own.
    virtual double update(const Rows& rows) = 0;
    // The baseline's seconds to read every row of `select` once, the
    // engine's fastest way, for the operations whose own reads weigh as
    // much as their writes.
    virtual double read(const std::string& select) = 0;
    // Brings the database to the state the next work meets in an office,
    // where the engine's upkeep after a bulk write has had its time; not
    // timed. Done before each operation and before its baseline, so that
    // neither pays for the other's writes.
    virtual void settle() {}
};

class PostgresBackend : public Backend {
  public:
    explicit PostgresBackend(std::string folder) : folder_(std::move(folder)), dsn_(env("KORVAN_TEST_PG_DSN")) {}
    std::string name() const override { return "PostgreSQL"; }
    void freshDemo(long runs) override
    {
        run(toolPath("tools/korvan-demo") + " --runs " + std::to_string(runs) +
            " --drop --postgres-copy - 2>/dev/null | " + psql() + " > /dev/null");
        // Autovacuum would start on the rows of an operation's first
        // transactions while its later ones run, taking one of the few cores
        // from them: from 33 to 55 s for a year's generation in two runs
        // here. COPY's single transaction never meets it, so it is held off
        // the demo's tables and done by settle(), untimed, on both sides.
        const std::string script = folder_ + "/hold-autovacuum.sql";
        std::ofstream(script) << "DO $$DECLARE t record; BEGIN\n"
                              << "FOR t IN SELECT tablename FROM pg_tables WHERE schemaname = 'public' LOOP\n"
                              << "EXECUTE format('ALTER TABLE %I SET (autovacuum_enabled = off)', t.tablename);\n"
                              << "END LOOP; END$$;\n";
        run(psql() + " -f '" + script + "'");
        run(psql() + " -c 'ANALYZE'");
    }
    // What autovacuum does after millions of new rows (their visibility
    // marked, the statistics renewed), done now rather than in the middle
    // of the next measure.
    void settle() override { run(psql() + " -c 'VACUUM (ANALYZE)'"); }
    std::unique_ptr<DbConnection> open(int block, MessageSink& sink) override
    {
        std::string driver;
        return DbConnection::openOdbc(dsn_, driver, block, DbConnection::kDefaultRowsetSizeBlob, sink);
    }
    long keep(const Rows& rows) override
    {
        const std::string select = "SELECT * FROM " + rows.table + (rows.where.empty() ? "" : " WHERE " + rows.where);
        run(psql() + " -c \"\\copy (" + select + ") TO '" + file() + "'\"");
        long lines = 0;
        std::ifstream in(file());
        for (std::string line; std::getline(in, line);)
            ++lines;
        return lines;
    }
    double load(const Rows& rows) override
    {
        run(psql() + " -c 'DROP TABLE IF EXISTS " + kScratch + "' -c 'CREATE TABLE " + kScratch + " (LIKE " +
            rows.table + " INCLUDING ALL)'");
        const double time = psqlTimed("\\copy " + std::string(kScratch) + " FROM '" + file() + "'");
        run(psql() + " -c 'DROP TABLE " + kScratch + "'");
        return time;
    }
    // COPY into a staging table, then one UPDATE ... FROM it on the key.
    double update(const Rows& rows) override
    {
        const std::string script = folder_ + "/update.sql";
        std::ofstream(script) << "BEGIN;\n"
                              << "CREATE TEMP TABLE staged (LIKE " << rows.table << " INCLUDING ALL) ON COMMIT DROP;\n"
                              << "\\copy staged FROM '" << file() << "'\n"
                              << "ANALYZE staged;\n"
                              << "UPDATE " << rows.table << " AS t SET " << joined(rows.changed, "@ = s.@", ", ")
                              << " FROM staged AS s WHERE " << joined(rows.key, "t.@ = s.@", " AND ") << ";\n"
                              << "COMMIT;\n";
        const std::string command = psql() + " -f '" + script + "'";
        return secondsOf([&] { run(command); });
    }

    double read(const std::string& select) override { return psqlTimed("\\copy (" + select + ") TO '/dev/null'"); }

  private:
    std::string file() const { return folder_ + "/rows.copy"; }
    std::string folder_;
    std::string dsn_;
};

// A SQLite file: the file back end's own, or the one behind the SQLite ODBC
// data source. The baseline reads the rows in chunks (not timed) and binds
// them to one prepared INSERT inside one transaction (timed).
class SqliteFileBackend : public Backend {
  public:
    SqliteFileBackend(std::string path, std::string dsn) : path_(std::move(path)), dsn_(std::move(dsn)) {}
    std::string name() const override { return dsn_.empty() ? "SQLite file" : "SQLite ODBC"; }
    void freshDemo(long runs) override
    {
        run(toolPath("tools/korvan-demo") + " --runs " + std::to_string(runs) + " --out '" + path_ + "' > /dev/null");
    }
    // The pages the last writer left to the kernel go to the disk now, not
    // in the middle of the next measure.
    void settle() override { ::sync(); }
    std::unique_ptr<DbConnection> open(int block, MessageSink& sink) override
    {
        if (dsn_.empty())
            return DbConnection::openSqlite(path_, block, DbConnection::kDefaultRowsetSizeBlob, sink);
        std::string driver;
        return DbConnection::openOdbc(dsn_, driver, block, DbConnection::kDefaultRowsetSizeBlob, sink);
    }
    long keep(const Rows& rows) override
    {
        sqlite3* db = openDb();
        exec(db, "DROP TABLE IF EXISTS kept_rows");
        exec(db, "CREATE TABLE kept_rows AS SELECT * FROM " + rows.table +
                     (rows.where.empty() ? "" : " WHERE " + rows.where));
        const long count = countOf(db, "kept_rows");
        sqlite3_close(db);
        return count;
    }
    double load(const Rows& rows) override
    {
        sqlite3* db = openDb();
        std::string create =
            textOf(db, "SELECT sql FROM sqlite_master WHERE type = 'table' AND name = '" + rows.table + "'");
        const size_t name = create.find(rows.table);
        if (name == std::string::npos)
            fail("no table " + rows.table);
        create.replace(name, rows.table.size(), kScratch);
        exec(db, std::string("DROP TABLE IF EXISTS ") + kScratch);
        exec(db, create);
        const double time = boundWrite(db, "SELECT * FROM kept_rows", std::string("INSERT INTO ") + kScratch);
        exec(db, std::string("DROP TABLE ") + kScratch);
        sqlite3_close(db);
        return time;
    }
    // A copy of the file: a change in place may make the rows longer (a
    // zero amount takes no bytes, another one eight), and the baseline has
    // to make the same change, not write the new values over themselves.
    void keepState() override
    {
        sqlite3* db = openDb(); // a file in WAL mode: its log into the file first
        exec(db, "PRAGMA wal_checkpoint(TRUNCATE)");
        sqlite3_close(db);
        std::filesystem::copy_file(path_, before(), std::filesystem::copy_options::overwrite_existing);
    }
    // One prepared UPDATE on the key, bound row by row in one transaction,
    // on the copy keepState() made.
    double update(const Rows& rows) override
    {
        if (!std::filesystem::exists(before()))
            fail("no copy of the database before the change");
        sqlite3* db = openDb(before());
        exec(db, "ATTACH DATABASE " + quoteSqlText(path_) + " AS changed");
        const std::string read = "SELECT " + joined(rows.changed, "@", ", ") + ", " + joined(rows.key, "@", ", ") +
                                 " FROM changed.kept_rows";
        const std::string write = "UPDATE main." + rows.table + " SET " + joined(rows.changed, "@ = ?", ", ") +
                                  " WHERE " + joined(rows.key, "@ = ?", " AND ");
        const double time = boundWrite(db, read, write);
        sqlite3_close(db);
        std::filesystem::remove(before());
        return time;
    }
    // One step through the rows, each column's value taken as its type.
    double read(const std::string& select) override
    {
        sqlite3* db = openDb();
        long cells = 0;
        const double time = secondsOf([&] {
            sqlite3_stmt* statement = prepare(db, select);
            const int columns = sqlite3_column_count(statement);
            while (sqlite3_step(statement) == SQLITE_ROW)
                for (int c = 0; c < columns; ++c)
                    if (sqlite3_column_type(statement, c) == SQLITE_TEXT)
                        cells += sqlite3_column_bytes(statement, c);
                    else
                        cells += sqlite3_column_int64(statement, c) != 0;
            sqlite3_finalize(statement);
        });
        sqlite3_close(db);
        if (cells < 0)
            fail("unreadable rows: " + select);
        return time;
    }

  private:
    struct Value {
        int type;
        sqlite3_int64 integer;
        double real;
        std::string text;
    };

    // The rows of `readSql` bound to `writeSql` (an INSERT without its
    // VALUES, which get a parameter per column read, or a statement with
    // them), in one transaction; only the writing is timed.
    double boundWrite(sqlite3* db, const std::string& readSql, std::string writeSql)
    {
        sqlite3_stmt* read = prepare(db, readSql);
        const int columns = sqlite3_column_count(read);
        if (writeSql.rfind("INSERT", 0) == 0) {
            writeSql += " VALUES (";
            for (int c = 0; c < columns; ++c)
                writeSql += c ? ", ?" : "?";
            writeSql += ")";
        }
        sqlite3_stmt* insert = prepare(db, writeSql);
        constexpr size_t kChunkRows = 200000;
        std::vector<Value> chunk(kChunkRows * static_cast<size_t>(columns));
        double time = 0;
        time += secondsOf([&] { exec(db, "BEGIN"); });
        for (bool more = true; more;) {
            size_t rows = 0;
            while (rows < kChunkRows && (more = sqlite3_step(read) == SQLITE_ROW)) {
                for (int c = 0; c < columns; ++c) {
                    Value& value = chunk[rows * static_cast<size_t>(columns) + static_cast<size_t>(c)];
                    value.type = sqlite3_column_type(read, c);
                    if (value.type == SQLITE_INTEGER)
                        value.integer = sqlite3_column_int64(read, c);
                    else if (value.type == SQLITE_FLOAT)
                        value.real = sqlite3_column_double(read, c);
                    else if (value.type != SQLITE_NULL)
                        value.text.assign(reinterpret_cast<const char*>(sqlite3_column_text(read, c)));
                }
                ++rows;
            }
            time += secondsOf([&] {
                for (size_t r = 0; r < rows; ++r) {
                    for (int c = 0; c < columns; ++c) {
                        const Value& value = chunk[r * static_cast<size_t>(columns) + static_cast<size_t>(c)];
                        if (value.type == SQLITE_INTEGER)
                            sqlite3_bind_int64(insert, c + 1, value.integer);
                        else if (value.type == SQLITE_FLOAT)
                            sqlite3_bind_double(insert, c + 1, value.real);
                        else if (value.type == SQLITE_NULL)
                            sqlite3_bind_null(insert, c + 1);
                        else
                            sqlite3_bind_text(insert, c + 1, value.text.c_str(), static_cast<int>(value.text.size()),
                                              SQLITE_STATIC);
                    }
                    if (sqlite3_step(insert) != SQLITE_DONE)
                        fail(sqlite3_errmsg(db));
                    sqlite3_reset(insert);
                }
            });
        }
        sqlite3_finalize(read);
        sqlite3_finalize(insert);
        time += secondsOf([&] { exec(db, "COMMIT"); });
        return time;
    }

    std::string before() const { return path_ + ".before"; }
    sqlite3* openDb() { return openDb(path_); }
    static sqlite3* openDb(const std::string& path)
    {
        sqlite3* db = nullptr;
        if (sqlite3_open(path.c_str(), &db) != SQLITE_OK)
            fail("cannot open " + path);
        sqlite3_busy_timeout(db, 10000);
        // The file back end's page cache, so that neither side spills its
        // changes to the file sooner than the other.
        exec(db, "PRAGMA cache_size=-65536");
        return db;
    }
    static sqlite3_stmt* prepare(sqlite3* db, const std::string& sql)
    {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &statement, nullptr) != SQLITE_OK)
            fail(sqlite3_errmsg(db) + std::string(": ") + sql);
        return statement;
    }
    static void exec(sqlite3* db, const std::string& sql)
    {
        char* message = nullptr;
        if (sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &message) != SQLITE_OK)
            fail((message ? message : "") + std::string(": ") + sql);
    }
    static std::string textOf(sqlite3* db, const std::string& sql)
    {
        sqlite3_stmt* statement = prepare(db, sql);
        std::string text;
        if (sqlite3_step(statement) == SQLITE_ROW && sqlite3_column_text(statement, 0))
            text = reinterpret_cast<const char*>(sqlite3_column_text(statement, 0));
        sqlite3_finalize(statement);
        return text;
    }
    static long countOf(sqlite3* db, const std::string& table)
    {
        return std::atol(textOf(db, "SELECT COUNT(*) FROM " + table).c_str());
    }

    std::string path_;
    std::string dsn_;
};

// ---- the operations ----

struct Contract {
    int authority;
    int company;
};

std::vector<Contract> contractsOf(DbConnection* connection)
{
    std::vector<Contract> contracts;
    for (const std::string& authority : refdata::authoritiesWithLines(connection)) {
        const int code = refdata::codeOfEntry(authority);
        for (const std::string& company : refdata::companiesOfAuthority(connection, code))
            contracts.push_back({code, refdata::codeOfEntry(company)});
    }
    return contracts;
}

struct Operation {
    std::string key;
    std::string label;
    std::vector<Rows> rows;
    bool keepBefore = false; // the operation removes the rows the baseline loads
    std::function<bool(DbConnection*, const std::vector<Contract>&, MessageSink&)> work;
    // The rows the operation reads before it writes, where they are as many
    // as it writes: the baseline reads them too, in a line of its own.
    std::vector<std::string> reads = {};
};

bool generateYear(DbConnection* db, const std::vector<Contract>& contracts, MessageSink& sink)
{
    SilentFeedback feedback;
    for (const Contract& contract : contracts)
        if (!accounting::generateServiceDays(db, {contract.authority, contract.company, {kYear, 1, 1}, {kYear, 12, 31}},
                                             sink, feedback)
                 .completed)
            return false;
    return true;
}

std::vector<Operation> operations()
{
    const char* week = "data >= '2025-03-03' AND data <= '2025-03-09'";
    return {
        {"extract",
         "extraction of lines",
         {{"linee", ""}, {"conline", ""}},
         false,
         [](DbConnection* db, const std::vector<Contract>&, MessageSink& sink) {
             SilentFeedback feedback;
             return lines::extractNormalizedLines(db, sink, feedback).completed;
         },
         {"SELECT azienda, ente, codlinea FROM corse GROUP BY azienda, ente, codlinea ORDER BY azienda, ente, codlinea",
          "SELECT ID, azienda, ente, codlinea FROM corse ORDER BY azienda, ente, codlinea"}},
        {"assign",
         "contract assignment, all",
         {{"concors", ""}},
         false,
         [](DbConnection* db, const std::vector<Contract>& contracts, MessageSink& sink) {
             SilentFeedback feedback;
             for (const Contract& contract : contracts) {
                 accounting::AssignmentRequest request;
                 request.contractAuthority = contract.authority;
                 request.contractCompany = contract.company;
                 request.euroPerKm = 1.85;
                 if (!accounting::runContractAssignment(db, request, sink, feedback).completed)
                     return false;
             }
             return true;
         },
         {"SELECT ID, lung FROM corse"}},
        {"generate", "calendar generation, year", {{"conkal", ""}}, false, generateYear},
        {"daytype",
         "day-type assignment, week",
         {{"conkal", week, 1, {"azienda", "id", "data"}, {"ente", "minima", "euro"}}},
         false,
         [](DbConnection* db, const std::vector<Contract>& contracts, MessageSink& sink) {
             SilentFeedback feedback;
             for (const Contract& contract : contracts) {
                 accounting::AssignmentRequest request;
                 request.contractAuthority = contract.authority;
                 request.contractCompany = contract.company;
                 request.euroPerKm = 2.10;
                 request.periodStart = {kYear, 3, 3};
                 request.periodEnd = {kYear, 3, 9};
                 if (!accounting::runDayTypeAssignment(db, request, sink, feedback).completed)
                     return false;
             }
             return true;
         }},
        {"regenerate", "calendar regeneration, year", {{"conkal", "", 2}}, false, generateYear},
        {"remove",
         "itinerary split removal",
         {{"conitine", ""}},
         true,
         [](DbConnection* db, const std::vector<Contract>& contracts, MessageSink& sink) {
             SilentFeedback feedback;
             for (const Contract& contract : contracts)
                 if (!accounting::removeItinerarySplits(db, contract.authority, contract.company, sink, feedback)
                          .completed)
                     return false;
             return true;
         }},
    };
}

void printMessages(const test::RecordingMessageSink& sink)
{
    for (const auto& entry : sink.entries)
        if (entry.icon != MessageIcon::Information && entry.icon != MessageIcon::Question)
            std::printf("    message: %s\n", entry.text.c_str());
}

struct Measure {
    bool done = false;
    double seconds = 0;
    double peakMb = 0;
};

// Where the back end named on the command line keeps its database.
struct Place {
    std::string backend; // file, postgres or sqlite-odbc
    std::string folder;
};

std::unique_ptr<Backend> makeBackend(const Place& place)
{
    if (place.backend == "file")
        return std::make_unique<SqliteFileBackend>(place.folder + "/region.sqlite", "");
    if (place.backend == "postgres" && !env("KORVAN_TEST_PG_DSN").empty())
        return std::make_unique<PostgresBackend>(place.folder);
    if (place.backend == "sqlite-odbc" && !env("KORVAN_TEST_SQLITE_DSN").empty()) {
        tools::RawDatabase probe = tools::RawDatabase::odbc(env("KORVAN_TEST_SQLITE_DSN"));
        const std::string path = probe.queryText("SELECT file FROM pragma_database_list WHERE name = 'main'");
        if (path.empty())
            fail("the file of the SQLite data source is unknown");
        return std::make_unique<SqliteFileBackend>(path, env("KORVAN_TEST_SQLITE_DSN"));
    }
    return nullptr;
}

// The operation measured in this process, which is new (see measureApart).
Measure measureHere(const Place& place, int block, const std::string& key)
{
    Measure measure;
    const std::unique_ptr<Backend> backend = makeBackend(place);
    const std::vector<Operation> all = operations();
    const auto operation = std::find_if(all.begin(), all.end(), [&](const Operation& each) { return each.key == key; });
    if (!backend || operation == all.end())
        return measure;
    test::RecordingMessageSink sink;
    std::unique_ptr<DbConnection> connection = backend->open(block, sink);
    if (connection && connection->IsOpen()) {
        // The contracts are listed before the clock starts, as a user
        // picks one in a dialog before the operation begins.
        const std::vector<Contract> contracts = contractsOf(connection.get());
        resetPeakMemory();
        measure.seconds = secondsOf([&] { measure.done = operation->work(connection.get(), contracts, sink); });
        measure.peakMb = peakMemoryMb();
    }
    connection.reset();
    printMessages(sink);
    std::fflush(stdout);
    return measure;
}

// Runs the operation in a new process (this program again, started with
// --measure-apart), so that its peak memory is its own: a forked child would
// count as resident the pages the baselines left in this one.
Measure measureApart(const Place& place, int block, const Operation& operation)
{
    const std::string self = std::filesystem::read_symlink("/proc/self/exe").string();
    int pipeEnds[2];
    if (pipe(pipeEnds) != 0)
        fail("pipe");
    std::fflush(stdout);
    const pid_t child = fork();
    if (child < 0)
        fail("fork");
    if (child == 0) {
        close(pipeEnds[0]);
        const std::string blockText = std::to_string(block), fdText = std::to_string(pipeEnds[1]);
        execl(self.c_str(), self.c_str(), "--measure-apart", place.backend.c_str(), place.folder.c_str(),
              blockText.c_str(), operation.key.c_str(), fdText.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipeEnds[1]);
    Measure measure;
    if (read(pipeEnds[0], &measure, sizeof measure) != static_cast<ssize_t>(sizeof measure))
        measure.done = false;
    close(pipeEnds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    return measure;
}

// The child's side of measureApart: the measure goes back through the pipe.
int measureForParent(char** argv)
{
    const Measure measure = measureHere({argv[2], argv[3]}, std::atoi(argv[4]), argv[5]);
    const int fd = std::atoi(argv[6]);
    return write(fd, &measure, sizeof measure) == static_cast<ssize_t>(sizeof measure) ? 0 : 1;
}

// A second baseline of the operation, on a line of its own below it.
void printOtherBaseline(double seconds, double baseline, const char* what)
{
    std::printf("%-12s %-29s %6s %10s %9s %9.2f %7.2f   (baseline: %s)\n", "", "", "", "", "", baseline,
                seconds / baseline, what);
}

void benchBackend(Backend& backend, const Place& place, const Options& options)
{
    for (int block : options.blocks) {
        backend.freshDemo(options.runs);
        for (const Operation& operation : operations()) {
            if (!contains(options.ops, operation.key))
                continue;
            long rows = 0;
            if (operation.keepBefore)
                for (const Rows& part : operation.rows)
                    rows += backend.keep(part) * part.times;
            if (std::any_of(operation.rows.begin(), operation.rows.end(),
                            [](const Rows& part) { return part.inPlace(); }))
                backend.keepState();
            backend.settle();
            const Measure measure = measureApart(place, block, operation);
            if (!measure.done)
                fail(operation.label + " failed on " + backend.name());
            backend.settle();
            double baseline = 0;
            double asInserts = 0; // rows changed in place, loaded into an empty copy instead
            for (const Rows& part : operation.rows) {
                if (!operation.keepBefore)
                    rows += backend.keep(part) * part.times;
                for (int i = 0; i < part.times; ++i) {
                    if (part.inPlace()) {
                        baseline += backend.update(part);
                        asInserts += backend.load(part);
                    } else {
                        baseline += backend.load(part);
                    }
                }
            }
            std::printf("%-12s %-29s %6d %10ld %9.2f %9.2f %7.2f %8.1f\n", backend.name().c_str(),
                        operation.label.c_str(), block, rows, measure.seconds, baseline,
                        baseline > 0 ? measure.seconds / baseline : 0.0, measure.peakMb);
            if (asInserts > 0)
                printOtherBaseline(measure.seconds, asInserts, "the same rows loaded into an empty table");
            double reads = 0;
            for (const std::string& select : operation.reads)
                reads += backend.read(select);
            if (reads > 0)
                printOtherBaseline(measure.seconds, baseline + reads, "the rows it reads read as well");
            std::fflush(stdout);
        }
    }
}

Options parse(int argc, char** argv)
{
    Options options;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--quick") {
            options.runs = 5000;
        } else if (arg == "--runs" && hasValue) {
            options.runs = std::atol(argv[++i]);
        } else if (arg == "--blocks" && hasValue) {
            options.blocks.clear();
            for (const std::string& block : splitList(argv[++i]))
                options.blocks.push_back(std::atoi(block.c_str()));
        } else if (arg == "--backends" && hasValue) {
            options.backends = splitList(argv[++i]);
        } else if (arg == "--ops" && hasValue) {
            options.ops = splitList(argv[++i]);
        } else {
            std::fprintf(stderr,
                         "usage: bench_region [--quick | --runs N] [--blocks 25,1000] "
                         "[--backends file,postgres,sqlite-odbc] [--ops %s]\n",
                         "extract,assign,generate,daytype,regenerate,remove");
            std::exit(2);
        }
    }
    if (options.runs < 100 || options.blocks.empty())
        fail("--runs must be 100 or more and --blocks not empty");
    return options;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc == 7 && std::strcmp(argv[1], "--measure-apart") == 0)
        return measureForParent(argv);
    const Options options = parse(argc, argv);
    const std::string folder =
        (std::filesystem::temp_directory_path() / ("korvan-region-" + std::to_string(::getpid()))).string();
    std::filesystem::create_directories(folder);
    std::printf("demo region of %ld runs, year %d; times in seconds, peak resident memory in MB\n", options.runs,
                kYear);
    std::printf("%-12s %-29s %6s %10s %9s %9s %7s %8s\n", "back end", "operation", "block", "rows", "KORVAN",
                "baseline", "ratio", "peak MB");
    for (const std::string& name : options.backends) {
        const Place place{name, folder};
        const std::unique_ptr<Backend> backend = makeBackend(place);
        if (!backend) {
            std::printf("%-12s skipped (no data source configured)\n", name.c_str());
            continue;
        }
        benchBackend(*backend, place, options);
    }
    std::filesystem::remove_all(folder);
    return 0;
}
