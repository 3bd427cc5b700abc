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

#include <algorithm>
#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

namespace vexel::instance {
namespace {

using namespace std::chrono_literals;

// The instance's name is the folder's own, so that tests running at once
// never meet.
std::string nameOf(const std::filesystem::path& folder) {
    return "vexel-test-" + std::to_string(std::hash<std::string>()(folder.native()));
}

struct Folders {
    vexel::testing::TemporaryFolder root;
    InstancePaths paths{root / "editor.lock", root / "editor.socket", nameOf(root.path()), {}};
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
    EXPECT_EQ(::bind(fd, reinterpret_cast<const sockaddr*>(&address), addressLength(address)), 0);
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

// Takes the requests `running` hears.
std::vector<std::optional<std::filesystem::path>>& recordRequests(PrimaryInstance& running) {
    auto* requests = new std::vector<std::optional<std::filesystem::path>>();
    QObject::connect(running.server(), &InstanceServer::requested,
                     [requests](const std::optional<std::filesystem::path>& folder) {
                         requests->push_back(folder);
                     });
    QObject::connect(running.server(), &QObject::destroyed, [requests] { delete requests; });
    return *requests;
}

TEST(SingleInstanceTest, NoRemovalOrReplacementOfTheLockFileLetsASecondInstanceStart) {
    const struct {
        const char* what;
        bool named;
        std::function<void(const Folders&)> spoil;
    } cases[] = {
        {"its folder emptied", true,
         [](const Folders& f) {
             std::filesystem::remove(f.paths.lockFile);
             std::filesystem::remove(f.paths.socket);
         }},
        {"its folder removed", true,
         [](const Folders& f) { std::filesystem::remove_all(f.root / "instance"); }},
        {"replaced by a folder", true,
         [](const Folders& f) {
             std::filesystem::remove(f.paths.lockFile);
             std::filesystem::create_directory(f.paths.lockFile);
         }},
        {"replaced by a link", true,
         [](const Folders& f) {
             std::filesystem::remove(f.paths.lockFile);
             std::filesystem::create_symlink(f.root / "elsewhere", f.paths.lockFile);
         }},
        // Without the name, the instance takes its lock again before the
        // next start looks.
        {"removed, no name", false,
         [](const Folders& f) {
             std::filesystem::remove(f.paths.lockFile);
             std::filesystem::remove(f.paths.socket);
         }},
    };
    for (const auto& [what, named, spoil] : cases) {
        Folders folders;
        folders.paths.lockFile = folders.root / "instance" / "editor.lock";
        folders.paths.socket = folders.root / "instance" / "editor.socket";
        std::filesystem::create_directory(folders.root / "instance");
        if (!named) {
            folders.paths.name.clear();
        }
        std::optional<PrimaryInstance> running = claimInstance(folders.paths, std::nullopt);
        ASSERT_TRUE(running && running->server()) << what;
        auto& requests = recordRequests(*running);
        spoil(folders);
        const bool alone = running->confirmAlone();
        EXPECT_EQ(alone, named || std::filesystem::is_regular_file(folders.paths.lockFile)) << what;

        const std::filesystem::path folder("/home/ana/Film");
        ClaimOptions patient;
        patient.patience = 2s;
        LaterStart later(folders.paths, folder, patient);
        ASSERT_TRUE(later.finish()) << what;
        EXPECT_FALSE(later.result()) << what << ": a second instance started";
        EXPECT_FALSE(later.failure()) << what;
        EXPECT_EQ(requests, (std::vector<std::optional<std::filesystem::path>>{folder})) << what;
        EXPECT_TRUE(running->confirmAlone()) << what;
    }
}

TEST(SingleInstanceTest, AStartThatCanHoldNeitherTheNameNorTheLockIsNeverAlone) {
    Folders folders;
    folders.paths.name.clear();
    std::filesystem::create_directory(folders.paths.lockFile);
    std::optional<PrimaryInstance> unguarded = claimInstance(folders.paths, std::nullopt);
    ASSERT_TRUE(unguarded);
    EXPECT_FALSE(unguarded->confirmAlone());
    EXPECT_FALSE(unguarded->guardFailure().empty());

    // A folder that cannot be the user's own: the lock is not even opened.
    Folders linked;
    linked.paths.lockUnusable = "the folder is a link";
    std::optional<PrimaryInstance> named = claimInstance(linked.paths, std::nullopt);
    ASSERT_TRUE(named);
    EXPECT_TRUE(named->confirmAlone()) << "the name alone keeps other starts out";
    EXPECT_FALSE(std::filesystem::exists(linked.paths.lockFile));
    linked.paths.name.clear();
    std::optional<PrimaryInstance> neither = claimInstance(linked.paths, std::nullopt);
    ASSERT_TRUE(neither);
    EXPECT_FALSE(neither->confirmAlone());
}

TEST(SingleInstanceTest, AStartLearnsAtOnceThatTheRunningInstanceCannotTakeItsFolder) {
    const std::string tooLong(120, 's');
    const struct {
        const char* what;
        bool named;
        std::function<std::filesystem::path(const Folders&)> socket;
    } cases[] = {
        {"a socket path too long", false, [&](const Folders& f) { return f.root / tooLong; }},
        {"a folder at the socket's place", false,
         [](const Folders& f) {
             std::filesystem::create_directory(f.root / "editor.socket");
             return f.root / "editor.socket";
         }},
        // The name is a second place to be reached at.
        {"a folder at the socket's place, named", true,
         [](const Folders& f) {
             std::filesystem::create_directory(f.root / "editor.socket");
             return f.root / "editor.socket";
         }},
    };
    for (const auto& [what, named, socket] : cases) {
        Folders folders;
        folders.paths.socket = socket(folders);
        if (!named) {
            folders.paths.name.clear();
        }
        std::optional<PrimaryInstance> running = claimInstance(folders.paths, std::nullopt);
        ASSERT_TRUE(running) << what;
        EXPECT_EQ(running->server() != nullptr, named) << what << running->listenFailure();
        EXPECT_TRUE(running->confirmAlone()) << what;

        const auto before = std::chrono::steady_clock::now();
        LaterStart later(folders.paths, std::filesystem::path("/home/ana/Film"));
        ASSERT_TRUE(later.finish()) << what;
        EXPECT_FALSE(later.result()) << what;
        EXPECT_EQ(later.failure(),
                  named ? std::nullopt : std::optional(InstanceError::Kind::cannotListen))
            << what;
        EXPECT_LT(std::chrono::steady_clock::now() - before, 1s) << what;
    }
}

// A client connection to `socket` that has sent `bytes`.
FileDescriptor connectAndSend(const std::filesystem::path& socket, const std::string& bytes) {
    FileDescriptor fd(::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0));
    const sockaddr_un address = *unixSocketAddress(socket);
    EXPECT_EQ(
        ::connect(fd.get(), reinterpret_cast<const sockaddr*>(&address), addressLength(address)),
        0);
    EXPECT_EQ(::send(fd.get(), bytes.data(), bytes.size(), MSG_NOSIGNAL), ssize_t(bytes.size()));
    return fd;
}

// Whether the server closed `fd` (no answer came first).
bool closedUnanswered(const FileDescriptor& fd) {
    pollfd entry{fd.get(), POLLIN, 0};
    if (::poll(&entry, 1, 0) != 1) {
        return false;
    }
    char byte = 0;
    const ssize_t count = ::recv(fd.get(), &byte, 1, MSG_DONTWAIT);
    return count == 0 || (count < 0 && errno == ECONNRESET);
}

TEST(SingleInstanceTest, HeldAndOversizedRequestsAreDroppedAndAnHonestStartStillGetsThrough) {
    Folders folders;
    folders.paths.name.clear();
    ClaimOptions options;
    options.limits.requestTime = 300ms;
    options.limits.maxPending = 8;
    std::optional<PrimaryInstance> running = claimInstance(folders.paths, std::nullopt, options);
    ASSERT_TRUE(running && running->server());
    InstanceServer& server = *running->server();
    auto& requests = recordRequests(*running);

    const auto header = [](std::uint32_t length) {
        std::string bytes = "VXL1";
        for (int shift = 24; shift >= 0; shift -= 8) {
            bytes.push_back(char((length >> shift) & 0xFF));
        }
        return bytes;
    };
    // The header of a path of 1 MiB, then all of it but one byte: refused
    // for its announced size before a byte of it is kept.
    std::vector<FileDescriptor> oversized;
    for (int n = 0; n < 20; ++n) {
        oversized.push_back(connectAndSend(folders.paths.socket,
                                           header(1u << 20) + "/" + std::string(65'535, 'x')));
    }
    // Requests of the longest path, all of it but one byte, and held.
    std::vector<FileDescriptor> held;
    for (int n = 0; n < 300; ++n) {
        held.push_back(
            connectAndSend(folders.paths.socket, header(std::uint32_t(maxHandOverPathBytes)) + "/" +
                                                     std::string(maxHandOverPathBytes - 2, 'x')));
    }
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] {
        return std::all_of(oversized.begin(), oversized.end(), closedUnanswered) &&
               std::count_if(held.begin(), held.end(), closedUnanswered) >= 300 - 8;
    }));
    EXPECT_LE(server.pendingCount(), 8u);

    const std::filesystem::path folder("/home/ana/Film");
    {
        LaterStart honest(folders.paths, folder);
        ASSERT_TRUE(honest.finish());
        EXPECT_FALSE(honest.result());
        EXPECT_FALSE(honest.failure());
    }
    EXPECT_EQ(requests, (std::vector<std::optional<std::filesystem::path>>{folder}));
    // The rest are dropped once their time is up.
    EXPECT_TRUE(vexel::testing::runEventsUntil(
        [&] { return std::all_of(held.begin(), held.end(), closedUnanswered); }, 5s));
    EXPECT_EQ(server.pendingCount(), 0u);
}

} // namespace
} // namespace vexel::instance
