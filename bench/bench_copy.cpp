// The copy of a runs database between engines (transfer/DatabaseCopy.h), on
// the region demo after a year of service days (korvan-demo --runs 50000:
// about 11.6 million conkal rows), against the plainest way of moving the
// same rows, measured in the same run:
//   file to PostgreSQL: every table's rows read from the file with
//     sqlite3_step and loaded with COPY through psql, into the same tables
//     created empty from the schema (with their keys);
//   PostgreSQL to file: every table's rows read with a plain ODBC block fetch
//     and written into a new SQLite file with one prepared, bound INSERT per
//     table, all in one transaction.
// The copy does more than either: it converts and checks every value and
// reads every table back to compare its count and checksum.
//
// Usage: bench_copy [runs] [repeats]
// The region file is built once (lines extracted, every contract assigned,
// the service days of the year generated) and kept as
// $TMPDIR/korvan-bench-region-<runs>.sqlite. PostgreSQL: KORVAN_TEST_PG_DSN
// (its database is korvan_test) and KORVAN_TEST_PG_PORT for psql.

#include "DemoNetwork.h"
#include "DemoSqliteWriter.h"
#include "OdbcBenchSupport.h"
#include "SchemaCreator.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "db/DbConnection.h"
#include "db/SqlTypes.h"
#include "lines/LineExtraction.h"
#include "refdata/Schema.h"
#include "support/RecordingMessageSink.h"
#include "transfer/DatabaseCopy.h"

#include <sql.h>
#include <sqlext.h>
#include <sqlite3.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <string>
#include <vector>

using namespace korvan;
using namespace korvan::bench;

namespace {

void check(bool ok, const std::string& what)
{
    if (!ok) {
        std::fprintf(stderr, "bench_copy: %s\n", what.c_str());
        std::exit(1);
    }
}

std::string tempFolder()
{
    return environmentOr("TMPDIR", "/tmp");
}

long conkalRows(const std::string& path)
{
    auto raw = tools::RawDatabase::sqliteFile(path);
    const std::string text = raw.queryText("SELECT COUNT(*) FROM conkal");
    return text.empty() ? 0 : parseIntegerText(text);
}

// The region demo with a year of accounting, built once.
std::string regionDatabase(int runs)
{
    const std::string path = tempFolder() + "/korvan-bench-region-" + std::to_string(runs) + ".sqlite";
    if (std::filesystem::exists(path) && conkalRows(path) > 0)
        return path;
    std::printf("building %s (once)...\n", path.c_str());
    std::fflush(stdout);
    std::filesystem::remove(path);
    std::string error;
    check(demo::writeSqliteFile(demo::generateNetwork({runs, 2025}), path, error), error);
    test::RecordingMessageSink sink;
    SilentFeedback feedback;
    auto connection = DbConnection::openSqlite(path, 1000, 1, sink);
    check(lines::extractNormalizedLines(connection.get(), sink, feedback).completed, sink.lastText());
    std::vector<std::pair<int, int>> contracts;
    {
        auto raw = tools::RawDatabase::sqliteFile(path);
        sqlite3_stmt* select = nullptr;
        sqlite3_prepare_v2(raw.sqliteHandle(), "SELECT DISTINCT ente, azienda FROM corse", -1, &select, nullptr);
        while (sqlite3_step(select) == SQLITE_ROW)
            contracts.emplace_back(sqlite3_column_int(select, 0), sqlite3_column_int(select, 1));
        sqlite3_finalize(select);
    }
    for (const auto& [authority, company] : contracts) {
        accounting::AssignmentRequest request;
        request.contractAuthority = authority;
        request.contractCompany = company;
        request.euroPerKm = 1.85;
        check(accounting::runAssignment(accounting::AssignmentKind::Contract, connection.get(), request, sink, feedback)
                  .completed,
              sink.lastText());
        check(accounting::generateServiceDays(connection.get(), {authority, company, {2025, 1, 1}, {2025, 12, 31}},
                                              sink, feedback)
                  .completed,
              sink.lastText());
    }
    return path;
}

long totalRows(const std::string& path)
{
    auto raw = tools::RawDatabase::sqliteFile(path);
    long rows = 0;
    for (const schema::Table& table : schema::tables())
        rows += parseIntegerText(raw.queryText("SELECT COUNT(*) FROM " + table.name));
    return rows;
}

void emptyPostgres(const std::string& dsn)
{
    auto raw = tools::RawDatabase::odbc(dsn);
    check(raw.ok(), raw.error());
    for (const schema::Table& table : schema::tables())
        check(raw.exec(schema::dropStatement(table)), raw.error());
}

// COPY text of one value: \N for NULL, the escapes of the text format.
void appendCopyValue(std::string& line, sqlite3_stmt* rows, int column)
{
    if (sqlite3_column_type(rows, column) == SQLITE_NULL) {
        line += "\\N";
        return;
    }
    const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(rows, column));
    for (const char* c = text; *c; ++c) {
        if (*c == '\\' || *c == '\t' || *c == '\n' || *c == '\r')
            line += '\\';
        line += *c == '\t' ? 't' : *c == '\n' ? 'n' : *c == '\r' ? 'r' : *c;
    }
}

// Baseline: the file's rows into PostgreSQL with COPY through psql.
double copyBaseline(const std::string& file, const std::string& dsn)
{
    emptyPostgres(dsn);
    auto target = tools::RawDatabase::odbc(dsn);
    std::string error;
    check(tools::createTables(target, true, error), error);
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    const Stopwatch watch;
    for (const schema::Table& table : schema::tables()) {
        std::string names, list;
        for (const schema::Column& column : table.columns) {
            names += (names.empty() ? "" : ", ") + schema::physicalColumnName(column.name, schema::Dialect::PostgreSql);
            list += (list.empty() ? "" : ", ") + column.name;
        }
        const std::string command = "psql -X -q -h 127.0.0.1 -p " + environmentOr("KORVAN_TEST_PG_PORT", "54329") +
                                    " -U postgres -d korvan_test -c 'COPY " + table.name + " (" + names +
                                    ") FROM STDIN'";
        FILE* psql = popen(command.c_str(), "w");
        check(psql != nullptr, "psql");
        sqlite3_stmt* rows = nullptr;
        sqlite3_prepare_v2(db, ("SELECT " + list + " FROM " + table.name).c_str(), -1, &rows, nullptr);
        std::string line;
        while (sqlite3_step(rows) == SQLITE_ROW) {
            line.clear();
            for (int i = 0; i < sqlite3_column_count(rows); ++i) {
                if (i)
                    line += '\t';
                appendCopyValue(line, rows, i);
            }
            line += '\n';
            std::fwrite(line.data(), 1, line.size(), psql);
        }
        sqlite3_finalize(rows);
        check(pclose(psql) == 0, "COPY " + table.name);
    }
    const double seconds = watch.seconds();
    sqlite3_close(db);
    return seconds;
}

// Baseline: PostgreSQL's rows read in blocks of 1000 with bound columns and
// inserted into a new file with bound INSERTs, in one transaction.
double insertBaseline(const std::string& dsn, const std::string& file)
{
    std::filesystem::remove(file);
    {
        auto raw = tools::RawDatabase::sqliteFile(file);
        std::string error;
        check(tools::createTables(raw, false, error), error);
    }
    sqlite3* db = nullptr;
    sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr);
    auto source = tools::RawDatabase::odbc(dsn);
    auto* dbc = static_cast<SQLHDBC>(source.odbcHandle());
    constexpr SQLULEN kBlock = 1000;
    const Stopwatch watch;
    sqlite3_exec(db, "BEGIN", nullptr, nullptr, nullptr);
    for (const schema::Table& table : schema::tables()) {
        const size_t columns = table.columns.size();
        std::string names, markers;
        for (size_t i = 0; i < columns; ++i) {
            names += (i ? ", " : "") + schema::physicalColumnName(table.columns[i].name, schema::Dialect::PostgreSql);
            markers += (i ? ", ?" : "?");
        }
        SQLHSTMT statement = SQL_NULL_HSTMT;
        SQLAllocHandle(SQL_HANDLE_STMT, dbc, &statement);
        SQLSetStmtAttr(statement, SQL_ATTR_ROW_ARRAY_SIZE, reinterpret_cast<SQLPOINTER>(kBlock), 0);
        SQLULEN fetched = 0;
        SQLSetStmtAttr(statement, SQL_ATTR_ROWS_FETCHED_PTR, &fetched, 0);
        std::vector<std::vector<char>> buffers(columns);
        std::vector<std::vector<SQLLEN>> lengths(columns, std::vector<SQLLEN>(kBlock));
        std::vector<int> widths(columns);
        for (size_t i = 0; i < columns; ++i) {
            const int type = table.columns[i].sqlType;
            const bool number = type == SqlType::SmallInt || type == SqlType::Integer || type == SqlType::Bit;
            widths[i] = number ? 4 : type == SqlType::Double ? 8 : 256;
            buffers[i].assign(kBlock * static_cast<size_t>(widths[i]), '\0');
            SQLBindCol(statement, static_cast<SQLUSMALLINT>(i + 1),
                       number                    ? SQL_C_SLONG
                       : type == SqlType::Double ? SQL_C_DOUBLE
                                                 : SQL_C_CHAR,
                       buffers[i].data(), widths[i], lengths[i].data());
        }
        const std::string select = "SELECT " + names + " FROM " + table.name;
        check(SQL_SUCCEEDED(
                  SQLExecDirect(statement, reinterpret_cast<SQLCHAR*>(const_cast<char*>(select.c_str())), SQL_NTS)),
              select);
        sqlite3_stmt* insert = nullptr;
        sqlite3_prepare_v2(db, ("INSERT INTO " + table.name + " VALUES (" + markers + ")").c_str(), -1, &insert,
                           nullptr);
        while (SQL_SUCCEEDED(SQLFetch(statement))) {
            for (SQLULEN row = 0; row < fetched; ++row) {
                for (size_t i = 0; i < columns; ++i) {
                    const char* value = buffers[i].data() + row * static_cast<size_t>(widths[i]);
                    const SQLLEN length = lengths[i][row];
                    const int parameter = static_cast<int>(i + 1);
                    const int type = table.columns[i].sqlType;
                    if (length == SQL_NULL_DATA)
                        sqlite3_bind_null(insert, parameter);
                    else if (widths[i] == 4)
                        sqlite3_bind_int(insert, parameter, *reinterpret_cast<const SQLINTEGER*>(value));
                    else if (type == SqlType::Double)
                        sqlite3_bind_double(insert, parameter, *reinterpret_cast<const double*>(value));
                    else
                        sqlite3_bind_text(insert, parameter, value, static_cast<int>(length), SQLITE_STATIC);
                }
                check(sqlite3_step(insert) == SQLITE_DONE, sqlite3_errmsg(db));
                sqlite3_reset(insert);
            }
        }
        sqlite3_finalize(insert);
        SQLFreeHandle(SQL_HANDLE_STMT, statement);
    }
    sqlite3_exec(db, "COMMIT", nullptr, nullptr, nullptr);
    const double seconds = watch.seconds();
    sqlite3_close(db);
    return seconds;
}

double programCopy(const transfer::CopyEndpoint& source, const transfer::CopyEndpoint& target)
{
    test::RecordingMessageSink sink;
    SilentFeedback feedback;
    transfer::CopyRequest request;
    request.source = source;
    request.target = target;
    const Stopwatch watch;
    const transfer::CopyResult result = transfer::copyDatabase(request, sink, feedback);
    const double seconds = watch.seconds();
    check(result.completed, "the copy failed: " + sink.lastText());
    return seconds;
}

} // namespace

int main(int argc, char** argv)
{
    const int runs = static_cast<int>(rowCountArgument(argc, argv, 50000));
    const int repeats = repeatArgument(argc, argv, 1);
    const std::string dsn = postgresDsn();
    const std::string region = regionDatabase(runs);
    const long rows = totalRows(region);
    std::printf("Copy of the region demo of %d runs: %ld rows, %ld of them in conkal\n", runs, rows,
                conkalRows(region));
    const std::string back = tempFolder() + "/korvan-bench-copy-" + std::to_string(getpid()) + ".sqlite";

    double copyBest = 1e30, toPostgresBest = 1e30, insertBest = 1e30, toFileBest = 1e30;
    for (int i = 0; i < repeats; ++i) {
        copyBest = std::min(copyBest, copyBaseline(region, dsn));
        emptyPostgres(dsn);
        toPostgresBest = std::min(toPostgresBest, programCopy({transfer::EndpointKind::SqliteFile, region},
                                                              {transfer::EndpointKind::DataSource, dsn}));
        insertBest = std::min(insertBest, insertBaseline(dsn, back));
        std::filesystem::remove(back);
        toFileBest = std::min(toFileBest, programCopy({transfer::EndpointKind::DataSource, dsn},
                                                      {transfer::EndpointKind::SqliteFile, back}));
        std::filesystem::remove(back);
    }
    emptyPostgres(dsn);
    printBaseline("file to PostgreSQL: sqlite3_step + COPY", rows, copyBest);
    printMeasured("file to PostgreSQL: korvan copy", rows, toPostgresBest, copyBest, 2.0);
    printBaseline("PostgreSQL to file: block fetch + bound INSERT", rows, insertBest);
    printMeasured("PostgreSQL to file: korvan copy", rows, toFileBest, insertBest, 2.0);
    return 0;
}
