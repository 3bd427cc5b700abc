#pragma once

#include "foundation/Logger.h"

#include <algorithm>
#include <mutex>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace vexel::test {

// Keeps every message so that tests can check what was logged, and how often.
class RecordingLogger final : public Logger {
public:
    void log(LogLevel level, std::string_view message) override {
        std::lock_guard lock(mutex_);
        entries_.emplace_back(level, std::string(message));
    }

    std::vector<std::pair<LogLevel, std::string>> entries() const {
        std::lock_guard lock(mutex_);
        return entries_;
    }

    std::vector<std::string> messages() const {
        std::lock_guard lock(mutex_);
        std::vector<std::string> result;
        for (const auto& entry : entries_) {
            result.push_back(entry.second);
        }
        return result;
    }

    // The number of messages that begin with `prefix`.
    std::size_t countStartingWith(std::string_view prefix) const {
        std::lock_guard lock(mutex_);
        return static_cast<std::size_t>(
            std::count_if(entries_.begin(), entries_.end(), [&](const auto& entry) {
                return std::string_view(entry.second).substr(0, prefix.size()) == prefix;
            }));
    }

private:
    mutable std::mutex mutex_;
    std::vector<std::pair<LogLevel, std::string>> entries_;
};

} // namespace vexel::test
