#pragma once

// gtest over the back ends of TestBackends.h: the parameter's name and
// printing, the instantiation on every back end, and the fixture that gives
// each test a fresh runs database with the program's connection to it.

#include "support/RecordingFeedback.h"
#include "support/RecordingMessageSink.h"
#include "support/TestBackends.h"
#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <ostream>
#include <string>

namespace korvan::test {

std::string backendParamName(const ::testing::TestParamInfo<Backend>& info);
// How gtest prints the parameter in failure reports.
void PrintTo(Backend backend, std::ostream* out);

// Skips the test when the back end's data source is not configured; fails
// it instead when the test command requires every back end.
#define KORVAN_REQUIRE_DATA_SOURCE(backend)                                                                            \
    if (::korvan::test::dataSourceMissing(backend)) {                                                                  \
        if (::korvan::test::odbcRequired())                                                                            \
            FAIL() << "the data source of " << ::korvan::test::backendName(backend) << " is not configured";           \
        GTEST_SKIP() << "no data source for " << ::korvan::test::backendName(backend);                                 \
    }

// A parameterized suite on every back end.
#define KORVAN_ALL_BACKENDS(suite)                                                                                     \
    INSTANTIATE_TEST_SUITE_P(Backends, suite, ::testing::ValuesIn(::korvan::test::kAllBackends),                       \
                             ::korvan::test::backendParamName)

// Every table of the runs database created fresh on the back end of the
// parameter, rows inserted with plain SQL (exec), results read back through
// the program's connection.
class RunsDatabaseTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;
    void TearDown() override;

    // Runs SQL on the fixture; fails the test on error.
    void exec(const std::string& sql);
    long count(const std::string& table, const std::string& where = "");

    bool isPostgres() const { return GetParam() == Backend::PostgresOdbc; }
    bool isOdbcBackend() const { return isOdbc(GetParam()); }
    // The ODBC data source of the back end ("" for the file back end).
    std::string dataSource() const { return dataSourceOf(GetParam()); }

    TempDir dir;
    std::optional<TestDatabase> database;
    // The raw connection of `database`, outside the program's layer.
    tools::RawDatabase* raw = nullptr;
    RecordingMessageSink sink;
    RecordingFeedback feedback;
    std::unique_ptr<DbConnection> connection;
};

} // namespace korvan::test
