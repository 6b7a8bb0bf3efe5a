#include "ScratchPostgres.h"

#include "support/TestSupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <cstdlib>

namespace korvan::test {

ScratchPostgres::ScratchPostgres(const std::string& name) : name_(name)
{
    tools::RawDatabase server = tools::RawDatabase::odbc(postgresDsn());
    if (!server.ok() || !server.exec("DROP DATABASE IF EXISTS " + name_) || !server.exec("CREATE DATABASE " + name_))
        error_ = server.error();
}

ScratchPostgres::~ScratchPostgres()
{
    tools::RawDatabase server = tools::RawDatabase::odbc(postgresDsn());
    server.exec("DROP DATABASE IF EXISTS " + name_);
}

std::string ScratchPostgres::connection() const
{
    return "DSN=" + postgresDsn() + ";Database=" + name_ + ";";
}

std::string ScratchPostgres::runPsqlScript(const std::string& path) const
{
    const char* port = std::getenv("KORVAN_TEST_PG_PORT");
    const std::string command = "psql -X -q -h 127.0.0.1 -p " + std::string(port ? port : "54329") +
                                " -U postgres -d " + name_ + " -f '" + path + "' 2>&1";
    FILE* pipe = popen(command.c_str(), "r");
    if (!pipe)
        return "cannot run psql";
    std::string output;
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe))
        output += buffer.data();
    const int status = pclose(pipe);
    return status == 0 ? std::string() : "psql status " + std::to_string(status) + ": " + output;
}

std::string ScratchPostgres::query(const std::string& sql) const
{
    tools::RawDatabase db = tools::RawDatabase::odbc(connection());
    return db.queryText(sql);
}

bool postgresConfigured()
{
    if (!postgresDsn().empty())
        return true;
    if (odbcRequired())
        ADD_FAILURE() << "KORVAN_TEST_PG_DSN is not set but every back end is required";
    return false;
}

} // namespace korvan::test
