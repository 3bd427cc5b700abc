#include "presentation/viewmodels/MissingMediaReporter.h"

#include "presentation/viewmodels/DocumentMessages.h"

#include <utility>

namespace vexel {

MissingMediaReporter::MissingMediaReporter(ErrorBannerViewModel& banner,
                                           std::shared_ptr<const Clock> clock)
    : banner_(&banner)
    , clock_(std::move(clock)) {}

std::vector<UnavailableMedia> MissingMediaReporter::looked(const MediaReadability& media) {
    std::vector<UnavailableMedia> lost;
    // Only the clips of the project on show are kept: a clip back after it
    // went (an undo) is what this look finds it.
    unreadable_.clear();
    for (const UnavailableMedia& clip : media.unreadable) {
        unreadable_.insert(clip.clipId);
        if (readable_.contains(clip.clipId)) {
            lost.push_back(clip);
        }
    }
    readable_ = std::unordered_set<Uuid>(media.readable.begin(), media.readable.end());
    name(lost);
    return lost;
}

void MissingMediaReporter::exportRefused(const std::vector<UnavailableMedia>& clips) {
    std::vector<UnavailableMedia> unknown;
    for (const UnavailableMedia& clip : clips) {
        readable_.erase(clip.clipId);
        if (unreadable_.insert(clip.clipId).second) {
            unknown.push_back(clip);
        }
    }
    name(unknown);
}

void MissingMediaReporter::forget() {
    readable_.clear();
    unreadable_.clear();
}

void MissingMediaReporter::name(const std::vector<UnavailableMedia>& clips) {
    if (clips.empty() || !banner_) {
        return;
    }
    documentmessages::FailureText text = documentmessages::mediaLost(clips);
    banner_->pushError(AppError::make(ErrorCategory::fileImport, std::move(text.message),
                                      clock_->now(), std::move(text.detail)));
}

} // namespace vexel
