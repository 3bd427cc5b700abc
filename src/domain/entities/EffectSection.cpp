#include "domain/entities/EffectSection.h"

namespace vexel {

bool appliesTo(EffectSection section, TrackType trackType) {
    switch (section) {
    case EffectSection::transitions:
    case EffectSection::opacity:
    case EffectSection::colorAdjust:
    case EffectSection::filter:
        return trackType == TrackType::video || trackType == TrackType::image;
    case EffectSection::speed:
    case EffectSection::volume:
        return trackType == TrackType::video || trackType == TrackType::audio;
    }
    return false;
}

} // namespace vexel
