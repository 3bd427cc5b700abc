#pragma once

#include "app/AppController.h"
#include "domain/entities/Project.h"
#include "presentation/views/shell/MainWindow.h"
#include "presentation/views/timeline/DraggableClipBar.h"
#include "presentation/views/timeline/TimelinePanel.h"

#include <QFileDialog>
#include <QList>
#include <QString>
#include <QToolButton>
#include <QUrl>
#include <QWidget>

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

// What a journey does with the running editor: start it as main() does, wait
// for it, and answer its dialogs the way a person would.
namespace vexel::journeys {

// The application as main() makes it: the user's one editor over the
// system's environment (the journey's private folders), the real message
// boxes and file panels, and Qt's own quit when quitting is decided. Started:
// the window shows and the editor is being built. None when an editor of the
// journey runs already and took `folder` over. `logger`: none logs as main()
// does.
std::unique_ptr<AppController> startEditor(std::optional<std::filesystem::path> folder = {},
                                           std::shared_ptr<Logger> logger = nullptr);

// A first launch as main() starts it, into `app`: once the editor is built,
// the window is active and the tutorial's welcome skipped.
void startPastWelcome(std::unique_ptr<AppController>& app);

// Runs the event loop until the auto-save holds `project`, read back as the
// next start reads it; false when it does not within 60 s.
bool waitForAutoSave(const Project& project);

// The project the editor shows; the editor must be built.
const Project& shownProject(const AppController& app);

// Runs the event loop until `done` holds, looking again at least every 20 ms
// (files and worker threads change without an event); false when `limit`
// passed first.
bool waitUntil(const std::function<bool()>& done,
               std::chrono::milliseconds limit = std::chrono::seconds(30));

// The file panel titled `title`, once it shows; null after 30 s.
QFileDialog* waitForFilePanel(const QString& title);
// Enters `path` in the panel's name field and presses Return.
void answerFilePanel(QFileDialog& panel, const std::filesystem::path& path);

// Brings `window` to the front with the keyboard focus, as a click on it
// would; with no window manager nobody else does when a dialog over it
// closes.
void activate(QWidget& window);

// Clicks Skip on the tutorial's welcome, which a first launch shows, and
// waits for the tutorial to end.
void skipWelcome(const AppController& app);
// The same when the welcome shows, as it does until a start has ended the
// tutorial; a pointer cannot reach the window past it.
void skipWelcomeIfShown(const AppController& app);

// Opens the menu of `button` with a click and clicks its item `item`.
void chooseFromMenu(QToolButton& button, const QString& item);

// Waits until the editor started on the project folder `folder` is built,
// asking nothing, and checks that it shows `saved` from there, unchanged and
// with its preview loaded.
void expectReopened(const AppController& app, const std::filesystem::path& folder,
                    const Project& saved);

// Runs the event loop until the preview has loaded what the editor shows and
// presents a frame of it.
void waitForPreview(const AppController& app);

// Drags `files` over `target` and drops them there, as the window system
// delivers a drop from a file manager.
void dropFiles(QWidget& target, const QList<QUrl>& files);
// The URL a file manager gives for `path`.
QUrl fileUrl(const std::filesystem::path& path);

// The bar the timeline shows for the clip `clipId`; null when none shows.
DraggableClipBar* barOf(const TimelinePanel& panel, const Uuid& clipId);

// Ctrl+S on a project never saved: the "Save Project" panel, answered with
// `folder`, which does not exist yet; returns once the project is saved there.
void saveWithKeys(MainWindow& window, const std::filesystem::path& folder);
// Ctrl+Shift+S answered with `folder`, which holds a project already: the
// question whether to replace it, answered Replace; returns once the project
// is saved there.
void saveAsOverWithKeys(MainWindow& window, const std::filesystem::path& folder);

// Ctrl+Q from inside the application's event loop, as main() runs it; the
// loop's exit code, or none when a question opened or nothing ended it.
std::optional<int> quitWithKeys(MainWindow& window);

// The project as a file, in the encoding the editor stores it in; and back.
void writeProject(const Project& project, const std::filesystem::path& file);
Project readProject(const std::filesystem::path& file);

} // namespace vexel::journeys
