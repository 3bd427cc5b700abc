#include "platform/playback/QtAudioSink.h"

#include "platform/playback/SilentAudioSink.h"

#include <QAudioFormat>
#include <QAudioSink>
#include <QMediaDevices>
#include <QTimer>

#include <algorithm>

namespace vexel::playback {

namespace {

constexpr qsizetype kBytesPerFrame = AudioSink::channelCount * sizeof(float);
// How often queued sound moves to the device, and how much the device holds.
constexpr std::chrono::milliseconds kFeedInterval{5};
constexpr qsizetype kDeviceBufferBytes = AudioSink::sampleRate / 10 * kBytesPerFrame;

QAudioFormat soundFormat() {
    QAudioFormat format;
    format.setSampleRate(AudioSink::sampleRate);
    format.setChannelCount(AudioSink::channelCount);
    format.setSampleFormat(QAudioFormat::Float);
    return format;
}

} // namespace

QtAudioSink::QtAudioSink(const QAudioDevice& device, std::shared_ptr<MonotonicClock> clock)
    : clock_(std::move(clock))
    , device_(device)
    , context_(std::make_unique<QObject>())
    , ring_(static_cast<std::size_t>(bufferFrames * channelCount)) {
    thread_.setObjectName(QStringLiteral("vexel-audio"));
    context_->moveToThread(&thread_);
    thread_.start();
    QMetaObject::invokeMethod(
        context_.get(), [this] { open(); }, Qt::QueuedConnection);
}

QtAudioSink::~QtAudioSink() {
    QMetaObject::invokeMethod(
        context_.get(), [this] { close(); }, Qt::BlockingQueuedConnection);
    thread_.quit();
    thread_.wait();
}

void QtAudioSink::open() {
    timer_ = new QTimer(context_.get());
    timer_->setTimerType(Qt::PreciseTimer);
    QObject::connect(timer_, &QTimer::timeout, context_.get(), [this] { feed(); });
    timer_->start(kFeedInterval);
    output_ = new QAudioSink(device_, soundFormat(), context_.get());
    if (output_->isNull()) {
        failDevice();
        return;
    }
    output_->setBufferSize(kDeviceBufferBytes);
}

void QtAudioSink::close() {
    delete timer_;
    timer_ = nullptr;
    if (output_) {
        output_->stop();
        delete output_;
        output_ = nullptr;
    }
    outputDevice_ = nullptr;
}

void QtAudioSink::failDevice() {
    {
        std::lock_guard lock(mutex_);
        failed_ = true;
    }
    if (output_ && outputDevice_) {
        output_->stop();
    }
    outputDevice_ = nullptr;
}

void QtAudioSink::restartDevice() {
    if (outputDevice_) {
        output_->stop();
    }
    outputDevice_ = output_->start();
    devicePlaying_ = true;
    if (!outputDevice_) {
        failDevice();
    }
}

void QtAudioSink::feed() {
    std::uint64_t run = 0;
    bool restart = false;
    bool playing = false;
    {
        std::lock_guard lock(mutex_);
        if (failed_) {
            // No device: the queued sound is heard as the clock passes it.
            std::int64_t position = position_.at(clock_->now());
            auto passed = static_cast<std::size_t>(
                std::clamp<std::int64_t>(position - handed_, 0, std::int64_t(ringFrames_)));
            ringStart_ = (ringStart_ + passed) % static_cast<std::size_t>(bufferFrames);
            ringFrames_ -= passed;
            handed_ = std::max(handed_ + std::int64_t(passed), position);
            changed_.notify_all();
            return;
        }
        run = run_;
        restart = std::exchange(restart_, false);
        playing = position_.playing();
    }
    if (restart || !outputDevice_) {
        restartDevice();
        if (!outputDevice_) {
            return;
        }
    }
    if (playing != devicePlaying_) {
        playing ? output_->resume() : output_->suspend();
        devicePlaying_ = playing;
    }
    QAudio::Error error = output_->error();
    if (error == QAudio::OpenError || error == QAudio::IOError || error == QAudio::FatalError) {
        failDevice();
        return;
    }

    auto room =
        static_cast<std::size_t>(std::max<qsizetype>(output_->bytesFree(), 0) / kBytesPerFrame);
    std::size_t count = 0;
    {
        std::lock_guard lock(mutex_);
        if (run != run_) {
            return; // the next feed starts the device over for the new run
        }
        count = std::min(room, ringFrames_);
        transfer_.resize(count * channelCount);
        for (std::size_t i = 0; i < count; ++i) {
            std::size_t from = (ringStart_ + i) % static_cast<std::size_t>(bufferFrames);
            std::copy_n(&ring_[from * channelCount], channelCount, &transfer_[i * channelCount]);
        }
        ringStart_ = (ringStart_ + count) % static_cast<std::size_t>(bufferFrames);
        ringFrames_ -= count;
        handed_ += static_cast<std::int64_t>(count);
        changed_.notify_all();
    }
    if (count > 0) {
        outputDevice_->write(reinterpret_cast<const char*>(transfer_.data()),
                             static_cast<qint64>(count) * kBytesPerFrame);
    }
    // Heard is what went to the device and has left its buffer; between
    // feeds the position moves on by the clock.
    std::int64_t queued = (output_->bufferSize() - output_->bytesFree()) / kBytesPerFrame;
    std::lock_guard lock(mutex_);
    if (run == run_ && !failed_) {
        position_.reset(std::clamp<std::int64_t>(handed_ - queued, 0, handed_), clock_->now());
    }
}

void QtAudioSink::beginRun(std::uint64_t run) {
    std::lock_guard lock(mutex_);
    run_ = run;
    restart_ = true;
    ringStart_ = 0;
    ringFrames_ = 0;
    handed_ = 0;
    position_ = {};
    reported_ = 0;
    changed_.notify_all();
}

bool QtAudioSink::write(std::uint64_t run, std::span<const float> samples, std::stop_token stop) {
    std::size_t frames = samples.size() / channelCount;
    const float* next = samples.data();
    std::unique_lock lock(mutex_);
    while (frames > 0) {
        if (stop.stop_requested() || run != run_) {
            return false;
        }
        auto capacity = static_cast<std::size_t>(bufferFrames);
        std::size_t room = capacity - ringFrames_;
        if (room == 0) {
            changed_.wait(lock, stop, [&] { return ringFrames_ < capacity || run != run_; });
            continue;
        }
        std::size_t count = std::min(room, frames);
        for (std::size_t i = 0; i < count; ++i) {
            std::size_t to = (ringStart_ + ringFrames_ + i) % capacity;
            std::copy_n(next + i * channelCount, channelCount, &ring_[to * channelCount]);
        }
        ringFrames_ += count;
        next += count * channelCount;
        frames -= count;
    }
    return true;
}

void QtAudioSink::setPlaying(bool playing) {
    std::lock_guard lock(mutex_);
    if (playing != position_.playing()) {
        position_.setPlaying(playing, clock_->now());
        changed_.notify_all();
    }
}

std::int64_t QtAudioSink::position() const {
    std::lock_guard lock(mutex_);
    std::int64_t position = position_.at(clock_->now());
    // A device cannot have played what it was not given. The position never
    // goes back: where the device lags the estimate, it waits for it.
    if (!failed_) {
        position = std::min(position, handed_);
    }
    reported_ = std::max(reported_, position);
    return reported_;
}

bool QtAudioSink::isSilent() const {
    std::lock_guard lock(mutex_);
    return failed_;
}

std::unique_ptr<AudioSink> makeDefaultAudioSink(std::shared_ptr<MonotonicClock> clock) {
    QAudioDevice device = QMediaDevices::defaultAudioOutput();
    if (device.isNull()) {
        return std::make_unique<SilentAudioSink>(std::move(clock));
    }
    return std::make_unique<QtAudioSink>(device, std::move(clock));
}

} // namespace vexel::playback
