#pragma once

// Dialog layouts are given in dialog units: a quarter of the dialog font's
// average character width horizontally and an eighth of its height
// vertically. These turn them into pixels for a widget's font.

#include <QFontMetrics>
#include <QRect>

namespace korvan::ui {

class DialogUnits {
  public:
    explicit DialogUnits(const QFontMetrics& metrics) : baseX_(metrics.averageCharWidth()), baseY_(metrics.height()) {}

    int x(int units) const { return (units * baseX_ + 2) / 4; }
    int y(int units) const { return (units * baseY_ + 4) / 8; }
    QRect rect(int left, int top, int width, int height) const { return QRect(x(left), y(top), x(width), y(height)); }

  private:
    int baseX_;
    int baseY_;
};

} // namespace korvan::ui
