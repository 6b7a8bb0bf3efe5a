#pragma once

// The korvan-batch program without its main: reads the command line, opens
// the runs database and runs one core operation with the validation rules of
// its dialog. Kept apart from main so that tests can run it in-process.

#include <csignal>
#include <istream>
#include <optional>
#include <ostream>
#include <string>
#include <utility>
#include <vector>

namespace korvan::batch {

inline constexpr int kExitOk = 0;
inline constexpr int kExitFailed = 1;
inline constexpr int kExitUsage = 2;

// Set by the program's SIGINT and SIGTERM handlers (BatchSignals.h).
struct StopSignal {
    // The user asked to stop: the operation at work stops and undoes itself.
    volatile std::sig_atomic_t requested = 0;
    // A confirmation is being asked: nothing has begun, a stop ends the
    // program at once.
    volatile std::sig_atomic_t askingConfirmation = 0;
};

// What the program knows of its standard streams and signals.
struct Terminal {
    // Standard input when it is a terminal (confirmations are asked on it),
    // otherwise null.
    std::istream* input = nullptr;
    // Progress is shown only on a terminal.
    bool errorIsTerminal = false;
    // Null when no stop signal is caught.
    StopSignal* stop = nullptr;
};

// Arguments without the program name. Returns the exit status.
int runBatchCommand(const std::vector<std::string>& arguments, std::ostream& out, std::ostream& err,
                    const Terminal& terminal);

// Splits "FROM-TO" of a time band at the '-' where both halves read as
// times of day ("8-30-9-45" at the middle one); when no split gives two
// times, at the first '-' after a valid start, else at the first '-'.
// Nothing when there is no '-' at all.
std::optional<std::pair<std::string, std::string>> splitTimeBand(const std::string& text);

} // namespace korvan::batch
