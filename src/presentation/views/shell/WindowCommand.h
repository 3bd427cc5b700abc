#pragma once

#include <array>

namespace vexel {

// Every command the window answers from its menus and keys.
enum class WindowCommand {
    newProject,
    openProject,
    saveProject,
    saveProjectAs,
    exportProject,
    quit,
    undo,
    redo,
    settings,
    toggleCommandPalette,
    splitAtPlayhead,
    deleteSelectedClip,
    togglePlayback,
    zoomIn,
    zoomOut,
    about,
    checkForUpdates,
    // The add-files panel: no menu item, the timeline's add button.
    openFilePicker,
};

inline constexpr std::array<WindowCommand, 17> allWindowCommands{
    WindowCommand::newProject,
    WindowCommand::openProject,
    WindowCommand::saveProject,
    WindowCommand::saveProjectAs,
    WindowCommand::exportProject,
    WindowCommand::quit,
    WindowCommand::undo,
    WindowCommand::redo,
    WindowCommand::toggleCommandPalette,
    WindowCommand::splitAtPlayhead,
    WindowCommand::deleteSelectedClip,
    WindowCommand::togglePlayback,
    WindowCommand::zoomIn,
    WindowCommand::zoomOut,
    WindowCommand::about,
    WindowCommand::checkForUpdates,
    WindowCommand::openFilePicker};

} // namespace vexel
