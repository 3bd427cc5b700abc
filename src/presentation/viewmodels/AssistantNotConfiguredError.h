#pragma once

#include <exception>

namespace vexel {

// The assistant cannot be asked: the backend's address or access token was
// missing when the editor started. Nothing is sent anywhere; the user is told
// how to set it up.
class AssistantNotConfiguredError : public std::exception {
public:
    // The chat's notice, offered for retry like every failed instruction.
    static constexpr const char* userMessage =
        "The assistant is not set up. Set VEXEL_BACKEND_URL and VEXEL_ACCESS_TOKEN, then start "
        "Vexel again.";

    const char* what() const noexcept override { return "assistant not configured"; }
};

} // namespace vexel
