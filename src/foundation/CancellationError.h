#pragma once

#include <exception>
#include <stop_token>

namespace vexel {

// Work was cancelled by its caller. Never reported to the user as a failure.
class CancellationError : public std::exception {
public:
    const char* what() const noexcept override { return "CancellationError"; }
};

inline void throwIfCancelled(const std::stop_token& token) {
    if (token.stop_requested()) {
        throw CancellationError();
    }
}

} // namespace vexel
