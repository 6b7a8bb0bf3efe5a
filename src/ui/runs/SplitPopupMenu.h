#pragma once

// The pop-up menus of the split views: entries with their command ids, 0
// for a separator; the chosen command, or 0.

#include <QPoint>

#include <utility>
#include <vector>

class QMenu;
class QWidget;

namespace korvan::ui::runs {

using PopupEntries = std::vector<std::pair<const char*, int>>;

QMenu* buildSplitPopup(const PopupEntries& entries, QWidget* parent);
int runSplitPopup(const PopupEntries& entries, const QPoint& globalPos);

} // namespace korvan::ui::runs
