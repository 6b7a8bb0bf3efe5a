#pragma once

// The batch program's handling of SIGINT (Ctrl-C) and SIGTERM: the first
// asks the operation at work to stop, so that it undoes what it did and says
// so (exit status 1); a second one ends the program at once, the database
// still undoing the unfinished transaction itself. While a confirmation is
// being asked nothing has begun, and a signal ends the program at once.

#include "batch/BatchCommands.h"

namespace korvan::batch {

// Installs the handlers for the life of the program; `stop` must outlive it.
void installStopHandlers(StopSignal& stop);

} // namespace korvan::batch
