#pragma once

class QMenuBar;

namespace vexel {

class MainWindowCommands;

// Fills `menuBar` with the window's menus as the menu table lists them, each
// item the command's own action.
void fillMenuBar(QMenuBar& menuBar, const MainWindowCommands& commands);

} // namespace vexel
