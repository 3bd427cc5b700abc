#pragma once

#include "data/composition/CompositionBuilder.h"
#include "domain/protocols/ExportService.h"
#include "foundation/Logger.h"
#include "platform/media/Geometry.h"
#include "platform/media/WriterSettings.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>

namespace vexel {

// Renders a project into a movie file: the export form of its composition,
// read through the composition reader (which composes every frame, through
// the frame compositor when effects or overlays need it, and mixes the
// sound), encoded by the movie writer as H.264 in MPEG-4 or HEVC in
// QuickTime, with AAC 44100 Hz stereo. Video and sound are pumped at the same
// time on two threads. Keeps nothing between exports; several may run at once.
class FFmpegExportService : public ExportService {
public:
    using Clock = std::function<std::chrono::system_clock::time_point()>;

    // `tuning` overrides the encoder's preset and quality, for measurements
    // only; the application exports with the writer's defaults.
    FFmpegExportService(CompositionBuilder compositionBuilder, std::shared_ptr<Logger> logger,
                        Clock now = std::chrono::system_clock::now,
                        media::EncoderTuning tuning = {});

    // A new file "VexelExport_<UTC time>.<mp4|mov>" in the export folder,
    // with "-1", "-2", … before the extension when that name is taken; no
    // file already there is ever replaced. Reports (preparing, 0),
    // (transferring, 0), the video's fractions within 0…0.7 and the sound's
    // within 0.7…1 as they interleave, (finalizing, 0) and (finalizing, 1),
    // from this thread and the two pump threads. Throws the builder's errors,
    // std::filesystem::filesystem_error for the folder and the file,
    // ExportError (readerFailed, writerFailed; mediaUnavailable when a clip's
    // media file cannot be read, before or while it is read), MediaError when
    // the reader or writer cannot be set up, and CancellationError once
    // `stopToken` is requested. No file is left behind by any of them, and
    // nothing is reported after a failure.
    std::filesystem::path exportProject(const Project& project, ExportFormat format,
                                        const ExportProgressHandler& onProgress,
                                        std::stop_token stopToken) override;

    // The private folder exports are written to ("com.vexel.exports").
    static std::filesystem::path exportDirectory();
    // Removes the export folder with everything in it, left by earlier runs;
    // a missing folder is fine. Throws std::filesystem::filesystem_error.
    static void cleanExportDirectory();

    // H.264 for mp4, HEVC for mov, at the render size (each side truncated).
    static media::VideoSettings videoSettings(ExportFormat format, media::Size size);
    // AAC, 44100 Hz, stereo.
    static media::AudioSettings audioSettings();

private:
    CompositionBuilder compositionBuilder_;
    std::shared_ptr<Logger> logger_;
    Clock now_;
    media::EncoderTuning tuning_;
};

} // namespace vexel
