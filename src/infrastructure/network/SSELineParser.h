#pragma once

#include "infrastructure/network/SSELine.h"

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexel {

// Turns the bytes of a server-sent-event body into events, piece by piece as
// they arrive: "event:" and "data:" fields, comments, blank-line dispatch and
// the "[DONE]" sentinel. One parser reads one body.
class SSELineParser {
public:
    using Emit = std::function<void(SSELine)>;

    // Reads `bytes`, calling `emit` for every event completed by a blank line.
    // Returns false once "[DONE]" has ended the body; nothing after it is read.
    bool feed(std::string_view bytes, const Emit& emit);

    // The body ended: the event still pending, unless it is "[DONE]" or nothing.
    // A last line without its line feed is dropped.
    std::optional<SSELine> finish();

private:
    void handleLine(std::string_view line, const Emit& emit);
    std::string joinedData() const;

    std::string lineBuffer_;
    std::string eventName_;
    std::vector<std::string> dataLines_;
    bool done_ = false;
};

} // namespace vexel
