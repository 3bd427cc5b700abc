#pragma once

#include <string_view>

namespace vexel {

enum class LogLevel { debug, info, error };

// The application's one log (subsystem "com.vexel.app", category "general").
// Messages begin with their component's bracketed tag ("[Export] …") and are
// private as a whole: they may name the user's files and clips, so a logger
// that writes outside the process shows them only when asked to. Implementations
// are safe to call from any thread.
class Logger {
public:
    virtual ~Logger() = default;

    virtual void log(LogLevel level, std::string_view message) = 0;
    // A fixed text that holds nothing of the user's: shown whole wherever the
    // log goes. Never pass a message with a file, clip or instruction in it.
    virtual void logPublic(LogLevel level, std::string_view message) { log(level, message); }

    void error(std::string_view message) { log(LogLevel::error, message); }
    void info(std::string_view message) { log(LogLevel::info, message); }
    void debug(std::string_view message) { log(LogLevel::debug, message); }
};

// Drops every message; for callers that have nowhere to log.
class NullLogger final : public Logger {
public:
    void log(LogLevel, std::string_view) override {}
};

} // namespace vexel
