#pragma once

// What the calendar's and the itinerary's "Registra Modifiche" share: the
// financing fields of a `conkal` or `conitine` row, and the savepoint that
// makes one call's rows stand or fall together.

#include "runs/SplitRun.h"

#include <functional>

namespace korvan {
class DbConnection;
class SavepointGuard;
class TableCursor;
} // namespace korvan

namespace korvan::runs {

// Sets the row's `euro` (with `decimals` decimals and a comma), `minima`
// and `ente`: the granting authority for minimum service, else the paying
// one.
void setFinancingFields(TableCursor& cursor, double amount, int decimals, bool minimumService, int grantingAuthority,
                        int payingAuthority);

// Runs `write` inside a savepoint of the caller's transaction. The result
// is written when the savepoint is kept; when it is undone, no run is
// marked and no row counts as written. Nothing is run when the savepoint
// cannot be set.
SplitWriteResult writeInSavepoint(DbConnection* connection,
                                  const std::function<void(const SavepointGuard&, SplitWriteResult&)>& write);

} // namespace korvan::runs
