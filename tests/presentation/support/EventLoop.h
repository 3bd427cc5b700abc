#pragma once

#include <QCoreApplication>
#include <QCoro/QCoroTask>
#include <QEventLoop>
#include <QTimer>
#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <type_traits>
#include <utility>
#include <variant>

namespace vexel::test {

// Handles the GUI thread's queued events, a few rounds over, since handling one
// (a task starting, a cancelled wait ending) may queue the next. Never waits.
inline void settle() {
    for (int round = 0; round < 20; ++round) {
        QCoreApplication::processEvents(QEventLoop::AllEvents);
    }
}

namespace detail {

template <class T> using Stored = std::conditional_t<std::is_void_v<T>, std::monostate, T>;

template <class T>
QCoro::Task<void> collect(QCoro::Task<T> task, std::optional<Stored<T>>* value,
                          std::exception_ptr* error, QEventLoop* loop) {
    try {
        if constexpr (std::is_void_v<T>) {
            co_await task;
            value->emplace();
        } else {
            value->emplace(co_await task);
        }
    } catch (...) {
        *error = std::current_exception();
    }
    loop->quit();
}

} // namespace detail

// Runs the event loop until `task` has ended and returns its result or rethrows
// its error. The loop wakes on events (worker results, timers), never on a
// clock; the time limit only stops a test whose task would never end.
template <class T>
T awaitTask(QCoro::Task<T> task, std::chrono::seconds limitAfter = std::chrono::seconds(20)) {
    QEventLoop loop;
    std::optional<detail::Stored<T>> value;
    std::exception_ptr error;
    auto collector = detail::collect(std::move(task), &value, &error, &loop);
    if (!value && !error) {
        QTimer limit;
        limit.setSingleShot(true);
        QObject::connect(&limit, &QTimer::timeout, &loop, &QEventLoop::quit);
        limit.start(limitAfter);
        loop.exec();
    }
    if (!value && !error) {
        // The collector still points at this frame: going on would be unsafe.
        std::fprintf(stderr, "awaitTask: the task did not end within %lld s\n",
                     static_cast<long long>(limitAfter.count()));
        std::abort();
    }
    if (error) {
        std::rethrow_exception(error);
    }
    if constexpr (!std::is_void_v<T>) {
        return std::move(*value);
    }
}

} // namespace vexel::test
