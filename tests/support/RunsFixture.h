#pragma once

// Fixture databases for the pick lists and the line operations: every
// table of the runs database created fresh on the SQLite file back end or
// on PostgreSQL through ODBC, rows inserted with plain SQL, results read
// back through the program's own select cursor. Header-only: the refdata
// and lines test programs both use it.

#include "SchemaCreator.h"
#include "core/OperationFeedback.h"
#include "core/SqlText.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvan::test {

enum class RunsBackend { SqliteFile, PostgresOdbc };

inline std::string runsBackendName(const ::testing::TestParamInfo<RunsBackend>& info)
{
    return info.param == RunsBackend::SqliteFile ? "SqliteFile" : "PostgresOdbc";
}

// Records what an operation tells the user while it works.
class RecordingProgress : public OperationFeedback {
  public:
    void beginBusy(bool showClock) override { busyCalls.push_back(showClock); }
    void setProgress(int percent) override { progress.push_back(percent); }
    void endProgress() override { ++endCalls; }
    void showStatusBanner(const std::string& text) override { banners.push_back(text); }

    std::vector<bool> busyCalls;
    std::vector<int> progress;
    std::vector<std::string> banners;
    int endCalls = 0;
};

class RunsDbTest : public ::testing::TestWithParam<RunsBackend> {
  protected:
    void SetUp() override
    {
        if (isPostgres()) {
            const std::string dsn = postgresDsn();
            if (dsn.empty()) {
                if (odbcRequired())
                    FAIL() << "the PostgreSQL data source is required but not configured";
                GTEST_SKIP() << "no PostgreSQL data source";
            }
            raw.emplace(tools::RawDatabase::odbc(dsn));
        } else {
            raw.emplace(tools::RawDatabase::sqliteFile(dir.file("runs.db")));
        }
        ASSERT_TRUE(raw->ok()) << raw->error();
        std::string error;
        ASSERT_TRUE(tools::createTables(*raw, true, error)) << error;
        if (isPostgres()) {
            std::string driver;
            connection = DbConnection::openOdbc(postgresDsn(), driver, DbConnection::kDefaultRowsetSizeOrdinary,
                                                DbConnection::kDefaultRowsetSizeBlob, sink);
        } else {
            connection = DbConnection::openSqlite(dir.file("runs.db"), DbConnection::kDefaultRowsetSizeOrdinary,
                                                  DbConnection::kDefaultRowsetSizeBlob, sink);
        }
        ASSERT_TRUE(connection && connection->IsOpen()) << sink.lastText();
    }

    void TearDown() override
    {
        connection.reset();
        raw.reset();
    }

    bool isPostgres() const { return GetParam() == RunsBackend::PostgresOdbc; }

    void exec(const std::string& sql) { ASSERT_TRUE(raw->exec(sql)) << sql << "\n" << raw->error(); }

    long count(const std::string& table, const std::string& where = "")
    {
        return parseIntegerText(
            raw->queryText("SELECT COUNT(*) FROM " + table + (where.empty() ? "" : " WHERE " + where)));
    }

    void addAuthority(int code, const std::string& name)
    {
        exec(formatText("INSERT INTO regent (codice, denom) VALUES (%d, ", code) + quoteSqlText(name) + ")");
    }
    void addCompany(int code, const std::string& name)
    {
        exec(formatText("INSERT INTO regazi (codice, denom) VALUES (%d, ", code) + quoteSqlText(name) + ")");
    }
    void addRun(int company, long id, int authority, const std::string& lineCode)
    {
        exec(formatText("INSERT INTO corse (azienda, ID, ente, codlinea, codcorsa, lung) VALUES (%d, %ld, %d, ",
                        company, id, authority) +
             quoteSqlText(lineCode) + formatText(", 'C%ld', 1000)", id));
    }
    void addLine(int id, int authority, const std::string& code, const std::string& name = "")
    {
        exec(formatText("INSERT INTO linee (ID, ente, linea, denom) VALUES (%d, %d, ", id, authority) +
             quoteSqlText(code) + ", " + quoteSqlText(name) + ")");
    }
    void addRunLine(int company, long id, int authority, int line)
    {
        exec(formatText("INSERT INTO conline (azienda, ID, ente, linea) VALUES (%d, %ld, %d, %d)", company, id,
                        authority, line));
    }
    void addConcors(int company, long id, int authority, bool minimum)
    {
        exec(formatText("INSERT INTO concors (azienda, ID, ente, minima, euro) VALUES (%d, %ld, %d, %d, 1.5)", company,
                        id, authority, minimum ? 1 : 0));
    }

    // `linee` as "ID|ente|linea|denom" by ID, texts between brackets so
    // blanks show.
    std::vector<std::string> lineRows()
    {
        std::vector<std::string> rows;
        SelectCursor select(connection.get());
        select.AddField("linee", "ID", SqlType::SmallInt);
        select.AddField("linee", "ente", SqlType::SmallInt);
        select.AddField("linee", "linea", SqlType::VarChar);
        select.AddField("linee", "denom", SqlType::VarChar);
        select.SetFrom("linee");
        select.SetOrderBy("linee.ID");
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            int id = 0, authority = 0;
            std::string code, name;
            select.GetShort(0, id);
            select.GetShort(1, authority);
            select.GetText(2, code);
            select.GetText(3, name);
            rows.push_back(formatText("%d|%d|[%s]|[%s]", id, authority, code.c_str(), name.c_str()));
        }
        return rows;
    }

    // `conline` as "azienda|ID|ente|linea" by company and run.
    std::vector<std::string> runLineRows()
    {
        std::vector<std::string> rows;
        SelectCursor select(connection.get());
        select.AddField("conline", "azienda", SqlType::SmallInt);
        select.AddField("conline", "ID", SqlType::Integer);
        select.AddField("conline", "ente", SqlType::SmallInt);
        select.AddField("conline", "linea", SqlType::SmallInt);
        select.SetFrom("conline");
        select.SetOrderBy("conline.azienda, conline.ID");
        for (bool row = select.Execute(); row; row = select.MoveNext()) {
            int company = 0, id = 0, authority = 0, line = 0;
            select.GetShort(0, company);
            select.GetLong(1, id);
            select.GetShort(2, authority);
            select.GetShort(3, line);
            rows.push_back(formatText("%d|%d|%d|%d", company, id, authority, line));
        }
        return rows;
    }

    TempDir dir;
    std::optional<tools::RawDatabase> raw;
    RecordingMessageSink sink;
    RecordingProgress feedback;
    std::unique_ptr<DbConnection> connection;
};

#define KORVAN_RUNS_BACKENDS(suite)                                                                                    \
    INSTANTIATE_TEST_SUITE_P(                                                                                          \
        Backends, suite,                                                                                               \
        ::testing::Values(::korvan::test::RunsBackend::SqliteFile, ::korvan::test::RunsBackend::PostgresOdbc),         \
        ::korvan::test::runsBackendName)

} // namespace korvan::test
