#pragma once

#include "presentation/views/shell/WindowCommand.h"

#include <QKeySequence>
#include <QList>
#include <QString>

#include <optional>
#include <vector>

namespace vexel {

// One item of a menu: its title, its keys (the first is the one the menu
// shows) and the command it runs.
struct MenuItem {
    QString title;
    QList<QKeySequence> keys;
    WindowCommand command;
};

// An item, or none for a separator.
using MenuEntry = std::optional<MenuItem>;

struct WindowMenu {
    QString title;
    std::vector<MenuEntry> entries;
};

// The window's menus, in menu-bar order: the one place that says which
// command sits under which title and key, read by the menu bar and by the
// settings' list of shortcuts alike.
const std::vector<WindowMenu>& menuTable();

// The item of `command` (its first, if it appears twice); none for a command
// without a menu item.
std::optional<MenuItem> menuItem(WindowCommand command);

// A row of the settings' list of shortcuts: what it does and the keys that do
// it, as the menu shows them.
struct ShortcutRow {
    QString action;
    QKeySequence keys;
    WindowCommand command;
};

// The commands users most reach by key, with the key each is bound to.
std::vector<ShortcutRow> shortcutRows();

} // namespace vexel
