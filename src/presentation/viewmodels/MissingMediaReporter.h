#pragma once

#include "data/media/MediaReadability.h"
#include "domain/entities/UnavailableMedia.h"
#include "foundation/Uuid.h"
#include "presentation/viewmodels/ErrorBannerViewModel.h"
#include "presentation/viewmodels/runtime/Clock.h"

#include <QPointer>

#include <memory>
#include <unordered_set>
#include <vector>

namespace vexel {

// Says in the banner, once for each clip, that its media can no longer be
// read (a file deleted or a disk unmounted while the project is open), as the
// preview or an export comes upon it: not at every frame or rebuild, and
// again only once the file has been seen readable since. A clip whose media
// was already unreadable when the preview first looked (one that the
// project's opening named) is not named again. Changes nothing of the
// project. GUI thread only.
class MissingMediaReporter {
public:
    MissingMediaReporter(ErrorBannerViewModel& banner, std::shared_ptr<const Clock> clock);

    // A look at every clip's media of the project the preview shows: the
    // clips readable at an earlier look and unreadable now are named.
    // Returns them.
    std::vector<UnavailableMedia> looked(const MediaReadability& media);
    // The clips an export could not read: those not known unreadable
    // already are named.
    void exportRefused(const std::vector<UnavailableMedia>& clips);
    // Another document: what its opening found missing it has said itself,
    // and what the document before had is no longer shown.
    void forget();

private:
    void name(const std::vector<UnavailableMedia>& clips);

    QPointer<ErrorBannerViewModel> banner_;
    std::shared_ptr<const Clock> clock_;
    // Seen readable at the last look.
    std::unordered_set<Uuid> readable_;
    // Seen unreadable since (at the last look, or by an export after it).
    std::unordered_set<Uuid> unreadable_;
};

} // namespace vexel
