#pragma once

#include <string>

namespace vexel {

// One dispatched server-sent event of a streamed reply.
struct SSELine {
    // The last "event:" value of the event; empty when it had none.
    std::string event;
    // Its "data:" values joined with one line feed.
    std::string data;

    bool operator==(const SSELine&) const = default;
};

} // namespace vexel
