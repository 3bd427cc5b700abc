#pragma once

#include "foundation/CancellationError.h"

#include <algorithm>
#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stop_token>
#include <thread>
#include <utility>
#include <vector>

// A stream of values from a producer thread to one consumer. The channel buffers
// without limit, so a producer never waits for its consumer; when the consumer
// lets go of the stream, the producer gets a stop request.
namespace vexel {

namespace detail {

template <class T> struct AsyncChannelState {
    std::mutex mutex;
    std::condition_variable_any changed;
    std::deque<T> values;
    bool finished = false;
    std::exception_ptr error;
};

} // namespace detail

// The producer's end. After the first finish() or fail() everything is ignored.
template <class T> class AsyncChannelWriter {
public:
    explicit AsyncChannelWriter(std::shared_ptr<detail::AsyncChannelState<T>> state)
        : state_(std::move(state)) {}

    void send(T value) {
        {
            std::lock_guard lock(state_->mutex);
            if (state_->finished) {
                return;
            }
            state_->values.push_back(std::move(value));
        }
        state_->changed.notify_all();
    }

    void finish() { end(nullptr); }

    void fail(std::exception_ptr error) { end(std::move(error)); }

private:
    void end(std::exception_ptr error) {
        {
            std::lock_guard lock(state_->mutex);
            if (state_->finished) {
                return;
            }
            state_->finished = true;
            state_->error = std::move(error);
        }
        state_->changed.notify_all();
    }

    std::shared_ptr<detail::AsyncChannelState<T>> state_;
};

// The consumer's end. Move-only; destroying it (or cancel()) asks the producer to
// stop, and destruction waits for the producer thread to return.
template <class T> class AsyncStream {
public:
    using Producer = std::function<void(AsyncChannelWriter<T>&, std::stop_token)>;

    // Runs `producer` on a thread of its own. Its normal return ends the stream;
    // an exception it throws ends the stream with that error.
    explicit AsyncStream(Producer producer)
        : state_(std::make_shared<detail::AsyncChannelState<T>>()) {
        producerThread_ =
            std::jthread([state = state_, producer = std::move(producer)](std::stop_token stop) {
                AsyncChannelWriter<T> writer(state);
                try {
                    producer(writer, stop);
                    writer.finish();
                } catch (...) {
                    writer.fail(std::current_exception());
                }
            });
    }

    // A stream with no producer that ends with `error` at its first read.
    static AsyncStream failed(std::exception_ptr error) {
        AsyncStream stream;
        stream.state_ = std::make_shared<detail::AsyncChannelState<T>>();
        AsyncChannelWriter<T>(stream.state_).fail(std::move(error));
        return stream;
    }

    AsyncStream(AsyncStream&&) noexcept = default;
    AsyncStream& operator=(AsyncStream&&) noexcept = default;
    AsyncStream(const AsyncStream&) = delete;
    AsyncStream& operator=(const AsyncStream&) = delete;
    ~AsyncStream() = default;

    // Waits for the next value. Returns nothing at a normal end and rethrows the
    // producer's error once the values sent before it are drained. A stop request
    // on `stop` while waiting throws CancellationError; the stream stays usable.
    std::optional<T> next(std::stop_token stop = {}) {
        if (!state_) {
            return std::nullopt;
        }
        std::unique_lock lock = waitForValueOrEnd(stop);
        if (!state_->values.empty()) {
            T value = std::move(state_->values.front());
            state_->values.pop_front();
            return value;
        }
        if (state_->error) {
            std::rethrow_exception(state_->error);
        }
        return std::nullopt;
    }

    // Like next(), but takes every value already waiting, up to `limit` (at
    // least one): a consumer that pays for each wake-up catches up with a fast
    // producer in one. Empty at a normal end; the producer's error once the
    // values sent before it are taken.
    std::vector<T> nextAvailable(std::size_t limit, std::stop_token stop = {}) {
        std::vector<T> taken;
        if (!state_) {
            return taken;
        }
        std::unique_lock lock = waitForValueOrEnd(stop);
        while (!state_->values.empty() && taken.size() < std::max<std::size_t>(limit, 1)) {
            taken.push_back(std::move(state_->values.front()));
            state_->values.pop_front();
        }
        if (taken.empty() && state_->error) {
            std::rethrow_exception(state_->error);
        }
        return taken;
    }

    // Asks the producer to stop without waiting for it.
    void cancel() { producerThread_.request_stop(); }

private:
    AsyncStream() = default;

    // The state's lock, held once a value waits or the producer has finished;
    // CancellationError when `stop` is requested first.
    std::unique_lock<std::mutex> waitForValueOrEnd(std::stop_token stop) {
        std::unique_lock lock(state_->mutex);
        const bool ready = state_->changed.wait(
            lock, stop, [this] { return !state_->values.empty() || state_->finished; });
        if (!ready) {
            throw CancellationError();
        }
        return lock;
    }

    std::shared_ptr<detail::AsyncChannelState<T>> state_;
    // Declared last so that it is joined before the state is released.
    std::jthread producerThread_;
};

} // namespace vexel
