#include "data/export/FFmpegExportService.h"

#include "data/export/ExportFileName.h"
#include "data/export/SampleTransfer.h"
#include "data/media/MediaReadability.h"
#include "domain/entities/ExportError.h"
#include "foundation/CancellationError.h"
#include "foundation/PrivateFolder.h"
#include "platform/media/CompositionReader.h"
#include "platform/media/MovieWriter.h"

#include <algorithm>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>

namespace vexel {

namespace {

using media::CompositionReader;
using media::MovieWriter;

// Frames move from the reader to the writer no faster than the encoder takes
// them, and every frame held on the way is a whole picture in memory. So the
// reader composes only as many frames at once as the encoder's queue holds,
// and its decoders, which share the cores with the encoder and need only keep
// pace with it, take two threads each (a frame thread holds frames of its
// own): two of them, the sources of a dissolve, still decode 1080p several
// times faster than x264 or x265 encode it.
CompositionReader::Options readerOptions() {
    return {.threads = static_cast<int>(media::VideoWriterInput::queueLength), .decoderThreads = 2};
}
using Phase = ExportProgress::Phase;

// Removes the export's files unless the export completed: the reserved name
// and the file being written under a hidden name beside it.
class CleanupGuard {
public:
    CleanupGuard(std::filesystem::path output, std::filesystem::path partial)
        : output_(std::move(output))
        , partial_(std::move(partial)) {}
    ~CleanupGuard() {
        if (armed_) {
            std::error_code ignored;
            std::filesystem::remove(partial_, ignored);
            std::filesystem::remove(output_, ignored);
        }
    }
    CleanupGuard(const CleanupGuard&) = delete;
    CleanupGuard& operator=(const CleanupGuard&) = delete;

    void disarm() { armed_ = false; }

private:
    std::filesystem::path output_;
    std::filesystem::path partial_;
    bool armed_ = true;
};

// Throws mediaUnavailable when a clip's media can no longer be read: the
// composition would leave the clip out, and the movie would pass for the
// project without it.
void requireReadableMedia(const Project& project, Logger& logger) {
    std::vector<UnavailableMedia> unreadable = MediaReadability::of(project).unreadable;
    if (unreadable.empty()) {
        return;
    }
    logger.error("[Export] Media of " + std::to_string(unreadable.size()) +
                 " clip(s) cannot be read");
    throw ExportError::mediaUnavailable(std::move(unreadable));
}

// Runs the two transfers at once; the first error of either cancels reading,
// which ends the other, and is thrown on once both have ended.
class TransferGroup {
public:
    explicit TransferGroup(CompositionReader& reader)
        : reader_(reader) {}

    void add(std::function<void()> transfer) {
        threads_.emplace_back([this, transfer = std::move(transfer)] {
            try {
                transfer();
            } catch (...) {
                std::lock_guard lock(mutex_);
                if (!firstError_) {
                    firstError_ = std::current_exception();
                }
                reader_.cancelReading();
            }
        });
    }

    void wait() {
        for (std::thread& thread : threads_) {
            thread.join();
        }
        threads_.clear();
        if (firstError_) {
            std::rethrow_exception(firstError_);
        }
    }

    ~TransferGroup() {
        for (std::thread& thread : threads_) {
            if (thread.joinable()) {
                thread.join();
            }
        }
    }

private:
    CompositionReader& reader_;
    std::vector<std::thread> threads_;
    std::mutex mutex_;
    std::exception_ptr firstError_;
};

} // namespace

FFmpegExportService::FFmpegExportService(CompositionBuilder compositionBuilder,
                                         std::shared_ptr<Logger> logger, Clock now,
                                         media::EncoderTuning tuning)
    : compositionBuilder_(std::move(compositionBuilder))
    , logger_(std::move(logger))
    , now_(std::move(now))
    , tuning_(std::move(tuning)) {}

std::filesystem::path FFmpegExportService::exportDirectory() {
    return privateFolderPath("com.vexel.exports");
}

void FFmpegExportService::cleanExportDirectory() {
    const std::filesystem::path folder = exportDirectory();
    // A link planted at the folder's name goes, not what it points to.
    if (std::filesystem::exists(std::filesystem::symlink_status(folder))) {
        std::filesystem::remove_all(folder);
    }
}

media::VideoSettings FFmpegExportService::videoSettings(ExportFormat format, media::Size size) {
    media::VideoSettings settings;
    settings.codec =
        format == ExportFormat::mov ? media::VideoCodec::hevc : media::VideoCodec::h264;
    settings.width = static_cast<int>(size.width);
    settings.height = static_cast<int>(size.height);
    return settings;
}

media::AudioSettings FFmpegExportService::audioSettings() {
    return media::AudioSettings{.sampleRate = 44100, .channelCount = 2};
}

std::filesystem::path FFmpegExportService::exportProject(const Project& project,
                                                         ExportFormat format,
                                                         const ExportProgressHandler& onProgress,
                                                         std::stop_token stopToken) {
    auto report = [&](Phase phase, double fraction) {
        if (onProgress) {
            onProgress(ExportProgress{phase, fraction});
        }
    };
    report(Phase::preparing, 0);
    requireReadableMedia(project, *logger_);
    const ExportComposition exported = compositionBuilder_.buildForExport(project, stopToken);
    throwIfCancelled(stopToken);
    const media::FileType fileType =
        format == ExportFormat::mov ? media::FileType::mov : media::FileType::mp4;

    const std::filesystem::path folder = exportDirectory();
    ensurePrivateFolder(folder);
    const std::filesystem::path outputURL =
        reserveUniqueFile(folder, exportFileName(now_(), format));
    // Written under a hidden name and renamed when complete, so that the
    // reserved name never shows a half-written movie.
    const std::filesystem::path partialURL =
        folder / ("." + outputURL.filename().string() + ".part");
    CleanupGuard cleanup(outputURL, partialURL);
    {
        // Only the reservation above can own this name: anything here is
        // what an interrupted run of this same export left.
        std::error_code ignored;
        std::filesystem::remove(partialURL, ignored);
    }

    const media::Composition& composition = exported.composition;
    const bool hasVideo = exported.videoComposition &&
                          !composition.tracksWithMediaType(media::MediaType::video).empty();
    const bool hasAudio = !composition.tracksWithMediaType(media::MediaType::audio).empty();

    CompositionReader reader(composition, readerOptions());
    if (hasVideo) {
        reader.addVideoOutput(*exported.videoComposition);
    }
    if (hasAudio) {
        reader.addAudioOutput(exported.audioMix);
    }
    MovieWriter writer(partialURL, fileType, tuning_);
    media::VideoWriterInput* videoInput = nullptr;
    media::AudioWriterInput* audioInput = nullptr;
    if (hasVideo) {
        const media::VideoComposition& video = *exported.videoComposition;
        videoInput = &writer.addVideoInput(
            videoSettings(format, media::Size{static_cast<double>(video.renderWidth()),
                                              static_cast<double>(video.renderHeight())}));
    }
    if (hasAudio) {
        audioInput = &writer.addAudioInput(audioSettings());
    }

    // From here a stop request cancels reading, which ends both transfers.
    std::stop_callback cancelReading(stopToken, [&reader] { reader.cancelReading(); });
    if (!reader.startReading()) {
        const int status = static_cast<int>(reader.status());
        if (stopToken.stop_requested() || reader.status() == CompositionReader::Status::cancelled) {
            throw CancellationError();
        }
        logger_->error("[Export] AVAssetReader failed to start: status=" + std::to_string(status));
        // A file gone since the start is the reason to give.
        requireReadableMedia(project, *logger_);
        throw ExportError::readerFailed(status);
    }
    if (!writer.startWriting()) {
        reader.cancelReading();
        const auto error = writer.error();
        throw ExportError::writerFailed(error ? error->message() : "Failed to start writing");
    }
    writer.startSession(media::MediaTime::zero());
    const double duration = composition.duration().seconds();

    report(Phase::transferring, 0);
    TransferGroup transfers(reader);
    if (videoInput) {
        transfers.add([&] {
            transferSamples(
                *videoInput, [&reader] { return reader.copyNextVideoFrame(); }, reader, writer,
                duration,
                [&](double f) {
                    report(Phase::transferring, std::max(std::min(f * 0.7, 1.0), 0.0));
                },
                stopToken);
        });
    }
    if (audioInput) {
        transfers.add([&] {
            transferSamples(
                *audioInput, [&reader] { return reader.copyNextAudioSamples(); }, reader, writer,
                duration,
                [&](double f) {
                    report(Phase::transferring, std::max(std::min(0.7 + f * 0.3, 1.0), 0.0));
                },
                stopToken);
        });
    }
    transfers.wait();

    const CompositionReader::Status readerStatus = reader.status();
    if (readerStatus == CompositionReader::Status::cancelled || stopToken.stop_requested()) {
        throw CancellationError();
    }
    // A writer that stopped taking samples (a full disk) leaves the reader
    // unfinished; its own failure is the one to report, below.
    const bool writerStopped = writer.status() == MovieWriter::Status::failed;
    if (readerStatus == CompositionReader::Status::failed ||
        (readerStatus != CompositionReader::Status::completed && !writerStopped)) {
        const int status = static_cast<int>(readerStatus);
        logger_->error("[Export] AVAssetReader failed: status=" + std::to_string(status));
        requireReadableMedia(project, *logger_);
        throw ExportError::readerFailed(status);
    }

    report(Phase::finalizing, 0);
    if (writer.finishWriting()) {
        std::filesystem::rename(partialURL, outputURL);
        report(Phase::finalizing, 1);
        cleanup.disarm();
        return outputURL;
    }
    const auto error = writer.error();
    if (error) {
        logger_->error("[Export] AVAssetWriter failed: " + error->message());
    }
    throw ExportError::writerFailed(error ? error->message() : "Unknown writer error");
}

} // namespace vexel
