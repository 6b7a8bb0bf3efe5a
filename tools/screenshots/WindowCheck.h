#pragma once

// What a reader of a window's picture would call broken, found from the
// widgets themselves: a text cut off by its control, a control covered by
// another widget of its parent (a control, a list, a panel of controls), a
// control cut by the edge of its parent or of any widget up to the window's,
// a layout squeezed below its minimum size, an enabled list with no entries.

#include <string>
#include <vector>

class QWidget;

namespace korvan::screenshots {

// One line per fault, naming the control ("" when the window is sound).
// Only controls shown in the window count.
std::vector<std::string> windowFaults(const QWidget& window);

} // namespace korvan::screenshots
