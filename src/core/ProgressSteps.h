#pragma once

// The progress arithmetic of the long operations (line extraction, calendar
// generation): after the k-th of n steps the bar shows trunc(k * 100 / n), at
// most 100. A percentage is passed on only when it changes, so a walk over
// many rows does not redraw the bar (or rewrite the terminal line) for each
// one.

#include "core/OperationFeedback.h"

namespace korvan {

class ProgressSteps {
  public:
    ProgressSteps(OperationFeedback& feedback, long total) : feedback_(feedback), total_(total) {}

    static int percent(long done, long total)
    {
        if (total <= 0)
            return 0;
        const long long value = static_cast<long long>(done) * 100 / total;
        return value > 100 ? 100 : static_cast<int>(value);
    }

    void reach(long done)
    {
        const int value = percent(done, total_);
        if (value != shown_) {
            shown_ = value;
            feedback_.setProgress(value);
        }
    }

  private:
    OperationFeedback& feedback_;
    long total_;
    int shown_ = -1;
};

} // namespace korvan
