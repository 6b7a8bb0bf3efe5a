#pragma once

// Records what an operation tells the user while it works: the busy
// indicator, every percentage, the banners. `onProgress` runs after each
// percentage (a test may ask the operation to stop there, or break
// something), and `stop` is what stopRequested answers.

#include "core/OperationFeedback.h"

#include <functional>
#include <string>
#include <vector>

namespace korvan::test {

class RecordingFeedback : public OperationFeedback {
  public:
    void beginBusy(bool showClock) override { busyCalls.push_back(showClock); }
    void setProgress(int percent) override
    {
        progress.push_back(percent);
        if (onProgress)
            onProgress();
    }
    void endProgress() override { ++endCalls; }
    void showStatusBanner(const std::string& text) override { banners.push_back(text); }
    bool stopRequested() override { return stop; }

    // The operation is past `percent` of the step with this banner.
    bool reached(const std::string& banner, int percent) const
    {
        return !banners.empty() && banners.back() == banner && !progress.empty() && progress.back() >= percent;
    }

    std::vector<bool> busyCalls;
    std::vector<int> progress;
    std::vector<std::string> banners;
    int endCalls = 0;
    std::function<void()> onProgress;
    bool stop = false;
};

} // namespace korvan::test
