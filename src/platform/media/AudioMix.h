#pragma once

#include "platform/media/ParameterTimeline.h"

#include <vector>

namespace vexel::media {

// How loud one composition audio track plays over time.
class AudioMixInputParameters {
public:
    explicit AudioMixInputParameters(int trackID)
        : trackID_(trackID) {}

    int trackID() const { return trackID_; }

    // Throw MediaError (invalidArgument) for a negative or non-finite volume.
    void setVolume(float volume, const MediaTime& at);
    void setVolumeRamp(float from, float to, const MediaTimeRange& range);

    // 1.0 before the first setting; see ParameterTimeline.
    float volume(const MediaTime& time) const { return volume_.valueAt(time); }
    const ParameterTimeline& volumeTimeline() const { return volume_; }

    friend bool operator==(const AudioMixInputParameters&,
                           const AudioMixInputParameters&) = default;

private:
    int trackID_;
    ParameterTimeline volume_;
};

// The volumes of a composition's audio tracks; tracks without parameters play
// at 1.0.
struct AudioMix {
    std::vector<AudioMixInputParameters> inputParameters;

    // Null when the track has none.
    const AudioMixInputParameters* parameters(int trackID) const;

    friend bool operator==(const AudioMix&, const AudioMix&) = default;
};

} // namespace vexel::media
