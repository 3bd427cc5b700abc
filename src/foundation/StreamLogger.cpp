#include "foundation/StreamLogger.h"

#include <string>

namespace vexel {

namespace {

const char* levelName(LogLevel level) {
    switch (level) {
    case LogLevel::debug:
        return "debug";
    case LogLevel::info:
        return "info";
    case LogLevel::error:
        return "error";
    }
    return "error";
}

// The component tag is not private: it says which part of the editor spoke and
// nothing of the user's data.
std::string_view tagOf(std::string_view message) {
    if (message.empty() || message.front() != '[') {
        return {};
    }
    const auto end = message.find(']');
    return end == std::string_view::npos ? std::string_view{} : message.substr(0, end + 1);
}

} // namespace

StreamLogger::StreamLogger(std::FILE* stream, bool revealPrivate)
    : stream_(stream)
    , revealPrivate_(revealPrivate) {}

void StreamLogger::log(LogLevel level, std::string_view message) {
    write(level, message, revealPrivate_);
}

void StreamLogger::logPublic(LogLevel level, std::string_view message) {
    write(level, message, true);
}

void StreamLogger::write(LogLevel level, std::string_view message, bool reveal) {
    if (level == LogLevel::debug && !revealPrivate_) {
        return;
    }
    std::string line = "com.vexel.app general ";
    line += levelName(level);
    line += ": ";
    if (reveal) {
        line += message;
    } else {
        const auto tag = tagOf(message);
        if (!tag.empty()) {
            line += tag;
            line += ' ';
        }
        line += "<private>";
    }
    line += '\n';
    std::lock_guard lock(mutex_);
    std::fwrite(line.data(), 1, line.size(), stream_);
    std::fflush(stream_);
}

} // namespace vexel
