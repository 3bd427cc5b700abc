// A process saving in a loop is killed at random moments; what it leaves on
// disk must always be one of the versions it wrote, whole.
#include "data/persistence/FileAutoSaveService.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "domain/entities/Project.h"
#include "infrastructure/security/KeychainAESEncryption.h"
#include "support/InMemorySecretStore.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <random>
#include <system_error>

using namespace vexel;

namespace {

constexpr int kRounds = 200;

Uuid numberedId(int n, std::uint8_t kind) {
    Uuid::Bytes bytes{};
    bytes[0] = kind;
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[15 - i] = static_cast<std::uint8_t>(n >> (8 * i));
    }
    return Uuid(bytes);
}

// The n-th version the child writes, told apart by its maximum duration and
// growing by a clip every eighth version.
Project version(int n, const std::filesystem::path& media) {
    Track track{numberedId(0, 1), TrackType::video, "Video 1", {}, false};
    for (int i = 0; i <= n / 8; ++i) {
        Clip clip;
        clip.id = numberedId(i, 2);
        clip.assetName = "clip " + std::to_string(i);
        clip.assetURL = media;
        clip.timeRange = {2.0 * i, 2};
        clip.colorAdjust = ColorAdjust{0.1, 1.1, 0.9};
        track.clips.push_back(std::move(clip));
    }
    return Project{{track}, 1000.0 + n};
}

// Saves versions from `first` on, alternating the project folder and the
// auto-save, and reports each finished save with one byte.
[[noreturn]] void saveForever(int first, int report, const std::filesystem::path& package,
                              const std::filesystem::path& media,
                              const FileAutoSaveService& autoSave) {
    try {
        ProjectPersistenceService persistence;
        for (int n = first;; ++n) {
            persistence.save(version(n, media), package);
            (void)!::write(report, "f", 1);
            autoSave.save(version(n, media));
            (void)!::write(report, "a", 1);
        }
    } catch (...) {
        ::_exit(3);
    }
}

// The number of the version on disk, checking that it is whole; -1 when the
// file does not exist.
template <class Load>
int versionOnDisk(const std::filesystem::path& file, Load load,
                  const std::filesystem::path& media) {
    if (!std::filesystem::exists(file)) {
        return -1;
    }
    Project project = load();
    int n = static_cast<int>(project.maxDuration) - 1000;
    EXPECT_EQ(project, version(n, media)) << "version " << n << " is not whole";
    return n;
}

// A fresh folder in memory where there is such a file system: a killed
// process leaves the same files behind on any file system, and the test then
// does not wait on the disk for each flush.
class ScratchFolder {
public:
    ScratchFolder() {
        std::filesystem::path base = "/dev/shm";
        if (::access(base.c_str(), W_OK) != 0) {
            base = std::filesystem::temp_directory_path();
        }
        std::string pattern = (base / "vexel-crash-XXXXXX").string();
        if (::mkdtemp(pattern.data()) == nullptr) {
            throw std::system_error(errno, std::generic_category(), "mkdtemp");
        }
        path_ = pattern;
    }
    ~ScratchFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    std::filesystem::path operator/(const std::string& name) const { return path_ / name; }

private:
    std::filesystem::path path_;
};

} // namespace

TEST(CrashSafetyTest, AKilledSaveLeavesTheOldOrTheNewVersionWhole) {
    const ScratchFolder root;
    const auto package = root / "P";
    const auto media = package / "assets" / "clip.mov";
    std::filesystem::create_directories(media.parent_path());
    std::ofstream(media) << "frames";

    auto store = std::make_shared<vexel::testing::InMemorySecretStore>();
    auto encryption = std::make_shared<KeychainAESEncryption>("service", "account", store);
    encryption->encrypt("make the key before the children share the store");
    const FileAutoSaveService autoSave(root / "autosave", encryption);
    const ProjectPersistenceService persistence;

    std::mt19937 random(20240611);
    int folderVersion = -1;
    int autoSaveVersion = -1;
    for (int round = 0; round < kRounds; ++round) {
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const int first = std::max(folderVersion, autoSaveVersion) + 1;
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(report[0]);
            saveForever(first, report[1], package, media, autoSave);
        }
        ::close(report[1]);
        // Let a save finish now and then, and kill at a random moment of the next.
        char done = 0;
        for (int saves = static_cast<int>(random() % 2); saves > 0; --saves) {
            if (::read(report[0], &done, 1) != 1) {
                break;
            }
        }
        const auto until =
            std::chrono::steady_clock::now() + std::chrono::microseconds(random() % 3000);
        while (std::chrono::steady_clock::now() < until) {
        }
        ::kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(::waitpid(child, &status, 0), child);
        ::close(report[0]);
        ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process failed by itself";

        const int folderNow = versionOnDisk(
            package / "project.json", [&] { return persistence.load(package); }, media);
        const int autoSaveNow = versionOnDisk(
            autoSave.filePath(), [&] { return autoSave.load(); }, media);
        ASSERT_GE(folderNow, folderVersion) << "round " << round;
        ASSERT_GE(autoSaveNow, autoSaveVersion) << "round " << round;
        folderVersion = folderNow;
        autoSaveVersion = autoSaveNow;
    }
    EXPECT_GT(folderVersion, 0);
    EXPECT_GT(autoSaveVersion, 0);
}
