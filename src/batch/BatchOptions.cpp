#include "batch/BatchOptions.h"

#include "accounting/AccountingInput.h"
#include "db/Values.h"
#include "runs/RunOrder.h"

#include <algorithm>
#include <cctype>
#include <set>

namespace korvan::batch {

namespace {

struct OptionSpec {
    const char* name;
    int values;
};

// Every option and the number of values it takes.
const OptionSpec kOptions[] = {
    {"--db", 1},
    {"--dsn", 1},
    {"--rowset", 1},
    {"--rowset-blob", 1},
    {"--wait", 1},
    {"--yes", 0},
    {"--help", 0},
    {"--authority", 1},
    {"--company", 1},
    {"--euro-km", 1},
    {"--minimum", 0},
    {"--additional", 1},
    {"--keep-existing", 0},
    {"--line", 1},
    {"--band", 1},
    {"--period", 2},
    {"--weekdays", 1},
    {"--all-contracts", 0},
    {"--mode", 1},
    {"--pdf", 1},
    {"--csv", 1},
    {"--synthetic", 0},
    {"--order", 1},
    {"--line-number", 1},
    {"--from-db", 1},
    {"--from-dsn", 1},
    {"--from-jet", 1},
    {"--tables", 1},
    {"--skip-bad-values", 0},
    {"--version", 0},
};

const OptionSpec* findOption(const std::string& name)
{
    for (const OptionSpec& spec : kOptions)
        if (name == spec.name)
            return &spec;
    return nullptr;
}

// The options a subcommand takes besides the connection, --yes and --help.
std::set<std::string> commandOptions(Command command)
{
    switch (command) {
    case Command::Assign:
        return {"--authority",     "--company", "--euro-km", "--minimum", "--additional",
                "--keep-existing", "--line",    "--band",    "--period",  "--weekdays"};
    case Command::GenerateDays:
        return {"--authority", "--company", "--period", "--all-contracts"};
    case Command::Remove:
        return {"--authority", "--company", "--mode"};
    case Command::List:
        return {"--authority", "--company"};
    case Command::Runs:
        return {"--authority", "--company", "--line", "--line-number", "--order", "--csv"};
    case Command::Report:
        return {"--authority", "--period", "--synthetic", "--pdf", "--csv"};
    case Command::Copy:
        return {"--from-db", "--from-dsn", "--from-jet", "--tables", "--skip-bad-values"};
    case Command::ExtractLines:
    case Command::None:
        break;
    }
    return {};
}

// The longest --wait: a day.
constexpr long long kLongestWaitSeconds = 86400;

std::optional<Command> commandNamed(const std::string& name)
{
    if (name == "extract-lines")
        return Command::ExtractLines;
    if (name == "assign")
        return Command::Assign;
    if (name == "generate-days")
        return Command::GenerateDays;
    if (name == "remove")
        return Command::Remove;
    if (name == "list")
        return Command::List;
    if (name == "runs")
        return Command::Runs;
    if (name == "report")
        return Command::Report;
    if (name == "copy")
        return Command::Copy;
    return std::nullopt;
}

// "Order Details,Umsätze": the names between commas, blanks around each
// dropped (a name's own blanks stay).
std::vector<std::string> splitNameList(const std::string& text)
{
    std::vector<std::string> names;
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find(',', begin);
        if (end == std::string::npos)
            end = text.size();
        std::string name = text.substr(begin, end - begin);
        const size_t first = name.find_first_not_of(' ');
        if (first != std::string::npos)
            names.push_back(name.substr(first, name.find_last_not_of(' ') - first + 1));
        begin = end + 1;
    }
    return names;
}

std::string lowerCase(std::string text)
{
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
    return text;
}

std::optional<int> positiveCount(const std::string& text)
{
    const std::optional<long long> value = parseWholeInteger(text);
    if (!value || *value < 1 || *value > 100000)
        return std::nullopt;
    return static_cast<int>(*value);
}

// Checks what only the whole command line can tell; "" when it is fine.
std::string shapeError(const BatchOptions& o, const std::set<std::string>& given)
{
    auto has = [&given](const char* name) { return given.count(name) != 0; };
    if (o.command == Command::None)
        return "no subcommand given";
    if (has("--db") == has("--dsn"))
        return "give exactly one of --db FILE and --dsn NAME";
    const std::set<std::string> allowed = commandOptions(o.command);
    for (const std::string& name : given) {
        const bool common = name == "--db" || name == "--dsn" || name == "--rowset" || name == "--rowset-blob" ||
                            name == "--wait" || name == "--yes" || name == "--help";
        if (!common && allowed.count(name) == 0)
            return name + " is not an option of this subcommand";
    }
    switch (o.command) {
    case Command::Assign: {
        if (!o.authority || !o.company)
            return "give the contract: --authority CODE --company CODE";
        if (!o.euroPerKm)
            return "give the price per km: --euro-km AMOUNT";
        if (has("--minimum") && has("--additional"))
            return "give either --minimum or --additional PAYER, not both";
        const int scopes = int(has("--line")) + int(has("--band")) + int(has("--period"));
        if (scopes > 1)
            return "give at most one of --line, --band and --period";
        if (has("--weekdays") && !has("--period"))
            return "--weekdays goes with --period";
        break;
    }
    case Command::GenerateDays:
        if (!has("--period"))
            return "give the period: --period FROM TO";
        if (o.allContracts && (o.authority || o.company))
            return "give either --all-contracts or --authority and --company";
        if (!o.allContracts && (!o.authority || !o.company))
            return "give the contract (--authority CODE --company CODE) or --all-contracts";
        break;
    case Command::Remove:
        if (o.removalMode == 0)
            return "give --mode additional, calendar or itinerary";
        if (!o.authority || !o.company)
            return "give the contract: --authority CODE --company CODE";
        break;
    case Command::List:
        if (o.listKind.empty())
            return "give what to list: authorities, companies, contracts or lines";
        if ((o.listKind == "companies" || o.listKind == "lines") && !o.authority)
            return "list " + o.listKind + " needs --authority CODE";
        if (o.listKind != "lines" && o.company)
            return "--company goes only with list lines";
        if ((o.listKind == "authorities" || o.listKind == "contracts") && o.authority)
            return "--authority does not go with list " + o.listKind;
        break;
    case Command::Runs:
        if (!o.authority || !o.company || o.line.has_value() == o.lineNumber.has_value())
            return "give the contract line: --authority CODE --company CODE and either --line CODE or "
                   "--line-number NUMBER";
        break;
    case Command::Report: {
        if (o.reportKind.empty())
            return "give the report: lines, contracts or contributions";
        const bool statement = o.reportKind != "lines";
        if (statement && !has("--period"))
            return "report " + o.reportKind + " needs the period: --period FROM TO";
        if (!statement && (has("--period") || has("--synthetic")))
            return "--period and --synthetic go only with report contracts and report contributions";
        if (!o.pdfFile && !o.csvFile)
            return "give the output: --pdf FILE and/or --csv FILE (\"-\" for standard output)";
        if (o.pdfFile && o.csvFile && *o.pdfFile == *o.csvFile)
            return "--pdf and --csv cannot both write " + (*o.pdfFile == "-" ? "standard output" : *o.pdfFile);
        break;
    }
    case Command::Copy: {
        const int sources = int(has("--from-db")) + int(has("--from-dsn")) + int(has("--from-jet"));
        if (sources != 1)
            return "give exactly one source: --from-db FILE, --from-dsn NAME or --from-jet FILE";
        if (has("--tables") && o.tables.empty())
            return "--tables needs the names of the tables, separated by commas";
        break;
    }
    case Command::ExtractLines:
    case Command::None:
        break;
    }
    return "";
}

} // namespace

std::optional<std::array<bool, 7>> parseWeekdayList(const std::string& text)
{
    std::array<bool, 7> days{};
    size_t begin = 0;
    while (begin <= text.size()) {
        size_t end = text.find(',', begin);
        if (end == std::string::npos)
            end = text.size();
        const std::string name = lowerCase(text.substr(begin, end - begin));
        int found = -1;
        for (int day = 0; day < 7; ++day)
            if (name == lowerCase(accounting::weekdayName(day)))
                found = day;
        if (found < 0)
            return std::nullopt;
        days[static_cast<size_t>(found)] = true;
        begin = end + 1;
    }
    return days;
}

std::string commandName(Command command)
{
    for (const char* name : {"extract-lines", "assign", "generate-days", "remove", "list", "runs", "report", "copy"})
        if (commandNamed(name) == command)
            return name;
    return "";
}

ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments)
{
    ParsedCommandLine parsed;
    BatchOptions& o = parsed.options;
    std::set<std::string> given;
    auto fail = [&parsed](const std::string& text) {
        parsed.usageError = text;
        return parsed;
    };
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& word = arguments[i];
        if (word.rfind("-", 0) != 0 || word == "-") {
            if (o.command == Command::None) {
                const std::optional<Command> command = commandNamed(word);
                if (!command)
                    return fail("unknown subcommand \"" + word + "\"");
                o.command = *command;
            } else if (o.command == Command::List && o.listKind.empty()) {
                if (word != "authorities" && word != "companies" && word != "contracts" && word != "lines")
                    return fail("cannot list \"" + word + "\": give authorities, companies, contracts or lines");
                o.listKind = word;
            } else if (o.command == Command::Report && o.reportKind.empty()) {
                if (word != "lines" && word != "contracts" && word != "contributions")
                    return fail("no report \"" + word + "\": give lines, contracts or contributions");
                o.reportKind = word;
            } else {
                return fail("unexpected argument \"" + word + "\"");
            }
            continue;
        }
        const std::string name = word == "-h" ? "--help" : word;
        const OptionSpec* spec = findOption(name);
        if (!spec)
            return fail("unknown option \"" + word + "\"");
        if (!given.insert(name).second)
            return fail(name + " given twice");
        if (spec->values > 0 && i + static_cast<size_t>(spec->values) >= arguments.size())
            return fail(name + " needs a value");
        std::vector<std::string> values(arguments.begin() + static_cast<long>(i) + 1,
                                        arguments.begin() + static_cast<long>(i) + 1 + spec->values);
        i += static_cast<size_t>(spec->values);

        if (name == "--help") {
            o.help = true;
        } else if (name == "--version") {
            o.version = true;
        } else if (name == "--yes") {
            o.yes = true;
        } else if (name == "--db") {
            o.connection.dbFile = values[0];
        } else if (name == "--dsn") {
            o.connection.dsn = values[0];
        } else if (name == "--rowset" || name == "--rowset-blob") {
            const std::optional<int> count = positiveCount(values[0]);
            if (!count)
                return fail(name + " needs a whole number from 1 to 100000");
            (name == "--rowset" ? o.connection.rowsetSize : o.connection.rowsetSizeBlob) = *count;
            o.connection.rowsetGiven = o.connection.rowsetGiven || name == "--rowset";
        } else if (name == "--wait") {
            const std::optional<long long> seconds = parseWholeInteger(values[0]);
            if (!seconds || *seconds < 0 || *seconds > kLongestWaitSeconds)
                return fail("--wait needs a whole number of seconds from 0 to 86400");
            o.connection.waitSeconds = static_cast<int>(*seconds);
        } else if (name == "--authority") {
            o.authority = values[0];
        } else if (name == "--company") {
            o.company = values[0];
        } else if (name == "--euro-km") {
            o.euroPerKm = values[0];
        } else if (name == "--additional") {
            o.payer = values[0];
        } else if (name == "--keep-existing") {
            o.keepExisting = true;
        } else if (name == "--line") {
            o.line = values[0];
        } else if (name == "--line-number") {
            o.lineNumber = values[0];
        } else if (name == "--band") {
            o.band = values[0];
        } else if (name == "--period") {
            o.periodStart = values[0];
            o.periodEnd = values[1];
        } else if (name == "--weekdays") {
            const std::optional<std::array<bool, 7>> days = parseWeekdayList(values[0]);
            if (!days)
                return fail("--weekdays takes names among Lunedi,Martedi,Mercoledi,Giovedi,Venerdi,Sabato,Domenica");
            o.weekdays = *days;
        } else if (name == "--all-contracts") {
            o.allContracts = true;
        } else if (name == "--order") {
            if (!runs::runOrderNamed(values[0]))
                return fail("--order takes one of id, code, payer, length, duration, amount, departure, arrival, "
                            "departure-stop, arrival-stop, days, first-day, last-day (or its character)");
            o.order = values[0];
        } else if (name == "--mode") {
            if (values[0] == "additional")
                o.removalMode = 'A';
            else if (values[0] == "calendar")
                o.removalMode = 'K';
            else if (values[0] == "itinerary")
                o.removalMode = 'I';
            else
                return fail("--mode is additional, calendar or itinerary");
        } else if (name == "--pdf") {
            o.pdfFile = values[0];
        } else if (name == "--csv") {
            o.csvFile = values[0];
        } else if (name == "--synthetic") {
            o.synthetic = true;
        } else if (name == "--from-db") {
            o.fromDb = values[0];
        } else if (name == "--from-dsn") {
            o.fromDsn = values[0];
        } else if (name == "--from-jet") {
            o.fromJet = values[0];
        } else if (name == "--tables") {
            o.tables = splitNameList(values[0]);
        } else if (name == "--skip-bad-values") {
            o.skipBadValues = true;
        }
    }
    if (o.help || o.version)
        return parsed;
    parsed.usageError = shapeError(o, given);
    return parsed;
}

std::string usageText(Command command)
{
    const std::string connection = "Connection (every subcommand):\n"
                                   "  --db FILE            the runs database in a SQLite file\n"
                                   "  --dsn NAME           an ODBC data source\n"
                                   "  --rowset N           rows per block transfer (default 25)\n"
                                   "  --rowset-blob N      rows per block transfer with long fields (default 1)\n"
                                   "  --wait SECONDS       wait up to SECONDS for a contract or the database in use\n"
                                   "                       by a colleague (default 0: refuse at once, status 1)\n";
    const std::string exits = "Exit status: 0 done, 1 refused entry, unconfirmed or database error, 2 wrong usage.\n";
    switch (command) {
    case Command::ExtractLines:
        return "Usage: korvan-batch extract-lines (--db FILE | --dsn NAME) [--yes]\n"
               "Rebuilds the normalized lines from the runs; every earlier line, line assignment\n"
               "and line name is removed first.\n"
               "  --yes                confirm (needed when standard input is not a terminal)\n" +
               connection + exits;
    case Command::Assign:
        return "Usage: korvan-batch assign (--db FILE | --dsn NAME) --authority CODE --company CODE\n"
               "         --euro-km AMOUNT [--minimum | --additional PAYER] [--keep-existing]\n"
               "         [--line CODE | --band FROM-TO | --period FROM TO [--weekdays DAYS]] [--yes]\n"
               "Assigns the base accounting values to the runs of a contract: all of them, those of\n"
               "one normalized line, those inside a time band, or their service days in a period.\n"
               "  --authority CODE     granting authority (see: list authorities)\n"
               "  --company CODE       operating company (see: list companies --authority CODE)\n"
               "  --euro-km AMOUNT     price per km, up to 8 characters (\"0,75\" or \"0.75\")\n"
               "  --minimum            minimum service of the granting authority (the default)\n"
               "  --additional PAYER   additional service paid by the authority PAYER\n"
               "  --keep-existing      leave runs (or days) that already have values as they are\n"
               "  --line CODE          only the runs of the normalized line with this code\n"
               "                       (see: list lines --authority CODE --company CODE)\n"
               "  --band FROM-TO       only runs departing at or after FROM and arriving by TO,\n"
               "                       times as HH.MM (\"06.00-09.30\")\n"
               "  --period FROM TO     service days from FROM to TO, dates as DD/MM/YYYY or DD/MM/YY\n"
               "  --weekdays DAYS      with --period: comma-separated among Lunedi, Martedi,\n"
               "                       Mercoledi, Giovedi, Venerdi, Sabato, Domenica (default all)\n"
               "  --yes                confirm (needed when standard input is not a terminal)\n" +
               connection + exits;
    case Command::GenerateDays:
        return "Usage: korvan-batch generate-days (--db FILE | --dsn NAME)\n"
               "         (--authority CODE --company CODE | --all-contracts) --period FROM TO [--yes]\n"
               "Regenerates the service days of a contract, or of every contract, in a period\n"
               "(dates as DD/MM/YYYY or DD/MM/YY). With --all-contracts each result follows a line\n"
               "\"Ente CODE Azienda CODE\".\n"
               "  --yes                confirm (needed when standard input is not a terminal)\n" +
               connection + exits;
    case Command::Remove:
        return "Usage: korvan-batch remove (--db FILE | --dsn NAME) --mode additional|calendar|itinerary\n"
               "         --authority CODE --company CODE [--yes]\n"
               "Removes a layer of accounting detail of a contract:\n"
               "  additional           additional financing goes back to minimum service\n"
               "  calendar             days split from their run go back to minimum service\n"
               "  itinerary            the itinerary splits are deleted\n"
               "  --yes                confirm (needed when standard input is not a terminal)\n" +
               connection + exits;
    case Command::List:
        return "Usage: korvan-batch list (--db FILE | --dsn NAME) authorities|companies|contracts|lines\n"
               "         [--authority CODE [--company CODE]]\n"
               "Prints the entries the dialogs offer, one a line, so that scripts can find codes:\n"
               "  authorities          every authority (\"0012 - Name\")\n"
               "  companies            companies of --authority CODE (\"0003 - Name\")\n"
               "  contracts            authority and company entries of every contract, tab-separated\n"
               "  lines                lines of --authority CODE (\"0004 - CODE\"), or with\n"
               "                       --company CODE the contract's lines (\"CODE       - Name\")\n" +
               connection + exits;
    case Command::Runs: {
        std::string orders;
        for (const runs::RunOrder& order : runs::runOrders())
            orders += formatText("      %-15s %c  %s\n", order.name, order.code, order.description);
        return "Usage: korvan-batch runs (--db FILE | --dsn NAME) --authority CODE --company CODE\n"
               "         (--line CODE | --line-number NUMBER) [--order ORDER] [--csv FILE]\n"
               "Prints the runs of a contract's normalized line as the run browser lists them, as CSV\n"
               "(\";\" between fields, decimal comma, UTF-8 with a byte-order mark, a header row): the\n"
               "contract and line, then ID, run code, departure and arrival, length, financing, paying\n"
               "authority, amount, service days with the first and last, and the CAL and PERC marks (1/0).\n"
               "  --authority CODE     granting authority (see: list authorities)\n"
               "  --company CODE       operating company (see: list companies --authority CODE)\n"
               "  --line CODE          the line's code, as assign --line takes it (see: list lines\n"
               "                       --authority CODE --company CODE); a code of two lines of the\n"
               "                       contract is refused with their numbers\n"
               "  --line-number NUMBER the line's number (see: list lines --authority CODE)\n"
               "  --order ORDER        the order of the rows, each ending with the run ID (default id):\n" +
               orders + "  --csv FILE           write the CSV to FILE (\"-\" or none: standard output)\n" + connection +
               exits;
    }
    case Command::Report:
        return "Usage: korvan-batch report (--db FILE | --dsn NAME) lines|contracts|contributions\n"
               "         [--authority CODE] [--period FROM TO [--synthetic]] [--pdf FILE] [--csv FILE]\n"
               "Writes a report as the desktop prints it, as PDF (A4) and/or as CSV (\";\" separated,\n"
               "decimal comma, UTF-8):\n"
               "  lines                the directory of normalized lines with their runs\n"
               "  contracts            the service contracts statement\n"
               "  contributions        the additional contributions statement\n"
               "  --authority CODE     one authority (lines, contracts: granting authority;\n"
               "                       contributions: paying authority); default every authority\n"
               "  --period FROM TO     contracts and contributions: the period, dates as DD/MM/YYYY\n"
               "                       or DD/MM/YY\n"
               "  --synthetic          contracts and contributions: the totals only\n"
               "  --pdf FILE           write the PDF (\"-\": standard output)\n"
               "  --csv FILE           write the CSV (\"-\": standard output)\n"
               "A report without rows writes nothing and says \"Non ci sono dati da stampare !!!\" (status 1).\n" +
               connection + exits;
    case Command::Copy:
        return "Usage: korvan-batch copy (--from-db FILE | --from-dsn NAME | --from-jet FILE)\n"
               "         (--db FILE | --dsn NAME) [--tables NAME,NAME...] [--skip-bad-values]\n"
               "Copies a runs database into a new one: every table of the runs database the source\n"
               "has (the accounting tables too), created from the program's schema description, in\n"
               "one transaction on the target. Each table is then read back and its row count and\n"
               "checksum compared with the source's; any difference undoes the copy. A new file\n"
               "appears only when the copy is complete.\n"
               "  --from-db FILE       the source: a SQLite file (read only)\n"
               "  --from-dsn NAME      the source: an ODBC data source\n"
               "  --from-jet FILE      the source: a JET file (*.mdb, *.accdb), read through MDB Tools\n"
               "  --db FILE            the target: a new SQLite file (it must not exist)\n"
               "  --dsn NAME           the target: an ODBC data source without the tables to copy\n"
               "  --tables NAME,...    copy only these tables, of any source, each created from the\n"
               "                       source's own columns (names as the source spells them)\n"
               "  --skip-bad-values    store NULL where the target cannot hold a value (an impossible\n"
               "                       date, a number out of range, a text longer than its column) and\n"
               "                       list each; without it the first such value stops the copy\n"
               "  --rowset N           rows per block transfer (default 1000)\n"
               "Exit status: 0 copied and verified, 1 refused or failed (no target is left), 2 wrong usage.\n";
    case Command::None:
        break;
    }
    return "Usage: korvan-batch SUBCOMMAND (--db FILE | --dsn NAME) [options]\n"
           "Runs the bulk operations of KORVAN on a runs database, without windows.\n"
           "Subcommands:\n"
           "  extract-lines        rebuild the normalized lines\n"
           "  assign               assign base accounting values to a contract's runs\n"
           "  generate-days        regenerate the service days of a contract in a period\n"
           "  remove               remove additional financing, calendar or itinerary splits\n"
           "  list                 list authorities, companies, contracts or lines\n"
           "  report               write the lines directory or a statement as PDF or CSV\n"
           "  runs                 print the runs of a contract's line as CSV\n"
           "  copy                 copy a runs database (SQLite, ODBC, JET) into a new one\n"
           "  import-gtfs          make a new runs database from a GTFS feed\n"
           "Run korvan-batch SUBCOMMAND --help for its options, korvan-batch --version for the version.\n" +
           connection + exits;
}

} // namespace korvan::batch
