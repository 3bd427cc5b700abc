#include "platform/media/MovieWriter.h"

#include "platform/media/detail/AudioEncoder.h"
#include "platform/media/detail/EncodingInput.h"
#include "platform/media/detail/VideoEncoder.h"
#include "platform/media/detail/WriterCore.h"

#include <system_error>

namespace vexel::media {

namespace {

using ffmpeg::check;
using Kind = MediaError::Kind;

// Frames waiting for the video encoder; it buffers many more inside.
constexpr std::size_t kAudioQueue = 16;

} // namespace

struct VideoWriterInput::Impl : EncodingInput<VideoEncoder> {
    using EncodingInput::EncodingInput;
};

struct AudioWriterInput::Impl : EncodingInput<AudioEncoder> {
    using EncodingInput::EncodingInput;
};

VideoWriterInput::VideoWriterInput(std::unique_ptr<Impl> impl)
    : impl_(std::move(impl)) {}
VideoWriterInput::~VideoWriterInput() = default;

const VideoSettings& VideoWriterInput::settings() const {
    return impl_->settings();
}
bool VideoWriterInput::isReadyForMoreMediaData() const {
    return impl_->isReadyForMoreMediaData();
}
bool VideoWriterInput::waitUntilReadyForMoreMediaData(std::chrono::milliseconds timeout) const {
    return impl_->waitUntilReadyForMoreMediaData(timeout);
}
bool VideoWriterInput::append(const PixelBuffer& buffer, const MediaTime& presentationTime) {
    return impl_->append(VideoItem{buffer, presentationTime});
}
void VideoWriterInput::markAsFinished() {
    impl_->markAsFinished();
}

AudioWriterInput::AudioWriterInput(std::unique_ptr<Impl> impl)
    : impl_(std::move(impl)) {}
AudioWriterInput::~AudioWriterInput() = default;

const AudioSettings& AudioWriterInput::settings() const {
    return impl_->settings();
}
bool AudioWriterInput::isReadyForMoreMediaData() const {
    return impl_->isReadyForMoreMediaData();
}
bool AudioWriterInput::waitUntilReadyForMoreMediaData(std::chrono::milliseconds timeout) const {
    return impl_->waitUntilReadyForMoreMediaData(timeout);
}
bool AudioWriterInput::append(const AudioSamples& samples) {
    FloatAudioSamples converted{samples.time, samples.sampleRate, samples.channelCount, {}};
    converted.samples.reserve(samples.samples.size());
    for (std::int16_t value : samples.samples) {
        converted.samples.push_back(static_cast<float>(value) * (1.0f / 32768.0f));
    }
    return impl_->append(std::move(converted));
}
bool AudioWriterInput::append(const FloatAudioSamples& samples) {
    return impl_->append(samples);
}
void AudioWriterInput::markAsFinished() {
    impl_->markAsFinished();
}

struct MovieWriter::Impl {
    WriterCore core;
    // Owned by the public input objects below; in the order they were added.
    std::vector<WriterInputBase*> inputs;
    std::vector<std::unique_ptr<VideoWriterInput>> videoInputs;
    std::vector<std::unique_ptr<AudioWriterInput>> audioInputs;
    bool sessionStarted = false;

    void stopAll() {
        for (WriterInputBase* input : inputs) {
            input->abort();
        }
        for (WriterInputBase* input : inputs) {
            input->join();
        }
    }

    void requireUnstarted() const {
        if (core.state.status() != Status::unknown) {
            throw MediaError(Kind::invalidState, "Inputs must be added before writing starts");
        }
    }

    void open() {
        const std::string context = "Cannot create \"" + core.path.string() + "\"";
        if (inputs.empty()) {
            throw MediaError(Kind::invalidState, context + ": no inputs");
        }
        std::error_code ignored;
        if (std::filesystem::exists(std::filesystem::symlink_status(core.path, ignored))) {
            throw MediaError(Kind::writingFailed, context + ": a file of that name exists");
        }
        const char* formatName = core.fileType == FileType::mp4 ? "mp4" : "mov";
        std::string url = ffmpeg::fileUrl(core.path);
        AVFormatContext* raw = nullptr;
        check(avformat_alloc_output_context2(&raw, nullptr, formatName, url.c_str()),
              Kind::writingFailed, context);
        core.format.reset(raw);
        // A failing disk shows at the packet that meets it, not up to an I/O
        // buffer later; a few writes per frame cost nothing next to encoding.
        core.format->flush_packets = 1;
        for (WriterInputBase* input : inputs) {
            input->open();
        }
        check(avio_open(&core.format->pb, url.c_str(), AVIO_FLAG_WRITE), Kind::writingFailed,
              context);
        ffmpeg::Options options;
        // The index goes to the front so that the file plays while it streams.
        options.set("movflags", "+faststart");
        // Edit lists state where each track ends; in 1/600 s every frame time
        // of the usual rates is exact (FFmpeg's default is 1/1000).
        options.set("movie_timescale", "600");
        check(avformat_write_header(core.format.get(), options.get()), Kind::writingFailed,
              context);
    }

    void complete() {
        const std::string context = "Cannot finish \"" + core.path.string() + "\"";
        std::lock_guard lock(core.muxMutex);
        check(av_write_trailer(core.format.get()), Kind::writingFailed, context);
        check(avio_closep(&core.format->pb), Kind::writingFailed, context);
    }
};

MovieWriter::MovieWriter(std::filesystem::path path, FileType fileType, EncoderTuning tuning)
    : impl_(std::make_unique<Impl>()) {
    impl_->core.path = std::move(path);
    impl_->core.fileType = fileType;
    impl_->core.tuning = std::move(tuning);
    impl_->core.stopInputs = [impl = impl_.get()] {
        for (WriterInputBase* input : impl->inputs) {
            input->abort();
        }
    };
}

MovieWriter::~MovieWriter() {
    impl_->stopAll();
}

const std::filesystem::path& MovieWriter::outputPath() const {
    return impl_->core.path;
}

VideoWriterInput& MovieWriter::addVideoInput(const VideoSettings& settings) {
    impl_->requireUnstarted();
    auto input = std::unique_ptr<VideoWriterInput>(
        new VideoWriterInput(std::make_unique<VideoWriterInput::Impl>(
            impl_->core, settings, VideoWriterInput::queueLength)));
    impl_->inputs.push_back(input->impl_.get());
    impl_->videoInputs.push_back(std::move(input));
    return *impl_->videoInputs.back();
}

AudioWriterInput& MovieWriter::addAudioInput(const AudioSettings& settings) {
    impl_->requireUnstarted();
    auto input = std::unique_ptr<AudioWriterInput>(new AudioWriterInput(
        std::make_unique<AudioWriterInput::Impl>(impl_->core, settings, kAudioQueue)));
    impl_->inputs.push_back(input->impl_.get());
    impl_->audioInputs.push_back(std::move(input));
    return *impl_->audioInputs.back();
}

bool MovieWriter::startWriting() {
    if (impl_->core.state.status() != Status::unknown) {
        return false;
    }
    try {
        impl_->open();
    } catch (const MediaError& failure) {
        impl_->core.fail(failure);
        return false;
    }
    if (!impl_->core.state.start()) {
        return false; // cancelled meanwhile
    }
    for (WriterInputBase* input : impl_->inputs) {
        input->start();
    }
    return true;
}

void MovieWriter::startSession(const MediaTime& sourceTime) {
    if (impl_->sessionStarted) {
        throw MediaError(Kind::invalidState, "The session has already started");
    }
    impl_->sessionStarted = true;
    impl_->core.sessionStart = sourceTime;
}

bool MovieWriter::finishWriting() {
    for (WriterInputBase* input : impl_->inputs) {
        input->markAsFinished();
    }
    for (WriterInputBase* input : impl_->inputs) {
        input->join();
    }
    if (impl_->core.isWriting()) {
        try {
            impl_->complete();
            impl_->core.state.complete();
        } catch (const MediaError& failure) {
            impl_->core.fail(failure);
        }
    }
    if (impl_->core.format && impl_->core.format->pb) {
        avio_closep(&impl_->core.format->pb);
    }
    return impl_->core.state.status() == Status::completed;
}

void MovieWriter::cancelWriting() {
    if (impl_->core.state.cancel()) {
        impl_->stopAll();
        if (impl_->core.format && impl_->core.format->pb) {
            avio_closep(&impl_->core.format->pb);
        }
        std::error_code ignored;
        std::filesystem::remove(impl_->core.path, ignored);
    }
}

MovieWriter::Status MovieWriter::status() const {
    return impl_->core.state.status();
}

std::optional<MediaError> MovieWriter::error() const {
    return impl_->core.state.error();
}

} // namespace vexel::media
