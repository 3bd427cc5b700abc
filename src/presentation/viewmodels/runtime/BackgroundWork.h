#pragma once

#include "foundation/AsyncChannel.h"

#include <QCoro/QCoroFuture>
#include <QCoro/QCoroTask>
#include <QThreadPool>
#include <QtConcurrent/QtConcurrentRun>

#include <cstddef>
#include <exception>
#include <optional>
#include <stop_token>
#include <type_traits>
#include <utility>
#include <variant>
#include <vector>

namespace vexel {

// GCC 12 destroys a lambda or a braced temporary written inside a co_await
// operand twice; such values are bound to a local before they are awaited.

// Runs blocking `work` on a thread of `pool` and resumes the awaiting coroutine
// on the GUI thread with its result, or with the very exception it threw (not
// Qt's wrapper of it), so that callers catch EditError and the like as they are.
// The work is handed to the pool before the first suspension; it must not touch
// GUI-thread state.
template <class Work>
QCoro::Task<std::invoke_result_t<Work&>> runInBackground(QThreadPool* pool, Work work) {
    using Result = std::invoke_result_t<Work&>;
    using Value = std::conditional_t<std::is_void_v<Result>, std::monostate, Result>;
    using Outcome = std::variant<Value, std::exception_ptr>;
    QFuture<Outcome> job = QtConcurrent::run(pool, [work = std::move(work)]() mutable -> Outcome {
        try {
            if constexpr (std::is_void_v<Result>) {
                work();
                return Outcome(std::in_place_index<0>);
            } else {
                return Outcome(std::in_place_index<0>, work());
            }
        } catch (...) {
            return Outcome(std::in_place_index<1>, std::current_exception());
        }
    });
    Outcome outcome = co_await job;
    if (const auto* error = std::get_if<1>(&outcome)) {
        std::rethrow_exception(*error);
    }
    if constexpr (!std::is_void_v<Result>) {
        co_return std::get<0>(std::move(outcome));
    }
}

// Every value of a producer's stream already waiting (at least one, at most
// `limit`), waited for on a thread of `pool` so that the GUI thread consuming
// the stream never blocks: empty at the end of the stream, the producer's error
// after its last value, CancellationError when `stop` is requested while
// waiting. The stream must outlive the wait.
template <class T>
QCoro::Task<std::vector<T>> nextBatchFromStream(QThreadPool* pool, AsyncStream<T>& stream,
                                                std::size_t limit, std::stop_token stop) {
    auto next = [&stream, limit, stop] { return stream.nextAvailable(limit, stop); };
    co_return co_await runInBackground(pool, std::move(next));
}

} // namespace vexel
