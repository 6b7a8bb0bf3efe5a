#include "batch/BatchCommands.h"

#include "accounting/AccountingEntries.h"
#include "accounting/AccountingInput.h"
#include "accounting/BaseAssignment.h"
#include "accounting/CalendarGeneration.h"
#include "accounting/SplitRemoval.h"
#include "batch/BatchCopy.h"
#include "batch/BatchImport.h"
#include "batch/BatchOptions.h"
#include "batch/BatchReport.h"
#include "batch/BatchSink.h"
#include "core/LockWaiting.h"
#include "core/Version.h"
#include "db/DbConnection.h"
#include "db/Values.h"
#include "lines/LineExtraction.h"
#include "refdata/ContractEntries.h"
#include "refdata/PickLists.h"
#include "refdata/SchemaCheck.h"
#include "reports/RunListReport.h"
#include "runs/RunFilter.h"
#include "runs/RunListLoader.h"

#include <algorithm>
#include <cctype>
#include <memory>

namespace korvan::batch {

namespace {

using refdata::EntryKind;

using refdata::Contract;

// One run of the program: the streams, the sink and the open connection.
class Session {
  public:
    Session(const BatchOptions& options, std::ostream& out, std::ostream& err, const Terminal& terminal)
        : options_(options), out_(out), stop_(terminal.stop), feedback_(err, terminal.errorIsTerminal, terminal.stop),
          sink_(out, err, options.yes, terminal.input, feedback_, terminal.stop),
          lockWaiter_(feedback_, waitPolicy(options.connection))
    {
    }

    // A script waits as long as --wait says, for whatever holds the lock.
    static LockWaitPolicy waitPolicy(const ConnectionOptions& connection)
    {
        LockWaitPolicy policy;
        policy.maxWaitMilliseconds = connection.waitSeconds * 1000L;
        policy.waitForPendingChanges = true;
        return policy;
    }

    bool open()
    {
        const ConnectionOptions& c = options_.connection;
        if (!c.dsn.empty()) {
            std::string driver;
            connection_ = DbConnection::openOdbc(c.dsn, driver, c.rowsetSize, c.rowsetSizeBlob, sink_);
        } else {
            // Listing, reports and the run list only read: the file is opened read-only,
            // so that it can be read where it cannot be written.
            const bool readsOnly = options_.command == Command::List || options_.command == Command::Report ||
                                   options_.command == Command::Runs;
            const SqliteAccess access = readsOnly ? SqliteAccess::ReadOnly : SqliteAccess::ReadWriteOrReadOnly;
            connection_ = DbConnection::openSqlite(c.dbFile, c.rowsetSize, c.rowsetSizeBlob, sink_, access);
        }
        if (connection_)
            connection_->SetLockWaiter(&lockWaiter_);
        return connection_ && connection_->IsOpen() && refdata::acceptRunsDatabase(*connection_);
    }

    int run()
    {
        switch (options_.command) {
        case Command::ExtractLines:
            lines::extractNormalizedLines(connection_.get(), sink_, feedback_);
            break;
        case Command::Assign:
            assign();
            break;
        case Command::GenerateDays:
            generateDays();
            break;
        case Command::Remove:
            remove();
            break;
        case Command::List:
            list();
            break;
        case Command::Report:
            writeReport(options_, connection_.get(), sink_, feedback_, out_);
            break;
        case Command::Runs:
            printRuns();
            break;
        case Command::Copy: // runCopyCommand
        case Command::None:
            break;
        }
        feedback_.closeLine();
        const bool stopped = stop_ && stop_->requested != 0;
        return sink_.failed() || sink_.declined() || stopped ? kExitFailed : kExitOk;
    }

  private:
    std::optional<int> readAuthority(const refdata::PickList& entries)
    {
        const std::optional<int> code = refdata::readCodeEntry(*options_.authority, entries);
        if (!code)
            return refdata::refuseEntry(sink_, refdata::invalidEntryMessage(EntryKind::Authority));
        return code;
    }

    // The contract as the dialogs offer it: the authority among those with
    // lines, the company among the authority's.
    refdata::ContractEntries contractEntries()
    {
        DbConnection* db = connection_.get();
        return {*options_.authority, refdata::authoritiesWithLines(db), *options_.company,
                [db](int authority) { return refdata::companiesOfAuthority(db, authority); }};
    }

    std::optional<Contract> readContract() { return refdata::validateContract(contractEntries(), sink_); }

    accounting::PeriodEntries periodEntries() const { return {*options_.periodStart, *options_.periodEnd}; }

    // The entries of the assignment dialog, checked in its order.
    std::optional<accounting::AssignmentRequest> assignmentRequest()
    {
        DbConnection* db = connection_.get();
        accounting::AssignmentEntries entries;
        entries.contract = contractEntries();
        if (options_.line) {
            entries.lineText = *options_.line;
            entries.lineEntries = [db](int authority, int company) {
                return refdata::contractLinesByCode(db, authority, company);
            };
        }
        entries.euroPerKmText = *options_.euroPerKm;
        if (options_.payer) {
            entries.payerText = *options_.payer;
            entries.payerEntries = refdata::allAuthorities(db);
        }
        if (options_.band) {
            // A band without a dash between two times has no start.
            entries.bandTexts = splitTimeBand(*options_.band).value_or(std::make_pair(std::string(), std::string()));
        }
        if (options_.periodStart) {
            entries.period = periodEntries();
            entries.weekdays = options_.weekdays;
        }
        entries.updateExisting = !options_.keepExisting;
        return accounting::validateAssignment(entries, sink_);
    }

    void assign()
    {
        const accounting::AssignmentKind kind = options_.line          ? accounting::AssignmentKind::Line
                                                : options_.band        ? accounting::AssignmentKind::TimeBand
                                                : options_.periodStart ? accounting::AssignmentKind::DayType
                                                                       : accounting::AssignmentKind::Contract;
        const std::optional<accounting::AssignmentRequest> request = assignmentRequest();
        if (!request || !sink_.askConfirmation(accounting::assignmentWarningText(kind)))
            return;
        accounting::runAssignment(kind, connection_.get(), *request, sink_, feedback_);
    }

    // Every contract the dialogs offer: the companies of each authority with
    // lines, in pick-list order.
    std::vector<Contract> allContracts()
    {
        std::vector<Contract> contracts;
        for (const std::string& authority : refdata::authoritiesWithLines(connection_.get())) {
            const int authorityCode = refdata::codeOfEntry(authority);
            for (const std::string& company : refdata::companiesOfAuthority(connection_.get(), authorityCode))
                contracts.push_back({authorityCode, refdata::codeOfEntry(company)});
        }
        return contracts;
    }

    void generateDays()
    {
        std::vector<Contract> contracts;
        std::optional<accounting::Period> period;
        if (options_.allContracts) {
            period = accounting::validatePeriod(periodEntries(), sink_);
        } else if (const auto request =
                       accounting::validateCalendarEntries(contractEntries(), periodEntries(), sink_)) {
            contracts.push_back({request->authority, request->company});
            period = accounting::Period{request->periodStart, request->periodEnd};
        }
        if (!period || !sink_.askConfirmation(accounting::calendarWarningText()))
            return;
        if (options_.allContracts)
            contracts = allContracts();
        for (const Contract& contract : contracts) {
            if (options_.allContracts)
                out_ << formatText("Ente %04d Azienda %04d", contract.authority, contract.company) << '\n';
            // Each contract is a generation of its own: the ones done stay
            // done, and the first that fails or is interrupted ends the run.
            if (!accounting::generateServiceDays(connection_.get(),
                                                 {contract.authority, contract.company, period->start, period->end},
                                                 sink_, feedback_)
                     .completed)
                return;
        }
    }

    void remove()
    {
        const auto mode = static_cast<accounting::RemovalMode>(options_.removalMode);
        const std::optional<Contract> contract = readContract();
        if (!contract || !sink_.askConfirmation(accounting::removalWarningText(mode)))
            return;
        accounting::runRemoval(mode, connection_.get(), contract->authority, contract->company, sink_, feedback_);
    }

    void list()
    {
        DbConnection* db = connection_.get();
        refdata::PickList entries;
        if (options_.listKind == "authorities") {
            entries = refdata::allAuthorities(db);
        } else if (options_.listKind == "contracts") {
            for (const std::string& authority : refdata::authoritiesWithLines(db))
                for (const std::string& company : refdata::companiesOfAuthority(db, refdata::codeOfEntry(authority)))
                    entries.push_back(authority + '\t' + company);
        } else if (options_.listKind == "companies") {
            const std::optional<int> authority = readAuthority(refdata::allAuthorities(db));
            if (!authority)
                return;
            entries = refdata::companiesOfAuthority(db, *authority);
        } else if (!options_.company) {
            const std::optional<int> authority = readAuthority(refdata::allAuthorities(db));
            if (!authority)
                return;
            entries = refdata::authorityLines(db, *authority);
        } else {
            const std::optional<Contract> contract = readContract();
            if (!contract)
                return;
            entries = refdata::contractLinesByCode(db, contract->authority, contract->company);
        }
        for (const std::string& entry : entries)
            out_ << entry << '\n';
        out_.flush();
    }

    // A line number as typed: up to four digits stand for the "%04d" that
    // begins its entry.
    static std::string lineEntryText(const std::string& typed)
    {
        const bool digits = !typed.empty() && typed.size() <= 4 &&
                            std::all_of(typed.begin(), typed.end(), [](unsigned char c) { return std::isdigit(c); });
        return digits ? formatText("%04ld", parseIntegerText(typed)) : typed;
    }

    // The runs of a contract line as the browser loads them, as CSV.
    void printRuns()
    {
        DbConnection* db = connection_.get();
        runs::RunFilterEntries entries;
        entries.contract = {*options_.authority, refdata::authoritiesWithLines(db), *options_.company,
                            [db](int authority) { return refdata::companiesOfAuthorityForRunFilter(db, authority); }};
        // --line is the code, as assign takes it; --line-number the number.
        entries.lineByCode = options_.line.has_value();
        entries.line = options_.line ? *options_.line : lineEntryText(*options_.lineNumber);
        entries.lineEntries = [db](int authority, int company) {
            return refdata::contractLinesById(db, authority, company);
        };
        entries.lineCodeEntries = [db](int authority, int company) {
            return refdata::contractLinesByCode(db, authority, company);
        };
        const std::optional<runs::RunListKey> key = runs::readRunFilter(entries, sink_);
        if (!key)
            return;
        runs::RunListModel model = runs::loadRunList(db, *key);
        if (sink_.failed())
            return;
        model.sort(options_.order ? runs::runOrderNamed(*options_.order)->code : runs::kRunIdOrder);
        const reports::Report report = reports::runListReport(model, *key);
        std::string error;
        if (!writeCsvTo(report, options_.csvFile.value_or("-"), out_, error))
            sink_.showMessage(error, MessageIcon::Error);
    }

    const BatchOptions& options_;
    std::ostream& out_;
    const StopSignal* stop_;
    TerminalFeedback feedback_;
    BatchMessageSink sink_;
    FeedbackLockWaiter lockWaiter_;
    std::unique_ptr<DbConnection> connection_;
};

} // namespace

std::optional<std::pair<std::string, std::string>> splitTimeBand(const std::string& text)
{
    std::vector<size_t> dashes;
    for (size_t at = text.find('-'); at != std::string::npos; at = text.find('-', at + 1))
        dashes.push_back(at);
    if (dashes.empty())
        return std::nullopt;
    auto halves = [&text](size_t at) { return std::make_pair(text.substr(0, at), text.substr(at + 1)); };
    for (size_t at : dashes) {
        const auto candidate = halves(at);
        if (accounting::parseTimeOfDay(candidate.first) && accounting::parseTimeOfDay(candidate.second))
            return candidate;
    }
    for (size_t at : dashes) {
        const auto candidate = halves(at);
        if (accounting::parseTimeOfDay(candidate.first))
            return candidate;
    }
    return halves(dashes.front());
}

int runBatchCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    const Terminal& terminal)
{
    if (!arguments.empty() && arguments.front() == kImportGtfsCommand)
        return runImportGtfs({arguments.begin() + 1, arguments.end()}, out, err, terminal);
    const ParsedCommandLine parsed = parseCommandLine(arguments);
    const BatchOptions& options = parsed.options;
    if (options.help) {
        out << usageText(options.command);
        return kExitOk;
    }
    if (options.version) {
        out << "korvan-batch (KORVAN) " << programVersion() << '\n';
        return kExitOk;
    }
    if (!parsed.usageError.empty()) {
        err << "korvan-batch: " << parsed.usageError << '\n' << usageText(options.command);
        return kExitUsage;
    }
    // A colleague's refusal names the subcommand that holds the lock.
    setClientProgramName("korvan-batch " + commandName(options.command));
    if (options.command == Command::Copy)
        return runCopyCommand(options, out, err, terminal);
    Session session(options, out, err, terminal);
    if (!session.open())
        return kExitFailed;
    return session.run();
}

} // namespace korvan::batch
