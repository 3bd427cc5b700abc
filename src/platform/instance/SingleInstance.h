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

// One running instance of the application: the first start holds a name in
// the kernel's abstract socket namespace and a lock on a file, and listens
// for later starts; a later start hands it the folder it was given and ends
// once the running instance has taken it.
namespace vexel::instance {

// Where the instance is found; the socket's folder must be the user's alone,
// since whoever reaches the socket is believed.
struct InstancePaths {
    std::filesystem::path lockFile;
    std::filesystem::path socket;
    // The abstract socket name of the instance (the user's and the data's
    // own); empty: none. Only the kernel holds it, so no clean-up of files
    // lets a second instance start beside the first.
    std::string name;
    // Set when the lock file must not be used (its folder is not the user's
    // own, or cannot be made): why.
    std::optional<std::string> lockUnusable;
};

// This process as the running instance: for its life it holds what it could
// of the instance's name and lock, and listens for later starts, unless it
// could not.
class PrimaryInstance {
public:
    PrimaryInstance(std::optional<InstanceLock> lock, bool holdsName,
                    std::unique_ptr<InstanceServer> server, std::string listenFailure,
                    std::string guardFailure, InstancePaths paths);

    // None when later starts cannot reach this instance; listenFailure() says
    // why.
    InstanceServer* server() const { return server_.get(); }
    const std::string& listenFailure() const { return listenFailure_; }
    // Why this process could hold neither the name nor the lock; empty when
    // it holds either.
    const std::string& guardFailure() const { return guardFailure_; }

    // Whether this process still keeps every other start out. A lock file
    // removed or replaced is taken again at its path (with its folder and
    // socket file); false when another process took it meanwhile, or when
    // neither the name nor the lock is held.
    bool confirmAlone();

private:
    // First, so that it is let go of last, once the socket is gone.
    std::optional<InstanceLock> lock_;
    bool holdsName_;
    std::unique_ptr<InstanceServer> server_;
    std::string listenFailure_;
    std::string guardFailure_;
    InstancePaths paths_;
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
    // For the instance's ear.
    InstanceServer::Limits limits;
};

// Makes this process the running instance, or hands `folder` (absolute; none:
// only come forward) to the one running and returns none once it has taken
// it. An instance that ends or dies before it answers lets go of the lock:
// this process then takes it and becomes the instance itself. A process that
// can hold neither the name nor the lock file is returned as an instance
// whose confirmAlone() is false. Throws InstanceError::notAnswering when
// another process holds them and takes nothing within the patience, and
// InstanceError::cannotListen at once when the one that holds the lock has
// said that it cannot listen. On the thread that will run the instance's
// event loop.
std::optional<PrimaryInstance> claimInstance(const InstancePaths& paths,
                                             const std::optional<std::filesystem::path>& folder,
                                             const ClaimOptions& options = {});

} // namespace vexel::instance
