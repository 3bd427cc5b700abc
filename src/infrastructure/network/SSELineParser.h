#pragma once

#include "infrastructure/network/SSELine.h"

#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// Turns the bytes of a server-sent-event body into events, piece by piece as
// they arrive: "event:" and "data:" fields, comments, blank-line dispatch and
// the "[DONE]" sentinel. One parser reads one body.
class SSELineParser {
public:
    using Emit = std::function<void(SSELine)>;

    // The longest line, and the most data one event may gather. A peer that
    // never ends a line or an event would otherwise grow memory without bound
    // while the idle timeout never fires, since bytes keep coming.
    static constexpr std::size_t defaultMaxLineLength = 16 * 1024 * 1024;

    explicit SSELineParser(std::size_t maxLineLength = defaultMaxLineLength)
        : maxLineLength_(maxLineLength) {}

    // Reads `bytes`, calling `emit` for every event completed by a blank line.
    // Returns false once "[DONE]" has ended the body; nothing after it is read.
    // Throws APIClientError::networkError when a line or an event outgrows the
    // longest line.
    bool feed(std::string_view bytes, const Emit& emit);

    // The body ended: the event still pending, unless it is "[DONE]" or nothing.
    // A last line without its line feed is dropped.
    std::optional<SSELine> finish();

private:
    void handleLine(std::string_view line, const Emit& emit);
    void endEvent();

    std::size_t maxLineLength_;
    std::string lineBuffer_;
    std::string eventName_;
    // The event's data lines joined with line feeds; hasData_ tells one empty
    // data line from none.
    std::string data_;
    bool hasData_ = false;
    bool done_ = false;
};

} // namespace vexel
