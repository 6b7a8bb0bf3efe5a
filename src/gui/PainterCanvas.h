#pragma once

// The page canvas on a QPainter whose transform maps page units to the
// device (see ReportOutput.h): texts in the measured report font, rules
// with a flat-ended pen 2 units wide.

#include "gui/PageCanvas.h"

class QPainter;

namespace korvan::gui {

class TextMeasure;

class PainterCanvas : public PageCanvas {
  public:
    PainterCanvas(QPainter& painter, const TextMeasure& measure);

    void drawText(int x, int y, const std::string& text) override;
    void drawInvertedText(int x, int y, const std::string& text) override;
    void fillRect(int left, int top, int right, int bottom, const QColor& color) override;
    void drawLine(int x1, int y1, int x2, int y2) override;

  private:
    QPainter& painter_;
    const TextMeasure& measure_;
};

} // namespace korvan::gui
