#pragma once

// Fixture databases for the accounting operations: every table of the runs
// database created fresh on the SQLite file back end or on PostgreSQL
// through ODBC, rows inserted with plain SQL, results read back through the
// program's own select cursor.

#include "SchemaCreator.h"
#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace korvan::test {

// The SQLite file back end, PostgreSQL through psqlODBC, and a SQLite file
// through the SQLite ODBC driver.
enum class Backend { SqliteFile, PostgresOdbc, SqliteOdbc };

std::string backendName(const ::testing::TestParamInfo<Backend>& info);

// Records the feedback calls of an operation; `onProgress` runs after each
// percentage (a test may ask the operation to stop there, or break
// something), and `stop` is what stopRequested answers.
class RecordingFeedback : public OperationFeedback {
  public:
    void beginBusy(bool showClock) override { busyCalls.push_back(showClock); }
    void setProgress(int percent) override
    {
        progress.push_back(percent);
        if (onProgress)
            onProgress();
    }
    void endProgress() override { ++endCalls; }
    void showStatusBanner(const std::string& text) override { banners.push_back(text); }
    bool stopRequested() override { return stop; }

    // The operation is past `percent` of the step with this banner.
    bool reached(const std::string& banner, int percent) const
    {
        return !banners.empty() && banners.back() == banner && !progress.empty() && progress.back() >= percent;
    }

    std::vector<bool> busyCalls;
    std::vector<int> progress;
    std::vector<std::string> banners;
    int endCalls = 0;
    std::function<void()> onProgress;
    bool stop = false;
};

// Every row of the five accounting tables as the program reads them, each as
// "table|value|value...", tables in schema order and rows in key order: two
// snapshots are equal when nothing changed.
std::vector<std::string> accountingSnapshot(DbConnection* connection);

class AccountingDbTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs SQL on the fixture; fails the test on error.
    void exec(const std::string& sql);
    long count(const std::string& table, const std::string& where = "");

    void addRun(int company, long id, int authority, long length, int depHour = 8, int depMinute = 0, int arrHour = 9,
                int arrMinute = 0);
    void addLine(int lineId, int authority, const std::string& code);
    void addRunLine(int company, long id, int authority, int lineId);
    void addConcors(int company, long id, int authority, bool minimum, double euro);
    // `isoDate` "YYYY-MM-DD".
    void addConkal(int company, long id, const std::string& isoDate, int authority, bool minimum, double euro);
    void addProtocol(int company, long number, const std::string& isoStart, const std::string& isoEnd, bool reset);
    void addMonth(int company, long id, long protocol, int year, int month, const std::string& flags);
    void addItinerarySplit(int company, long id, int sub);

    // Rows of `conkal`/`concors` as "ID|data|ente|minima|euro" texts
    // ("ID|ente|minima|euro" for concors), ordered by key.
    std::vector<std::string> conkalRows(int company, const std::string& extraWhere = "");
    std::vector<std::string> concorsRows(int company);

    bool isPostgres() const { return GetParam() == Backend::PostgresOdbc; }
    // The ODBC data source of the back end ("" for the file back end).
    std::string dataSource() const;

    TempDir dir;
    std::optional<tools::RawDatabase> raw;
    RecordingMessageSink sink;
    RecordingFeedback feedback;
    std::unique_ptr<DbConnection> connection;
};

// 31 day flags with 'S' on the given days.
std::string flagsOn(std::initializer_list<int> days);
// 31 day flags, 'S' everywhere.
std::string allDays();

#define KORVAN_ACCOUNTING_BACKENDS(suite)                                                                              \
    INSTANTIATE_TEST_SUITE_P(Backends, suite,                                                                          \
                             ::testing::Values(::korvan::test::Backend::SqliteFile,                                    \
                                               ::korvan::test::Backend::PostgresOdbc,                                  \
                                               ::korvan::test::Backend::SqliteOdbc),                                   \
                             ::korvan::test::backendName)

} // namespace korvan::test
