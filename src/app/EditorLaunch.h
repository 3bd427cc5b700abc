#pragma once

#include "app/AppController.h"
#include "foundation/Logger.h"
#include "platform/instance/SingleInstance.h"

#include <filesystem>
#include <memory>
#include <optional>

// One editor per user: the first start is the editor; a later one hands it
// the folder it was given and ends. Both share the user's auto-save and
// staged media, which two editors would destroy for each other.
namespace vexel {

// The name, lock and socket of the user's one editor: the lock and socket in
// "instance" in the application's data folder, beside the auto-save they
// guard, and the abstract socket name made from the user and that folder, so
// that editors over other data folders keep apart. The socket goes to the
// runtime folder when its path there would be too long for a socket's
// address. Makes the folder (the user's alone); when it cannot, the lock is
// marked unusable. Throws std::runtime_error without a home folder.
instance::InstancePaths editorInstancePaths();

struct EditorLaunch {
    // The editor this process runs, started; none when another one runs.
    std::unique_ptr<AppController> editor;
    // The process's exit code when it runs no editor: 0 when the running one
    // took the folder, 1 when it did not answer (the user has been told).
    int exitCode = 0;
};

// The start of the program, as main() makes it: the user's one editor, over
// the system's environment, started and opening `folder` (absolute) once
// built; or `folder` handed to the editor already running, which comes to
// the front and opens it. An editor that cannot make sure it runs alone
// still runs, but says so in its window and leaves the shared files alone.
EditorLaunch launchEditor(std::shared_ptr<Logger> logger,
                          std::optional<std::filesystem::path> folder);

} // namespace vexel
