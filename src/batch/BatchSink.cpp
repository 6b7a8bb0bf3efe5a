#include "batch/BatchSink.h"

namespace korvan::batch {

void TerminalFeedback::setProgress(int percent)
{
    // The line is rewritten only when it changes.
    if (!enabled_ || (lineOpen_ && percent == shownPercent_))
        return;
    shownPercent_ = percent;
    err_ << '\r' << banner_ << (banner_.empty() ? "" : " ") << percent << "%\033[K" << std::flush;
    lineOpen_ = true;
}

void TerminalFeedback::endProgress()
{
    closeLine();
}

void TerminalFeedback::showStatusBanner(const std::string& text)
{
    banner_ = text;
    shownPercent_ = -1;
    if (!enabled_)
        return;
    err_ << '\r' << banner_ << "\033[K" << std::flush;
    lineOpen_ = true;
}

void TerminalFeedback::closeLine()
{
    if (lineOpen_)
        err_ << '\n' << std::flush;
    lineOpen_ = false;
}

void BatchMessageSink::showMessage(const std::string& text, MessageIcon icon)
{
    feedback_.closeLine();
    if (icon == MessageIcon::Information || icon == MessageIcon::Question) {
        out_ << text << '\n' << std::flush;
        return;
    }
    failed_ = true;
    err_ << text << '\n' << std::flush;
}

bool BatchMessageSink::askConfirmation(const std::string& text)
{
    if (confirmed_)
        return true;
    feedback_.closeLine();
    err_ << text << '\n';
    if (!terminalInput_) {
        err_ << "korvan-batch: not confirmed: standard input is not a terminal; give --yes to confirm\n" << std::flush;
        declined_ = true;
        return false;
    }
    err_ << "Confermare? [s/N] " << std::flush;
    std::string answer;
    if (stop_)
        stop_->askingConfirmation = 1;
    std::getline(*terminalInput_, answer);
    if (stop_)
        stop_->askingConfirmation = 0;
    const bool yes = !answer.empty() && (answer[0] == 's' || answer[0] == 'S' || answer[0] == 'y' || answer[0] == 'Y');
    if (!yes)
        declined_ = true;
    return yes;
}

} // namespace korvan::batch
