#pragma once

// The layout the run browser and the calendar and itinerary views share:
// labels stacked at the top left, the list window under them, a row of
// buttons at the bottom. The places are those of the 8-point dialog font
// (labels from x = 10, y = 5, 5 pixels apart, as wide as the window less
// 60; the list from y = 60 to 35 pixels above the bottom, 10 pixels from
// each side; the buttons at their own sizes, their bottoms 5 pixels above
// the bottom, the first at x = 15 and each after its own gap), scaled to
// the window's font, and moved where the font's texts need more room: the
// list starts below the last label and ends above the buttons. A row too
// wide for the window first closes its gaps to 5 pixels, then goes on in
// a second row above the last.

#include <vector>

class QLabel;
class QPushButton;
class QWidget;

namespace korvan::ui::runs {

struct BarButton {
    QPushButton* button;
    int gap; // pixels before it at the 8-point font (the first's is ignored)
};

// Puts the controls of `window` at their places.
void layOutView(QWidget& window, const std::vector<QLabel*>& labels, QWidget* list,
                const std::vector<BarButton>& buttons);

} // namespace korvan::ui::runs
