#include "presentation/viewmodels/PreviewViewModel.h"

#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include <QPointer>
#include <QThreadPool>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexel {

namespace {

using playback::TimeControlStatus;

// The smallest movement of the player's time that the playhead shows.
constexpr double kPlayheadStep = 0.01;

} // namespace

PreviewViewModel::PreviewViewModel(double maxDuration, ItemBuild build,
                                   DisplayLinkFactory displayLinks, std::shared_ptr<Logger> logger,
                                   std::unique_ptr<playback::Player> player, QObject* parent)
    : QObject(parent)
    , isPlaying_(false, [this] { emit isPlayingChanged(); })
    , currentTime_(0, [this] { emit currentTimeChanged(); })
    , hasContent_(false, [this] { emit hasContentChanged(); })
    , videoSize_({}, [this] { emit videoSizeChanged(); })
    , maxDuration_(maxDuration)
    , player_(player ? std::move(player) : std::make_unique<playback::Player>())
    , build_(std::make_shared<const ItemBuild>(std::move(build)))
    , loading_(logger, [this] { emit loadingTaskChanged(); })
    , mediaLook_(std::move(logger))
    , suppressReload_(false, [this] { emit suppressReloadChanged(); }) {
    // The link and the observation hold the view model weakly: neither keeps
    // it, nor calls it once it is gone.
    displayLink_ = displayLinks([self = QPointer(this)] {
        if (self) {
            self->displayLinkFired();
        }
    });
    statusConnection_ = player_->observeTimeControlStatus(this, [this](TimeControlStatus status) {
        isPlaying_.set(status == TimeControlStatus::playing);
    });
    connect(player_.get(), &playback::Player::failed, this, &PreviewViewModel::lookAfterFailure);
}

PreviewViewModel::~PreviewViewModel() {
    // The player goes with the view model; the observation goes first.
    QObject::disconnect(statusConnection_);
}

double PreviewViewModel::contentDuration() const {
    const playback::PlayerItem* item = player_->currentItem();
    return item ? item->duration().seconds() : 0;
}

void PreviewViewModel::setSuppressReload(bool suppress) {
    suppressReload_.set(suppress);
}

void PreviewViewModel::togglePlayback() {
    // The play state is the status observer's to write.
    if (isPlaying_.get()) {
        player_->pause();
    } else if (hasContent_.get()) {
        player_->play();
    }
}

void PreviewViewModel::seek(double seconds) {
    currentTime_.set(clampedSeek(seconds));
    player_->seek(media::MediaTime::fromSeconds(currentTime_.get()));
}

void PreviewViewModel::scrub(double seconds) {
    currentTime_.set(clampedSeek(seconds));
    player_->scrub(media::MediaTime::fromSeconds(currentTime_.get()));
}

double PreviewViewModel::clampedSeek(double seconds) const {
    return std::isnan(seconds) ? 0 : std::clamp(seconds, 0.0, maxDuration_);
}

void PreviewViewModel::displayLinkFired() {
    if (player_->timeControlStatus() != TimeControlStatus::playing) {
        return;
    }
    double time = player_->currentTime().seconds();
    if (!std::isfinite(time)) {
        return;
    }
    time = std::min(time, maxDuration_);
    if (std::abs(time - currentTime_.get()) >= kPlayheadStep) {
        currentTime_.set(time);
    }
}

void PreviewViewModel::showItem(std::optional<playback::PlayerItem> item) {
    // The size is read once, now: later changes of the item are not followed.
    const media::Size size = item ? item->presentationSize() : media::Size{};
    const bool loaded = item.has_value();
    // An edit keeps the spot being edited: where the player stands now (a
    // seek made during the build included), or the playhead shown when it
    // had nothing to play, within what the new content lasts. Nothing to
    // play puts the playhead back at the start.
    double kept = 0;
    if (item) {
        double now = currentTime_.get();
        // The player stands on its clock's ticks: while it stands where the
        // playhead was put, the playhead is kept as shown, not moved onto a
        // tick.
        if (player_->currentItem() &&
            player_->currentTime() != media::MediaTime::fromSeconds(currentTime_.get())) {
            now = player_->currentTime().seconds();
        }
        kept = std::isfinite(now) ? std::clamp(now, 0.0, item->duration().seconds()) : 0;
    }
    player_->replaceCurrentItem(std::move(item), media::MediaTime::fromSeconds(clampedSeek(kept)));
    hasContent_.set(loaded);
    videoSize_.set(size);
    seek(kept);
}

TaskHandle PreviewViewModel::loadProject(Project project) {
    player_->pause();
    // A file replaced on disk under the same name shows its new pixels.
    imageCache_.removeAllObjects();
    overlayImageCache_.removeAllObjects();
    textRenderCache_.removeAllObjects();
    // Starting the new load cancels the one before and raises the generation,
    // so an earlier build that ends late, whether it succeeded or failed,
    // leaves the player alone.
    auto shown = std::make_shared<const Project>(std::move(project));
    return loading_.start([self = QPointer(this), build = build_, project = std::move(shown),
                           look = static_cast<bool>(onMediaChecked_)](
                              std::uint64_t generation, std::stop_token stop) -> QCoro::Task<void> {
        if (!self) {
            co_return;
        }
        struct Loaded {
            std::optional<playback::PlayerItem> item;
            std::optional<MediaReadability> media;
        };
        auto work = [build, project, stop, look] {
            Loaded loaded;
            try {
                loaded.item = (*build)(*project, stop);
            } catch (...) {
                // Whatever the reason, an unbuildable project shows the empty
                // preview; the user sees that, not an error.
            }
            // Also when nothing could be built: its only clip's file gone,
            // say.
            if (look) {
                loaded.media = MediaReadability::of(*project, stop);
            }
            return loaded;
        };
        Loaded loaded = co_await runInBackground(QThreadPool::globalInstance(), std::move(work));
        if (!self || stop.stop_requested() || !self->loading_.isCurrent(generation)) {
            co_return;
        }
        self->showItem(std::move(loaded.item));
        self->shownProject_ = project;
        if (loaded.media && self->onMediaChecked_) {
            self->onMediaChecked_(*loaded.media);
        }
    });
}

void PreviewViewModel::lookAfterFailure() {
    if (!onMediaChecked_ || !shownProject_) {
        return;
    }
    const std::uint64_t load = loading_.generation();
    mediaLook_.start([self = QPointer(this), project = shownProject_,
                      load](std::uint64_t generation, std::stop_token stop) -> QCoro::Task<void> {
        auto work = [project, stop] { return MediaReadability::of(*project, stop); };
        const MediaReadability media =
            co_await runInBackground(QThreadPool::globalInstance(), std::move(work));
        if (!self || stop.stop_requested() || !self->mediaLook_.isCurrent(generation)) {
            co_return;
        }
        self->mediaLook_.clear(generation);
        if (!self->onMediaChecked_ || self->onMediaChecked_(media).empty()) {
            co_return;
        }
        // Played again as it stands, the item would stop at the same place
        // whatever the user does; rebuilt, it leaves the clips out and plays
        // the rest. A load begun since does that already.
        if (self->loading_.generation() == load) {
            self->loadProject(*project);
        }
    });
}

void PreviewViewModel::tearDown() {
    loading_.cancel();
    mediaLook_.cancel();
    displayLink_.reset();
    QObject::disconnect(statusConnection_);
    statusConnection_ = {};
}

} // namespace vexel
