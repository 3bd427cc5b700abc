#include "platform/media/AudioMix.h"

#include "platform/media/MediaError.h"

namespace vexel::media {

namespace {

void checkVolume(float volume) {
    if (!(volume >= 0.0f)) {
        throw MediaError(MediaError::Kind::invalidArgument, "A volume must not be negative");
    }
}

} // namespace

void AudioMixInputParameters::setVolume(float volume, const MediaTime& at) {
    checkVolume(volume);
    volume_.setValue(volume, at);
}

void AudioMixInputParameters::setVolumeRamp(float from, float to, const MediaTimeRange& range) {
    checkVolume(from);
    checkVolume(to);
    volume_.setRamp(from, to, range);
}

const AudioMixInputParameters* AudioMix::parameters(int trackID) const {
    for (const AudioMixInputParameters& parameters : inputParameters) {
        if (parameters.trackID() == trackID) {
            return &parameters;
        }
    }
    return nullptr;
}

} // namespace vexel::media
