#pragma once

// Runs the korvan-batch executable on the accounting fixture databases: the
// SQLite file itself (--db) or the PostgreSQL data source (--dsn), standard
// input not a terminal, both output streams kept.

#include "support/AccountingFixture.h"

#include <string>
#include <vector>

namespace korvan::test {

struct BatchRun {
    int status = -1;
    std::string out;
    std::string err;
};

// The program under test: the one built with the tests, or the one named by
// KORVAN_TEST_BATCH_PROGRAM (to run the tests against another build).
std::string batchProgram();

// Runs the executable with the arguments as given.
BatchRun runBatchProgram(const std::vector<std::string>& arguments, const std::string& workDir);

class BatchDbTest : public AccountingDbTest {
  protected:
    // The subcommand, the connection of the fixture, then the rest.
    BatchRun batch(const std::string& subcommand, const std::vector<std::string>& arguments);

    void addAuthority(int code, const std::string& name);
    void addCompany(int code, const std::string& name);
};

// The program's two connection options: --db on the file back end, --dsn on
// PostgreSQL through ODBC (the layer under both is tested on every back end).
#define KORVAN_BATCH_BACKENDS(suite)                                                                                   \
    INSTANTIATE_TEST_SUITE_P(                                                                                          \
        Backends, suite,                                                                                               \
        ::testing::Values(::korvan::test::Backend::SqliteFile, ::korvan::test::Backend::PostgresOdbc),                 \
        ::korvan::test::backendParamName)

} // namespace korvan::test
