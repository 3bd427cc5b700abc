#pragma once

#include "foundation/Uuid.h"
#include "presentation/viewmodels/ErrorCategory.h"

#include <chrono>
#include <optional>
#include <string>

namespace vexel {

// A failure outside the chat (a save, an open, an import, a direct edit) as the
// error banner shows it. Identified by its id alone: two values with the same
// id are the same error whatever their texts.
struct AppError {
    Uuid id;
    ErrorCategory category = ErrorCategory::unknown;
    // The sentence shown in the banner.
    std::string message;
    std::optional<std::string> detail;
    // The text of a suggested action.
    std::optional<std::string> action;
    std::chrono::system_clock::time_point timestamp;

    // A new error (new id) made at `timestamp`.
    static AppError make(ErrorCategory category, std::string message,
                         std::chrono::system_clock::time_point timestamp,
                         std::optional<std::string> detail = std::nullopt,
                         std::optional<std::string> action = std::nullopt);

    friend bool operator==(const AppError& a, const AppError& b) { return a.id == b.id; }
};

} // namespace vexel
