#pragma once

#include "foundation/Json.h"

namespace vexel {

// A span on the timeline in seconds: [startTime, startTime + duration).
struct TimeRange {
    double startTime = 0;
    double duration = 0;

    double endTime() const { return startTime + duration; }

    friend bool operator==(const TimeRange&, const TimeRange&) = default;
};

void to_json(Json& json, const TimeRange& range);
void from_json(const Json& json, TimeRange& range);

} // namespace vexel
