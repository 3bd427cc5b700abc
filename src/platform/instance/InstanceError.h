#pragma once

#include <filesystem>
#include <stdexcept>
#include <string>

namespace vexel::instance {

// Being or reaching the application's running instance failed; `socket` is
// the local socket it was about.
class InstanceError : public std::runtime_error {
public:
    enum class Kind {
        // Another process holds the instance lock but took no request within
        // the patience given: it hangs, or cannot be reached.
        notAnswering,
        // The running instance cannot listen for later starts.
        cannotListen,
    };

    InstanceError(Kind kind, std::filesystem::path socket, const std::string& message)
        : std::runtime_error(message)
        , kind_(kind)
        , socket_(std::move(socket)) {}

    Kind kind() const { return kind_; }
    const std::filesystem::path& socket() const { return socket_; }

private:
    Kind kind_;
    std::filesystem::path socket_;
};

} // namespace vexel::instance
