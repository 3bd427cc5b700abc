#pragma once

#include "foundation/Sleeper.h"
#include "platform/instance/InstanceLock.h"
#include "platform/instance/InstanceServer.h"

#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>

// One running instance of the application: the first start holds a lock and
// listens on a local socket; a later start hands it the folder it was given
// and ends once the running instance has taken it.
namespace vexel::instance {

// Where the lock and the socket are; the socket's folder must be the user's
// alone, since whoever reaches the socket is believed.
struct InstancePaths {
    std::filesystem::path lockFile;
    std::filesystem::path socket;
};

// This process as the running instance: it holds the lock for its life and
// listens for later starts, unless it could not.
class PrimaryInstance {
public:
    PrimaryInstance(InstanceLock lock, std::unique_ptr<InstanceServer> server,
                    std::string listenFailure);

    // None when later starts cannot reach this instance; listenFailure() says
    // why.
    InstanceServer* server() const { return server_.get(); }
    const std::string& listenFailure() const { return listenFailure_; }

private:
    // First, so that it is let go of last, once the socket is gone.
    InstanceLock lock_;
    std::unique_ptr<InstanceServer> server_;
    std::string listenFailure_;
};

struct ClaimOptions {
    // How long the running instance may take to answer, over all attempts.
    std::chrono::milliseconds patience{20'000};
    // The wait before the next attempt while the running instance cannot be
    // reached: it is about to listen, or about to end and let go of the lock.
    std::chrono::milliseconds retryPause{25};
    // None: waits on the steady clock.
    std::shared_ptr<Sleeper> sleeper;
    // Called whenever a request has gone out and its answer is awaited.
    std::function<void()> awaitingAnswer;
};

// Makes this process the running instance, or hands `folder` (absolute; none:
// only come forward) to the one running and returns none once it has taken
// it. An instance that ends or dies before it answers lets go of the lock:
// this process then takes it and becomes the instance itself. Throws
// std::filesystem::filesystem_error when the lock file cannot be used, and
// InstanceError::notAnswering when another process holds the lock and takes
// nothing within the patience. On the thread that will run the instance's
// event loop.
std::optional<PrimaryInstance> claimInstance(const InstancePaths& paths,
                                             const std::optional<std::filesystem::path>& folder,
                                             const ClaimOptions& options = {});

} // namespace vexel::instance
