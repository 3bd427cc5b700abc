#include "presentation/views/shell/MenuTable.h"

#include <utility>

namespace vexel {

namespace {

MenuEntry item(const char* title, QList<QKeySequence> keys, WindowCommand command) {
    return MenuItem{QString::fromUtf8(title), std::move(keys), command};
}

QKeySequence keys(QKeyCombination combination) {
    return QKeySequence(combination);
}

std::vector<WindowMenu> makeMenuTable() {
    const MenuEntry separator;
    return {
        {QStringLiteral("File"),
         {item("New Project", {keys(Qt::CTRL | Qt::Key_N)}, WindowCommand::newProject), separator,
          item("Open Project...", {keys(Qt::CTRL | Qt::Key_O)}, WindowCommand::openProject),
          item("Save", {keys(Qt::CTRL | Qt::Key_S)}, WindowCommand::saveProject),
          item("Save As...", {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_S)},
               WindowCommand::saveProjectAs),
          separator,
          item("Export...", {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_E)}, WindowCommand::exportProject),
          separator, item("Quit", {keys(Qt::CTRL | Qt::Key_Q)}, WindowCommand::quit)}},
        {QStringLiteral("Edit"),
         {item("Undo", {keys(Qt::CTRL | Qt::Key_Z)}, WindowCommand::undo),
          item("Redo", {keys(Qt::CTRL | Qt::SHIFT | Qt::Key_Z)}, WindowCommand::redo), separator,
          item("Settings...", {keys(Qt::CTRL | Qt::Key_Comma)}, WindowCommand::settings)}},
        {QStringLiteral("Tools"),
         {item("Command Palette", {keys(Qt::CTRL | Qt::Key_K)},
               WindowCommand::toggleCommandPalette),
          item("Split Clip at Playhead", {keys(Qt::CTRL | Qt::Key_B)},
               WindowCommand::splitAtPlayhead),
          item("Delete Selected Clip",
               {keys(Qt::CTRL | Qt::Key_Backspace), keys(Qt::CTRL | Qt::Key_Delete)},
               WindowCommand::deleteSelectedClip),
          item("Delete", {keys(Qt::Key_Backspace), keys(Qt::Key_Delete)},
               WindowCommand::deleteSelectedClip),
          separator, item("Play / Pause", {keys(Qt::Key_Space)}, WindowCommand::togglePlayback),
          separator,
          item("Zoom In", {keys(Qt::CTRL | Qt::Key_Plus), keys(Qt::CTRL | Qt::Key_Equal)},
               WindowCommand::zoomIn),
          item("Zoom Out", {keys(Qt::CTRL | Qt::Key_Minus)}, WindowCommand::zoomOut)}},
        {QStringLiteral("Help"),
         {item("About Vexel", {}, WindowCommand::about),
          item("Check for Updates...", {}, WindowCommand::checkForUpdates)}},
    };
}

} // namespace

const std::vector<WindowMenu>& menuTable() {
    static const std::vector<WindowMenu> table = makeMenuTable();
    return table;
}

std::optional<MenuItem> menuItem(WindowCommand command) {
    for (const WindowMenu& menu : menuTable()) {
        for (const MenuEntry& entry : menu.entries) {
            if (entry && entry->command == command) {
                return entry;
            }
        }
    }
    return std::nullopt;
}

std::vector<ShortcutRow> shortcutRows() {
    static constexpr std::pair<const char*, WindowCommand> rows[] = {
        {"Save Project", WindowCommand::saveProject},
        {"Open Project", WindowCommand::openProject},
        {"Undo", WindowCommand::undo},
        {"Redo", WindowCommand::redo},
        {"Command Palette", WindowCommand::toggleCommandPalette},
        {"Split at Playhead", WindowCommand::splitAtPlayhead},
        {"Delete Selected Clip", WindowCommand::deleteSelectedClip},
    };
    std::vector<ShortcutRow> result;
    for (const auto& [action, command] : rows) {
        const std::optional<MenuItem> found = menuItem(command);
        if (found && !found->keys.isEmpty()) {
            result.push_back({QString::fromUtf8(action), found->keys.front(), command});
        }
    }
    return result;
}

} // namespace vexel
