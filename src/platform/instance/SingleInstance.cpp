#include "platform/instance/SingleInstance.h"

#include "foundation/FileDescriptor.h"
#include "foundation/PrivateFolder.h"
#include "foundation/SteadySleeper.h"
#include "platform/instance/HandOverMessage.h"
#include "platform/instance/InstanceError.h"
#include "platform/instance/UnixSocketAddress.h"

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <utility>

namespace vexel::instance {

namespace {

using Deadline = std::chrono::steady_clock::time_point;

// What the holder of the lock writes into its file when later starts cannot
// reach it, so that they say so at once instead of waiting for an answer.
constexpr std::string_view cannotListenNote = "cannot listen\n";

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

enum class HandOver {
    taken,
    // Nobody listens, or the one listening closed or did not answer in time.
    notTaken,
    // The socket is another user's: it is not told the folder.
    foreign,
};

// One attempt to hand `request` to the instance listening at `address`.
HandOver handOver(const std::optional<sockaddr_un>& address, const std::string& request,
                  Deadline deadline, const std::function<void()>& awaitingAnswer) {
    if (!address) {
        return HandOver::notTaken;
    }
    FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0));
    if (fd.get() < 0 || ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&*address),
                                  addressLength(*address)) != 0) {
        return HandOver::notTaken;
    }
    ucred peer{};
    socklen_t size = sizeof peer;
    if (::getsockopt(fd.get(), SOL_SOCKET, SO_PEERCRED, &peer, &size) != 0 ||
        peer.uid != ::geteuid()) {
        return HandOver::foreign;
    }
    for (std::size_t sent = 0; sent < request.size();) {
        if (!waitFor(fd.get(), POLLOUT, deadline)) {
            return HandOver::notTaken;
        }
        // No SIGPIPE from an instance that died meanwhile.
        const ssize_t written =
            ::send(fd.get(), request.data() + sent, request.size() - sent, MSG_NOSIGNAL);
        if (written > 0) {
            sent += std::size_t(written);
        } else if (written < 0 && errno != EAGAIN && errno != EINTR) {
            return HandOver::notTaken;
        }
    }
    if (awaitingAnswer) {
        awaitingAnswer();
    }
    for (;;) {
        if (!waitFor(fd.get(), POLLIN, deadline)) {
            return HandOver::notTaken;
        }
        char answer = 0;
        const ssize_t received = ::recv(fd.get(), &answer, 1, 0);
        if (received == 1) {
            return answer == handOverTaken ? HandOver::taken : HandOver::notTaken;
        }
        if (received == 0 || (errno != EAGAIN && errno != EINTR)) {
            return HandOver::notTaken;
        }
    }
}

struct NameClaim {
    // Bound and listening when this process holds the name.
    FileDescriptor socket{-1};
    bool inUse = false;
};

// Binds the abstract name: the kernel gives it to one socket at a time.
NameClaim claimName(const std::optional<sockaddr_un>& address) {
    NameClaim claim;
    if (!address) {
        return claim;
    }
    FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    if (fd.get() < 0) {
        return claim;
    }
    if (::bind(fd.get(), reinterpret_cast<const sockaddr*>(&*address), addressLength(*address)) !=
        0) {
        claim.inUse = errno == EADDRINUSE;
        return claim;
    }
    if (::listen(fd.get(), SOMAXCONN) == 0) {
        claim.socket = std::move(fd);
    }
    return claim;
}

PrimaryInstance becomeInstance(FileDescriptor name, std::optional<InstanceLock> lock,
                               std::string lockFailure, const InstancePaths& paths,
                               const InstanceServer::Limits& limits) {
    const bool holdsName = name.get() >= 0;
    std::string guardFailure;
    if (!holdsName && !lock) {
        guardFailure = lockFailure.empty() ? "the instance lock cannot be used" : lockFailure;
    }
    std::unique_ptr<InstanceServer> server;
    std::string listenFailure;
    if (!guardFailure.empty()) {
        // Whoever listens here is believed to be the instance, which this one
        // cannot make sure of.
        listenFailure = guardFailure;
    } else {
        try {
            // The socket file is the lock holder's alone: another's may be
            // there.
            server = std::make_unique<InstanceServer>(
                std::move(name), lock ? paths.socket : std::filesystem::path(), limits);
        } catch (const InstanceError& error) {
            // Still the instance: the lock keeps other starts from running
            // beside it, though they cannot reach it; they learn that from the
            // lock.
            listenFailure = error.what();
        }
    }
    if (lock) {
        lock->setNote(server ? std::string_view() : cannotListenNote);
    }
    return PrimaryInstance(std::move(lock), holdsName, std::move(server), std::move(listenFailure),
                           std::move(guardFailure), paths);
}

} // namespace

PrimaryInstance::PrimaryInstance(std::optional<InstanceLock> lock, bool holdsName,
                                 std::unique_ptr<InstanceServer> server, std::string listenFailure,
                                 std::string guardFailure, InstancePaths paths)
    : lock_(std::move(lock))
    , holdsName_(holdsName)
    , server_(std::move(server))
    , listenFailure_(std::move(listenFailure))
    , guardFailure_(std::move(guardFailure))
    , paths_(std::move(paths)) {}

bool PrimaryInstance::confirmAlone() {
    if (!holdsName_ && !lock_) {
        return false;
    }
    if (!lock_ || paths_.lockUnusable || lock_->isAt(paths_.lockFile)) {
        if (server_ != nullptr) {
            server_->keepSocketFile();
        }
        return true;
    }
    // The file went from under the lock: whoever takes the one now there is
    // the instance for starts that look for it, so this process takes it
    // first, unless another has already.
    try {
        ensurePrivateFolderAndParents(paths_.lockFile.parent_path());
        std::optional<InstanceLock> again = InstanceLock::tryTake(paths_.lockFile);
        if (!again) {
            lock_.reset();
            return false;
        }
        again->setNote(server_ ? std::string_view() : cannotListenNote);
        lock_ = std::move(again);
    } catch (...) {
        // Cannot be taken again now; the name still keeps starts out.
        return holdsName_;
    }
    if (server_ != nullptr) {
        server_->keepSocketFile();
    }
    return true;
}

std::optional<PrimaryInstance> claimInstance(const InstancePaths& paths,
                                             const std::optional<std::filesystem::path>& folder,
                                             const ClaimOptions& options) {
    const std::string request = encodeHandOver(folder);
    const Deadline deadline = std::chrono::steady_clock::now() + options.patience;
    const std::shared_ptr<Sleeper> sleeper =
        options.sleeper ? options.sleeper : std::make_shared<SteadySleeper>();
    const std::optional<sockaddr_un> nameAddress = abstractSocketAddress(paths.name);
    const std::optional<sockaddr_un> socketAddress = unixSocketAddress(paths.socket);
    const auto giveUpOrPause = [&] {
        if (std::chrono::steady_clock::now() >= deadline) {
            throw InstanceError(InstanceError::Kind::notAnswering, paths.socket,
                                "the running instance does not answer");
        }
        sleeper->sleepFor(options.retryPause, {});
    };
    bool nameForeign = false;
    for (;;) {
        NameClaim name;
        if (!nameForeign) {
            name = claimName(nameAddress);
        }
        if (name.inUse) {
            const HandOver handed =
                handOver(nameAddress, request, deadline, options.awaitingAnswer);
            if (handed == HandOver::taken) {
                return std::nullopt;
            }
            if (handed == HandOver::notTaken) {
                giveUpOrPause();
                continue;
            }
            // Another user's socket took the name: only the lock is left.
            nameForeign = true;
        }

        std::optional<InstanceLock> lock;
        std::string lockFailure;
        if (paths.lockUnusable) {
            lockFailure = *paths.lockUnusable;
        } else {
            try {
                lock = InstanceLock::tryTake(paths.lockFile);
                if (!lock) {
                    // Held by an instance this one cannot see by its name.
                    name.socket = FileDescriptor(-1);
                    if (handOver(socketAddress, request, deadline, options.awaitingAnswer) ==
                        HandOver::taken) {
                        return std::nullopt;
                    }
                    if (InstanceLock::readNote(paths.lockFile) == cannotListenNote) {
                        throw InstanceError(InstanceError::Kind::cannotListen, paths.socket,
                                            "the running instance cannot listen for later starts");
                    }
                    giveUpOrPause();
                    continue;
                }
            } catch (const std::filesystem::filesystem_error& error) {
                lockFailure = error.what();
            }
        }
        return becomeInstance(std::move(name.socket), std::move(lock), std::move(lockFailure),
                              paths, options.limits);
    }
}

} // namespace vexel::instance
