#include "ui/runs/SplitPopupMenu.h"

#include <QAction>
#include <QMenu>

namespace korvan::ui::runs {

QMenu* buildSplitPopup(const PopupEntries& entries, QWidget* parent)
{
    auto* menu = new QMenu(parent);
    for (const auto& [label, id] : entries) {
        if (id == 0) {
            menu->addSeparator();
            continue;
        }
        menu->addAction(QString::fromUtf8(label))->setData(id);
    }
    return menu;
}

int runSplitPopup(const PopupEntries& entries, const QPoint& globalPos)
{
    QMenu* menu = buildSplitPopup(entries, nullptr);
    const QAction* chosen = menu->exec(globalPos);
    const int id = chosen ? chosen->data().toInt() : 0;
    delete menu;
    return id;
}

} // namespace korvan::ui::runs
