#include "support/ClipPlayback.h"

#include "data/composition/CompositionBuilder.h"
#include "platform/media/CompositionReader.h"
#include "support/RecordingLogger.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <memory>
#include <optional>

namespace vexel::testing {

namespace {

// The project with `clip` alone on its track, moved to its start.
ExportComposition composedAlone(const Project& project, const Clip& clip) {
    Project alone = project;
    for (Track& track : alone.tracks) {
        std::erase_if(track.clips, [&](const Clip& other) { return other.id != clip.id; });
        for (Clip& kept : track.clips) {
            kept.timeRange.startTime = 0;
        }
    }
    return CompositionBuilder(std::make_shared<vexel::test::RecordingLogger>())
        .buildForExport(alone);
}

} // namespace

bool showsItsPicture(const Project& project, const Clip& clip) {
    ExportComposition composition = composedAlone(project, clip);
    media::CompositionReader reader(
        std::move(composition.composition),
        {.timeRange = media::MediaTimeRange{media::MediaTime(1, 2), media::MediaTime(1, 30)}});
    reader.addVideoOutput(*composition.videoComposition);
    if (!reader.startReading()) {
        return false;
    }
    const std::optional<media::VideoFrame> frame = reader.copyNextVideoFrame();
    if (!frame) {
        return false;
    }
    std::size_t blue = 0;
    for (int y = 0; y < frame->buffer.height(); ++y) {
        const std::uint8_t* row = frame->buffer.row(y);
        for (int x = 0; x < frame->buffer.width(); ++x) {
            blue += row[4 * x] > 150 && row[4 * x + 2] < 90 ? 1 : 0;
        }
    }
    return blue > static_cast<std::size_t>(frame->buffer.width() * frame->buffer.height() / 50);
}

bool soundsAloud(const Project& project, const Clip& clip) {
    ExportComposition composition = composedAlone(project, clip);
    media::CompositionReader reader(
        std::move(composition.composition),
        {.timeRange = media::MediaTimeRange{media::MediaTime(1, 4), media::MediaTime(1, 2)}});
    reader.addAudioOutput(composition.audioMix);
    if (!reader.startReading()) {
        return false;
    }
    float loudest = 0;
    while (const std::optional<media::FloatAudioSamples> samples = reader.copyNextAudioSamples()) {
        for (const float sample : samples->samples) {
            loudest = std::max(loudest, std::abs(sample));
        }
    }
    return loudest > 0.05f;
}

} // namespace vexel::testing
