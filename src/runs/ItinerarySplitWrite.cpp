#include "runs/ItinerarySplitWrite.h"

#include "db/DbConnection.h"
#include "db/KeyLookup.h"
#include "db/MessageSink.h"
#include "db/SavepointGuard.h"
#include "runs/ArcTravelTime.h"
#include "runs/ItineraryArc.h"
#include "runs/RunAccounting.h"
#include "runs/SplitRowWrite.h"

#include <cmath>

namespace korvan::runs {

namespace {

bool storeArc(KeyLookup& lookup, int company, long runId, const ItineraryArc& arc, int travelMinutes)
{
    TableCursor& cursor = lookup.cursor();
    if (lookup.find({keyNumber("azienda", company), keyNumber("ID", runId), keyNumber("codperc", arc.routeCode),
                     keyNumber("sub", arc.sub)})) {
        if (!cursor.Edit())
            return false;
    } else {
        if (!cursor.AddNew())
            return false;
        cursor.SetField("azienda", formatText("%d", company));
        cursor.SetField("ID", formatText("%ld", runId));
        cursor.SetField("codperc", formatText("%ld", arc.routeCode));
        cursor.SetField("sub", formatText("%d", arc.sub));
    }
    setFinancingFields(cursor, arc.amount, 4, arc.minimumService, arc.grantingAuthority, arc.payingAuthority);
    cursor.SetField("lung", formatText("%ld", arc.lengthMetres));
    cursor.SetField("tempo", formatText("%d", travelMinutes));
    return cursor.Update();
}

void writeArcs(DbConnection* connection, int company, const std::vector<long>& runIds,
               const std::vector<const ItineraryArc*>& modified, const SavepointGuard& guard, SplitWriteResult& result)
{
    KeyLookup lookup(connection, "conitine");
    if (!lookup.IsOpen())
        return;
    for (long runId : runIds) {
        const RunPassingTimes times = RunPassingTimes::load(connection, company, runId);
        for (const ItineraryArc* arc : modified) {
            if (guard.Failed())
                return;
            if (storeArc(lookup, company, runId, *arc, times.travelMinutes(arc->sub)))
                ++result.rowsWritten;
        }
        result.markedRuns.push_back(runId);
    }
}

} // namespace

SplitWriteResult writeItineraryChanges(DbConnection* connection, const ItineraryArcList& arcs,
                                       const std::vector<SplitRun>& selectedRuns, MessageSink& sink)
{
    SplitWriteResult result;
    const SplitRun& edited = arcs.run();
    std::vector<const ItineraryArc*> modified;
    for (const ItineraryArc& arc : arcs.arcs())
        if (arc.modified && arc.isArc())
            modified.push_back(&arc);
    if (modified.empty()) {
        result.written = true;
        return result;
    }
    for (const ItineraryArc* arc : modified)
        if (!std::isfinite(arc->amount)) {
            sink.showMessage(invalidAmountMessage(), MessageIcon::Error);
            return result;
        }

    std::vector<long> runIds{edited.runId};
    if (arcs.propagateToSelectedRuns())
        for (const SplitRun& run : selectedRuns)
            if (run.company == edited.company && run.runId != edited.runId && run.routeCode == edited.routeCode)
                runIds.push_back(run.runId);

    return writeInSavepoint(connection, [&](const SavepointGuard& guard, SplitWriteResult& stored) {
        writeArcs(connection, edited.company, runIds, modified, guard, stored);
    });
}

} // namespace korvan::runs
