#include "accounting/SplitRemoval.h"

#include "core/IdLists.h"
#include "core/OperationFeedback.h"
#include "core/OperationTransaction.h"
#include "db/ChangeCursors.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"

#include <vector>

namespace korvan::accounting {

namespace {

// IDs of the first column of the query, in its order, each once.
std::vector<long> selectRunIds(SelectCursor& select, OperationTransaction& operation)
{
    std::vector<long> ids;
    for (bool row = select.Execute(); row && operation.going(); row = select.MoveNext()) {
        int id = 0;
        select.GetLong(0, id);
        if (ids.empty() || ids.back() != id)
            ids.push_back(id);
    }
    return ids;
}

// Sets every row of the listed runs in `table` to minimum service of the
// authority; counts rows walked and rows stored.
void restoreMinimumService(DbConnection* connection, const std::string& table, int authority, int company,
                           const std::vector<long>& ids, RemovalCounts& counts, OperationTransaction& operation)
{
    const std::string authorityText = formatText("%d", authority);
    for (const std::string& list : idLists(ids)) {
        UpdateCursor cursor(connection);
        cursor.AddField(table, "ente", SqlType::SmallInt);
        cursor.AddField(table, "minima", SqlType::Bit);
        cursor.SetFrom(table);
        cursor.SetWhere(formatText("azienda = %d AND ID IN (", company) + list + ")");
        for (bool row = cursor.Open(); row && cursor.HasRow() && operation.going(); row = cursor.MoveNext()) {
            cursor.Edit();
            if (!cursor.HasRow())
                break;
            cursor.SetField("ente", authorityText);
            cursor.SetField("minima", "1");
            ++counts.processed;
            if (cursor.Update())
                ++counts.changed;
        }
    }
}

std::string contractRuns(const char* table, int authority, int company)
{
    return formatText("corse.azienda = %d AND corse.ente = %d AND %s.azienda = %d AND %s.ID = corse.ID", company,
                      authority, table, company, table);
}

} // namespace

std::string removalWarningText(RemovalMode mode)
{
    const std::string tail = std::string("QUESTA OPERAZIONE NON E' REVERSIBILE !!!\n\n") +
                             "Si consiglia di confermare l'operazione solo se si è veramente sicuri " +
                             "e perfettamente consapevoli.";
    if (mode == RemovalMode::AdditionalFinancing)
        return std::string("Attenzione: questa funzione causerà l'eliminazione di TUTTE le informazioni ") +
               "relative ai finanziamenti delle corse come SERVIZIO AGGIUNTIVO, purchè di " +
               "competenza del contratto di servizio indicato.\n" +
               "Alle corse interessate verrà assegnato un finanziamente come SERVIZIO MINIMO.\n\n" + tail;
    const std::string basis = mode == RemovalMode::CalendarSplits ? "CALENDARIO" : "PERCORSO";
    return std::string("Attenzione: questa funzione causerà l'eliminazione di TUTTE le informazioni ") +
           "relative al frazionamento della competenza contabile registrate sulla base " + "del " + basis +
           ", purchè di competenza del contratto di servizio indicato.\n\n" + tail;
}

RemovalCounts removeAdditionalFinancing(DbConnection* connection, int authority, int company, MessageSink& sink,
                                        OperationFeedback& feedback)
{
    RemovalCounts counts;
    feedback.beginBusy(false);
    OperationTransaction operation(connection, sink, feedback, LockScope::contract(authority, company));
    if (!operation.begun())
        return counts;
    SelectCursor select(connection);
    select.AddField("concors", "ID", SqlType::Integer);
    select.SetFrom("corse, concors");
    select.SetWhere(contractRuns("concors", authority, company) + " AND concors.minima = 0");
    select.SetOrderBy("concors.ID");
    const std::vector<long> ids = selectRunIds(select, operation);
    restoreMinimumService(connection, "concors", authority, company, ids, counts, operation);
    if (!operation.commit())
        return {};
    counts.completed = true;
    sink.showMessage(std::string("Risultati dell'elaborazione:\n\n") +
                         formatText("Elaborate %d corse (finanziamento servizio aggiuntivo)\n", counts.processed) +
                         formatText("Ripristinate %d corse (finanziamento servizio minimo)\n", counts.changed),
                     MessageIcon::Information);
    return counts;
}

RemovalCounts removeCalendarSplits(DbConnection* connection, int authority, int company, MessageSink& sink,
                                   OperationFeedback& feedback)
{
    RemovalCounts counts;
    feedback.beginBusy(true);
    OperationTransaction operation(connection, sink, feedback, LockScope::contract(authority, company));
    if (!operation.begun())
        return counts;
    SelectCursor select(connection);
    select.AddField("conkal", "ID", SqlType::Integer);
    select.AddField("conkal", "minima", SqlType::Bit);
    select.AddField("conkal", "ente", SqlType::SmallInt);
    select.AddField("concors", "minima", SqlType::Bit);
    select.AddField("concors", "ente", SqlType::SmallInt);
    select.SetFrom("corse, conkal, concors");
    select.SetWhere(contractRuns("conkal", authority, company) +
                    formatText(" AND concors.azienda = %d AND concors.ID = corse.ID", company));
    select.SetOrderBy("conkal.ID");
    std::vector<long> ids;
    for (bool row = select.Execute(); row && operation.going(); row = select.MoveNext()) {
        int id = 0, dayMinimum = 0, dayAuthority = 0, runMinimum = 0, runAuthority = 0;
        select.GetLong(0, id);
        select.GetShort(1, dayMinimum);
        select.GetShort(2, dayAuthority);
        select.GetShort(3, runMinimum);
        select.GetShort(4, runAuthority);
        const bool differs = (dayMinimum != 0) != (runMinimum != 0) || dayAuthority != runAuthority;
        if (differs && (ids.empty() || ids.back() != id))
            ids.push_back(id);
    }
    restoreMinimumService(connection, "conkal", authority, company, ids, counts, operation);
    if (!operation.commit())
        return {};
    counts.completed = true;
    sink.showMessage(std::string("Risultati dell'eliminazione:\n\n") +
                         formatText("Eliminate %d righe frazionamento contabile calendari", counts.changed),
                     MessageIcon::Information);
    return counts;
}

RemovalCounts removeItinerarySplits(DbConnection* connection, int authority, int company, MessageSink& sink,
                                    OperationFeedback& feedback)
{
    RemovalCounts counts;
    feedback.beginBusy(false);
    OperationTransaction operation(connection, sink, feedback, LockScope::contract(authority, company));
    if (!operation.begun())
        return counts;
    SelectCursor select(connection);
    select.AddField("conitine", "ID", SqlType::Integer);
    select.SetFrom("corse, conitine");
    select.SetWhere(contractRuns("conitine", authority, company));
    select.SetGroupBy("conitine.ID");
    select.SetOrderBy("conitine.ID");
    const std::vector<long> ids = selectRunIds(select, operation);
    for (const std::string& list : idLists(ids)) {
        DeleteCursor cursor(connection);
        cursor.SetColumns("ID");
        cursor.SetTable("conitine");
        cursor.SetWhere(formatText("azienda = %d AND ID IN (", company) + list + ")");
        for (bool row = cursor.Open(); row && operation.going(); row = cursor.MoveNext())
            if (cursor.Delete()) {
                ++counts.processed;
                counts.changed += cursor.DeletedCount();
            }
    }
    if (!operation.commit())
        return {};
    counts.completed = true;
    sink.showMessage(std::string("Risultati dell'eliminazione:\n\n") +
                         formatText("Eliminate %d righe frazionamento contabile itinerari", counts.changed),
                     MessageIcon::Information);
    return counts;
}

RemovalCounts runRemoval(RemovalMode mode, DbConnection* connection, int authority, int company, MessageSink& sink,
                         OperationFeedback& feedback)
{
    switch (mode) {
    case RemovalMode::AdditionalFinancing:
        return removeAdditionalFinancing(connection, authority, company, sink, feedback);
    case RemovalMode::CalendarSplits:
        return removeCalendarSplits(connection, authority, company, sink, feedback);
    case RemovalMode::ItinerarySplits:
        break;
    }
    return removeItinerarySplits(connection, authority, company, sink, feedback);
}

} // namespace korvan::accounting
