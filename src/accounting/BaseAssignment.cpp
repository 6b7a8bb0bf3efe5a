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

// The days of one run in the months of the period: per day of each month
// (month offset * 31 + day - 1) what the run's last month row says of it.
struct RunDays {
    long id = 0;
    long length = 0;
    std::vector<char> days; // kUnlisted, kUnscheduled, kScheduled or kPresent
};

constexpr char kUnlisted = 0;
constexpr char kUnscheduled = 1;
constexpr char kScheduled = 2;
constexpr char kPresent = 3; // scheduled, and its row is there already

// The months from the period's first to its last.
struct PeriodMonths {
    int first = 0; // year * 12 + month - 1
    int count = 0;

    PeriodMonths(const CivilDate& start, const CivilDate& end)
        : first(start.year * 12 + start.month - 1), count(std::max(0, end.year * 12 + end.month - first))
    {
    }
    // The day's position in a run's days; -1 outside the months.
    int position(int year, int month, int day) const
    {
        const int offset = year * 12 + month - 1 - first;
        return offset < 0 || offset >= count || day < 1 || day > 31 ? -1 : offset * 31 + day - 1;
    }
    CivilDate dateAt(size_t position) const
    {
        const int months = first + static_cast<int>(position / 31);
        return {months / 12, months % 12 + 1, static_cast<int>(position % 31) + 1};
    }
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

// The rows of `table` of the listed runs (one part of the contract's runs,
// or a query that selects them) that the condition selects, in key order
// (run ID, and the date when `withDate`).
struct RowSelection {
    std::string table;
    int company = 0;
    std::string runIds;    // "1,2,3" or "SELECT corse.ID FROM ..."
    std::string condition; // " AND ..." or ""
    bool withDate = false;

    std::string where() const
    {
        return formatText("%s.azienda = %d AND %s.ID IN (", table.c_str(), company, table.c_str()) + runIds + ")" +
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

// Walks the selected rows, reading each one's key as it goes, and
// overwrites those for which `claim` gives an amount (the others are left);
// the rows overwritten.
int overwriteClaimedRows(DbConnection* connection, const RowSelection& rows, const RowValues& values,
                         const std::function<std::string(const RowKey&)>& claim, OperationTransaction& operation)
{
    int changed = 0;
    UpdateCursor cursor(connection);
    cursor.AddField(rows.table, "ente", SqlType::SmallInt);
    cursor.AddField(rows.table, "minima", SqlType::Bit);
    cursor.AddField(rows.table, "euro", SqlType::Double);
    // The key, read after the three fields changed.
    constexpr int kIdField = 3, kDateField = 4;
    cursor.AddReadField(rows.table, "ID", SqlType::Integer);
    if (rows.withDate)
        cursor.AddReadField(rows.table, "data", SqlType::Date);
    auto currentKey = [&] {
        RowKey key;
        FieldValue value;
        if (cursor.GetValue(kIdField, value) && value.kind == FieldValue::Kind::Integer)
            key.id = static_cast<long>(value.integer);
        if (rows.withDate && cursor.GetValue(kDateField, value) && value.kind == FieldValue::Kind::Date)
            key.date = value.date.key();
        return key;
    };
    cursor.SetFrom(rows.table);
    cursor.SetWhere(rows.where());
    cursor.SetOrderBy(rows.order());
    for (bool row = cursor.Open(); row && cursor.HasRow() && operation.going(); row = cursor.MoveNext()) {
        const std::string text = claim(currentKey());
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

// Inserts or overwrites the `concors` row of each run: the rows there, of
// the runs the query `runIds` selects, are read (and overwritten) in one
// walk, and the missing ones are inserted in bulk. Only the listed runs are
// written: the query may select more (those outside a time band).
AssignmentCounts writeRunRows(DbConnection* connection, const AssignmentRequest& request,
                              const std::vector<RunRow>& runs, const std::string& runIds,
                              OperationTransaction& operation)
{
    AssignmentCounts counts;
    if (runs.empty())
        return counts;
    const RowValues values = rowValuesOf(request);
    std::unordered_map<long, long> lengths;
    for (const RunRow& run : runs)
        lengths.emplace(run.id, run.length);
    std::unordered_set<long> present;
    const RowSelection rows{"concors", request.contractCompany, runIds, "", false};
    if (request.updateExisting) {
        counts.changed += overwriteClaimedRows(
            connection, rows, values,
            [&](const RowKey& key) {
                const auto found = lengths.find(key.id);
                if (found == lengths.end())
                    return std::string();
                present.insert(key.id);
                return runAmountText(found->second, request.euroPerKm);
            },
            operation);
    } else {
        for (const RowKey& key : existingKeys(connection, rows, operation))
            present.insert(key.id);
    }
    TableCursor cursor(connection, "concors", true);
    if (!cursor.IsOpen())
        return counts;
    for (const RunRow& run : runs) {
        if (!operation.going())
            return counts;
        if (!present.insert(run.id).second)
            continue;
        cursor.AddNew();
        cursor.SetField("azienda", request.contractCompany);
        cursor.SetField("ID", run.id);
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

// The scheduled days of the listed runs (one part of the contract's runs) in
// the months of the period, from their `mesi` rows struck by the protocols'
// validity. The rows come by run, month and protocol, so a month repeated
// under another protocol takes the flags of the last of its rows.
void readRunDays(DbConnection* connection, const AssignmentRequest& request, const ProtocolValidity& validity,
                 const PeriodMonths& months, const std::string& idList, std::vector<RunDays>& runs,
                 OperationTransaction& operation)
{
    std::unordered_map<long, size_t> byId;
    for (size_t i = 0; i < runs.size(); ++i)
        byId.emplace(runs[i].id, i);
    const int firstMonth = request.periodStart.year * 100 + request.periodStart.month;
    const int lastMonth = request.periodEnd.year * 100 + request.periodEnd.month;
    SelectCursor select(connection);
    select.AddField("mesi", "ID", SqlType::Integer);
    select.AddField("mesi", "anno", SqlType::SmallInt);
    select.AddField("mesi", "mese", SqlType::SmallInt);
    select.AddField("mesi", "giorni", SqlType::VarChar);
    select.AddField("mesi", "protoc", SqlType::Integer);
    select.SetFrom("mesi");
    select.SetWhere(
        formatText("mesi.azienda = %d AND mesi.ID IN (", request.contractCompany) + idList + ")" +
        formatText(" AND mesi.anno >= %d AND mesi.anno <= %d", request.periodStart.year, request.periodEnd.year) +
        formatText(" AND mesi.anno * 100 + mesi.mese >= %d AND mesi.anno * 100 + mesi.mese <= %d", firstMonth,
                   lastMonth));
    select.SetOrderBy("mesi.ID, mesi.anno, mesi.mese, mesi.protoc");
    const bool hasProtocols = validity.find(request.contractCompany) != nullptr;
    std::string flags;
    for (bool row = select.Execute(); row && operation.going(); row = select.MoveNext()) {
        int id = 0, year = 0, month = 0, protocol = 0;
        select.GetLong(0, id);
        select.GetShort(1, year);
        select.GetShort(2, month);
        select.GetText(3, flags);
        select.GetLong(4, protocol);
        const auto found = byId.find(id);
        if (found == byId.end() || months.position(year, month, 1) < 0)
            continue;
        flags = normalizedDayFlags(flags);
        if (hasProtocols)
            strikeInvalidDays(validity, request.contractCompany, protocol, year, month, flags);
        else
            flags.assign(31, 'N');
        std::vector<char>& days = runs[found->second].days;
        if (days.empty())
            days.assign(static_cast<size_t>(months.count) * 31, kUnlisted);
        const auto first = static_cast<size_t>(months.position(year, month, 1));
        for (size_t day = 0; day < 31; ++day)
            days[first + day] = flags[day] == 'S' ? kScheduled : kUnscheduled;
    }
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
    AssignmentCounts counts =
        writeRunRows(connection, request, runs, "SELECT corse.ID FROM " + from + " WHERE " + where, operation);
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
    // In run order, as the days are written.
    std::vector<RunRow> contractRuns =
        collectRuns(connection, "corse", contractWhere(request), false, request, operation);
    std::sort(contractRuns.begin(), contractRuns.end(), [](const RunRow& a, const RunRow& b) { return a.id < b.id; });

    const RowValues values = rowValuesOf(request);
    const PeriodMonths months(request.periodStart, request.periodEnd);
    const int first = request.periodStart.key(), last = request.periodEnd.key();
    // The days written: scheduled on a day the month has (31 April names
    // none), inside the period, on a chosen weekday.
    auto chosen = [&](const CivilDate& date) {
        return isValidDate(date) && date.key() >= first && date.key() <= last &&
               request.weekdays[static_cast<size_t>(weekdayIndex(date))];
    };
    std::vector<long> ids;
    ids.reserve(contractRuns.size());
    for (const RunRow& run : contractRuns)
        ids.push_back(run.id);
    const std::string period = calendarPeriodCondition(connection, request.periodStart, request.periodEnd);
    // A part of the runs at a time: their days, the rows there already
    // (overwritten when asked), then the missing ones inserted in bulk; so
    // what is held does not grow with the contract.
    TableCursor cursor(connection, "conkal", true);
    for (const auto& [start, list] : runParts(ids)) {
        if (!cursor.IsOpen() || !operation.going())
            break;
        std::vector<RunDays> runs;
        for (size_t i = start; i < std::min(contractRuns.size(), start + kIdsPerStatement); ++i)
            runs.push_back({contractRuns[i].id, contractRuns[i].length, {}});
        readRunDays(connection, request, validity, months, list, runs, operation);
        std::unordered_map<long, RunDays*> byId;
        for (RunDays& run : runs)
            if (!run.days.empty())
                byId.emplace(run.id, &run);
        if (byId.empty())
            continue;
        // A row already there of a chosen scheduled day is that day present
        // (not inserted again); its amount, when it is to be overwritten.
        auto claim = [&](const RowKey& key) -> std::string {
            const auto found = byId.find(key.id);
            if (found == byId.end())
                return {};
            const CivilDate date{key.date / 10000, key.date / 100 % 100, key.date % 100};
            const int position = months.position(date.year, date.month, date.day);
            std::vector<char>& days = found->second->days;
            if (position < 0 || days[static_cast<size_t>(position)] != kScheduled || !chosen(date))
                return {};
            days[static_cast<size_t>(position)] = kPresent;
            return runAmountText(found->second->length, request.euroPerKm);
        };
        const RowSelection rows{"conkal", request.contractCompany, list, period, true};
        if (request.updateExisting) {
            counts.changed += overwriteClaimedRows(connection, rows, values, claim, operation);
        } else {
            for (const RowKey& key : existingKeys(connection, rows, operation))
                claim(key);
        }
        for (const RunDays& run : runs) {
            if (run.days.empty())
                continue;
            if (!operation.going())
                break;
            const std::string amount = runAmountText(run.length, request.euroPerKm);
            for (size_t position = 0; position < run.days.size(); ++position) {
                if (run.days[position] != kScheduled)
                    continue;
                const CivilDate date = months.dateAt(position);
                if (!chosen(date))
                    continue;
                cursor.AddNew();
                cursor.SetField("azienda", request.contractCompany);
                cursor.SetField("ID", run.id);
                cursor.SetField("data", date);
                setValues(cursor, values, amount);
                if (cursor.Update())
                    counts.added += cursor.RowsWritten();
            }
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
