#pragma once

#include "data/media/MediaReadability.h"
#include "domain/entities/Project.h"
#include "domain/entities/UnavailableMedia.h"
#include "foundation/Logger.h"
#include "platform/media/Geometry.h"
#include "platform/playback/Player.h"
#include "platform/playback/PlayerItem.h"
#include "presentation/cache/ImageCache.h"
#include "presentation/cache/OverlayImageCache.h"
#include "presentation/cache/OverlayVisibilityCache.h"
#include "presentation/cache/TextRenderCache.h"
#include "presentation/viewmodels/runtime/DisplayLink.h"
#include "presentation/viewmodels/runtime/Observable.h"
#include "presentation/viewmodels/runtime/TaskHandle.h"
#include "presentation/viewmodels/runtime/TaskSlot.h"

#include <QMetaObject>
#include <QObject>

#include <functional>
#include <memory>
#include <optional>
#include <stop_token>
#include <vector>

namespace vexel {

// The state behind the video preview: the one player that plays the project's
// composition, whether it plays (as the player alone says), the playhead, and
// whether there is anything to show and at what size. The playhead follows the
// player on every refresh of the screen while playing. GUI thread only.
class PreviewViewModel : public QObject {
    Q_OBJECT

public:
    // Builds the preview's player item of a project, blocking, on a worker
    // thread; throws when the project gives nothing to play.
    using ItemBuild = std::function<playback::PlayerItem(const Project&, std::stop_token)>;
    // Given a look at the media files of the project on show; returns the
    // clips it takes for gone since an earlier look.
    using MediaChecked = std::function<std::vector<UnavailableMedia>(const MediaReadability&)>;

    // `player` is the player to own (a new one on the default sound device when
    // none); `displayLinks` makes the link that samples the playhead.
    PreviewViewModel(double maxDuration, ItemBuild build, DisplayLinkFactory displayLinks,
                     std::shared_ptr<Logger> logger,
                     std::unique_ptr<playback::Player> player = nullptr, QObject* parent = nullptr);
    ~PreviewViewModel() override;

    // True exactly while the player's status is playing.
    bool isPlaying() const { return isPlaying_.get(); }
    // The playhead shown by the views, in seconds.
    double currentTime() const { return currentTime_.get(); }
    // A composition was built and loaded into the player.
    bool hasContent() const { return hasContent_.get(); }
    // The loaded item's presentation size; zero when nothing is loaded.
    media::Size videoSize() const { return videoSize_.get(); }
    // The upper bound of every seek and of the shown time.
    double maxDuration() const { return maxDuration_; }
    // How long the loaded content plays, in seconds: where "the end" is. 0
    // without content.
    double contentDuration() const;

    // Made once, never replaced; only its item changes.
    playback::Player& player() const { return *player_; }

    // What the preview's overlay views draw with, made once and never
    // replaced. A project load empties the image and text caches.
    ImageCache& imageCache() { return imageCache_; }
    // The image overlays as the export makes them, at the size shown.
    OverlayImageCache& overlayImageCache() { return overlayImageCache_; }
    TextRenderCache& textRenderCache() { return textRenderCache_; }
    OverlayVisibilityCache& textOverlayCache() { return textOverlayCache_; }
    OverlayVisibilityCache& imageOverlayCache() { return imageOverlayCache_; }

    // Whether the playhead follows the player on the screen's refreshes, and
    // whether the play state follows the player's status: both until
    // tearDown().
    bool hasDisplayLink() const { return displayLink_ != nullptr; }
    bool isObservingStatus() const { return static_cast<bool>(statusConnection_); }

    // The composition build started last, until tearDown().
    const std::optional<TaskHandle>& loadingTask() const { return loading_.task(); }

    // Not read by the view model itself: the window may set it to skip a
    // reload.
    bool suppressReload() const { return suppressReload_.get(); }
    void setSuppressReload(bool suppress);

    // Pauses while playing; otherwise plays when there is content.
    void togglePlayback();
    // Moves the playhead at once to `seconds` within 0 ... maxDuration (not a
    // number gives 0) and seeks the player there exactly.
    void seek(double seconds);
    // The same for each step of a drag of the playhead: the picture may first
    // show a frame at hand near `seconds`, then shows the exact one.
    void scrub(double seconds);
    // Replaces what the preview plays with the composition of `project`,
    // cancelling the load before; the player pauses and stays paused, and the
    // new content shows the frame at the time the player stood at when it
    // arrived (kept within the new content's length). A project that gives
    // nothing to play empties the preview, without an error, and puts the
    // playhead at 0. A superseded load changes nothing.
    TaskHandle loadProject(Project project);
    // Ends the display link, the status observation and the load in flight.
    // The player and its item stay as they are.
    void tearDown();

    // Whoever is told what became of the media under the preview: after
    // every load, and whenever the player stops because it could not read.
    // When that stop finds clips gone, the preview is rebuilt without them,
    // so that the rest plays on, as after an edit. None looks at nothing.
    void setOnMediaChecked(MediaChecked handler) { onMediaChecked_ = std::move(handler); }
    // The look at the media started last after the player stopped.
    const std::optional<TaskHandle>& mediaLookTask() const { return mediaLook_.task(); }

signals:
    void isPlayingChanged();
    void currentTimeChanged();
    void hasContentChanged();
    void videoSizeChanged();
    void suppressReloadChanged();
    void loadingTaskChanged();

private:
    void displayLinkFired();
    // Within 0 ... maxDuration; not a number gives 0.
    double clampedSeek(double seconds) const;
    void showItem(std::optional<playback::PlayerItem> item);
    void lookAfterFailure();

    Observable<bool> isPlaying_;
    Observable<double> currentTime_;
    Observable<bool> hasContent_;
    Observable<media::Size> videoSize_;
    double maxDuration_;
    std::unique_ptr<playback::Player> player_;
    std::shared_ptr<const ItemBuild> build_;
    std::unique_ptr<DisplayLink> displayLink_;
    QMetaObject::Connection statusConnection_;
    TaskSlot loading_;
    // The project the item on show was built from.
    std::shared_ptr<const Project> shownProject_;
    MediaChecked onMediaChecked_;
    TaskSlot mediaLook_;
    Observable<bool> suppressReload_;
    ImageCache imageCache_;
    OverlayImageCache overlayImageCache_;
    TextRenderCache textRenderCache_;
    OverlayVisibilityCache textOverlayCache_;
    OverlayVisibilityCache imageOverlayCache_;
};

} // namespace vexel
