#include "ToolCommands.h"

#include "DemoNetwork.h"
#include "DemoOdbcWriter.h"
#include "DemoPostgresScript.h"
#include "DemoRows.h"
#include "DemoSqliteWriter.h"
#include "SchemaCreator.h"
#include "db/Values.h"

#include <chrono>
#include <optional>

namespace korvan::tools {

namespace {

const char* const kSchemaUsage = "Usage: korvan-schema (--sqlite FILE | --odbc DSN) [--drop] [--tables NAME,NAME...]\n"
                                 "Creates the tables of the KORVAN runs database.\n"
                                 "  --sqlite FILE    create them in this SQLite file (created when missing)\n"
                                 "  --odbc DSN       create them through ODBC: a data source name or a full\n"
                                 "                   connection string (\"DSN=...;UID=...;\")\n"
                                 "  --drop           drop each table first (its rows are lost)\n"
                                 "  --tables LIST    only these tables, separated by commas\n"
                                 "  --help           show this text\n"
                                 "Exit status: 0 done, 1 database error, 2 wrong usage.\n";

const char* const kDemoUsage = "Usage: korvan-demo [--runs N] [--year YYYY] [--out FILE.sqlite]\n"
                               "                   [--postgres-copy FILE.sql] [--odbc DSN] [--drop]\n"
                               "Generates the demo runs database: always the same for the same options.\n"
                               "  --out FILE         write a new SQLite file (an existing one is replaced)\n"
                               "  --postgres-copy FILE\n"
                               "                     write a psql script (CREATE TABLE and COPY) to load\n"
                               "                     with: psql -f FILE\n"
                               "  --odbc DSN         load it through ODBC into a data source whose tables\n"
                               "                     do not exist yet (or use --drop)\n"
                               "  --drop             drop the tables first (--odbc, and in the psql script)\n"
                               "  --runs N           number of runs, at least 100 (default 3000)\n"
                               "  --year YYYY        calendar year of the protocols and months (default 2025)\n"
                               "  --help             show this text\n"
                               "At least one of --out, --postgres-copy and --odbc is needed.\n"
                               "Exit status: 0 done, 1 database or file error, 2 wrong usage.\n";

std::vector<std::string> splitList(const std::string& text)
{
    std::vector<std::string> items;
    size_t start = 0;
    while (start <= text.size()) {
        const size_t comma = text.find(',', start);
        const std::string item = text.substr(start, comma == std::string::npos ? std::string::npos : comma - start);
        if (!item.empty())
            items.push_back(item);
        if (comma == std::string::npos)
            break;
        start = comma + 1;
    }
    return items;
}

// Reads the value after option arguments[i]; false when it is missing.
bool optionValue(const std::vector<std::string>& arguments, size_t& i, std::string& value, std::ostream& err)
{
    if (i + 1 >= arguments.size() || arguments[i + 1].empty()) {
        err << "korvan: " << arguments[i] << " needs a value\n";
        return false;
    }
    value = arguments[++i];
    return true;
}

long long elapsedMs(std::chrono::steady_clock::time_point since)
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
}

} // namespace

int runSchemaCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string sqlite, odbc, tableList;
    bool drop = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        if (a == "--help" || a == "-h") {
            out << kSchemaUsage;
            return kExitOk;
        }
        if (a == "--drop") {
            drop = true;
        } else if (a == "--sqlite" || a == "--odbc" || a == "--tables") {
            std::string& target = a == "--sqlite" ? sqlite : a == "--odbc" ? odbc : tableList;
            if (!optionValue(arguments, i, target, err))
                return kExitUsage;
        } else {
            err << "korvan-schema: unknown argument \"" << a << "\"\n" << kSchemaUsage;
            return kExitUsage;
        }
    }
    if (sqlite.empty() == odbc.empty()) {
        err << "korvan-schema: give exactly one of --sqlite FILE and --odbc DSN\n" << kSchemaUsage;
        return kExitUsage;
    }
    const std::vector<std::string> only = splitList(tableList);
    for (const std::string& name : only) {
        if (!schema::table(name)) {
            err << "korvan-schema: \"" << name << "\" is not a table of the runs database\n";
            return kExitUsage;
        }
    }
    RawDatabase db = sqlite.empty() ? RawDatabase::odbc(odbc) : RawDatabase::sqliteFile(sqlite);
    const std::string where = sqlite.empty() ? "data source " + odbc : sqlite;
    if (!db.ok()) {
        err << "korvan-schema: cannot open " << where << ": " << db.error() << "\n";
        return kExitFailed;
    }
    std::string error;
    if (!createTables(db, drop, error, only)) {
        err << "korvan-schema: " << where << ": " << error << "\n";
        if (!drop)
            err << "korvan-schema: if the tables already exist, --drop replaces them (their rows are lost)\n";
        return kExitFailed;
    }
    const size_t count = only.empty() ? schema::tables().size() : only.size();
    out << "korvan-schema: " << count << (count == 1 ? " table" : " tables") << " created in " << where << "\n";
    return kExitOk;
}

int runDemoCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err)
{
    std::string sqliteFile, scriptFile, odbc;
    demo::DemoOptions options;
    bool drop = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& a = arguments[i];
        std::string value;
        if (a == "--help" || a == "-h") {
            out << kDemoUsage;
            return kExitOk;
        }
        if (a == "--drop") {
            drop = true;
        } else if (a == "--out" || a == "--postgres-copy" || a == "--odbc") {
            std::string& target = a == "--out" ? sqliteFile : a == "--odbc" ? odbc : scriptFile;
            if (!optionValue(arguments, i, target, err))
                return kExitUsage;
        } else if (a == "--runs" || a == "--year") {
            if (!optionValue(arguments, i, value, err))
                return kExitUsage;
            const std::optional<long long> number = parseWholeInteger(value);
            const bool runs = a == "--runs";
            if (!number || (runs && (*number < demo::kMinimumRuns || *number > 5000000)) ||
                (!runs && (*number < 1901 || *number > 2399))) {
                err << "korvan-demo: " << a << " \"" << value << "\" is not "
                    << (runs ? "a number of runs from 100 to 5000000" : "a year from 1901 to 2399") << "\n";
                return kExitUsage;
            }
            if (runs)
                options.runs = static_cast<long>(*number);
            else
                options.year = static_cast<int>(*number);
        } else {
            err << "korvan-demo: unknown argument \"" << a << "\"\n" << kDemoUsage;
            return kExitUsage;
        }
    }
    if (sqliteFile.empty() && scriptFile.empty() && odbc.empty()) {
        err << "korvan-demo: nothing to write: give --out, --postgres-copy or --odbc\n" << kDemoUsage;
        return kExitUsage;
    }

    // With the script on standard output, the progress lines go to the
    // error stream so that the output can be piped into psql.
    const bool scriptToOutput = scriptFile == "-";
    std::ostream& progress = scriptToOutput ? err : out;

    auto started = std::chrono::steady_clock::now();
    const demo::Network network = demo::generateNetwork(options);
    progress << "korvan-demo: " << network.runs.size() << " runs, " << demo::rowCount(network, "orari")
             << " passing times, " << network.months.size() << " month calendars of " << options.year
             << " generated in " << elapsedMs(started) << " ms\n";

    std::string error;
    if (!sqliteFile.empty()) {
        started = std::chrono::steady_clock::now();
        if (!demo::writeSqliteFile(network, sqliteFile, error)) {
            err << "korvan-demo: cannot write " << sqliteFile << ": " << error << "\n";
            return kExitFailed;
        }
        progress << "korvan-demo: wrote " << sqliteFile << " in " << elapsedMs(started) << " ms\n";
    }
    if (scriptToOutput) {
        if (!demo::writePostgresScript(network, out, drop) || !out.flush()) {
            err << "korvan-demo: cannot write the psql script to standard output\n";
            return kExitFailed;
        }
    } else if (!scriptFile.empty()) {
        started = std::chrono::steady_clock::now();
        if (!demo::writePostgresScriptFile(network, scriptFile, drop, error)) {
            err << "korvan-demo: cannot write " << scriptFile << ": " << error << "\n";
            return kExitFailed;
        }
        progress << "korvan-demo: wrote " << scriptFile << " in " << elapsedMs(started) << " ms (load it with psql -f "
                 << scriptFile << ")\n";
    }
    if (!odbc.empty()) {
        started = std::chrono::steady_clock::now();
        if (!demo::writeOdbc(network, odbc, drop, error)) {
            err << "korvan-demo: cannot load data source " << odbc << ": " << error << "\n";
            if (!drop)
                err << "korvan-demo: if the tables already exist, --drop replaces them (their rows are lost)\n";
            return kExitFailed;
        }
        progress << "korvan-demo: loaded data source " << odbc << " in " << elapsedMs(started) << " ms\n";
    }
    return kExitOk;
}

} // namespace korvan::tools
