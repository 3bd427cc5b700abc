#pragma once

#include "data/composition/CompositionBuilder.h"
#include "platform/media/CompositionReader.h"

#include <gtest/gtest.h>

#include <optional>

namespace vexel::test {

// The frame the export's compositor makes of `project` at `time`, before any
// encoding: what the preview is held to.
inline std::optional<media::VideoFrame> composedFrame(const CompositionBuilder& builder,
                                                      const Project& project,
                                                      const media::MediaTime& time) {
    ExportComposition composition = builder.buildForExport(project);
    media::CompositionReader reader(std::move(composition.composition),
                                    {.timeRange = media::MediaTimeRange{time, {1, 30}}});
    reader.addVideoOutput(*composition.videoComposition);
    EXPECT_TRUE(reader.startReading());
    return reader.copyNextVideoFrame();
}

} // namespace vexel::test
