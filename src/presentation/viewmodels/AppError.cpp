#include "presentation/viewmodels/AppError.h"

#include <utility>

namespace vexel {

AppError AppError::make(ErrorCategory category, std::string message,
                        std::chrono::system_clock::time_point timestamp,
                        std::optional<std::string> detail, std::optional<std::string> action) {
    return AppError{Uuid::random(),    category,          std::move(message),
                    std::move(detail), std::move(action), timestamp};
}

} // namespace vexel
