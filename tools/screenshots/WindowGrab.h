#pragma once

// Taking the picture of a real window: shown on the offscreen screen, laid
// out, grabbed with a strip carrying its title (the offscreen platform draws
// no frame), then checked by WindowCheck.

#include "Shots.h"

#include <functional>
#include <vector>

class QComboBox;
class QMenu;
class QPoint;
class QWidget;

namespace korvan::screenshots {

// Shows `window` (a top-level widget, a dialog shown without its own event
// loop), lets it settle and grabs it. The window stays shown.
Picture grabWindow(QWidget& window);

// Runs `open`, which shows a modal window and waits for it (a message box, a
// menu command's dialog); the first modal window that appears is given to
// `prepare`, grabbed, and closed as its close box would, so that `open`
// returns. A fault when none appears.
Picture grabModal(const std::function<void()>& open, const std::function<void(QWidget&)>& prepare = {});

// The open pop-up menus `menus` (a cascade, outermost first) as the screen
// shows them over the windows beneath, cut to the area they cover with a
// margin. A fault for a menu without entries.
Picture grabMenus(const std::vector<QMenu*>& menus);

// The user's choice of entry `index` in a pick list: the entry becomes
// current and the drop-down list tells it has closed, so that dependent
// lists refill.
void chooseEntry(QComboBox* combo, int index);

// Lets posted events and layouts run.
void settle();

} // namespace korvan::screenshots
