#include "runs/ItineraryArc.h"

#include "db/SelectCursor.h"
#include "db/SqlTypes.h"
#include "db/Values.h"
#include "refdata/NameLookups.h"
#include "runs/SplitLines.h"
#include "runs/SplitRefusals.h"

namespace korvan::runs {

namespace {

double runRate(const SplitRun& run)
{
    return run.lengthMetres > 0 ? run.amount / (static_cast<double>(run.lengthMetres) * 0.001) : 0.0;
}

ItineraryArc lineOf(const SplitRun& run)
{
    ItineraryArc line;
    line.runId = run.runId;
    line.routeCode = run.routeCode;
    line.minimumService = run.minimumService;
    line.grantingAuthority = run.grantingAuthority;
    line.payingAuthority = run.payingAuthority;
    return line;
}

std::vector<ItineraryArc> routeArcs(DbConnection* connection, const SplitRun& run, double rate)
{
    std::vector<ItineraryArc> arcs;
    SelectCursor select(connection);
    select.AddField("archi", "inizio", SqlType::Integer);
    select.AddField("archi", "fine", SqlType::Integer);
    select.AddField("archi", "lung", SqlType::Integer);
    select.AddField("detitine", "ID", SqlType::Integer);
    select.AddField("detitine", "sub", SqlType::SmallInt);
    select.AddField("detitine", "dist", SqlType::Integer);
    select.SetFrom("archi, detitine, corse");
    select.SetWhere(formatText("corse.azienda = %d AND corse.ID = %ld", run.company, run.runId) +
                    formatText(" AND detitine.azienda = %d AND detitine.ID = corse.codperc", run.company) +
                    formatText(" AND archi.azienda = %d AND archi.ID = detitine.arco", run.company));
    select.SetOrderBy("detitine.sub");
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        int start = 0, end = 0, length = 0, route = 0, sub = 0, distance = 0;
        select.GetLong(0, start);
        select.GetLong(1, end);
        select.GetLong(2, length);
        select.GetLong(3, route);
        select.GetShort(4, sub);
        select.GetLong(5, distance);
        if (arcs.empty()) {
            ItineraryArc first = lineOf(run);
            first.routeCode = route;
            first.stopId = start;
            arcs.push_back(first);
        }
        ItineraryArc arc = lineOf(run);
        arc.routeCode = route;
        arc.sub = sub;
        arc.stopId = end;
        arc.lengthMetres = length;
        arc.lengthKm = static_cast<double>(length) * 0.001;
        arc.progressiveKm = static_cast<double>(distance) * 0.001;
        arc.amount = arc.lengthKm * rate;
        arcs.push_back(arc);
    }
    return arcs;
}

// Stored rows replace the computed financing of the line with the same
// route and position; rows of another route or position are left aside.
void applyStoredSplit(DbConnection* connection, const SplitRun& run, std::vector<ItineraryArc>& arcs)
{
    SelectCursor select(connection);
    select.AddField("conitine", "codperc", SqlType::Integer);
    select.AddField("conitine", "sub", SqlType::SmallInt);
    select.AddField("conitine", "minima", SqlType::SmallInt);
    select.AddField("conitine", "ente", SqlType::SmallInt);
    select.AddField("conitine", "euro", SqlType::Double);
    select.SetFrom("conitine");
    select.SetWhere(formatText("conitine.azienda = %d AND conitine.ID = %ld", run.company, run.runId));
    select.SetOrderBy("codperc, sub");
    for (bool row = select.Execute(); row; row = select.MoveNext()) {
        int route = 0, sub = 0, minimum = 0, authority = 0;
        double euro = 0.0;
        select.GetLong(0, route);
        select.GetShort(1, sub);
        select.GetShort(2, minimum);
        select.GetShort(3, authority);
        select.GetDouble(4, euro);
        for (ItineraryArc& arc : arcs) {
            if (arc.isArc() && arc.routeCode == route && arc.sub == sub) {
                arc.minimumService = minimum != 0;
                arc.payingAuthority = authority;
                arc.amount = euro;
                break;
            }
        }
    }
}

void fillNames(DbConnection* connection, int company, std::vector<ItineraryArc>& arcs)
{
    std::vector<long> stops;
    for (const ItineraryArc& arc : arcs)
        stops.push_back(arc.stopId);
    if (!stops.empty()) {
        const std::unordered_map<long, std::string> names = refdata::stopNames(connection, company, stops);
        for (ItineraryArc& arc : arcs)
            if (const auto found = names.find(arc.stopId); found != names.end())
                arc.stopName = found->second;
    }
    fillPayingAuthorityNames(connection, arcs);
}

} // namespace

ItineraryArcList::ItineraryArcList(const SplitRun& run, std::vector<ItineraryArc> arcs)
    : run_(run), rate_(runRate(run)), arcs_(std::move(arcs))
{
}

ItineraryArcList ItineraryArcList::load(DbConnection* connection, const SplitRun& run)
{
    std::vector<ItineraryArc> arcs = routeArcs(connection, run, runRate(run));
    applyStoredSplit(connection, run, arcs);
    fillNames(connection, run.company, arcs);
    return ItineraryArcList(run, std::move(arcs));
}

const ItineraryArc* ItineraryArcList::at(int position) const
{
    return lineAt(arcs_, position);
}

double ItineraryArcList::arcSum() const
{
    double sum = 0.0;
    for (const ItineraryArc& arc : arcs_)
        sum += arc.amount;
    return sum;
}

void ItineraryArcList::setSelected(int position, bool selected)
{
    const ItineraryArc* arc = at(position);
    if (arc && arc->isArc())
        arcs_[static_cast<size_t>(position)].selected = selected;
}

void ItineraryArcList::toggleSelected(int position)
{
    if (const ItineraryArc* arc = at(position))
        setSelected(position, !arc->selected);
}

void ItineraryArcList::selectAll()
{
    for (ItineraryArc& arc : arcs_)
        arc.selected = arc.isArc();
}

void ItineraryArcList::clearSelection()
{
    for (ItineraryArc& arc : arcs_)
        arc.selected = false;
}

bool ItineraryArcList::anyOtherSelected(int position) const
{
    return runs::anyOtherSelected(arcs_, position);
}

bool ItineraryArcList::anyModified() const
{
    return runs::anyModified(arcs_);
}

std::optional<std::string> ItineraryArcList::refusal(int position, const SplitChange& change) const
{
    const ItineraryArc* arc = at(position);
    if (arc && change.totalMode && change.applyToSelected && arc->lengthMetres <= 0 && anyOtherSelected(position))
        return zeroLengthArcMessage();
    return std::nullopt;
}

bool ItineraryArcList::applyChange(int position, const SplitChange& change)
{
    const ItineraryArc* cursor = at(position);
    if (!cursor || !cursor->isArc() || refusal(position, change))
        return false;
    const double editedKm = cursor->lengthKm;
    ItineraryArc& edited = arcs_[static_cast<size_t>(position)];
    takeSplitChange(edited, change, change.totalMode ? change.value : edited.lengthKm * change.value);
    propagateToSelectedRuns_ = change.applyToSelectedRuns;
    if (change.applyToSelected) {
        // A total for the edited arc is its price per km for the others.
        const double perKm = change.totalMode ? (editedKm > 0.0 ? change.value / editedKm : 0.0) : change.value;
        for (ItineraryArc& arc : arcs_)
            if (arc.selected && arc.isArc() && &arc != &edited)
                takeSplitChange(arc, change, perKm * arc.lengthKm);
    }
    return true;
}

} // namespace korvan::runs
