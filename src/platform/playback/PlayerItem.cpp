#include "platform/playback/PlayerItem.h"

namespace vexel::playback {

media::Size PlayerItem::presentationSize() const {
    if (!videoComposition) {
        return {};
    }
    return {static_cast<double>(videoComposition->renderWidth()),
            static_cast<double>(videoComposition->renderHeight())};
}

} // namespace vexel::playback
