#include "support/PrivatePostgres.h"

#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <sstream>

namespace korvan::test {

namespace {

const std::string kBinaries = "/usr/lib/postgresql/15/bin/";

// Runs a shell command; "" or its status and output.
std::string run(const std::string& command)
{
    FILE* pipe = popen((command + " 2>&1").c_str(), "r");
    if (!pipe)
        return "cannot run: " + command;
    std::string output;
    std::array<char, 512> buffer{};
    while (fgets(buffer.data(), static_cast<int>(buffer.size()), pipe))
        output += buffer.data();
    const int status = pclose(pipe);
    return status == 0 ? std::string() : command + ": status " + std::to_string(status) + "\n" + output;
}

std::string asServerUser(const std::string& command)
{
    return geteuid() == 0 ? "runuser -u postgres -- " + command : command;
}

bool portIsFree(int port)
{
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0)
        return false;
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool free = bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return free;
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

PrivatePostgres::PrivatePostgres()
{
    const char* sharedPort = std::getenv("KORVAN_TEST_PG_PORT");
    port_ = (sharedPort ? std::atoi(sharedPort) : 54329) + 1000;
    while (!portIsFree(port_) && port_ < 65000)
        port_ += 7;
    char pattern[] = "/tmp/korvan-private-pg-XXXXXX";
    if (!mkdtemp(pattern)) {
        error_ = "cannot create the server's folder";
        return;
    }
    folder_ = pattern;
    const std::string data = folder_ + "/pgdata";
    error_ = run("chmod 755 " + folder_ + " && install -d" +
                 std::string(geteuid() == 0 ? " -o postgres -g postgres " : " ") + data + " " + folder_ + "/socket");
    if (error_.empty())
        error_ = run(asServerUser(kBinaries + "initdb -D " + data + " -A trust -U postgres -E UTF8 --no-locale"));
    if (error_.empty())
        error_ = start();
    if (!error_.empty())
        return;

    // The test configuration, plus this server under its own name.
    const char* odbcIni = std::getenv("ODBCINI");
    hadOdbcIni_ = odbcIni != nullptr;
    savedOdbcIni_ = odbcIni ? odbcIni : "";
    std::ofstream(folder_ + "/odbc.ini") << (hadOdbcIni_ ? fileText(savedOdbcIni_) : std::string()) << "\n[" << kDsn
                                         << "]\nDescription = PostgreSQL Unicode\nDriver = PostgreSQL Unicode\n"
                                         << "Servername = 127.0.0.1\nPort = " << port_
                                         << "\nDatabase = postgres\nUsername = postgres\nProtocol = 7.4-2\n"
                                         << "UseDeclareFetch = 1\nFetch = 1000\nBoolsAsChar = 0\n"
                                         << "UseServerSidePrepare = 1\n";
    setenv("ODBCINI", (folder_ + "/odbc.ini").c_str(), 1);
}

PrivatePostgres::~PrivatePostgres()
{
    if (folder_.empty())
        return;
    run(asServerUser(kBinaries + "pg_ctl -D " + folder_ + "/pgdata -m immediate stop"));
    if (hadOdbcIni_)
        setenv("ODBCINI", savedOdbcIni_.c_str(), 1);
    else
        unsetenv("ODBCINI");
    run("rm -rf " + folder_);
}

std::string PrivatePostgres::start()
{
    return run(asServerUser(kBinaries + "pg_ctl -D " + folder_ + "/pgdata -l " + folder_ +
                            "/pgdata/server.log -w -o \"-p " + std::to_string(port_) + " -k " + folder_ +
                            "/socket -c listen_addresses=127.0.0.1 -c fsync=off\" start"));
}

std::string PrivatePostgres::stop()
{
    return run(asServerUser(kBinaries + "pg_ctl -D " + folder_ + "/pgdata -m fast -w stop"));
}

} // namespace korvan::test
