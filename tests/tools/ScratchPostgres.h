#pragma once

// A fresh PostgreSQL database on the test server, for tests that create
// tables: each test gets its own, so tests can run side by side.

#include "SchemaCreator.h"

#include <string>

namespace korvan::test {

class ScratchPostgres {
  public:
    // Drops and creates database `name` through the test data source.
    explicit ScratchPostgres(const std::string& name);
    ~ScratchPostgres();
    ScratchPostgres(const ScratchPostgres&) = delete;
    ScratchPostgres& operator=(const ScratchPostgres&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    // ODBC connection string for the new database.
    std::string connection() const;
    // Loads a psql script into it with the psql client; "" on success, else
    // psql's exit status and output.
    std::string runPsqlScript(const std::string& path) const;
    // One query's first value.
    std::string query(const std::string& sql) const;

  private:
    std::string name_;
    std::string error_;
};

// True when PostgreSQL tests should run; records a failure when the test
// command required every back end and none is configured.
bool postgresConfigured();

} // namespace korvan::test
