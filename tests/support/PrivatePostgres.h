#pragma once

// A PostgreSQL server of the test's own, on a port of its own, for tests that
// stop and restart a server: the shared test server is never stopped. It is
// made with the binaries of the shared one (/usr/lib/postgresql/15/bin), as
// the postgres user when the tests run as root, and removed with the object.
// While it lives, a private odbc.ini (the test one plus a data source for
// this server) is the program's ODBC configuration.

#include <string>

namespace korvan::test {

class PrivatePostgres {
  public:
    PrivatePostgres();
    ~PrivatePostgres();
    PrivatePostgres(const PrivatePostgres&) = delete;
    PrivatePostgres& operator=(const PrivatePostgres&) = delete;

    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    int port() const { return port_; }
    // The data source of the server's "postgres" database, with the options
    // of the test data source.
    static constexpr const char* kDsn = "korvan_pg_private";
    // A connection string for RawDatabase.
    std::string connectionString() const { return std::string("DSN=") + kDsn + ";"; }

    // Fast shutdown (sessions are ended), and a start again; "" or the error.
    std::string stop();
    std::string start();

  private:
    std::string folder_;
    int port_ = 0;
    std::string error_;
    std::string savedOdbcIni_;
    bool hadOdbcIni_ = false;
};

} // namespace korvan::test
