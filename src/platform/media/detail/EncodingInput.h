#pragma once

// A writer input: a bounded queue in front of an encoder that runs on a
// thread of its own. Internal to the media layer.

#include "platform/media/InputQueue.h"
#include "platform/media/detail/WriterCore.h"

#include <thread>

namespace vexel::media {

class WriterInputBase {
public:
    virtual ~WriterInputBase() = default;
    virtual void open() = 0;
    virtual void start() = 0;
    virtual void markAsFinished() = 0;
    virtual void abort() = 0;
    virtual void join() = 0;
};

template <typename Encoder> class EncodingInput : public WriterInputBase {
public:
    using Item = typename Encoder::Item;

    EncodingInput(WriterCore& core, typename Encoder::Settings settings, std::size_t capacity)
        : core_(core)
        , encoder_(std::move(settings))
        , queue_(capacity) {}

    ~EncodingInput() override {
        abort();
        join();
    }

    const typename Encoder::Settings& settings() const { return encoder_.settings(); }

    bool isReadyForMoreMediaData() const { return core_.isWriting() && queue_.hasRoom(); }

    bool waitUntilReadyForMoreMediaData(std::chrono::milliseconds timeout) const {
        if (core_.isWriting()) {
            queue_.waitForRoom(timeout);
        }
        return isReadyForMoreMediaData();
    }

    bool append(Item item) {
        if (!core_.isWriting()) {
            return false;
        }
        return queue_.push(std::move(item)) && core_.state.status() != WriterCore::Status::failed;
    }

    void open() override { encoder_.open(core_); }

    void start() override {
        worker_ = std::thread([this] { run(); });
    }

    void markAsFinished() override { queue_.close(); }
    void abort() override { queue_.abort(); }

    void join() override {
        if (worker_.joinable()) {
            worker_.join();
        }
    }

private:
    void run() {
        try {
            while (auto item = queue_.pop()) {
                if (!core_.isWriting()) {
                    return;
                }
                encoder_.encode(*item, core_);
            }
            if (core_.isWriting()) {
                encoder_.flush(core_);
            }
        } catch (const MediaError& failure) {
            core_.fail(failure);
        } catch (const std::exception& failure) {
            core_.fail(MediaError(MediaError::Kind::encodingFailed, failure.what()));
        }
    }

    WriterCore& core_;
    Encoder encoder_;
    InputQueue<Item> queue_;
    std::thread worker_;
};

} // namespace vexel::media
