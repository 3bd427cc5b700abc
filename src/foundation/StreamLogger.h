#pragma once

#include "foundation/Logger.h"

#include <cstdio>
#include <mutex>

namespace vexel {

// Writes one line per message to a C stream (stderr in the application, which
// the journal collects when the editor runs as a desktop service). Message text
// is replaced by "<private>" unless `revealPrivate` is set (debug logging);
// debug messages are written only then.
class StreamLogger final : public Logger {
public:
    explicit StreamLogger(std::FILE* stream, bool revealPrivate = false);

    void log(LogLevel level, std::string_view message) override;
    void logPublic(LogLevel level, std::string_view message) override;

private:
    void write(LogLevel level, std::string_view message, bool reveal);

    std::FILE* stream_;
    bool revealPrivate_;
    std::mutex mutex_;
};

} // namespace vexel
