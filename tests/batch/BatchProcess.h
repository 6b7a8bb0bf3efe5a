#pragma once

// korvan-batch as a child process the test can watch and interrupt: its
// standard error on a pipe or on a pseudo-terminal (where the program shows
// its progress), run as another user or with a limit on the size of the
// files it writes.

#include "batch/BatchFixture.h"

#include <sys/types.h>

#include <functional>
#include <string>
#include <vector>

namespace korvan::test {

struct ChildOptions {
    // Standard error on a pseudo-terminal: the program shows its progress.
    bool errorOnTerminal = false;
    // Run as this user and group (the tests may run as root); -1 keeps them.
    long user = -1;
    // RLIMIT_FSIZE in bytes, SIGXFSZ ignored: writes beyond it fail with an
    // error, as on a full disk; -1 for none.
    long fileSizeLimit = -1;
};

class BatchChild {
  public:
    BatchChild(const std::vector<std::string>& arguments, const ChildOptions& options = {});
    ~BatchChild();
    BatchChild(const BatchChild&) = delete;
    BatchChild& operator=(const BatchChild&) = delete;

    bool started() const { return pid_ > 0; }
    // Reads the child's output until `done` holds for its standard error so
    // far; false when the child ended (or 120 s passed) first.
    bool readUntil(const std::function<bool(const std::string& err)>& done);
    void signal(int number);
    // Reads to the end and waits: status is the exit code, or 128 + the
    // signal that ended it.
    BatchRun finish();

  private:
    // Reads what is there within `milliseconds`; false when both streams ended.
    bool readSome(int milliseconds);

    pid_t pid_ = -1;
    int outFd_ = -1;
    int errFd_ = -1;
    std::string out_;
    std::string err_;
};

// True when the text of the child's terminal shows `banner` followed by a
// percentage of at least `percent`.
bool progressReached(const std::string& terminalText, const std::string& banner, int percent);

} // namespace korvan::test
