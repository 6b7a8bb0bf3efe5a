#pragma once

// The main window's command menu, described as data and built into a
// QMenuBar in code. Each command is a QAction whose data() is its id.

#include <map>
#include <vector>

class QAction;
class QMenuBar;

namespace korvan::shell {

// One line of the menu: a command (id > 0), a pop-up (children) or a
// separator (no text, no id).
struct MenuEntry {
    const char* text = nullptr;
    int id = 0;
    std::vector<MenuEntry> children;

    bool isSeparator() const { return text == nullptr; }
    bool isPopup() const { return text != nullptr && id == 0; }
};

// The whole menu bar, in display order.
const std::vector<MenuEntry>& commandMenuTree();

// Exit, about and the database commands are always usable; every
// other command needs an open connection.
bool isCommandAlwaysEnabled(int id);

// Adds the tree to `menuBar`; returns the action of every command by id.
std::map<int, QAction*> buildCommandMenu(QMenuBar& menuBar);

// Applies the enabling rule to every action.
void applyEnablingRule(const std::map<int, QAction*>& actions, bool connectionOpen);

} // namespace korvan::shell
