#include "accounting/BaseAssignment.h"

#include "accounting/AccountingInput.h"
#include "accounting/CalendarGeneration.h"
#include "accounting/ProtocolValidity.h"
#include "core/IdLists.h"
#include "core/OperationFeedback.h"
#include "core/OperationTransaction.h"
#include "core/SqlText.h"
#include "db/ChangeCursors.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/TableCursor.h"

#include <algorithm>
#include <functional>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace korvan::accounting {

namespace {

const char* const kProceedQuestion = "Si intende proseguire oltre?";

struct RunRow {
    long id = 0;
    long length = 0;
};

struct DayEntry {
    CivilDate date;
    bool scheduled = false;
    bool present = false; // the day has its row already
};

struct RunDays {
    long id = 0;
    long length = 0;
    std::vector<DayEntry> days;
    std::unordered_map<int, size_t> indexByDate; // YYYYMMDD -> position in days
};

// What every written row carries besides its key.
struct RowValues {
    std::string authority;
    std::string minimum;
};

RowValues rowValuesOf(const AssignmentRequest& request)
{
    return {formatText("%d", request.minimumService ? request.contractAuthority : request.payingAuthority),
            request.minimumService ? "1" : "0"};
}

std::vector<RunRow> collectRuns(DbConnection* connection, const std::string& from, const std::string& where,
                                bool withTimes, const AssignmentRequest& request, OperationTransaction& operation)
{
    std::vector<RunRow> runs;
    SelectCursor select(connection);
    select.AddField("corse", "ID", SqlType::Integer);
    select.AddField("corse", "lung", SqlType::Integer);
    if (withTimes) {
        select.AddField("corse", "hh_p", SqlType::SmallInt);
        select.AddField("corse", "mm_p", SqlType::SmallInt);
        select.AddField("corse", "hh_a", SqlType::SmallInt);
        select.AddField("corse", "mm_a", SqlType::SmallInt);
    }
    select.SetFrom(from);
    select.SetWhere(where);
    for (bool row = select.Execute(); row && operation.going(); row = select.MoveNext()) {
        int id = 0, length = 0;
        select.GetLong(0, id);
        select.GetLong(1, length);
        if (withTimes) {
            int hourFrom = 0, minuteFrom = 0, hourTo = 0, minuteTo = 0;
            select.GetShort(2, hourFrom);
            select.GetShort(3, minuteFrom);
            select.GetShort(4, hourTo);
            select.GetShort(5, minuteTo);
            if (hourFrom * 100 + minuteFrom < request.bandFrom || hourTo * 100 + minuteTo > request.bandTo)
                continue;
        }
        runs.push_back({id, length});
    }
    return runs;
}

void setValues(TableCursor& cursor, const RowValues& values, const std::string& amount)
{
    cursor.SetField("ente", values.authority);
    cursor.SetField("minima", values.minimum);
    cursor.SetField("euro", amount);
}

// The rows of `table` of the listed runs (one part of the contract's runs)
// that the condition selects, and the same rows walked for update: the
// first gives the keys (run ID, and the date key when `withDate`) in key
// order, so that the walk's k-th row is the k-th key.
struct RowSelection {
    std::string table;
    int company = 0;
    std::string idList;
    std::string condition; // " AND ..." or ""
    bool withDate = false;

    std::string where() const
    {
        return formatText("%s.azienda = %d AND %s.ID IN (", table.c_str(), company, table.c_str()) + idList + ")" +
               condition;
    }
    std::string order() const { return table + ".ID" + (withDate ? ", " + table + ".data" : ""); }
};

struct RowKey {
    long id = 0;
    int date = 0; // YYYYMMDD, 0 without dates
};

std::vector<RowKey> existingKeys(DbConnection* connection, const RowSelection& rows, OperationTransaction& operation)
{
    std::vector<RowKey> keys;
    SelectCursor select(connection);
    select.AddField(rows.table, "ID", SqlType::Integer);
    if (rows.withDate)
        select.AddField(rows.table, "data", SqlType::Date);
    select.SetFrom(rows.table);
    select.SetWhere(rows.where());
    select.SetOrderBy(rows.order());
    std::string date;
    for (bool row = select.Execute(); row && operation.going(); row = select.MoveNext()) {
        int id = 0;
        select.GetLong(0, id);
        int key = 0;
        if (rows.withDate && select.GetFieldText(rows.table + ".data", date))
            key = dateKeyOf(date);
        keys.push_back({id, key});
    }
    return keys;
}

// Overwrites the rows of `keys` for which `amount` gives a text (the others
// are left); the rows overwritten.
int overwriteRows(DbConnection* connection, const RowSelection& rows, const std::vector<RowKey>& keys,
                  const RowValues& values, const std::function<std::string(const RowKey&)>& amount,
                  OperationTransaction& operation)
{
    int changed = 0;
    UpdateCursor cursor(connection);
    cursor.AddField(rows.table, "ente", SqlType::SmallInt);
    cursor.AddField(rows.table, "minima", SqlType::Bit);
    cursor.AddField(rows.table, "euro", SqlType::Double);
    cursor.SetFrom(rows.table);
    cursor.SetWhere(rows.where());
    cursor.SetOrderBy(rows.order());
    size_t k = 0;
    for (bool row = cursor.Open(); row && cursor.HasRow() && k < keys.size() && operation.going();
         row = cursor.MoveNext(), ++k) {
        const std::string text = amount(keys[k]);
        if (text.empty())
            continue;
        cursor.Edit();
        if (!cursor.HasRow())
            break;
        cursor.SetField("ente", values.authority);
        cursor.SetField("minima", values.minimum);
        cursor.SetField("euro", text);
        if (cursor.Update())
            ++changed;
    }
    return changed;
}

// The runs in parts of at most kIdsPerStatement, each with its ID list.
std::vector<std::pair<size_t, std::string>> runParts(const std::vector<long>& ids)
{
    std::vector<std::pair<size_t, std::string>> parts;
    for (size_t first = 0; first < ids.size(); first += kIdsPerStatement) {
        const std::vector<long> part(ids.begin() + static_cast<long>(first),
                                     ids.begin() + static_cast<long>(std::min(ids.size(), first + kIdsPerStatement)));
        parts.push_back({first, idLists(part, 0).front()});
    }
    return parts;
}

// Inserts or overwrites the `concors` row of each run: the rows there are
// read (and overwritten) a part of the runs at a time, and the missing ones
// are inserted in bulk.
AssignmentCounts writeRunRows(DbConnection* connection, const AssignmentRequest& request,
                              const std::vector<RunRow>& runs, OperationTransaction& operation)
{
    AssignmentCounts counts;
    const RowValues values = rowValuesOf(request);
    std::vector<long> ids;
    std::unordered_map<long, long> lengths;
    for (const RunRow& run : runs) {
        ids.push_back(run.id);
        lengths.emplace(run.id, run.length);
    }
    std::unordered_set<long> present;
    for (const auto& [first, list] : runParts(ids)) {
        if (!operation.going())
            return counts;
        const RowSelection rows{"concors", request.contractCompany, list, "", false};
        const std::vector<RowKey> keys = existingKeys(connection, rows, operation);
        for (const RowKey& key : keys)
            present.insert(key.id);
        if (request.updateExisting && !keys.empty())
            counts.changed += overwriteRows(
                connection, rows, keys, values,
                [&](const RowKey& key) { return runAmountText(lengths[key.id], request.euroPerKm); }, operation);
    }
    const std::string company = formatText("%d", request.contractCompany);
    TableCursor cursor(connection, "concors", true);
    if (!cursor.IsOpen())
        return counts;
    for (const RunRow& run : runs) {
        if (!operation.going())
            return counts;
        if (!present.insert(run.id).second)
            continue;
        cursor.AddNew();
        cursor.SetField("azienda", company);
        cursor.SetField("ID", formatText("%ld", run.id));
        setValues(cursor, values, runAmountText(run.length, request.euroPerKm));
        if (cursor.Update())
            counts.added += cursor.RowsWritten();
    }
    cursor.Flush();
    counts.added += cursor.RowsWritten();
    return counts;
}

void showRunResult(MessageSink& sink, const AssignmentCounts& counts)
{
    sink.showMessage(std::string("Risultati dell'assegnazione:\n\n") +
                         formatText("Assegnate %d Corse (nuove)\n", counts.added) +
                         formatText("Modificate %d Corse (già assegnate)", counts.changed),
                     MessageIcon::Information);
}

std::string contractWhere(const AssignmentRequest& request)
{
    return formatText("azienda = %d AND ente = %d", request.contractCompany, request.contractAuthority);
}

// Adds one `mesi` row (flags already struck) to the run-day list: the first
// row of a run brings its scheduled days; a later row updates the days it
// shares with earlier rows and appends the others, so a month repeated under
// another protocol takes the flags of its last row.
void addMonthRow(std::vector<RunDays>& runs, long id, long length, int year, int month, const std::string& flags)
{
    const bool newRun = runs.empty() || runs.back().id != id;
    if (newRun)
        runs.push_back({id, length, {}, {}});
    RunDays& run = runs.back();
    for (int day = 1; day <= 31; ++day) {
        const bool scheduled = flags[static_cast<size_t>(day - 1)] == 'S';
        const CivilDate date{year, month, day};
        if (newRun) {
            if (scheduled) {
                run.indexByDate[date.key()] = run.days.size();
                run.days.push_back({date, true});
            }
            continue;
        }
        const auto existing = run.indexByDate.find(date.key());
        if (existing != run.indexByDate.end()) {
            run.days[existing->second].scheduled = scheduled;
        } else {
            run.indexByDate[date.key()] = run.days.size();
            run.days.push_back({date, scheduled});
        }
    }
}

std::vector<RunDays> collectRunDays(DbConnection* connection, const AssignmentRequest& request,
                                    const ProtocolValidity& validity, OperationTransaction& operation)
{
    std::vector<RunDays> runs;
    SelectCursor select(connection);
    select.AddField("corse", "ID", SqlType::Integer);
    select.AddField("corse", "lung", SqlType::Integer);
    select.AddField("mesi", "anno", SqlType::SmallInt);
    select.AddField("mesi", "mese", SqlType::SmallInt);
    select.AddField("mesi", "giorni", SqlType::VarChar);
    select.AddField("mesi", "protoc", SqlType::Integer);
    select.SetFrom("corse, mesi");
    select.SetWhere(formatText("corse.azienda = %d AND corse.ente = %d AND mesi.azienda = %d AND mesi.ID = corse.ID",
                               request.contractCompany, request.contractAuthority, request.contractCompany));
    select.SetOrderBy("corse.ID, mesi.anno, mesi.mese, mesi.protoc");
    const bool hasProtocols = validity.find(request.contractCompany) != nullptr;
    for (bool row = select.Execute(); row && operation.going(); row = select.MoveNext()) {
        int id = 0, length = 0, year = 0, month = 0, protocol = 0;
        std::string flags;
        select.GetLong(0, id);
        select.GetLong(1, length);
        select.GetShort(2, year);
        select.GetShort(3, month);
        select.GetText(4, flags);
        select.GetLong(5, protocol);
        flags = normalizedDayFlags(flags);
        if (hasProtocols)
            strikeInvalidDays(validity, request.contractCompany, protocol, year, month, flags);
        else
            flags.assign(31, 'N');
        addMonthRow(runs, id, length, year, month, flags);
    }
    return runs;
}

} // namespace

std::string assignmentWarningText(AssignmentKind kind)
{
    const std::string head = "ATTENZIONE: prima di potere procedere all'assegnazione dei valori contabili\n";
    switch (kind) {
    case AssignmentKind::Contract:
    case AssignmentKind::Line:
        return head + "è necessario effettuare la NORMALIZZAZIONE DELLE LINEE.\n\n" +
               "Se non si è effettuata la normalizzazione delle linee si potranno generare\n" +
               "delle condizioni di errore.\n\n" + kProceedQuestion;
    case AssignmentKind::TimeBand:
        return head + "per fascia oraria è necessario effettuare la NORMALIZZAZIONE DELLE LINEE\n" +
               "ed assegnare i VALORI CONTABILI DI BASE.\n\n" +
               "Se non si sono effettuate le operazioni precedenti si potranno generare\n" +
               "delle condizioni di errore.\n\n" + kProceedQuestion;
    case AssignmentKind::DayType:
        break;
    }
    return head + "per calendario è necessario effettuare la NORMALIZZAZIONE DELLE LINEE,\n" +
           "assegnare i VALORI CONTABILI DI BASE e generare i CALENDARI DI SERVIZIO.\n\n" +
           "Se non si sono effettuate le operazioni precedenti si potranno generare\n" +
           "delle condizioni di errore.\n\n" + kProceedQuestion;
}

namespace {

// The per-run assignments differ only in the runs they select.
AssignmentCounts assignRuns(DbConnection* connection, const AssignmentRequest& request, const std::string& from,
                            const std::string& where, bool withinTimeBand, MessageSink& sink,
                            OperationFeedback& feedback)
{
    feedback.beginBusy(true);
    OperationTransaction operation(connection, sink, feedback,
                                   LockScope::contract(request.contractAuthority, request.contractCompany));
    if (!operation.begun())
        return {};
    const std::vector<RunRow> runs = collectRuns(connection, from, where, withinTimeBand, request, operation);
    AssignmentCounts counts = writeRunRows(connection, request, runs, operation);
    if (!operation.commit())
        return {};
    counts.completed = true;
    showRunResult(sink, counts);
    return counts;
}

} // namespace

AssignmentCounts runContractAssignment(DbConnection* connection, const AssignmentRequest& request, MessageSink& sink,
                                       OperationFeedback& feedback)
{
    return assignRuns(connection, request, "corse", contractWhere(request), false, sink, feedback);
}

AssignmentCounts runLineAssignment(DbConnection* connection, const AssignmentRequest& request, MessageSink& sink,
                                   OperationFeedback& feedback)
{
    // A run belongs to the line through its own `conline` row: the company
    // takes part in the join, as run IDs are unique only within a company.
    const std::string where =
        formatText("corse.azienda = %d AND corse.ente = %d AND linee.linea = ", request.contractCompany,
                   request.contractAuthority) +
        quoteSqlText(request.lineCode) +
        " AND conline.azienda = corse.azienda AND corse.ID = conline.ID AND conline.linea = linee.ID";
    return assignRuns(connection, request, "corse, conline, linee", where, false, sink, feedback);
}

AssignmentCounts runTimeBandAssignment(DbConnection* connection, const AssignmentRequest& request, MessageSink& sink,
                                       OperationFeedback& feedback)
{
    return assignRuns(connection, request, "corse", contractWhere(request), true, sink, feedback);
}

AssignmentCounts runDayTypeAssignment(DbConnection* connection, const AssignmentRequest& request, MessageSink& sink,
                                      OperationFeedback& feedback)
{
    AssignmentCounts counts;
    feedback.beginBusy(true);
    OperationTransaction operation(connection, sink, feedback,
                                   LockScope::contract(request.contractAuthority, request.contractCompany));
    if (!operation.begun())
        return counts;
    const ProtocolValidity validity = loadProtocolValidity(connection, request.contractCompany);
    std::vector<RunDays> runs = collectRunDays(connection, request, validity, operation);

    const RowValues values = rowValuesOf(request);
    const int first = request.periodStart.key(), last = request.periodEnd.key();
    // The days written: scheduled on a day the month has (31 April names
    // none), inside the period, on a chosen weekday.
    auto chosen = [&](const DayEntry& day) {
        return day.scheduled && isValidDate(day.date) && day.date.key() >= first && day.date.key() <= last &&
               request.weekdays[static_cast<size_t>(weekdayIndex(day.date))];
    };
    std::vector<long> ids;
    std::unordered_map<long, RunDays*> byId;
    for (RunDays& run : runs) {
        ids.push_back(run.id);
        byId.emplace(run.id, &run);
    }
    // The days there already, overwritten when asked, a part of the runs
    // at a time; the others are inserted in bulk.
    const std::string period = calendarPeriodCondition(connection, request.periodStart, request.periodEnd);
    for (const auto& [start, list] : runParts(ids)) {
        if (!operation.going())
            break;
        const RowSelection rows{"conkal", request.contractCompany, list, period, true};
        const std::vector<RowKey> keys = existingKeys(connection, rows, operation);
        std::vector<std::string> amounts(keys.size());
        bool anyChosen = false;
        for (size_t k = 0; k < keys.size(); ++k) {
            const auto found = byId.find(keys[k].id);
            if (found == byId.end())
                continue;
            RunDays* run = found->second;
            const auto day = run->indexByDate.find(keys[k].date);
            if (day == run->indexByDate.end() || !chosen(run->days[day->second]))
                continue;
            run->days[day->second].present = true;
            amounts[k] = runAmountText(run->length, request.euroPerKm);
            anyChosen = true;
        }
        if (request.updateExisting && anyChosen) {
            size_t k = 0;
            counts.changed += overwriteRows(
                connection, rows, keys, values, [&](const RowKey&) { return amounts[k++]; }, operation);
        }
    }
    const std::string company = formatText("%d", request.contractCompany);
    TableCursor cursor(connection, "conkal", true);
    for (const RunDays& run : runs) {
        if (!cursor.IsOpen() || !operation.going())
            break;
        const std::string id = formatText("%ld", run.id);
        const std::string amount = runAmountText(run.length, request.euroPerKm);
        for (const DayEntry& day : run.days) {
            if (!chosen(day) || day.present)
                continue;
            cursor.AddNew();
            cursor.SetField("azienda", company);
            cursor.SetField("ID", id);
            cursor.SetField("data", formatDateText(day.date));
            setValues(cursor, values, amount);
            if (cursor.Update())
                counts.added += cursor.RowsWritten();
        }
    }
    cursor.Flush();
    counts.added += cursor.RowsWritten();
    if (!operation.commit())
        return {};
    counts.completed = true;
    sink.showMessage(std::string("Risultati dell'assegnazione:\n\n") +
                         formatText("Assegnati %d Giorni/Corsa (nuovi)\n", counts.added) +
                         formatText("Modificati %d Giorni/Corsa (già assegnati)", counts.changed),
                     MessageIcon::Information);
    return counts;
}

AssignmentCounts runAssignment(AssignmentKind kind, DbConnection* connection, const AssignmentRequest& request,
                               MessageSink& sink, OperationFeedback& feedback)
{
    switch (kind) {
    case AssignmentKind::Contract:
        return runContractAssignment(connection, request, sink, feedback);
    case AssignmentKind::Line:
        return runLineAssignment(connection, request, sink, feedback);
    case AssignmentKind::TimeBand:
        return runTimeBandAssignment(connection, request, sink, feedback);
    case AssignmentKind::DayType:
        break;
    }
    return runDayTypeAssignment(connection, request, sink, feedback);
}

} // namespace korvan::accounting
