#include "reports/StatementSources.h"

#include "accounting/CalendarGeneration.h"
#include "db/DbConnection.h"
#include "db/SelectCursor.h"
#include "db/SqlTypes.h"

#include <algorithm>
#include <tuple>

namespace korvan::reports {

const RunDays& StatementSources::daysOf(const RunKey& key) const
{
    static const RunDays none;
    const auto found = days.find(key);
    return found == days.end() ? none : found->second;
}

const std::vector<ArcGroup>& StatementSources::arcsOf(const RunKey& key) const
{
    static const std::vector<ArcGroup> none;
    const auto found = arcs.find(key);
    return found == arcs.end() ? none : found->second;
}

namespace {

// Amounts that are not numbers, as "table, azienda %d, ID %ld: value".
class AmountReader {
  public:
    Amount read(SelectCursor& select, int index, const char* table, const RunKey& key)
    {
        double euro = 0;
        select.GetDouble(index, euro); // NULL: no amount
        if (const std::optional<Amount> amount = amountFromEuro(euro))
            return *amount;
        if (problems_.size() < kListed)
            problems_.push_back(formatText("%s: azienda %d, corsa %ld, euro %s", table, key.company, key.id,
                                           shortestText(euro).c_str()));
        ++count_;
        return 0;
    }

    // Shows the amounts that are not numbers; false when there were some.
    bool report(DbConnection* connection) const
    {
        if (count_ == 0)
            return true;
        std::string text = "ATTENZIONE: la base dati contiene importi non validi; il prospetto non può essere "
                           "calcolato.\n\n";
        for (const std::string& problem : problems_)
            text += problem + "\n";
        if (count_ > problems_.size())
            text += formatText("... e altri %zu.\n", count_ - problems_.size());
        connection->Sink().showMessage(text, MessageIcon::Error);
        return false;
    }

  private:
    static constexpr size_t kListed = 10;
    std::vector<std::string> problems_;
    size_t count_ = 0;
};

std::string authorityCondition(std::optional<int> grantingAuthority)
{
    return grantingAuthority ? formatText(" AND corse.ente = %d", *grantingAuthority) : std::string();
}

std::string trimmedText(SelectCursor& select, int index)
{
    std::string text;
    select.GetText(index, text);
    trimTrailingBlanksInPlace(text);
    return text;
}

void defineRunsQuery(SelectCursor& select, std::optional<int> grantingAuthority)
{
    select.AddField("corse", "azienda", SqlType::SmallInt);
    select.AddField("corse", "ID", SqlType::Integer);
    select.AddField("corse", "ente", SqlType::SmallInt);
    select.AddField("linee", "linea", SqlType::VarChar);
    select.AddField("corse", "verso", SqlType::VarChar);
    select.AddField("corse", "codcorsa", SqlType::VarChar);
    select.AddField("corse", "ct_lung", SqlType::Integer);
    select.AddField("corse", "ct_tempo", SqlType::SmallInt);
    select.AddField("concors", "minima", SqlType::Bit);
    select.AddField("concors", "ente", SqlType::SmallInt);
    select.AddField("concors", "euro", SqlType::Double);
    select.AddField("corse", "hh_p", SqlType::SmallInt);
    select.AddField("corse", "mm_p", SqlType::SmallInt);
    select.AddField("corse", "capol_p", SqlType::Integer);
    select.AddField("corse", "hh_a", SqlType::SmallInt);
    select.AddField("corse", "mm_a", SqlType::SmallInt);
    select.AddField("corse", "capol_a", SqlType::Integer);
    select.SetFrom("conline, linee, concors, corse");
    select.SetWhere("concors.azienda = corse.azienda AND concors.ID = corse.ID"
                    " AND conline.azienda = corse.azienda AND conline.ID = corse.ID AND conline.linea = linee.ID" +
                    authorityCondition(grantingAuthority));
}

std::vector<RunRecord> readRuns(DbConnection* connection, std::optional<int> grantingAuthority, AmountReader& amounts)
{
    SelectCursor select(connection);
    defineRunsQuery(select, grantingAuthority);
    std::vector<RunRecord> runs;
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        RunRecord run;
        int id = 0, minimum = 0, hour = 0, minute = 0, stop = 0, length = 0;
        select.GetShort(0, run.key.company);
        select.GetLong(1, id);
        run.key.id = id;
        select.GetShort(2, run.contractAuthority);
        run.lineCode = trimmedText(select, 3);
        run.directionText = trimmedText(select, 4);
        run.runCode = trimmedText(select, 5);
        select.GetLong(6, length);
        run.length = length;
        select.GetShort(7, run.minutes);
        select.GetShort(8, minimum);
        run.minimumService = minimum != 0;
        select.GetShort(9, run.payingAuthority);
        run.dayAmount = amounts.read(select, 10, "concors", run.key);
        select.GetShort(11, hour);
        select.GetShort(12, minute);
        run.departureMinutes = hour * 60 + minute;
        select.GetLong(13, stop);
        run.departureStop = stop;
        select.GetShort(14, hour);
        select.GetShort(15, minute);
        run.arrivalMinutes = hour * 60 + minute;
        select.GetLong(16, stop);
        run.arrivalStop = stop;
        runs.push_back(std::move(run));
    }
    return runs;
}

// The runs in statement order, each once (the first row of a run whose
// keys the database does not keep unique).
void orderRuns(std::vector<RunRecord>& runs)
{
    const auto order = [](const RunRecord& r) {
        return std::tie(r.contractAuthority, r.key.company, r.lineCode, r.directionText, r.runCode, r.key.id);
    };
    std::stable_sort(runs.begin(), runs.end(),
                     [&](const RunRecord& a, const RunRecord& b) { return order(a) < order(b); });
    const auto duplicate =
        std::unique(runs.begin(), runs.end(), [](const RunRecord& a, const RunRecord& b) { return a.key == b.key; });
    runs.erase(duplicate, runs.end());
}

// The period condition without its leading " AND ".
std::string periodCondition(DbConnection* connection, const CivilDate& start, const CivilDate& end)
{
    std::string condition = accounting::calendarPeriodCondition(connection, start, end);
    const std::string leading = " AND ";
    if (condition.compare(0, leading.size(), leading) == 0)
        condition.erase(0, leading.size());
    return condition;
}

template <typename Group, typename Same> Group& groupOf(std::vector<Group>& groups, Same same)
{
    for (Group& group : groups)
        if (same(group))
            return group;
    groups.emplace_back();
    return groups.back();
}

void defineDaysQuery(SelectCursor& select, DbConnection* connection, std::optional<int> grantingAuthority,
                     const CivilDate& start, const CivilDate& end)
{
    select.AddField("conkal", "azienda", SqlType::SmallInt);
    select.AddField("conkal", "ID", SqlType::Integer);
    select.AddField("conkal", "minima", SqlType::Bit);
    select.AddField("conkal", "ente", SqlType::SmallInt);
    select.AddField("conkal", "euro", SqlType::Double);
    if (grantingAuthority) {
        select.SetFrom("conkal, corse");
        select.SetWhere("corse.azienda = conkal.azienda AND corse.ID = conkal.ID" +
                        authorityCondition(grantingAuthority) + " AND " + periodCondition(connection, start, end));
    } else {
        select.SetFrom("conkal");
        select.SetWhere(periodCondition(connection, start, end));
    }
}

std::unordered_map<RunKey, RunDays, RunKeyHash> readDays(DbConnection* connection, std::optional<int> grantingAuthority,
                                                         const CivilDate& start, const CivilDate& end,
                                                         AmountReader& amounts)
{
    SelectCursor select(connection);
    defineDaysQuery(select, connection, grantingAuthority, start, end);
    std::unordered_map<RunKey, RunDays, RunKeyHash> days;
    RunKey lastKey{-1, -1};
    RunDays* last = nullptr;
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        RunKey key;
        int id = 0, minimum = 0, payer = 0;
        select.GetShort(0, key.company);
        select.GetLong(1, id);
        key.id = id;
        select.GetShort(2, minimum);
        select.GetShort(3, payer);
        const Amount amount = amounts.read(select, 4, "conkal", key);
        // The rows of a run mostly come together: look it up once for them.
        if (!last || !(key == lastKey)) {
            last = &days[key];
            lastKey = key;
        }
        const bool isMinimum = minimum != 0;
        DayGroup& group = groupOf(last->groups, [&](const DayGroup& g) {
            return g.minimumService == isMinimum && g.payingAuthority == payer;
        });
        group.minimumService = isMinimum;
        group.payingAuthority = payer;
        ++group.days;
        group.amount += amount;
        ++last->days;
    }
    for (auto& [key, run] : days)
        std::sort(run.groups.begin(), run.groups.end(), [](const DayGroup& a, const DayGroup& b) {
            return std::make_tuple(!a.minimumService, a.payingAuthority) <
                   std::make_tuple(!b.minimumService, b.payingAuthority);
        });
    return days;
}

void defineArcsQuery(SelectCursor& select, std::optional<int> grantingAuthority)
{
    select.AddField("conitine", "azienda", SqlType::SmallInt);
    select.AddField("conitine", "ID", SqlType::Integer);
    select.AddField("conitine", "minima", SqlType::Bit);
    select.AddField("conitine", "ente", SqlType::SmallInt);
    select.AddField("conitine", "lung", SqlType::Integer);
    select.AddField("conitine", "tempo", SqlType::SmallInt);
    select.AddField("conitine", "euro", SqlType::Double);
    if (grantingAuthority) {
        select.SetFrom("conitine, corse");
        select.SetWhere("corse.azienda = conitine.azienda AND corse.ID = conitine.ID" +
                        authorityCondition(grantingAuthority));
    } else {
        select.SetFrom("conitine");
    }
}

std::unordered_map<RunKey, std::vector<ArcGroup>, RunKeyHash>
readArcs(DbConnection* connection, std::optional<int> grantingAuthority, AmountReader& amounts)
{
    SelectCursor select(connection);
    defineArcsQuery(select, grantingAuthority);
    std::unordered_map<RunKey, std::vector<ArcGroup>, RunKeyHash> arcs;
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        RunKey key;
        int id = 0, minimum = 0, payer = 0, length = 0, minutes = 0;
        select.GetShort(0, key.company);
        select.GetLong(1, id);
        key.id = id;
        select.GetShort(2, minimum);
        select.GetShort(3, payer);
        select.GetLong(4, length);
        select.GetShort(5, minutes);
        const Amount amount = amounts.read(select, 6, "conitine", key);
        const bool isMinimum = minimum != 0;
        ArcGroup& group = groupOf(
            arcs[key], [&](const ArcGroup& g) { return g.minimumService == isMinimum && g.payingAuthority == payer; });
        group.minimumService = isMinimum;
        group.payingAuthority = payer;
        group.length += length;
        group.minutes += minutes;
        group.dayAmount += amount;
    }
    for (auto& [key, groups] : arcs)
        std::sort(groups.begin(), groups.end(), [](const ArcGroup& a, const ArcGroup& b) {
            return std::make_tuple(!a.minimumService, a.payingAuthority) <
                   std::make_tuple(!b.minimumService, b.payingAuthority);
        });
    return arcs;
}

} // namespace

std::optional<StatementSources> readStatementSources(DbConnection* connection, std::optional<int> grantingAuthority,
                                                     const CivilDate& periodStart, const CivilDate& periodEnd)
{
    if (!connection || !connection->IsOpen())
        return std::nullopt;
    const long failuresBefore = connection->FailureCount();
    AmountReader amounts;
    StatementSources sources;
    sources.runs = readRuns(connection, grantingAuthority, amounts);
    sources.days = readDays(connection, grantingAuthority, periodStart, periodEnd, amounts);
    sources.arcs = readArcs(connection, grantingAuthority, amounts);
    // A failed query, or a value the layer could not read, would leave the
    // statement short of rows or of figures.
    if (connection->FailureCount() != failuresBefore || !amounts.report(connection))
        return std::nullopt;

    orderRuns(sources.runs);
    std::erase_if(sources.runs, [&](const RunRecord& run) { return sources.daysOf(run.key).days == 0; });
    return sources;
}

std::vector<SourceQuery> statementSourceQueries(DbConnection* connection, std::optional<int> grantingAuthority,
                                                const CivilDate& periodStart, const CivilDate& periodEnd)
{
    SelectCursor runs(connection), days(connection), arcs(connection);
    defineRunsQuery(runs, grantingAuthority);
    defineDaysQuery(days, connection, grantingAuthority, periodStart, periodEnd);
    defineArcsQuery(arcs, grantingAuthority);
    std::vector<SourceQuery> queries;
    for (SelectCursor* select : {&runs, &days, &arcs}) {
        select->BuildSql();
        SourceQuery query{select->SqlText(), {}};
        for (const SelectItem& item : select->Fields())
            query.columnTypes.push_back(item.sqlType);
        queries.push_back(std::move(query));
    }
    return queries;
}

} // namespace korvan::reports
