#include "presentation/views/shell/WindowMenuBar.h"

#include "presentation/views/shell/MainWindowCommands.h"
#include "presentation/views/shell/MenuTable.h"

#include <QMenu>
#include <QMenuBar>

namespace vexel {

void fillMenuBar(QMenuBar& menuBar, const MainWindowCommands& commands) {
    for (const WindowMenu& table : menuTable()) {
        QMenu* menu = menuBar.addMenu(table.title);
        for (const MenuEntry& entry : table.entries) {
            if (entry) {
                menu->addAction(&commands.action(entry->command, entry->title));
            } else {
                menu->addSeparator();
            }
        }
    }
}

} // namespace vexel
