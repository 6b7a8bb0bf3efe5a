#include "batch/BatchSignals.h"

#include <signal.h>
#include <unistd.h>

namespace korvan::batch {

namespace {

StopSignal* installed = nullptr;

void onStopSignal(int)
{
    if (!installed)
        return;
    if (installed->askingConfirmation)
        _exit(kExitFailed);
    installed->requested = 1;
}

} // namespace

void installStopHandlers(StopSignal& stop)
{
    installed = &stop;
    struct sigaction action = {};
    action.sa_handler = onStopSignal;
    sigemptyset(&action.sa_mask);
    // Interrupted reads and writes go on: only the operation decides to stop.
    // The handler is used once; a second signal has its default effect.
    action.sa_flags = SA_RESTART | SA_RESETHAND;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
}

} // namespace korvan::batch
