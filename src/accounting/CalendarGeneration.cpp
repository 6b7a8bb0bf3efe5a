#include "accounting/CalendarGeneration.h"

#include "accounting/AccountingInput.h"
#include "accounting/ProtocolValidity.h"
#include "core/IdLists.h"
#include "core/OperationFeedback.h"
#include "core/OperationTransaction.h"
#include "core/ProgressSteps.h"
#include "db/ChangeCursors.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/TableCursor.h"

#include <algorithm>
#include <cstdint>
#include <unordered_map>
#include <vector>

namespace korvan::accounting {

namespace {

struct AdditionalRun {
    int authority = 0;
    double euro = 0.0;
};

struct ExistingDay {
    int authority = 0;
    double euro = 0.0;
};

// Additional-service days of one run inside the period, by YYYYMMDD.
using ExistingDays = std::unordered_map<int, ExistingDay>;

struct Protocol {
    long number = 0;
    bool reset = false;
    std::optional<CivilDate> start, end;
};

// One month of a run: its scheduled days as bits (day d is bit d - 1), so
// that the months of a whole contract stay small.
struct MonthEntry {
    int year = 0;
    int month = 0;
    std::uint32_t scheduled = 0;

    // From a month's flags, 'S' for a scheduled day; a short text schedules
    // none of the days it lacks, characters past the 31st are ignored.
    static std::uint32_t scheduledDays(const std::string& flags)
    {
        std::uint32_t days = 0;
        for (size_t day = 0; day < 31 && day < flags.size(); ++day)
            if (flags[day] == 'S')
                days |= std::uint32_t{1} << day;
        return days;
    }
};

struct RunMonths {
    long id = 0;
    std::vector<MonthEntry> months;
};

// Working lists of one generation.
struct Lists {
    std::unordered_map<long, AdditionalRun> additionalRuns;
    std::vector<long> existingRunIds; // runs with rows in the period, ascending
    std::unordered_map<long, ExistingDays> existingDays;
    // The rows the deletion left, by run: their days are already present.
    std::unordered_map<long, std::vector<int>> keptDays; // YYYYMMDD, ascending
    std::vector<RunMonths> runMonths;
    std::unordered_map<long, size_t> runIndex; // run ID -> position in runMonths
};

void readAdditionalRuns(DbConnection* connection, const CalendarRequest& request, Lists& lists,
                        OperationTransaction& operation, OperationFeedback& feedback)
{
    SelectCursor select(connection);
    select.AddField("concors", "ID", SqlType::Integer);
    select.AddField("concors", "ente", SqlType::SmallInt);
    select.AddField("concors", "euro", SqlType::Double);
    select.SetFrom("corse, concors");
    select.SetWhere(formatText("corse.azienda = %d AND corse.ente = %d AND concors.azienda = %d", request.company,
                               request.authority, request.company) +
                    " AND concors.ID = corse.ID AND concors.minima = 0");
    select.SetOrderBy("concors.ID");
    // As for the progress of every recovery, the query's rows are counted
    // first (by the database), then worked on one at a time: nothing grows
    // with the rows read but what is kept of them.
    ProgressSteps progress(feedback, select.CountRows());
    long done = 0;
    for (bool row = select.Execute(); row && operation.going(); row = select.MoveNext()) {
        int id = 0, authority = 0;
        double euro = 0.0;
        select.GetLong(0, id);
        select.GetShort(1, authority);
        select.GetDouble(2, euro);
        lists.additionalRuns[id] = {authority, euro};
        progress.reach(++done);
    }
}

// The contract's runs with days in the period, and their additional-service
// days there (the days of minimum service need no more than their run: they
// are generated anew). The database finds both, so that a regeneration does
// not bring every existing day to the program just to learn its run.
void readExistingDays(DbConnection* connection, const CalendarRequest& request, Lists& lists,
                      OperationTransaction& operation, OperationFeedback& feedback)
{
    const std::string period = calendarPeriodCondition(connection, request.periodStart, request.periodEnd);
    SelectCursor runs(connection);
    runs.AddField("corse", "ID", SqlType::Integer);
    runs.SetFrom("corse");
    runs.SetWhere(formatText("corse.azienda = %d AND corse.ente = %d", request.company, request.authority) +
                  formatText(" AND EXISTS (SELECT conkal.ID FROM conkal WHERE conkal.azienda = %d", request.company) +
                  " AND conkal.ID = corse.ID" + period + ")");
    runs.SetOrderBy("corse.ID");
    SelectCursor days(connection);
    days.AddField("conkal", "ID", SqlType::Integer);
    days.AddField("conkal", "data", SqlType::Date);
    days.AddField("conkal", "ente", SqlType::SmallInt);
    days.AddField("conkal", "euro", SqlType::Double);
    days.SetFrom("corse, conkal");
    days.SetWhere(formatText("corse.azienda = %d AND corse.ente = %d AND conkal.azienda = %d", request.company,
                             request.authority, request.company) +
                  " AND conkal.ID = corse.ID" + period + " AND conkal.minima = 0");
    days.SetOrderBy("conkal.ID, conkal.data");
    // The bar goes over the runs twice: as they are read, then as the days
    // of each are (the days, in run order, are not counted beforehand: that
    // would cost the database a reading of every day of the contract).
    const long runCount = runs.CountRows();
    ProgressSteps progress(feedback, 2 * runCount);
    long done = 0;
    for (bool row = runs.Execute(); row && operation.going(); row = runs.MoveNext()) {
        int id = 0;
        runs.GetLong(0, id);
        lists.existingRunIds.push_back(id);
        progress.reach(++done);
    }
    std::string date;
    size_t run = 0;
    for (bool row = operation.going() && days.Execute(); row && operation.going(); row = days.MoveNext()) {
        int id = 0, authority = 0;
        double euro = 0.0;
        days.GetLong(0, id);
        days.GetFieldText("conkal.data", date);
        days.GetShort(2, authority);
        days.GetDouble(3, euro);
        lists.existingDays[id][dateKeyOf(date)] = {authority, euro};
        while (run < lists.existingRunIds.size() && lists.existingRunIds[run] < id)
            ++run;
        progress.reach(runCount + static_cast<long>(run));
    }
}

// Every row of the runs goes, also those outside the period: one statement
// per list of runs, the rows counted by the database.
long deleteExistingRuns(DbConnection* connection, const CalendarRequest& request, const Lists& lists,
                        OperationTransaction& operation)
{
    long deleted = 0;
    for (const std::string& ids : idLists(lists.existingRunIds)) {
        if (!operation.going())
            break;
        DeleteCursor cursor(connection);
        cursor.SetColumns("ID");
        cursor.SetTable("conkal");
        cursor.SetWhere(formatText("azienda = %d AND ID IN (", request.company) + ids + ")");
        if (cursor.DeleteAll())
            deleted += cursor.DeletedCount();
    }
    return deleted;
}

// The rows that the deletion left of the runs that get days (runs without
// a row in the period keep all of theirs): those days are present already,
// and inserting them again could only fail. Only those runs are looked up,
// by their IDs: after a regeneration's deletion there are none.
void readKeptDays(DbConnection* connection, const CalendarRequest& request, Lists& lists,
                  OperationTransaction& operation)
{
    std::vector<long> runs;
    for (const RunMonths& run : lists.runMonths)
        if (!std::binary_search(lists.existingRunIds.begin(), lists.existingRunIds.end(), run.id))
            runs.push_back(run.id);
    std::sort(runs.begin(), runs.end());
    std::string date;
    for (const std::string& ids : idLists(runs)) {
        SelectCursor select(connection);
        select.AddField("conkal", "ID", SqlType::Integer);
        select.AddField("conkal", "data", SqlType::Date);
        select.SetFrom("conkal");
        select.SetWhere(formatText("conkal.azienda = %d AND conkal.ID IN (", request.company) + ids + ")");
        for (bool row = operation.going() && select.Execute(); row && operation.going(); row = select.MoveNext()) {
            int id = 0;
            select.GetLong(0, id);
            select.GetFieldText("conkal.data", date);
            lists.keptDays[id].push_back(dateKeyOf(date));
        }
    }
    for (auto& [id, days] : lists.keptDays)
        std::sort(days.begin(), days.end());
}

std::vector<Protocol> readProtocols(DbConnection* connection, int company)
{
    std::vector<Protocol> protocols;
    SelectCursor select(connection);
    select.AddField("proto", "protoc", SqlType::Integer);
    select.AddField("proto", "azzera", SqlType::Bit);
    select.AddField("proto", "datini", SqlType::Date);
    select.AddField("proto", "datfin", SqlType::Date);
    select.SetFrom("proto");
    select.SetWhere(formatText("tipo = 'B' AND azienda = %d", company));
    select.SetOrderBy("protoc");
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        int number = 0, reset = 0;
        std::string start, end;
        select.GetLong(0, number);
        select.GetShort(1, reset);
        select.GetFieldText("proto.datini", start);
        select.GetFieldText("proto.datfin", end);
        protocols.push_back({number, reset != 0, parseDateText(start), parseDateText(end)});
    }
    return protocols;
}

// Strikes out the days of [start, end] that fall in the month.
void strikeOut(MonthEntry& entry, const Protocol& protocol)
{
    if (!protocol.start || !protocol.end)
        return;
    const CivilDate& s = *protocol.start;
    const CivilDate& e = *protocol.end;
    const int month = entry.year * 100 + entry.month;
    if (month < s.year * 100 + s.month || month > e.year * 100 + e.month)
        return;
    const int first = month == s.year * 100 + s.month ? s.day : 1;
    const int last = month == e.year * 100 + e.month ? e.day : 31;
    for (int day = first; day <= last && day <= 31; ++day)
        if (day >= 1)
            entry.scheduled &= ~(std::uint32_t{1} << (day - 1));
}

void collectMonths(DbConnection* connection, const CalendarRequest& request, Lists& lists,
                   OperationTransaction& operation)
{
    for (const Protocol& protocol : readProtocols(connection, request.company)) {
        if (!operation.going())
            return;
        if (protocol.reset)
            for (RunMonths& run : lists.runMonths)
                for (MonthEntry& entry : run.months)
                    strikeOut(entry, protocol);
        SelectCursor select(connection);
        select.AddField("mesi", "ID", SqlType::Integer);
        select.AddField("mesi", "anno", SqlType::SmallInt);
        select.AddField("mesi", "mese", SqlType::SmallInt);
        select.AddField("mesi", "giorni", SqlType::VarChar);
        select.SetFrom("corse, proto, mesi");
        select.SetWhere(formatText("corse.azienda = %d AND corse.ente = %d", request.company, request.authority) +
                        formatText(" AND mesi.azienda = %d AND mesi.ID = corse.ID", request.company) +
                        formatText(" AND proto.tipo = 'B' AND proto.azienda = %d AND proto.protoc = %ld",
                                   request.company, protocol.number) +
                        " AND proto.azienda = mesi.azienda AND proto.protoc = mesi.protoc");
        select.SetOrderBy("mesi.protoc, mesi.ID, mesi.anno, mesi.mese");
        long previousId = 0;
        bool first = true;
        std::string flags;
        for (bool row = select.Execute(); row && operation.going(); row = select.MoveNext()) {
            int id = 0, year = 0, month = 0;
            select.GetLong(0, id);
            select.GetShort(1, year);
            select.GetShort(2, month);
            select.GetText(3, flags);
            auto found = lists.runIndex.find(id);
            if (!protocol.reset && (first || id != previousId) && found != lists.runIndex.end())
                for (MonthEntry& entry : lists.runMonths[found->second].months)
                    strikeOut(entry, protocol);
            first = false;
            previousId = id;
            if (found == lists.runIndex.end()) {
                found = lists.runIndex.emplace(id, lists.runMonths.size()).first;
                lists.runMonths.push_back({id, {}});
            }
            lists.runMonths[found->second].months.push_back({year, month, MonthEntry::scheduledDays(flags)});
        }
    }
}

// A scheduled flag on a day its month does not have (31 April) names no
// service day; it is neither counted nor written.
bool isServiceDay(const MonthEntry& entry, int day)
{
    return (entry.scheduled >> (day - 1) & 1U) != 0 && isValidDate({entry.year, entry.month, day});
}

// Days of one run already present: the kept rows, and the days this
// generation has written for it (a month listed under two protocols names
// some days twice). The written days are flags over the run's months, one
// per day, so that a day costs no allocation.
class PresentDays {
  public:
    PresentDays(const std::vector<int>* kept, const std::vector<MonthEntry>& months) : kept_(kept)
    {
        if (months.empty())
            return;
        int last = firstMonth_ = monthNumber(months.front().year, months.front().month);
        for (const MonthEntry& entry : months) {
            firstMonth_ = std::min(firstMonth_, monthNumber(entry.year, entry.month));
            last = std::max(last, monthNumber(entry.year, entry.month));
        }
        written_.assign(static_cast<size_t>(last - firstMonth_ + 1) * 31, 0);
    }

    // True when the day (of one of the run's months) is present; otherwise
    // it is taken as written now.
    bool contains(const CivilDate& date)
    {
        if (kept_ && std::binary_search(kept_->begin(), kept_->end(), date.key()))
            return true;
        const auto slot = static_cast<size_t>(monthNumber(date.year, date.month) - firstMonth_) * 31 +
                          static_cast<size_t>(date.day - 1);
        const bool present = written_[slot] != 0;
        written_[slot] = 1;
        return present;
    }

  private:
    static int monthNumber(int year, int month) { return year * 12 + month - 1; }

    const std::vector<int>* kept_;
    int firstMonth_ = 0;
    std::vector<char> written_;
};

void insertDays(DbConnection* connection, const CalendarRequest& request, const Lists& lists, CalendarResult& result,
                OperationTransaction& operation, OperationFeedback& feedback)
{
    for (const RunMonths& run : lists.runMonths)
        for (const MonthEntry& entry : run.months)
            for (int day = 1; day <= 31; ++day)
                if (isServiceDay(entry, day))
                    ++result.total;

    TableCursor cursor(connection, "conkal", true);
    if (!cursor.IsOpen())
        return;
    ProgressSteps progress(feedback, result.total);
    long done = 0;
    for (const RunMonths& run : lists.runMonths) {
        if (!operation.going())
            return;
        const auto additional = lists.additionalRuns.find(run.id);
        const auto existing = lists.existingDays.find(run.id);
        const auto kept = lists.keptDays.find(run.id);
        PresentDays present(kept == lists.keptDays.end() ? nullptr : &kept->second, run.months);
        std::string additionalEuro;
        if (additional != lists.additionalRuns.end())
            additionalEuro = fourDecimalAmountText(additional->second.euro);
        for (const MonthEntry& entry : run.months) {
            for (int day = 1; day <= 31; ++day) {
                if (!isServiceDay(entry, day))
                    continue;
                progress.reach(++done);
                const CivilDate date{entry.year, entry.month, day};
                if (present.contains(date)) {
                    ++result.rejected;
                    continue;
                }
                cursor.AddNew();
                // Numbers and the date go as values: the file back end then
                // stores them without writing and parsing their texts.
                cursor.SetField("azienda", request.company);
                cursor.SetField("ID", run.id);
                cursor.SetField("data", date);
                const ExistingDay* keptDay = nullptr;
                if (existing != lists.existingDays.end()) {
                    const auto found = existing->second.find(date.key());
                    if (found != existing->second.end())
                        keptDay = &found->second;
                }
                if (keptDay) {
                    cursor.SetField("ente", keptDay->authority);
                    cursor.SetField("minima", 0);
                    cursor.SetField("euro", fourDecimalAmountText(keptDay->euro));
                } else if (additional != lists.additionalRuns.end()) {
                    cursor.SetField("ente", additional->second.authority);
                    cursor.SetField("minima", 0);
                    cursor.SetField("euro", additionalEuro);
                } else {
                    cursor.SetField("ente", request.authority);
                    cursor.SetField("minima", 1);
                    cursor.SetField("euro", 0);
                }
                if (cursor.Update())
                    result.inserted += cursor.RowsWritten();
                if (!operation.going())
                    return;
            }
        }
    }
    cursor.Flush();
    result.inserted += cursor.RowsWritten();
}

} // namespace

std::string calendarWarningText()
{
    return std::string("ATTENZIONE: prima di generare i giorni di esecuzione delle corse (CALENDARI DI SERVIZIO)\n") +
           "occorre assegnare i VALORI CONTABILI DI BASE a tutte le corse del contratto.\n\n" +
           "Se alcune corse del contratto risultano ancora prive dei valori contabili di base la\n" +
           "generazione dei calendari di servizio provocherà degli errori.\n\n" + "Si intende proseguire oltre?";
}

std::string calendarPeriodCondition(DbConnection* connection, const CivilDate& start, const CivilDate& end)
{
    const SqlDialect& dialect = connection->Dialect();
    return " AND conkal.data >= " + dialect.periodDateLiteral(start) +
           " AND conkal.data <= " + dialect.periodDateLiteral(end);
}

CalendarResult generateServiceDays(DbConnection* connection, const CalendarRequest& request, MessageSink& sink,
                                   OperationFeedback& feedback)
{
    CalendarResult result;
    Lists lists;
    feedback.beginBusy(true);
    OperationTransaction operation(connection, sink, feedback, LockScope::contract(request.authority, request.company));
    if (!operation.begun())
        return result;
    feedback.setProgress(0);

    operation.step("Recupero Servizi Aggiuntivi Pre-Esistenti");
    readAdditionalRuns(connection, request, lists, operation, feedback);

    operation.step("Recupero Giorni Effettuazione Pre-Esistenti");
    readExistingDays(connection, request, lists, operation, feedback);

    if (!lists.existingRunIds.empty() && operation.going()) {
        operation.step("Eliminazione Giorni Effettuazione Esistenti");
        result.deleted = deleteExistingRuns(connection, request, lists, operation);
    }

    operation.step("Determinazione Giorni Effettuazione");
    collectMonths(connection, request, lists, operation);
    if (operation.going())
        readKeptDays(connection, request, lists, operation);

    operation.step("Inserimento Giorni Effettuazione Corse");
    if (operation.going())
        insertDays(connection, request, lists, result, operation, feedback);

    feedback.endProgress();
    if (!operation.commit())
        return result;
    result.completed = true;
    std::string text = std::string("Risultati della rigenerazione della Tavola Giorni Effettuazione Corse:\n\n") +
                       formatText("Giorni preesistenti eliminati: %ld\n", result.deleted) +
                       formatText("Giorni inseriti: %ld di %ld\n", result.inserted, result.total);
    if (result.rejected > 0)
        text += formatText("Giorni non inseriti perché già presenti o rifiutati: %ld\n", result.rejected);
    sink.showMessage(text, MessageIcon::Information);
    return result;
}

} // namespace korvan::accounting
