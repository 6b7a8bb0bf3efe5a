#include "shell/ClockFace.h"

#include <QPainter>

namespace korvan::shell {

QImage paintClockFace(const ClockPictures& pictures, const ClockFrameStyle& style, QSize windowSize,
                      const ClockDigits& digits, bool colon)
{
    QImage face(windowSize, QImage::Format_RGB32);
    face.fill(Qt::black);
    QPainter painter(&face);
    const int w = windowSize.width(), h = windowSize.height();
    for (int i = 0; i < style.frameWidth; ++i) {
        painter.setPen(style.light);
        painter.drawLine(i, i, w - 1 - i, i);
        painter.drawLine(i, i, i, h - 1 - i);
        painter.setPen(style.shadow);
        painter.drawLine(i + 1, h - 1 - i, w - 1 - i, h - 1 - i);
        painter.drawLine(w - 1 - i, i + 1, w - 1 - i, h - 1 - i);
    }
    const int x0 = style.frameWidth + 10;
    const int y = style.frameWidth + 10;
    const int dw = pictures.digitWidth();
    const int cw = pictures.colonWidth();
    const auto digit = [&](std::size_t index) -> const QImage& {
        return pictures.digits[static_cast<std::size_t>(digits[index])];
    };
    painter.drawImage(x0, y, digit(0));
    painter.drawImage(x0 + dw, y, digit(1));
    if (colon)
        painter.drawImage(x0 + 2 * dw, y, pictures.colon);
    painter.drawImage(x0 + 2 * dw + cw, y, digit(2));
    painter.drawImage(x0 + 3 * dw + cw, y, digit(3));
    painter.end();
    return face;
}

} // namespace korvan::shell
