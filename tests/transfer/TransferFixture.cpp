#include "transfer/TransferFixture.h"

#include "DemoNetwork.h"
#include "DemoSqliteWriter.h"
#include "SchemaCreator.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "db/DbConnection.h"
#include "lines/LineExtraction.h"
#include "refdata/Schema.h"

#include <sqlite3.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>

namespace korvan::test {

namespace fs = std::filesystem;

void writeDemoDatabase(const std::string& path, int runs)
{
    std::string error;
    const demo::Network network = demo::generateNetwork({runs, 2025});
    ASSERT_TRUE(demo::writeSqliteFile(network, path, error)) << error;
}

namespace {

// The contracts of the runs, as (authority, company).
std::vector<std::pair<int, int>> contracts(const std::string& path)
{
    std::vector<std::pair<int, int>> found;
    sqlite3* db = nullptr;
    sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* select = nullptr;
    sqlite3_prepare_v2(db, "SELECT DISTINCT ente, azienda FROM corse ORDER BY 1, 2", -1, &select, nullptr);
    while (sqlite3_step(select) == SQLITE_ROW)
        found.emplace_back(sqlite3_column_int(select, 0), sqlite3_column_int(select, 1));
    sqlite3_finalize(select);
    sqlite3_close(db);
    return found;
}

} // namespace

void writeAccountingDatabase(const std::string& path, int runs)
{
    writeDemoDatabase(path, runs);
    if (::testing::Test::HasFatalFailure())
        return;
    const auto pairs = contracts(path);
    ASSERT_GE(pairs.size(), 2u);
    RecordingMessageSink sink;
    RecordingFeedback feedback;
    auto connection = DbConnection::openSqlite(path, 25, 1, sink);
    ASSERT_TRUE(connection->IsOpen()) << sink.lastText();
    ASSERT_TRUE(lines::extractNormalizedLines(connection.get(), sink, feedback).completed) << sink.lastText();
    for (const auto& [authority, company] : pairs) {
        accounting::AssignmentRequest request;
        request.contractAuthority = authority;
        request.contractCompany = company;
        request.euroPerKm = 1.85;
        ASSERT_TRUE(
            accounting::runAssignment(accounting::AssignmentKind::Contract, connection.get(), request, sink, feedback)
                .completed)
            << sink.lastText();
    }
    for (const auto& [authority, company] : pairs)
        ASSERT_TRUE(accounting::generateServiceDays(connection.get(), {authority, company, {2025, 3, 1}, {2025, 3, 31}},
                                                    sink, feedback)
                        .completed)
            << sink.lastText();
    accounting::AssignmentRequest saturdays;
    saturdays.contractAuthority = pairs.front().first;
    saturdays.contractCompany = pairs.front().second;
    saturdays.minimumService = false;
    saturdays.payingAuthority = pairs.back().first;
    saturdays.euroPerKm = 2.35;
    saturdays.periodStart = {2025, 3, 1};
    saturdays.periodEnd = {2025, 3, 31};
    saturdays.weekdays = {false, false, false, false, false, true, false};
    ASSERT_TRUE(
        accounting::runAssignment(accounting::AssignmentKind::DayType, connection.get(), saturdays, sink, feedback)
            .completed)
        << sink.lastText();
    for (const auto& entry : sink.entries)
        ASSERT_NE(entry.icon, MessageIcon::Error) << entry.text;
}

std::map<std::string, TableDump> dumpSqlite(const std::string& path)
{
    std::map<std::string, TableDump> dump;
    sqlite3* db = nullptr;
    if (sqlite3_open_v2(path.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) != SQLITE_OK) {
        ADD_FAILURE() << "cannot open " << path;
        sqlite3_close(db);
        return dump;
    }
    std::vector<std::string> tables;
    sqlite3_stmt* list = nullptr;
    sqlite3_prepare_v2(db, "SELECT name FROM sqlite_master WHERE type = 'table' ORDER BY name", -1, &list, nullptr);
    while (sqlite3_step(list) == SQLITE_ROW)
        tables.emplace_back(reinterpret_cast<const char*>(sqlite3_column_text(list, 0)));
    sqlite3_finalize(list);
    for (const std::string& table : tables) {
        TableDump& entry = dump[table];
        sqlite3_stmt* rows = nullptr;
        std::string quoted = "\"";
        for (char c : table)
            quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
        quoted += "\"";
        sqlite3_prepare_v2(db, ("SELECT * FROM " + quoted).c_str(), -1, &rows, nullptr);
        const int count = sqlite3_column_count(rows);
        for (int i = 0; i < count; ++i) {
            const char* declared = sqlite3_column_decltype(rows, i);
            entry.columns +=
                std::string(i ? ", " : "") + sqlite3_column_name(rows, i) + " " + (declared ? declared : "");
        }
        while (sqlite3_step(rows) == SQLITE_ROW) {
            std::string row;
            for (int i = 0; i < count; ++i) {
                const int type = sqlite3_column_type(rows, i);
                const auto* text = reinterpret_cast<const char*>(sqlite3_column_text(rows, i));
                const std::string value = type == SQLITE_NULL ? "NULL"
                                          : type == SQLITE_FLOAT
                                              ? formatText("%a", sqlite3_column_double(rows, i))
                                              : std::string(text ? text : "", sqlite3_column_bytes(rows, i));
                row += formatText("%s%d:", i ? "|" : "", type) + value;
            }
            entry.rows.push_back(row);
        }
        sqlite3_finalize(rows);
        std::sort(entry.rows.begin(), entry.rows.end());
    }
    sqlite3_close(db);
    return dump;
}

void dropTables(const std::string& dsn, const std::vector<std::string>& others)
{
    tools::RawDatabase db = tools::RawDatabase::odbc(dsn);
    ASSERT_TRUE(db.ok()) << db.error();
    for (const schema::Table& table : schema::tables())
        ASSERT_TRUE(db.exec(schema::dropStatement(table))) << db.error();
    for (const std::string& name : others)
        ASSERT_TRUE(db.exec("DROP TABLE IF EXISTS " + schema::sqlName(name, db.dialect()))) << db.error();
}

void runCopy(const transfer::CopyRequest& request, CopyRun& run)
{
    run.result = transfer::copyDatabase(request, run.sink, run.feedback);
}

transfer::CopyRequest copyRequest(const transfer::CopyEndpoint& source, const transfer::CopyEndpoint& target,
                                  const std::vector<std::string>& tables, bool skipBadValues)
{
    transfer::CopyRequest request;
    request.source = source;
    request.target = target;
    request.tables = tables;
    request.skipBadValues = skipBadValues;
    return request;
}

transfer::CopyEndpoint sqliteFile(const std::string& path)
{
    return {transfer::EndpointKind::SqliteFile, path};
}

transfer::CopyEndpoint dataSource(const std::string& name)
{
    return {transfer::EndpointKind::DataSource, name};
}

transfer::CopyEndpoint jetFile(const std::string& path)
{
    return {transfer::EndpointKind::JetFile, path};
}

std::vector<std::string> filesIn(const std::string& folder)
{
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace korvan::test
