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
    // InterruptScope's two ends: work the user may stop is under way (the
    // desktop shows its "Interrompi" button and takes Escape meanwhile).
    // Scopes nest; the outermost one starts with no stop asked.
    virtual void enterInterruptScope() {}
    virtual void leaveInterruptScope() {}
    // The user asked the operation to stop (the batch program on SIGINT or
    // SIGTERM, the desktop's "Interrompi"): it stops at its next step and
    // undoes what it did. Work that waits (for a lock, say) asks it between
    // two short waits. The desktop delivers the user's stop requests while
    // it is asked, so it is worth asking often.
    virtual bool stopRequested() { return false; }
};

// Work the user may stop, from its start to its end (an operation's
// transaction, a wait for another writer): while it lasts, stopRequested
// tells whether the user asked.
class InterruptScope {
  public:
    explicit InterruptScope(OperationFeedback& feedback) : feedback_(feedback) { feedback_.enterInterruptScope(); }
    ~InterruptScope() { end(); }
    // Ends the scope early (the work is past the point where it can stop).
    void end()
    {
        if (open_) {
            open_ = false;
            feedback_.leaveInterruptScope();
        }
    }
    InterruptScope(const InterruptScope&) = delete;
    InterruptScope& operator=(const InterruptScope&) = delete;

  private:
    OperationFeedback& feedback_;
    bool open_ = true;
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
