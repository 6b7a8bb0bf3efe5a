#pragma once

// What the page painter draws a report page with, in page units (1/600
// inch from the top left corner of the paper): texts in the report font,
// solid fills and the black rules. The painter canvas draws on a QPainter;
// the recording canvas keeps every call so that tests can check where
// things stand.

#include <QColor>

#include <string>

namespace korvan::gui {

class PageCanvas {
  public:
    virtual ~PageCanvas() = default;
    // A text in the report font, black, its line's top left corner at (x, y).
    virtual void drawText(int x, int y, const std::string& text) = 0;
    // The same text in white on a black box of its own width and line
    // height (the labels of total rows).
    virtual void drawInvertedText(int x, int y, const std::string& text) = 0;
    // A solid rectangle from (left, top) up to, not including, (right, bottom).
    virtual void fillRect(int left, int top, int right, int bottom, const QColor& color) = 0;
    // A black rule 2 units wide from (x1, y1) to (x2, y2).
    virtual void drawLine(int x1, int y1, int x2, int y2) = 0;
};

} // namespace korvan::gui
