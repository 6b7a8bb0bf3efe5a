#include "batch/BatchImport.h"

#include "batch/BatchSink.h"
#include "db/DbConnection.h"
#include "db/Values.h"
#include "gtfs/GtfsImport.h"

#include <memory>
#include <optional>

namespace korvan::batch {

namespace {

struct ImportOptions {
    bool help = false;
    gtfs::ImportRequest request;
    std::string dbFile, dsn;
    bool replace = false;
    std::optional<int> rowset;
};

// "" when the command line is well formed.
std::string parseImportOptions(const std::vector<std::string>& arguments, ImportOptions& options)
{
    bool haveDb = false, haveDsn = false, haveMapping = false;
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        auto value = [&](std::string& target, bool& given) -> std::string {
            if (given)
                return word + " given twice";
            if (i + 1 >= arguments.size())
                return word + " needs a value";
            given = true;
            target = arguments[++i];
            return "";
        };
        std::string problem;
        if (word == "--help" || word == "-h") {
            options.help = true;
        } else if (word == "--db") {
            problem = value(options.dbFile, haveDb);
        } else if (word == "--dsn") {
            problem = value(options.dsn, haveDsn);
        } else if (word == "--authorities") {
            problem = value(options.request.mappingPath, haveMapping);
        } else if (word == "--replace") {
            options.replace = true;
        } else if (word == "--rowset") {
            std::string text;
            bool given = options.rowset.has_value();
            problem = value(text, given);
            const std::optional<long long> count = parseWholeInteger(text);
            if (problem.empty() && (!count || *count < 1 || *count > 100000))
                problem = "--rowset needs a whole number from 1 to 100000";
            if (problem.empty())
                options.rowset = static_cast<int>(*count);
        } else if (word.rfind("-", 0) == 0 && word != "-") {
            problem = "unknown option \"" + word + "\"";
        } else if (options.request.feedPath.empty()) {
            options.request.feedPath = word;
        } else {
            problem = "unexpected argument \"" + word + "\"";
        }
        if (!problem.empty())
            return problem;
    }
    if (options.help)
        return "";
    if (options.request.feedPath.empty())
        return "give the feed: a GTFS folder or .zip file";
    if (haveDb == haveDsn)
        return "give exactly one of --db FILE and --dsn NAME";
    if (options.replace && haveDsn)
        return "--replace goes only with --db: a data source is never emptied";
    return "";
}

} // namespace

std::string importGtfsUsage()
{
    return "Usage: korvan-batch import-gtfs FEED (--db FILE [--replace] | --dsn NAME)\n"
           "         [--authorities MAP.csv] [--rowset N]\n"
           "Makes a new runs database from a GTFS feed (a folder or a .zip file): the tables,\n"
           "the companies, authorities, runs, routes, arcs, stops, passing times, month\n"
           "calendars and one type-B protocol over the feed's validity; the accounting\n"
           "tables are left empty. A faulty feed is refused with the file, line and field,\n"
           "and nothing is written.\n"
           "  --db FILE            a new SQLite file, made only when the import succeeds\n"
           "  --replace            with --db: FILE may exist and is replaced\n"
           "  --dsn NAME           an ODBC data source whose database has none of the tables\n"
           "  --authorities FILE   who grants which runs: lines \"KEY;CODE;NAME\" (UTF-8), KEY\n"
           "                       a route_id, route_short_name or agency_id; without it one\n"
           "                       authority per agency\n"
           "  --rowset N           rows per block written (default 1000 into a file, 25 over ODBC)\n"
           "Exit status: 0 done, 1 refused feed, target or database error, 2 wrong usage.\n";
}

int runImportGtfs(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                  const Terminal& terminal)
{
    ImportOptions options;
    const std::string problem = parseImportOptions(arguments, options);
    if (options.help) {
        out << importGtfsUsage();
        return kExitOk;
    }
    if (!problem.empty()) {
        err << "korvan-batch: " << problem << '\n' << importGtfsUsage();
        return kExitUsage;
    }
    TerminalFeedback feedback(err, terminal.errorIsTerminal, terminal.stop);
    BatchMessageSink sink(out, err, true, nullptr, feedback, terminal.stop);
    bool done = false;
    if (!options.dbFile.empty()) {
        done = gtfs::importIntoNewFile(options.request, options.dbFile, options.replace, sink, feedback,
                                       options.rowset.value_or(gtfs::kNewFileRowsetSize));
    } else {
        std::string driver;
        const int rowset = options.rowset.value_or(DbConnection::kDefaultRowsetSizeOrdinary);
        std::unique_ptr<DbConnection> connection =
            DbConnection::openOdbc(options.dsn, driver, rowset, DbConnection::kDefaultRowsetSizeBlob, sink);
        done = connection->IsOpen() && gtfs::importIntoConnection(options.request, connection.get(), sink, feedback);
    }
    feedback.closeLine();
    return done && !sink.failed() ? kExitOk : kExitFailed;
}

} // namespace korvan::batch
