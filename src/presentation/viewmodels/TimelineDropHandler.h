#pragma once

#include "domain/entities/TrackType.h"
#include "domain/protocols/FileStaging.h"
#include "domain/protocols/MediaLoader.h"
#include "foundation/Logger.h"
#include "presentation/viewmodels/runtime/Clock.h"

#include <QObject>
#include <QPointer>
#include <QThreadPool>
#include <QUrl>

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace vexel {

class TimelineViewModel;

// Turns media files dropped on the timeline into clips. A file whose
// extension the project's table does not know is looked at first (on the
// worker pool, counted as an import in progress meanwhile): its content, not
// the media type its name suggests, decides its kind, so a transport stream
// named .ts is a movie and not a translation file. What cannot be used
// is reported once per drop; every usable file counts as an import in
// progress on the timeline until it has been copied into the staging folder
// (on the worker pool, several at once) and added to the project (on the GUI
// thread, where the edit engine's turns keep the additions in order), or has
// failed, with one message naming it. The drop position is not used: the
// timeline places each clip. GUI thread only.
class TimelineDropHandler : public QObject {
    Q_OBJECT

public:
    // How many characters of a file's name a message shows.
    static constexpr std::size_t messageNameLength = 50;

    // `pool` runs the staging and the looks at content, and must outlive the
    // handler's work. `mediaLoader` tells what a file holds.
    TimelineDropHandler(std::shared_ptr<const FileStaging> fileStager,
                        std::shared_ptr<const MediaLoader> mediaLoader,
                        TimelineViewModel& viewModel, std::shared_ptr<Logger> logger,
                        QThreadPool* pool,
                        std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>(),
                        QObject* parent = nullptr);

    // Takes the dropped files; returns at once.
    void handleDrop(const std::vector<QUrl>& urls);

    // By the name's extension, else by the media type the name suggests
    // (video before audio before image); none for anything else. For a
    // local file the drop asks its content before the name's media type.
    static std::optional<TrackType> detectTrackType(const QUrl& url);

    // "Unsupported format: " and the first three names, " and N more" for
    // the others, then the supported formats; none for no names.
    static std::optional<std::string> skippedFilesMessage(const std::vector<std::string>& names);

private:
    // The drop's files sorted and imported; `byContent` holds, for each file,
    // the kind its content showed (none where it was not looked at or showed
    // nothing usable), and `looking` how many were counted as imports while
    // they were looked at.
    void sortAndImport(const std::vector<QUrl>& urls,
                       const std::vector<std::optional<TrackType>>& byContent, int looking);
    void stageAndAdd(const QUrl& url, TrackType type);
    void addStaged(std::filesystem::path staged, TrackType type, std::string originalName,
                   std::string displayName);
    void fail(std::string message);

    std::shared_ptr<const FileStaging> fileStager_;
    std::shared_ptr<const MediaLoader> mediaLoader_;
    QPointer<TimelineViewModel> viewModel_;
    std::shared_ptr<Logger> logger_;
    QThreadPool* pool_;
    std::shared_ptr<const Clock> clock_;
};

} // namespace vexel
