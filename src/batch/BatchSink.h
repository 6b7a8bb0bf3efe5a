#pragma once

// What the batch program does with the messages and the progress of the core
// operations: result texts on standard output, errors and warnings on
// standard error, confirmations answered by --yes (or asked on the terminal
// when standard input is one), progress on standard error only when it is a
// terminal.

#include "batch/BatchCommands.h"
#include "core/OperationFeedback.h"
#include "db/MessageSink.h"

#include <istream>
#include <ostream>
#include <string>

namespace korvan::batch {

// The banner phase and its percentage, on one line rewritten in place.
class TerminalFeedback : public OperationFeedback {
  public:
    TerminalFeedback(std::ostream& err, bool enabled, const StopSignal* stop = nullptr)
        : err_(err), enabled_(enabled), stop_(stop)
    {
    }

    void beginBusy(bool) override {}
    void setProgress(int percent) override;
    void endProgress() override;
    void showStatusBanner(const std::string& text) override;
    bool stopRequested() override { return stop_ && stop_->requested != 0; }
    // Ends the progress line before other output.
    void closeLine();

  private:
    std::ostream& err_;
    bool enabled_;
    const StopSignal* stop_;
    bool lineOpen_ = false;
    int shownPercent_ = -1;
    std::string banner_;
};

class BatchMessageSink : public MessageSink {
  public:
    // `input` is read for a confirmation only when it is a terminal; null
    // means it is not.
    BatchMessageSink(std::ostream& out, std::ostream& err, bool confirmed, std::istream* terminalInput,
                     TerminalFeedback& feedback, StopSignal* stop = nullptr)
        : out_(out), err_(err), confirmed_(confirmed), terminalInput_(terminalInput), feedback_(feedback), stop_(stop)
    {
    }

    void showMessage(const std::string& text, MessageIcon icon) override;
    bool askConfirmation(const std::string& text) override;

    // An error, a warning or a plain layer notice has been shown.
    bool failed() const { return failed_; }
    // A confirmation was answered no.
    bool declined() const { return declined_; }

  private:
    std::ostream& out_;
    std::ostream& err_;
    bool confirmed_;
    std::istream* terminalInput_;
    TerminalFeedback& feedback_;
    StopSignal* stop_;
    bool failed_ = false;
    bool declined_ = false;
};

} // namespace korvan::batch
