#pragma once

// The report font ("Arial", Liberation Sans on Linux, normal weight) sized
// in page units, and the measurements of texts in it. The measurements do
// not depend on the device a page is drawn on: the font has a fixed pixel
// size in page units and is measured on one fixed 600 dpi surface without
// hinting, so a layout made with them is the same for preview, printer and
// PDF. Needs a QGuiApplication.

#include <QFont>
#include <QFontMetricsF>

#include <string>

namespace korvan::gui {

class TextMeasure {
  public:
    explicit TextMeasure(double points);

    const QFont& font() const { return font_; }
    // Width of the text, whole units rounded up.
    int width(const std::string& text) const;
    // The height of a line of text (every text has it).
    int height() const { return height_; }
    // From the top of a line of text to its baseline.
    double ascent() const { return ascent_; }

  private:
    QFont font_;
    QFontMetricsF metrics_;
    int height_ = 0;
    double ascent_ = 0;
};

} // namespace korvan::gui
