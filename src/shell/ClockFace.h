#pragma once

// One frame of the busy clock as it appears on the screen: the thin raised
// frame, the black client area and MM:SS in seven-segment pictures. Plain
// image drawing, so any thread may paint a frame.

#include "shell/ClockPictures.h"
#include "shell/ClockReading.h"

#include <QColor>
#include <QImage>
#include <QSize>

namespace korvan::shell {

struct ClockFrameStyle {
    int frameWidth = 2;
    QColor light;  // top and left edges of the raised frame
    QColor shadow; // bottom and right edges
};

// `windowSize` includes the frame. Digits at y = 10 of the client area,
// minutes at x = 10 and 10 + digit width, the separator (when `colon`) at
// 10 + 2 digit widths, seconds after it.
QImage paintClockFace(const ClockPictures& pictures, const ClockFrameStyle& style, QSize windowSize,
                      const ClockDigits& digits, bool colon);

} // namespace korvan::shell
