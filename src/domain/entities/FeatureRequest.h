#pragma once

#include "foundation/Uuid.h"

#include <chrono>
#include <string>

namespace vexel {

// Something the user wishes the editor could do, carried whole by the
// request-feature command.
struct FeatureRequest {
    using Timestamp = std::chrono::system_clock::time_point;

    Uuid id;
    std::string summary;
    std::string useCase;
    std::string conversationExcerpt;
    Timestamp createdAt;

    friend bool operator==(const FeatureRequest&, const FeatureRequest&) = default;
};

} // namespace vexel
