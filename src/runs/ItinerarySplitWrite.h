#pragma once

// "Registra Modifiche" of the itinerary view: each modified arc goes into
// its `conitine` row (inserted when the run has none for that arc) with its
// financing, its amount with four decimals, its length in metres as `archi`
// holds it and the run's travel time over it from `orari`; when the last
// per-arc change asked for it, the same arcs of the other selected runs of
// the same route get the same rows, each with its own travel time. Arcs that
// were not changed get no row; `concors` and `conkal` are never touched.
//
// The writes go into the transaction the caller keeps open (the run
// browser's) and stand or fall together.

#include "runs/SplitRun.h"

#include <vector>

namespace korvan {
class DbConnection;
class MessageSink;
} // namespace korvan

namespace korvan::runs {

class ItineraryArcList;

// `selectedRuns`: the runs selected in the browser; the edited run and runs
// of another route are skipped.
SplitWriteResult writeItineraryChanges(DbConnection* connection, const ItineraryArcList& arcs,
                                       const std::vector<SplitRun>& selectedRuns, MessageSink& sink);

} // namespace korvan::runs
