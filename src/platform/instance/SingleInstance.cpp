#include "platform/instance/SingleInstance.h"

#include "foundation/FileDescriptor.h"
#include "foundation/SteadySleeper.h"
#include "platform/instance/HandOverMessage.h"
#include "platform/instance/InstanceError.h"
#include "platform/instance/UnixSocketAddress.h"

#include <poll.h>
#include <sys/socket.h>

#include <algorithm>
#include <cerrno>
#include <utility>

namespace vexel::instance {

namespace {

using Deadline = std::chrono::steady_clock::time_point;

// Waits until `fd` is ready for `events` or has failed; false once the
// deadline has passed.
bool waitFor(int fd, short events, Deadline deadline) {
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            return false;
        }
        pollfd entry{fd, events, 0};
        const int ready = ::poll(&entry, 1, int(std::min<long long>(left.count(), 60'000)));
        if (ready > 0) {
            return true;
        }
        if (ready < 0 && errno != EINTR) {
            return false;
        }
    }
}

// One attempt to hand `request` to the instance listening at `socket`: true
// once it answered that it took it; false when there is no one listening, or
// the connection closed or the deadline passed before the answer.
bool handOver(const std::filesystem::path& socket, const std::string& request, Deadline deadline,
              const std::function<void()>& awaitingAnswer) {
    const std::optional<sockaddr_un> address = unixSocketAddress(socket);
    if (!address) {
        return false;
    }
    FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0 || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&*address),
                                  sizeof(sockaddr_un)) != 0) {
        return false;
    }
    for (std::size_t sent = 0; sent < request.size();) {
        if (!waitFor(fd.get(), POLLOUT, deadline)) {
            return false;
        }
        // No SIGPIPE from an instance that died meanwhile.
        const ssize_t written =
            ::send(fd.get(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (written > 0) {
            sent += std::size_t(written);
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return false;
        }
    }
    if (awaitingAnswer) {
        awaitingAnswer();
    }
    for (;;) {
        if (!waitFor(fd.get(), POLLIN, deadline)) {
            return false;
        }
        char answer = 0;
        const ssize_t received = ::recv(fd.get(), &answer, 1, 0);
        if (received == 1) {
            return answer == handOverTaken;
        }
        if (received == 0 || (errno != EAGAIN && errno != EINTR)) {
            return false;
        }
    }
}

PrimaryInstance becomeInstance(InstanceLock lock, const std::filesystem::path& socket) {
    try {
        return PrimaryInstance(std::move(lock), std::make_unique<InstanceServer>(socket), {});
    } catch (const InstanceError& error) {
        // Still the instance: the lock keeps other starts from running beside
        // it, though they cannot reach it.
        return PrimaryInstance(std::move(lock), nullptr, error.what());
    }
}

} // namespace

PrimaryInstance::PrimaryInstance(InstanceLock lock, std::unique_ptr<InstanceServer> server,
                                 std::string listenFailure)
    : lock_(std::move(lock))
    , server_(std::move(server))
    , listenFailure_(std::move(listenFailure)) {}

std::optional<PrimaryInstance> claimInstance(const InstancePaths& paths,
                                             const std::optional<std::filesystem::path>& folder,
                                             const ClaimOptions& options) {
    const std::string request = encodeHandOver(folder);
    const Deadline deadline = std::chrono::steady_clock::now() + options.patience;
    const std::shared_ptr<Sleeper> sleeper =
        options.sleeper ? options.sleeper : std::make_shared<SteadySleeper>();
    for (;;) {
        if (std::optional<InstanceLock> lock = InstanceLock::tryTake(paths.lockFile)) {
            return becomeInstance(std::move(*lock), paths.socket);
        }
        if (handOver(paths.socket, request, deadline, options.awaitingAnswer)) {
            return std::nullopt;
        }
        if (std::chrono::steady_clock::now() >= deadline) {
            throw InstanceError(InstanceError::Kind::notAnswering, paths.socket,
                                "the running instance does not answer");
        }
        sleeper->sleepFor(options.retryPause, {});
    }
}

} // namespace vexel::instance
