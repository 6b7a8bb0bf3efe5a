// Times the contracts statement of a 10,000-run contract over one year
// (authority 3, company 3 of the demo network of 24,462 runs: about 2.9
// million service days) on the SQLite file and on PostgreSQL through ODBC.
//
// The data collection (three queries read through the program's select
// cursor, gathered by run, the names looked up and the totals made) is
// measured against a baseline taken in the same run: the same three
// queries read with a plain loop on the same back end (sqlite3_step; a
// plain ODBC block fetch with the program's rowset size). Goals: at most
// 1.5 times the baseline on the SQLite file, 2 on PostgreSQL. Then the
// time to lay the statement out and write it as PDF, with its pages.
//
// The database is built once through the program's operations (line
// extraction, minimum service for the contract, additional service for
// its night line and for the Sundays of August, the service days of 2025,
// itinerary splits added with SQL) and kept in
// /tmp/korvan-bench-statements; PostgreSQL gets a copy of it in the
// database korvan_bench of the test server (scripts/test-servers.sh).
//
// Usage: bench_contracts_statement [--rebuild] [--sqlite-only] [--png FOLDER]
//   --png   writes the first page of each statement (analytic contracts,
//           synthetic contracts, contributions) at 150 dpi

#include "DemoNetwork.h"
#include "DemoSqliteWriter.h"
#include "OdbcBenchSupport.h"
#include "SchemaCreator.h"
#include "SqliteBenchSupport.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "db/SqlTypes.h"
#include "gui/ReportLayout.h"
#include "gui/ReportOutput.h"
#include "gui/TextMeasure.h"
#include "lines/LineExtraction.h"
#include "core/OperationFeedback.h"
#include "refdata/Schema.h"
#include "reports/ContractsStatement.h"
#include "reports/ContributionsStatement.h"
#include "reports/CsvWriter.h"

#include <QGuiApplication>

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <vector>

using namespace korvan;
using namespace korvan::bench;

namespace {

constexpr long kDemoRuns = 24462; // gives contract 3/3 exactly 10,000 runs
constexpr int kAuthority = 3;
constexpr int kCompany = 3;
constexpr int kRepeats = 3;
const char* const kFolder = "/tmp/korvan-bench-statements";
const char* const kPgDatabase = "korvan_bench";
const char* const kPgDsn = "korvan_bench_pg";

class StderrSink : public MessageSink {
  public:
    void showMessage(const std::string& text, MessageIcon) override
    {
        std::fprintf(stderr, "%s\n", text.c_str());
        ++messages;
    }
    bool askConfirmation(const std::string&) override { return true; }
    int messages = 0;
};

double secondsOf(const std::function<void()>& work)
{
    const Stopwatch watch;
    work();
    return watch.seconds();
}

// The best of kRepeats runs, to even out the load of a shared machine.
double bestOf(const std::function<void()>& work)
{
    double best = 0;
    for (int i = 0; i < kRepeats; ++i) {
        const double seconds = secondsOf(work);
        best = i == 0 ? seconds : std::min(best, seconds);
    }
    return best;
}

reports::StatementRequest yearRequest(bool analytic = true)
{
    reports::StatementRequest request;
    request.allAuthorities = false;
    request.authority = kAuthority;
    request.analytic = analytic;
    request.periodStart = {2025, 1, 1};
    request.periodEnd = {2025, 12, 31};
    return request;
}

bool check(bool ok, const char* what, const std::string& detail = "")
{
    if (!ok)
        std::fprintf(stderr, "%s failed %s\n", what, detail.c_str());
    return ok;
}

// The database through the operations, as a user would make it.
bool buildDatabase(const std::string& path)
{
    std::printf("building %s ...\n", path.c_str());
    std::string error;
    if (!check(demo::writeSqliteFile(demo::generateNetwork({kDemoRuns, 2025}), path, error), "demo", error))
        return false;
    StderrSink sink;
    SilentFeedback feedback;
    auto connection = DbConnection::openSqlite(path, 25, 1, sink);
    if (!check(connection->IsOpen(), "open"))
        return false;
    lines::extractNormalizedLines(connection.get(), sink, feedback);
    accounting::AssignmentRequest minimum;
    minimum.contractAuthority = kAuthority;
    minimum.contractCompany = kCompany;
    minimum.euroPerKm = 1.85;
    accounting::AssignmentRequest night = minimum;
    night.minimumService = false;
    night.payingAuthority = 8;
    night.euroPerKm = 2.1;
    night.lineCode = "N1";
    accounting::AssignmentRequest sundays = minimum;
    sundays.minimumService = false;
    sundays.payingAuthority = 9;
    sundays.euroPerKm = 1.4;
    sundays.periodStart = {2025, 8, 1};
    sundays.periodEnd = {2025, 8, 31};
    sundays.weekdays = {false, false, false, false, false, false, true};
    const bool assigned = accounting::runContractAssignment(connection.get(), minimum, sink, feedback).completed &&
                          accounting::runLineAssignment(connection.get(), night, sink, feedback).completed;
    const accounting::CalendarResult days = accounting::generateServiceDays(
        connection.get(), {kAuthority, kCompany, {2025, 1, 1}, {2025, 12, 31}}, sink, feedback);
    const bool sundaysPaid = accounting::runDayTypeAssignment(connection.get(), sundays, sink, feedback).completed;
    connection.reset();
    if (!check(assigned && days.completed && sundaysPaid, "operations"))
        return false;

    auto raw = tools::RawDatabase::sqliteFile(path);
    const std::string arcs = " FROM corse, detitine, archi WHERE detitine.azienda = corse.azienda"
                             " AND detitine.ID = corse.codperc AND archi.azienda = detitine.azienda"
                             " AND archi.ID = detitine.arco";
    const std::string insert = "INSERT INTO conitine (azienda, ID, codperc, sub, ente, minima, euro, lung, tempo)"
                               " SELECT corse.azienda, corse.ID, corse.codperc, detitine.sub, ";
    return check(raw.exec(insert + "8, 0, archi.lung * 11 / 10000.0, archi.lung, 3" + arcs +
                          " AND detitine.sub = 1 AND corse.ID % 7 = 0") &&
                     raw.exec(insert + "9, 0, archi.lung * 7 / 10000.0, archi.lung, 2" + arcs +
                              " AND detitine.sub = 2 AND corse.ID % 5 = 0"),
                 "splits", raw.error());
}

long long countOf(tools::RawDatabase& raw, const std::string& sql)
{
    return readLeadingInteger(raw.queryText(sql)).value_or(-1);
}

std::string ensureSqliteDatabase(bool rebuild)
{
    std::filesystem::create_directories(kFolder);
    const std::string path = std::string(kFolder) + "/contract-10000.sqlite";
    if (!rebuild && std::filesystem::exists(path)) {
        auto raw = tools::RawDatabase::sqliteFile(path);
        if (countOf(raw, "SELECT COUNT(*) FROM conkal") > 2000000 && countOf(raw, "SELECT COUNT(*) FROM conitine") > 0)
            return path;
    }
    for (const char* suffix : {"", "-wal", "-shm"})
        std::filesystem::remove(path + suffix);
    return buildDatabase(path) ? path : std::string();
}

// ---- PostgreSQL: a copy of the SQLite database in korvan_bench ----

std::string psqlCommand(const std::string& database, const std::string& arguments)
{
    return "psql -X -q -v ON_ERROR_STOP=1 -h 127.0.0.1 -p " + environmentOr("KORVAN_TEST_PG_PORT", "54329") +
           " -U postgres -d " + database + " " + arguments;
}

// A data source for korvan_bench beside the test servers' ones.
bool writeBenchDataSource()
{
    const std::string testIni = environmentOr("ODBCINI", "");
    if (testIni.empty())
        return false;
    std::ifstream in(testIni);
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    const std::string section = "[" + postgresDsn() + "]";
    const size_t start = text.find(section);
    if (start == std::string::npos)
        return false;
    size_t end = text.find("\n[", start + 1);
    std::string copy = text.substr(start, end == std::string::npos ? std::string::npos : end - start + 1);
    copy.replace(0, section.size(), std::string("[") + kPgDsn + "]");
    const size_t database = copy.find("Database");
    const size_t lineEnd = copy.find('\n', database);
    copy.replace(database, lineEnd - database, std::string("Database = ") + kPgDatabase);
    const std::string ini = std::string(kFolder) + "/odbc.ini";
    std::ofstream(ini) << text << "\n" << copy << "\n";
    setenv("ODBCINI", ini.c_str(), 1);
    return true;
}

std::string copyField(sqlite3_stmt* statement, int column)
{
    if (sqlite3_column_type(statement, column) == SQLITE_NULL)
        return "\\N";
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(statement, column));
    std::string field;
    for (const char* c = text; c && *c; ++c) {
        if (*c == '\\' || *c == '\t' || *c == '\n' || *c == '\r')
            field += '\\';
        field += *c == '\t' ? 't' : *c == '\n' ? 'n' : *c == '\r' ? 'r' : *c;
    }
    return field;
}

bool copyTableToPostgres(sqlite3* db, const schema::Table& table)
{
    std::string columns, physical;
    for (const schema::Column& column : table.columns) {
        columns += (columns.empty() ? "" : ", ") + column.name;
        physical +=
            (physical.empty() ? "" : ", ") + schema::physicalColumnName(column.name, schema::Dialect::PostgreSql);
    }
    FILE* psql =
        popen(psqlCommand(kPgDatabase, "-c 'COPY " + table.name + " (" + physical + ") FROM STDIN'").c_str(), "w");
    if (!psql)
        return false;
    sqlite3_stmt* statement = nullptr;
    sqlite3_prepare_v2(db, ("SELECT " + columns + " FROM " + table.name).c_str(), -1, &statement, nullptr);
    std::string line;
    while (statement && sqlite3_step(statement) == SQLITE_ROW) {
        line.clear();
        for (int c = 0; c < static_cast<int>(table.columns.size()); ++c)
            line += (c > 0 ? "\t" : "") + copyField(statement, c);
        line += '\n';
        std::fwrite(line.data(), 1, line.size(), psql);
    }
    sqlite3_finalize(statement);
    return pclose(psql) == 0;
}

bool ensurePostgresDatabase(const std::string& sqlitePath, bool rebuild)
{
    if (!writeBenchDataSource())
        return check(false, "PostgreSQL data source", "(source scripts/test-servers.sh first)");
    std::system(
        (psqlCommand("postgres", "-c 'CREATE DATABASE " + std::string(kPgDatabase) + "'") + " 2>/dev/null").c_str());
    auto raw = tools::RawDatabase::odbc(kPgDsn);
    if (!check(raw.ok(), "PostgreSQL connection", raw.error()))
        return false;
    auto file = tools::RawDatabase::sqliteFile(sqlitePath);
    const long long days = countOf(file, "SELECT COUNT(*) FROM conkal");
    if (!rebuild && countOf(raw, "SELECT COUNT(*) FROM conkal") == days &&
        countOf(raw, "SELECT COUNT(*) FROM conitine") == countOf(file, "SELECT COUNT(*) FROM conitine"))
        return true;
    std::printf("copying the database into PostgreSQL %s ...\n", kPgDatabase);
    // A fresh connection: the counts above may have failed on missing tables.
    raw = tools::RawDatabase::odbc(kPgDsn);
    std::string error;
    if (!check(tools::createTables(raw, true, error), "PostgreSQL tables", error))
        return false;
    sqlite3* db = nullptr;
    sqlite3_open_v2(sqlitePath.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    bool copied = true;
    for (const schema::Table& table : schema::tables())
        copied = copied && check(copyTableToPostgres(db, table), "COPY", table.name);
    sqlite3_close(db);
    return copied && check(raw.exec("ANALYZE"), "ANALYZE", raw.error());
}

// ---- the baselines: the same queries read with a plain loop ----

struct PlainRead {
    long rows = 0;
    long long checksum = 0;
};

PlainRead plainSqliteRead(sqlite3* db, const std::vector<reports::SourceQuery>& queries)
{
    PlainRead read;
    for (const reports::SourceQuery& query : queries) {
        sqlite3_stmt* statement = nullptr;
        if (sqlite3_prepare_v2(db, query.sql.c_str(), -1, &statement, nullptr) != SQLITE_OK) {
            std::fprintf(stderr, "%s\n%s\n", query.sql.c_str(), sqlite3_errmsg(db));
            std::exit(1);
        }
        while (sqlite3_step(statement) == SQLITE_ROW) {
            ++read.rows;
            for (int c = 0; c < static_cast<int>(query.columnTypes.size()); ++c) {
                switch (query.columnTypes[static_cast<size_t>(c)]) {
                case SqlType::Double:
                    read.checksum += static_cast<long long>(sqlite3_column_double(statement, c) * 10000);
                    break;
                case SqlType::VarChar:
                    sqlite3_column_text(statement, c);
                    read.checksum += sqlite3_column_bytes(statement, c);
                    break;
                default:
                    read.checksum += sqlite3_column_int(statement, c);
                }
            }
        }
        sqlite3_finalize(statement);
    }
    return read;
}

PlainRead plainOdbcRead(SQLHDBC dbc, const std::vector<reports::SourceQuery>& queries, int rowsetSize)
{
    PlainRead read;
    const auto rows = static_cast<size_t>(rowsetSize);
    constexpr SQLLEN kTextBytes = 256;
    for (const reports::SourceQuery& query : queries) {
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &statement);
        const size_t columns = query.columnTypes.size();
        std::vector<std::vector<SQLINTEGER>> integers(columns, std::vector<SQLINTEGER>(rows));
        std::vector<std::vector<SQLDOUBLE>> doubles(columns, std::vector<SQLDOUBLE>(rows));
        std::vector<std::vector<char>> texts(columns, std::vector<char>(rows * kTextBytes));
        std::vector<std::vector<SQLLEN>> indicators(columns, std::vector<SQLLEN>(rows));
        SQLULEN fetched = 0;
        SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(static_cast<SQLULEN>(rows)), 0);
        SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
        for (size_t c = 0; c < columns; ++c) {
            const auto column = static_cast<SQLUSMALLINT>(c + 1);
            switch (query.columnTypes[c]) {
            case SqlType::Double:
                SQLBindCol(statement, column, SQL_C_DOUBLE, doubles[c].data(), 0, indicators[c].data());
                break;
            case SqlType::VarChar:
                SQLBindCol(statement, column, SQL_C_CHAR, texts[c].data(), kTextBytes, indicators[c].data());
                break;
            default:
                SQLBindCol(statement, column, SQL_C_SLONG, integers[c].data(), 0, indicators[c].data());
            }
        }
        if (!SQL_SUCCEEDED(
                SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(query.sql.c_str())), SQL_NTS))) {
            std::fprintf(stderr, "plain ODBC failed: %s\n", query.sql.c_str());
            std::exit(1);
        }
        while (SQL_SUCCEEDED(SQLFetch(statement))) {
            for (SQLULEN r = 0; r < fetched; ++r) {
                ++read.rows;
                for (size_t c = 0; c < columns; ++c) {
                    if (query.columnTypes[c] == SqlType::Double)
                        read.checksum += static_cast<long long>(doubles[c][r] * 10000);
                    else if (query.columnTypes[c] == SqlType::VarChar)
                        read.checksum += indicators[c][r] > 0 ? indicators[c][r] : 0;
                    else
                        read.checksum += integers[c][r];
                }
            }
        }
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
    }
    return read;
}

// ---- the statement ----

struct Collected {
    std::optional<reports::Statement> statement;
    long days = 0;
    long long metres = 0;
    std::string grand;
};

Collected collect(DbConnection* connection, bool analytic = true)
{
    SilentFeedback feedback;
    Collected collected;
    collected.statement = reports::collectContractsStatement(connection, yearRequest(analytic), feedback);
    if (collected.statement)
        for (const reports::ReportLine& line : collected.statement->lines)
            if (line.kind == reports::LineKind::ContractTotal) {
                collected.days += line.totalDays;
                collected.metres += line.totalMetres;
                collected.grand = reports::euroText(line.grandTotal);
            }
    return collected;
}

void printRatio(const char* backEnd, const PlainRead& plain, double plainSeconds, const Collected& collected,
                double collectSeconds, double goal)
{
    std::printf("%-13s baseline: the 3 queries read with a plain loop  %9ld rows  %7.3f s\n", backEnd, plain.rows,
                plainSeconds);
    const double ratio = collectSeconds / plainSeconds;
    std::printf("%-13s statement data collected (3 queries, by run, names, totals)  %7.3f s  ratio %.2f (goal <= "
                "%.1f) %s\n",
                backEnd, collectSeconds, ratio, goal, ratio <= goal ? "met" : "NOT MET");
    std::printf("%-13s contract total: %ld service days, %s km, %s euro\n", backEnd, collected.days,
                reports::kilometreText(collected.metres).c_str(), collected.grand.c_str());
}

bool measureSqlite(const std::string& path, Collected& result)
{
    StderrSink sink;
    auto connection = DbConnection::openSqlite(path, DbConnection::kDefaultRowsetSizeOrdinary,
                                               DbConnection::kDefaultRowsetSizeBlob, sink);
    const std::vector<reports::SourceQuery> queries =
        reports::statementSourceQueries(connection.get(), kAuthority, {2025, 1, 1}, {2025, 12, 31});
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    PlainRead plain;
    const double plainSeconds = bestOf([&] { plain = plainSqliteRead(db, queries); });
    sqlite3_close(db);
    const double collectSeconds = bestOf([&] { result = collect(connection.get()); });
    printRatio("SQLite file", plain, plainSeconds, result, collectSeconds, 1.5);
    return check(result.statement.has_value() && sink.messages == 0, "SQLite statement");
}

bool measurePostgres(const Collected& onSqlite)
{
    StderrSink sink;
    std::string driver;
    auto connection = DbConnection::openOdbc(kPgDsn, driver, DbConnection::kDefaultRowsetSizeOrdinary,
                                             DbConnection::kDefaultRowsetSizeBlob, sink);
    if (!check(connection->IsOpen(), "PostgreSQL open"))
        return false;
    const std::vector<reports::SourceQuery> queries =
        reports::statementSourceQueries(connection.get(), kAuthority, {2025, 1, 1}, {2025, 12, 31});
    SQLHENV env = SQL_NULL_HENV;
    SQLHDBC dbc = SQL_NULL_HDBC;
    SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env);
    SQLSetEnvAttr(env, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3), 0);
    SQLAllocHandle(SQL_HANDLE_DBC, env, &dbc);
    std::string dsn = kPgDsn;
    if (!check(SQL_SUCCEEDED(SQLConnect(dbc, reinterpret_cast<SQLCHAR*>(dsn.data()), SQL_NTS, nullptr, 0, nullptr, 0)),
               "plain ODBC connection"))
        return false;
    PlainRead plain;
    const double plainSeconds = bestOf([&] { plain = plainOdbcRead(dbc, queries, connection->RowsetSizeOrdinary()); });
    SQLDisconnect(dbc);
    SQLFreeHandle(SQL_HANDLE_DBC, dbc);
    SQLFreeHandle(SQL_HANDLE_ENV, env);
    Collected collected;
    const double collectSeconds = bestOf([&] { collected = collect(connection.get()); });
    printRatio("PostgreSQL", plain, plainSeconds, collected, collectSeconds, 2.0);
    return check(collected.statement.has_value() && sink.messages == 0, "PostgreSQL statement") &&
           check(collected.days == onSqlite.days && collected.metres == onSqlite.metres &&
                     collected.grand == onSqlite.grand,
                 "the same totals on both back ends");
}

bool measureOutput(const reports::Statement& statement, const std::string& pngFolder, DbConnection* connection)
{
    const std::string pdf = std::string(kFolder) + "/contratti.pdf";
    reports::Report report;
    const double rows = secondsOf([&] { report = reports::contractsReport(statement, "01/01/2026 08:00"); });
    gui::PreparedReport prepared;
    const double layout = secondsOf([&] {
        prepared = gui::prepareReport(report, gui::pageGeometry(gui::pdfPageLayout(gui::preferredOrientation(report))),
                                      gui::TextMeasure(report.fontPoints));
    });
    std::string error;
    bool written = false;
    const double pdfSeconds = secondsOf([&] { written = gui::writePdf(report, pdf, error); });
    const double csvSeconds = secondsOf([&] {
        std::ofstream out(std::string(kFolder) + "/contratti.csv", std::ios::binary);
        written = reports::writeCsv(report, out) && written;
    });
    std::printf("output        %zu rows: printable rows %.3f s, layout %.3f s, PDF %.3f s (%d pages, %.1f MB), "
                "CSV %.3f s\n",
                report.rows.size(), rows, layout, pdfSeconds, prepared.pageCount(),
                static_cast<double>(std::filesystem::file_size(pdf)) / 1e6, csvSeconds);
    if (!pngFolder.empty()) {
        SilentFeedback feedback;
        const auto save = [&](const reports::Report& page, const std::string& name) {
            const gui::PreparedReport laid =
                gui::prepareReport(page, gui::pageGeometry(gui::pdfPageLayout(gui::preferredOrientation(page))),
                                   gui::TextMeasure(page.fontPoints));
            const std::string file = pngFolder + "/" + name;
            if (gui::renderPage(page, laid, 1, 150).save(QString::fromStdString(file)))
                std::printf("wrote %s\n", file.c_str());
        };
        std::filesystem::create_directories(pngFolder);
        save(report, "contracts-analytic.png");
        if (const auto synthetic = reports::collectContractsStatement(connection, yearRequest(false), feedback))
            save(reports::contractsReport(*synthetic, "01/01/2026 08:00"), "contracts-synthetic.png");
        reports::StatementRequest all = yearRequest();
        all.allAuthorities = true;
        if (const auto paid = reports::collectContributionsStatement(connection, all, feedback))
            save(reports::contributionsReport(*paid, "01/01/2026 08:00"), "contributions-analytic.png");
    }
    return check(written, "output", error);
}

} // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    bool rebuild = false;
    bool sqliteOnly = false;
    std::string png;
    for (int i = 1; i < argc; ++i) {
        const std::string argument = argv[i];
        if (argument == "--rebuild")
            rebuild = true;
        else if (argument == "--sqlite-only")
            sqliteOnly = true;
        else if (argument == "--png" && i + 1 < argc)
            png = argv[++i];
    }
    const std::string path = ensureSqliteDatabase(rebuild);
    if (path.empty())
        return 1;
    Collected onSqlite;
    bool ok = measureSqlite(path, onSqlite);
    if (ok && !sqliteOnly)
        ok = ensurePostgresDatabase(path, rebuild) && measurePostgres(onSqlite);
    if (onSqlite.statement) {
        StderrSink sink;
        auto connection = DbConnection::openSqlite(path, 25, 1, sink);
        ok = measureOutput(*onSqlite.statement, png, connection.get()) && ok;
    }
    return ok ? 0 : 1;
}
