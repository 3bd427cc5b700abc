#pragma once

#include <string>

namespace vexel {

// The two ways the window writes a time in seconds. Both count whole seconds,
// truncated toward zero: 59.9 s is still "59s".
struct TimeFormatting {
    TimeFormatting() = delete;

    // "m:ss", minutes unbounded: 5 -> "0:05", 125.7 -> "2:05", 3600 -> "60:00".
    static std::string standard(double seconds);

    // "Ns" below a minute (59.99 -> "59s"), else like standard (60 -> "1:00").
    static std::string compact(double seconds);
};

} // namespace vexel
