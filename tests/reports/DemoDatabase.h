#pragma once

// The demo runs database for the report tests, as `korvan-demo` makes it,
// on the SQLite file or loaded by psql into the PostgreSQL data source of
// the test servers (the program reaches PostgreSQL by data source name),
// with its lines extracted. On PostgreSQL the demo's tables are dropped
// again at the end: the data source's database is shared with the other
// test programs.

#include "DemoNetwork.h"
#include "SchemaCreator.h"
#include "core/OperationFeedback.h"
#include "db/DbConnection.h"
#include "db/MessageSink.h"
#include "support/BackendTest.h"

#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>

namespace korvan::test {

class DemoDatabaseTest : public ::testing::TestWithParam<Backend> {
  protected:
    void SetUp() override;
    void TearDown() override;

    // The network the test loads; the default demo unless overridden.
    virtual demo::DemoOptions demoOptions() const { return {3000, 2025}; }

    bool isPostgres() const { return GetParam() == Backend::PostgresOdbc; }
    void exec(const std::string& sql) { ASSERT_TRUE(raw->exec(sql)) << sql << "\n" << raw->error(); }
    // The first column of the first row as a whole number; fails the test
    // when there is none (wrap sums in COALESCE).
    long long queryNumber(const std::string& sql);

    TempDir dir;
    std::optional<tools::RawDatabase> raw;
    RecordingMessageSink sink;
    SilentFeedback feedback;
    std::unique_ptr<DbConnection> connection;

  private:
    void loadWithPsql(const demo::Network& network);
};

// The demo on the file back end and on PostgreSQL (SQLite through ODBC adds
// nothing the file does not check, at the price of a second load).
#define KORVAN_DEMO_BACKENDS(suite)                                                                                    \
    INSTANTIATE_TEST_SUITE_P(                                                                                          \
        Backends, suite,                                                                                               \
        ::testing::Values(::korvan::test::Backend::SqliteFile, ::korvan::test::Backend::PostgresOdbc),                 \
        ::korvan::test::backendParamName)

} // namespace korvan::test
