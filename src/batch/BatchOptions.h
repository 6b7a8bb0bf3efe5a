#pragma once

// The command line of korvan-batch, read into options without touching any
// database: the subcommand, the connection, and the entries each subcommand
// takes, still as typed. The entries are checked against the database later,
// with the dialogs' rules; here only the shape of the command line is
// checked (a failure is a usage error).

#include <array>
#include <optional>
#include <string>
#include <vector>

namespace korvan::batch {

enum class Command { None, ExtractLines, Assign, GenerateDays, Remove, List, Report, Runs, Copy };

struct ConnectionOptions {
    std::string dbFile; // the file back end
    std::string dsn;    // an ODBC data source
    int rowsetSize = 25;
    int rowsetSizeBlob = 1;
    bool rowsetGiven = false; // --rowset was given
    // --wait: how long to wait for a contract or the database in use
    // elsewhere; 0 refuses at once.
    int waitSeconds = 0;
};

struct BatchOptions {
    Command command = Command::None;
    bool help = false;
    bool version = false; // --version: print the version and stop
    bool yes = false;
    ConnectionOptions connection;

    std::optional<std::string> authority, company;
    // assign
    std::optional<std::string> euroPerKm, payer, line, band, periodStart, periodEnd;
    std::array<bool, 7> weekdays{true, true, true, true, true, true, true};
    bool keepExisting = false;
    // generate-days
    bool allContracts = false;
    // remove: 'A', 'K' or 'I'
    char removalMode = 0;
    // list: "authorities", "companies", "contracts" or "lines"
    std::string listKind;
    // report: "lines", "contracts" or "contributions"; the output files
    // ("-": standard output)
    std::string reportKind;
    bool synthetic = false;
    std::optional<std::string> pdfFile, csvFile;
    // runs: the line by its code (`line`, as assign takes it) or by its
    // number; the order (a name or character of runs/RunOrder.h); the CSV
    // goes to csvFile
    std::optional<std::string> lineNumber;
    std::optional<std::string> order;
    // copy: the source (one of the three) and what to copy; the target is
    // the connection
    std::optional<std::string> fromDb, fromDsn, fromJet;
    std::vector<std::string> tables;
    bool skipBadValues = false;
};

struct ParsedCommandLine {
    BatchOptions options;
    std::string usageError; // empty when the command line is well formed
};

// The subcommand's name as typed ("generate-days"); "" for none.
std::string commandName(Command command);

// Arguments without the program name.
ParsedCommandLine parseCommandLine(const std::vector<std::string>& arguments);

// The help of a subcommand, or of the program for Command::None.
std::string usageText(Command command);

// A comma-separated list of the weekday names of the day-type assignment,
// letter case ignored ("lunedi,Sabato"); nothing when a name is unknown.
std::optional<std::array<bool, 7>> parseWeekdayList(const std::string& text);

} // namespace korvan::batch
