// The main window, its menus, the about box, the data-source dialog and the
// notice shown on opening a JET file.

#include "Shots.h"
#include "WindowGrab.h"
#include "shell/CommandIds.h"
#include "shell/JetOpening.h"
#include "shell/MainWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>

#include <vector>

namespace korvan::screenshots {

namespace {

void trigger(ShotContext& context, int commandId)
{
    context.window.commandAction(commandId)->trigger();
}

// The menu reached through `path` (menu-bar entry, then submenus), each
// pop-up opened beside its entry as the user sees them.
Picture menuPicture(ShotContext& context, const std::vector<QString>& path)
{
    QWidget* parent = context.window.menuBar();
    QList<QAction*> entries = parent->actions();
    std::vector<QMenu*> opened;
    QPoint anchor;
    for (const QString& title : path) {
        QAction* entry = nullptr;
        for (QAction* action : entries) {
            if (action->menu() && action->text().remove('&') == title)
                entry = action;
        }
        if (!entry)
            return {QImage(), {"no menu \"" + title.toStdString() + "\""}};
        if (auto* bar = qobject_cast<QMenuBar*>(parent))
            anchor = bar->mapToGlobal(bar->actionGeometry(entry).bottomLeft());
        else if (auto* menu = qobject_cast<QMenu*>(parent))
            anchor = menu->mapToGlobal(menu->actionGeometry(entry).topRight());
        QMenu* menu = entry->menu();
        menu->popup(anchor);
        opened.push_back(menu);
        parent = menu;
        entries = menu->actions();
    }
    Picture picture = grabMenus(opened);
    for (auto menu = opened.rbegin(); menu != opened.rend(); ++menu)
        (*menu)->hide();
    settle();
    return picture;
}

Shot menu(const char* name, std::vector<QString> path)
{
    return {name, [path](ShotContext& context) { return menuPicture(context, path); }};
}

const ShotList shellShots(
    "shell",
    {
        {"main-window", [](ShotContext& context) { return grabWindow(context.window); }},
        menu("menu-database", {"Database", "Metodo SQLite"}),
        menu("menu-stampe", {"Stampe"}),
        menu("menu-utilita-linee", {"Utilità", "Linee Normalizzate"}),
        menu("menu-utilita-assegnazione", {"Utilità", "Assegnazione Dati Contabili"}),
        menu("menu-utilita-eliminazione", {"Utilità", "Eliminazione Dati Contabili"}),
        {"about-box",
         [](ShotContext& context) { return grabModal([&context] { trigger(context, shell::command::About); }); }},
        {"data-source-dialog",
         [](ShotContext& context) { return grabModal([&context] { trigger(context, shell::command::OdbcConnect); }); }},
        // The notice of "Metodo SQLite → Connetti" on a JET file.
        {"jet-notice",
         [](ShotContext& context) {
             return grabModal([&context] {
                 shell::JetOpening(&context.window, context.sink, context.feedback())
                     .run("/home/operatore/Varcotab/Corse Valdora 2025.mdb");
             });
         }},
    });

} // namespace

} // namespace korvan::screenshots
