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
    // The wait cursor, and the elapsed-time clock when asked. Both end at the
    // first idle moment of the event loop the operation was started from (a
    // modal box inside the operation runs a loop of its own meanwhile).
    virtual void beginBusy(bool showClock) = 0;
    // BusyScope's two ends: the indicator lasts while a scope is open, and
    // when the last one closes the pointer is restored at once and the clock
    // goes at the next idle moment of any event loop.
    virtual void enterBusyScope(bool showClock) { beginBusy(showClock); }
    virtual void leaveBusyScope() {}
    // Shows the progress bar (0..100) when first called.
    virtual void setProgress(int percent) = 0;
    // Removes the progress bar.
    virtual void endProgress() = 0;
    virtual void showStatusBanner(const std::string& text) = 0;
    // The user asked the operation to stop (the batch program on SIGINT or
    // SIGTERM): it stops at its next step and undoes what it did.
    virtual bool stopRequested() { return false; }
};

// One operation whose end is not a return to the event loop that will wait
// next: a window that loads its first view before running its own modal loop,
// say. Scopes nest.
class BusyScope {
  public:
    BusyScope(OperationFeedback& feedback, bool showClock) : feedback_(feedback)
    {
        feedback_.enterBusyScope(showClock);
    }
    ~BusyScope() { feedback_.leaveBusyScope(); }
    BusyScope(const BusyScope&) = delete;
    BusyScope& operator=(const BusyScope&) = delete;

  private:
    OperationFeedback& feedback_;
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
