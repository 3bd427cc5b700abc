#include "platform/instance/SingleInstance.h"

#include "foundation/FileDescriptor.h"
#include "platform/instance/HandOverMessage.h"
#include "platform/instance/InstanceError.h"
#include "platform/instance/UnixSocketAddress.h"
#include "support/RecordingSleeper.h"
#include "support/RunEventsUntil.h"
#include "support/media/TemporaryFolder.h"

#include <QCoreApplication>
#include <QObject>
#include <QTimer>
#include <gtest/gtest.h>

#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

namespace vexel::instance {
namespace {

using namespace std::chrono_literals;

struct Folders {
    vexel::testing::TemporaryFolder root;
    InstancePaths paths{root / "editor.lock", root / "editor.socket"};
};

// A later start on its own thread, as another process would run it, while
// this thread's event loop serves the running instance.
class LaterStart {
public:
    LaterStart(const InstancePaths& paths, std::optional<std::filesystem::path> folder,
               ClaimOptions options = {})
        : thread_([this, paths, folder = std::move(folder), options = std::move(options)] {
            try {
                result_ = claimInstance(paths, folder, options);
            } catch (const InstanceError& error) {
                failure_ = error.kind();
            }
            finished_ = true;
            // Wakes the waiting event loop.
            QMetaObject::invokeMethod(
                QCoreApplication::instance(), [] {}, Qt::QueuedConnection);
        }) {}
    ~LaterStart() { thread_.join(); }

    // Runs this thread's events until the start has ended; false when it hangs.
    bool finish() {
        return vexel::testing::runEventsUntil([this] { return finished_.load(); }, 20s);
    }
    // Set when the start became the instance itself.
    std::optional<PrimaryInstance>& result() { return result_; }
    std::optional<InstanceError::Kind> failure() const { return failure_; }

private:
    std::optional<PrimaryInstance> result_;
    std::optional<InstanceError::Kind> failure_;
    std::atomic<bool> finished_{false};
    std::thread thread_;
};

// The descriptor of a socket listening at `path`, as an instance that never
// answers has one.
int listenAt(const std::filesystem::path& path) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    const sockaddr_un address = *unixSocketAddress(path);
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), sizeof address), 0);
    EXPECT_EQ(::listen(fd, 4), 0);
    return fd;
}

TEST(SingleInstanceTest, OneHolderOfTheLockAtATimeAndNeverThroughALink) {
    Folders folders;
    std::optional<InstanceLock> first = InstanceLock::tryTake(folders.paths.lockFile);
    ASSERT_TRUE(first);
    EXPECT_FALSE(InstanceLock::tryTake(folders.paths.lockFile));
    first.reset();
    EXPECT_TRUE(InstanceLock::tryTake(folders.paths.lockFile));

    std::filesystem::create_symlink(folders.root / "elsewhere", folders.root / "link.lock");
    EXPECT_THROW(InstanceLock::tryTake(folders.root / "link.lock"),
                 std::filesystem::filesystem_error);
    EXPECT_FALSE(std::filesystem::exists(folders.root / "elsewhere"));
}

TEST(SingleInstanceTest, LaterStartsHandTheirFoldersToTheRunningInstanceOverItsStaleSocket) {
    Folders folders;
    // What a killed instance left: a socket file that nobody listens on.
    ::close(listenAt(folders.paths.socket));
    ASSERT_TRUE(std::filesystem::is_socket(folders.paths.socket));

    std::optional<PrimaryInstance> running = claimInstance(folders.paths, std::nullopt);
    ASSERT_TRUE(running);
    ASSERT_NE(running->server(), nullptr) << running->listenFailure();
    std::vector<std::optional<std::filesystem::path>> requests;
    QObject::connect(
        running->server(), &InstanceServer::requested,
        [&](const std::optional<std::filesystem::path>& folder) { requests.push_back(folder); });

    const std::filesystem::path folder(std::string("/tmp/caf\xe9\xff/My Film\n.vexel"));
    int awaited = 0;
    ClaimOptions options;
    options.awaitingAnswer = [&awaited] { ++awaited; };
    {
        LaterStart later(folders.paths, folder, options);
        ASSERT_TRUE(later.finish());
        EXPECT_FALSE(later.result()) << "the later start became a second instance";
        EXPECT_FALSE(later.failure());
    }
    {
        LaterStart later(folders.paths, std::nullopt);
        ASSERT_TRUE(later.finish());
        EXPECT_FALSE(later.result());
    }
    EXPECT_EQ(requests, (std::vector<std::optional<std::filesystem::path>>{folder, std::nullopt}));
    EXPECT_EQ(awaited, 1);
}

TEST(SingleInstanceTest, AStartWhoseInstanceDiesBeforeAnsweringBecomesTheInstance) {
    Folders folders;
    const std::filesystem::path folder("/home/ana/Film");
    std::optional<std::filesystem::path> received;
    std::optional<InstanceLock> lock = InstanceLock::tryTake(folders.paths.lockFile);
    ASSERT_TRUE(lock);
    // The dying instance: it takes the whole request, never answers, and dies
    // (its lock, socket and connection going at once, as the kernel ends them).
    std::thread dying([&, listening = listenAt(folders.paths.socket)] {
        FileDescriptor socket(listening);
        pollfd waiting{socket.get(), POLLIN, 0};
        if (::poll(&waiting, 1, 20'000) != 1) {
            return;
        }
        FileDescriptor connection(::accept(socket.get(), nullptr, nullptr));
        HandOverReader reader;
        char bytes[256];
        ssize_t count = 0;
        while (reader.state() == HandOverReader::State::incomplete &&
               (count = ::recv(connection.get(), bytes, sizeof bytes, 0)) > 0) {
            reader.add(std::string_view(bytes, std::size_t(count)));
        }
        received = reader.folder();
        lock.reset();
    });

    std::optional<PrimaryInstance> taken = claimInstance(folders.paths, folder);
    dying.join();
    EXPECT_EQ(received, folder);
    ASSERT_TRUE(taken) << "the start handed over to a dead instance";
    ASSERT_NE(taken->server(), nullptr) << taken->listenFailure();
    EXPECT_TRUE(taken->server()->isAccepting());
    EXPECT_FALSE(InstanceLock::tryTake(folders.paths.lockFile));
}

TEST(SingleInstanceTest, AnInstanceThatStopsAcceptingTakesNoFolderAndLeavesTheLockToTheNext) {
    Folders folders;
    std::optional<PrimaryInstance> running = claimInstance(folders.paths, std::nullopt);
    ASSERT_TRUE(running && running->server());
    int requests = 0;
    // The instance is about to end as the request comes: it takes none.
    QObject::connect(running->server(), &InstanceServer::requested, [&] {
        ++requests;
        running->server()->stopAccepting();
    });
    ClaimOptions patient;
    patient.patience = 500ms;
    {
        LaterStart later(folders.paths, std::filesystem::path("/home/ana/Film"), patient);
        ASSERT_TRUE(later.finish());
        EXPECT_EQ(later.failure(), InstanceError::Kind::notAnswering);
    }
    EXPECT_EQ(requests, 1);
    EXPECT_FALSE(std::filesystem::exists(folders.paths.socket));

    running.reset();
    std::optional<PrimaryInstance> next = claimInstance(folders.paths, std::nullopt, patient);
    ASSERT_TRUE(next);
    EXPECT_NE(next->server(), nullptr);
}

TEST(SingleInstanceTest, AHolderThatNeverAnswersIsGivenUpOnAfterThePatience) {
    Folders folders;
    std::optional<InstanceLock> lock = InstanceLock::tryTake(folders.paths.lockFile);
    auto sleeper = std::make_shared<vexel::test::RecordingSleeper>();
    ClaimOptions options;
    options.patience = 0ms;
    options.sleeper = sleeper;
    // Holding the lock, not listening yet.
    EXPECT_THROW(
        {
            try {
                claimInstance(folders.paths, std::nullopt, options);
            } catch (const InstanceError& error) {
                EXPECT_EQ(error.kind(), InstanceError::Kind::notAnswering);
                throw;
            }
        },
        InstanceError);

    // Listening, but never answering: the request waits out the patience.
    const FileDescriptor listening(listenAt(folders.paths.socket));
    options.patience = 300ms;
    int awaited = 0;
    options.awaitingAnswer = [&awaited] { ++awaited; };
    const auto before = std::chrono::steady_clock::now();
    EXPECT_THROW(claimInstance(folders.paths, std::filesystem::path("/a"), options), InstanceError);
    EXPECT_GE(std::chrono::steady_clock::now() - before, 300ms);
    EXPECT_GE(awaited, 1);
}

} // namespace
} // namespace vexel::instance
