#pragma once

// The busy indicator's clock: a small framed child window centred in the
// main window that shows MM:SS elapsed since it was switched on, in
// seven-segment digits with a blinking separator.
//
// A worker thread at the lowest priority ticks once a second while the
// `running` flag is set; it never touches the widget: each tick is posted to
// the widget's thread as a queued call carrying the reading to show, and
// when the flag drops the worker posts the hide and ends. The flag is the
// only state the two threads share. Calls posted by an earlier run are
// recognised by their run number and ignored.

#include "shell/ClockPictures.h"
#include "shell/ClockReading.h"

#include <QFrame>

#include <atomic>
#include <cstdint>

class QThread;

namespace korvan::shell {

class BusyClockWidget : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kWindowId = 6001;

    explicit BusyClockWidget(QWidget* parent);
    ~BusyClockWidget() override;

    // Switches the clock on unless it is running: notes the start time,
    // centres and shows the window, paints it at once and starts the worker.
    void start();
    // The idle hook: lowers the running flag; the worker hides the window
    // within a second.
    void idleHook();

    bool isRunning() const { return running_.load(); }
    // Seconds since the epoch (UTC) of the last start.
    std::int64_t startTime() const { return startTime_; }
    // How many times the clock has been started.
    std::uint64_t runNumber() const { return runNumber_; }
    // What the window shows now.
    const ClockDigits& shownDigits() const { return shownDigits_; }
    bool colonShown() const { return colonShown_; }
    // Client area: colon + 4 digits + 30 by digit height + 30 (186 × 78).
    QSize clientSize() const;

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void runWorker(std::int64_t startTime, std::uint64_t run);
    void showTick(std::uint64_t run, ClockDigits digits, bool colon);
    void hideAfterRun(std::uint64_t run);
    void centreInParent();
    void joinWorker();

    ClockPictures pictures_;
    std::atomic<bool> running_{false};
    std::int64_t startTime_ = 0;
    std::uint64_t runNumber_ = 0;
    ClockDigits shownDigits_{};
    bool colonShown_ = true;
    QThread* worker_ = nullptr;
};

} // namespace korvan::shell
