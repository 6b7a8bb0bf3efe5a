#include "shell/ClockPictures.h"

#include <QPainter>
#include <QPolygonF>

#include <algorithm>

namespace korvan::shell {

namespace {

const QColor kLit(255, 0, 0);
const QColor kUnlit(0, 0, 128);

// A segment as a hexagon between two points, `t` thick.
QPolygonF horizontalSegment(double x0, double x1, double y, double t)
{
    const double h = t / 2;
    return QPolygonF({{x0, y}, {x0 + h, y - h}, {x1 - h, y - h}, {x1, y}, {x1 - h, y + h}, {x0 + h, y + h}});
}

QPolygonF verticalSegment(double x, double y0, double y1, double t)
{
    const double h = t / 2;
    return QPolygonF({{x, y0}, {x + h, y0 + h}, {x + h, y1 - h}, {x, y1}, {x - h, y1 - h}, {x - h, y0 + h}});
}

QImage drawDigit(int digit)
{
    QImage picture(ClockPictures::kDigitWidth, ClockPictures::kDigitHeight, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);

    const double t = 5.0;
    const double left = 7, right = 29, top = 5, middle = 24, bottom = 43, gap = 1;
    const std::array<QPolygonF, 7> segments = {
        horizontalSegment(left + gap, right - gap, top, t),    // a
        verticalSegment(right, top + gap, middle - gap, t),    // b
        verticalSegment(right, middle + gap, bottom - gap, t), // c
        horizontalSegment(left + gap, right - gap, bottom, t), // d
        verticalSegment(left, middle + gap, bottom - gap, t),  // e
        verticalSegment(left, top + gap, middle - gap, t),     // f
        horizontalSegment(left + gap, right - gap, middle, t), // g
    };
    const int lit = litSegments(digit);
    for (std::size_t i = 0; i < segments.size(); ++i) {
        painter.setBrush((lit >> i) & 1 ? kLit : kUnlit);
        painter.drawPolygon(segments[i]);
    }
    painter.end();
    return picture;
}

QImage drawColon()
{
    QImage picture(ClockPictures::kColonWidth, ClockPictures::kDigitHeight, QImage::Format_RGB32);
    picture.fill(Qt::black);
    QPainter painter(&picture);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    painter.setBrush(kLit);
    painter.drawEllipse(QRectF(3, 13, 6, 6));
    painter.drawEllipse(QRectF(3, 29, 6, 6));
    painter.end();
    return picture;
}

} // namespace

int litSegments(int digit)
{
    static constexpr int kSegments[10] = {0x3F, 0x06, 0x5B, 0x4F, 0x66, 0x6D, 0x7D, 0x07, 0x7F, 0x6F};
    return digit >= 0 && digit <= 9 ? kSegments[digit] : kSegments[0];
}

ClockPictures ClockPictures::create()
{
    ClockPictures pictures;
    for (int d = 0; d < 10; ++d)
        pictures.digits[static_cast<std::size_t>(d)] = drawDigit(d);
    pictures.colon = drawColon();
    return pictures;
}

int ClockPictures::digitWidth() const
{
    int width = 0;
    for (const QImage& digit : digits)
        width = std::max(width, digit.width());
    return width;
}

int ClockPictures::digitHeight() const
{
    int height = 0;
    for (const QImage& digit : digits)
        height = std::max(height, digit.height());
    return height;
}

int ClockPictures::height() const
{
    return std::max(digitHeight(), colon.height());
}

} // namespace korvan::shell
