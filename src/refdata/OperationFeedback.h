#pragma once

// What a long operation tells the user while it works, apart from messages
// (those go through MessageSink): the busy indicator, a percentage on the
// progress bar and a one-line status banner. The main window implements it;
// tests and the batch program use their own.

#include <string>

namespace korvan {

class OperationFeedback {
  public:
    virtual ~OperationFeedback() = default;
    // The wait cursor, and the elapsed-time clock when asked.
    virtual void beginBusy(bool showClock) = 0;
    // Shows the progress bar (0..100) when first called.
    virtual void setProgress(int percent) = 0;
    // Removes the progress bar.
    virtual void endProgress() = 0;
    virtual void showStatusBanner(const std::string& text) = 0;
    // The user asked the operation to stop (the batch program on SIGINT or
    // SIGTERM): it stops at its next step and undoes what it did.
    virtual bool stopRequested() { return false; }
};

// Does nothing: for callers that show no progress.
class SilentFeedback : public OperationFeedback {
  public:
    void beginBusy(bool) override {}
    void setProgress(int) override {}
    void endProgress() override {}
    void showStatusBanner(const std::string&) override {}
};

} // namespace korvan
