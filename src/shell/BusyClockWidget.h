#pragma once

// The busy indicator's clock: a small framed child window centred in the
// main window that shows MM:SS elapsed since it was switched on, in
// seven-segment digits with a blinking separator.
//
// A worker thread at the lowest priority paints a frame once a second while
// the `running` flag is set, and must be seen while the interface thread is
// held by the operation. On X11 the window is native and the worker puts
// each frame into it itself (NativeClockSurface); elsewhere the frame waits
// for the interface thread, which paints the last frame whenever it paints
// the widget. The idle hook lowers the flag, wakes and joins the worker and
// hides the window. Besides the flag the threads share only the last frame,
// under a mutex.

#include "shell/ClockFace.h"
#include "shell/ClockPictures.h"
#include "shell/ClockReading.h"

#include <QFrame>
#include <QImage>

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <memory>
#include <mutex>

class QThread;

namespace korvan::shell {

class NativeClockSurface;

class BusyClockWidget : public QFrame {
    Q_OBJECT
  public:
    static constexpr int kWindowId = 6001;

    explicit BusyClockWidget(QWidget* parent);
    ~BusyClockWidget() override;

    // Switches the clock on unless it is running: notes the start time,
    // centres and shows the window, paints it at once and starts the worker.
    void start();
    // The idle hook: stops the worker and hides the window.
    void idleHook();

    bool isRunning() const { return running_.load(); }
    // Seconds since the epoch (UTC) of the last start.
    std::int64_t startTime() const { return startTime_; }
    // How many times the clock has been started.
    std::uint64_t runNumber() const { return runNumber_; }
    // The last frame painted (the whole window, frame included), its
    // reading and whether it has the separator.
    QImage shownFrame() const;
    ClockDigits shownDigits() const;
    bool colonShown() const;
    // True while the worker's frames reach the screen without the interface
    // thread (X11).
    bool paintsFromWorker() const { return surface_ != nullptr; }
    // Client area: colon + 4 digits + 30 by digit height + 30 (186 × 78).
    QSize clientSize() const;
    const ClockPictures& pictures() const { return pictures_; }
    const ClockFrameStyle& frameStyle() const { return style_; }

  protected:
    void paintEvent(QPaintEvent* event) override;

  private:
    void runWorker(std::int64_t startTime);
    void paintFrame(const ClockDigits& digits, bool colon);
    void stopWorker();
    void centreInParent();

    ClockPictures pictures_;
    ClockFrameStyle style_;
    QSize windowSize_;
    std::atomic<bool> running_{false};
    std::int64_t startTime_ = 0;
    std::uint64_t runNumber_ = 0;
    QThread* worker_ = nullptr;
    std::mutex stopMutex_;
    std::condition_variable stopSignal_;
    // The last frame and its reading; the surface is used under it too, so
    // that the frame kept is the one on the screen.
    mutable std::mutex frameMutex_;
    QImage frame_;
    ClockDigits shownDigits_{};
    bool colonShown_ = true;
    std::unique_ptr<NativeClockSurface> surface_;
};

} // namespace korvan::shell
