#pragma once

// The busy clock's way to the screen that does not need the interface
// thread: on X11 the clock is a native child window, and its worker thread
// puts each frame straight into that window through the application's XCB
// connection (libxcb is thread-safe). A widget is otherwise painted only by
// the interface thread, which a long operation keeps busy.

#include <QImage>

#include <cstdint>
#include <memory>

class QWidget;

namespace korvan::shell {

class NativeClockSurface {
  public:
    // True on a platform where the surface can exist (X11): the widget
    // should then have its own native window.
    static bool platformSupportsIt();
    // For a native `widget` on X11 whose window takes 32-bit pixels in this
    // machine's byte order; nullptr elsewhere. Interface thread.
    static std::unique_ptr<NativeClockSurface> create(QWidget* widget);

    ~NativeClockSurface();
    NativeClockSurface(const NativeClockSurface&) = delete;
    NativeClockSurface& operator=(const NativeClockSurface&) = delete;

    // Puts `frame` (the window's size, scaled to its device pixels) at the
    // window's origin and waits for the server to take it; false when it
    // refused (the window has gone). Any thread, one at a time.
    bool put(const QImage& frame);

  private:
    struct Handles;
    explicit NativeClockSurface(std::unique_ptr<Handles> handles);

    std::unique_ptr<Handles> handles_;
};

} // namespace korvan::shell
