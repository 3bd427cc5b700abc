#pragma once

#include "platform/playback/AudioSink.h"
#include "platform/playback/MonotonicClock.h"
#include "platform/playback/detail/ClockPosition.h"

#include <QAudioDevice>
#include <QThread>

#include <condition_variable>
#include <memory>
#include <mutex>
#include <vector>

class QAudioSink;
class QIODevice;
class QTimer;

namespace vexel::playback {

// Plays the sound on a device through Qt Multimedia, from a thread of its own
// that moves queued samples to the device as it takes them; the position is
// what the device has played. Where the device cannot be opened or fails, the
// sink keeps time by the clock instead, as a silent one does.
class QtAudioSink final : public AudioSink {
public:
    // Queued here before the device, a fifth of a second.
    static constexpr std::int64_t bufferFrames = sampleRate / 5;

    QtAudioSink(const QAudioDevice& device, std::shared_ptr<MonotonicClock> clock);
    ~QtAudioSink() override;

    QtAudioSink(const QtAudioSink&) = delete;
    QtAudioSink& operator=(const QtAudioSink&) = delete;

    void beginRun(std::uint64_t run) override;
    bool write(std::uint64_t run, std::span<const float> samples, std::stop_token stop) override;
    void setPlaying(bool playing) override;
    std::int64_t position() const override;

    // Whether the device failed and time is kept by the clock.
    bool isSilent() const;

private:
    // On the sink's thread.
    void open();
    void feed();
    void restartDevice();
    void failDevice();
    void close();

    std::shared_ptr<MonotonicClock> clock_;
    QAudioDevice device_;
    QThread thread_;
    std::unique_ptr<QObject> context_; // lives on thread_

    // Owned by the sink's thread.
    QAudioSink* output_ = nullptr;
    QIODevice* outputDevice_ = nullptr;
    QTimer* timer_ = nullptr;
    std::uint64_t deviceRun_ = 0;
    bool devicePlaying_ = false;
    std::vector<float> transfer_;

    mutable std::mutex mutex_;
    std::condition_variable_any changed_;
    std::uint64_t run_ = 0;
    bool restart_ = true;
    bool failed_ = false;
    // Samples waiting for the device: a ring of bufferFrames frames.
    std::vector<float> ring_;
    std::size_t ringStart_ = 0;
    std::size_t ringFrames_ = 0;
    // Frames of the run taken from the ring.
    std::int64_t handed_ = 0;
    detail::ClockPosition position_;
    mutable std::int64_t reported_ = 0;
};

// The default sound device's sink where the system has one, else a silent one.
std::unique_ptr<AudioSink> makeDefaultAudioSink(std::shared_ptr<MonotonicClock> clock);

} // namespace vexel::playback
