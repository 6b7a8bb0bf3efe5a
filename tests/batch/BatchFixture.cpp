#include "batch/BatchFixture.h"

#include "core/SqlText.h"
#include "db/Values.h"

#include <sys/wait.h>

#include <cstdlib>
#include <fstream>
#include <sstream>

namespace korvan::test {

namespace {

std::string shellQuoted(const std::string& text)
{
    std::string quoted = "'";
    for (char c : text)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

std::string fileText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

} // namespace

std::string batchProgram()
{
    const char* other = std::getenv("KORVAN_TEST_BATCH_PROGRAM");
    return other && *other ? other : KORVAN_BATCH_PROGRAM;
}

BatchRun runBatchProgram(const std::vector<std::string>& arguments, const std::string& workDir)
{
    std::string command = shellQuoted(batchProgram());
    for (const std::string& argument : arguments)
        command += " " + shellQuoted(argument);
    const std::string outPath = workDir + "/batch.out", errPath = workDir + "/batch.err";
    command += " </dev/null >" + shellQuoted(outPath) + " 2>" + shellQuoted(errPath);
    BatchRun run;
    const int status = std::system(command.c_str());
    run.status = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    run.out = fileText(outPath);
    run.err = fileText(errPath);
    return run;
}

BatchRun BatchDbTest::batch(const std::string& subcommand, const std::vector<std::string>& arguments)
{
    std::vector<std::string> all{subcommand};
    if (isOdbcBackend())
        all.insert(all.end(), {"--dsn", dataSource()});
    else
        all.insert(all.end(), {"--db", database->sqlitePath()});
    all.insert(all.end(), arguments.begin(), arguments.end());
    return runBatchProgram(all, dir.path());
}

void BatchDbTest::addAuthority(int code, const std::string& name)
{
    exec(formatText("INSERT INTO regent (codice, denom) VALUES (%d, ", code) + quoteSqlText(name) + ")");
}

void BatchDbTest::addCompany(int code, const std::string& name)
{
    exec(formatText("INSERT INTO regazi (codice, denom) VALUES (%d, ", code) + quoteSqlText(name) + ")");
}

} // namespace korvan::test
