#include "presentation/viewmodels/ExportCoordinator.h"

#include "presentation/support/EventLoop.h"
#include "support/FileContents.h"
#include "support/RecordingLogger.h"
#include "support/media/TemporaryFolder.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>
#include <sys/stat.h>
#include <thread>

using namespace vexel;
using vexel::testing::TemporaryFolder;

namespace fs = std::filesystem;
using vexel::test::readFile;
using vexel::test::writeFile;

namespace {

// A folder in a memory file system, as the export folder often is; removed
// with its contents. Empty when the machine has none.
struct MemoryFolder {
    MemoryFolder() {
        for (const char* base : {"/dev/shm", "/run/user"}) {
            std::string pattern = std::string(base) + "/vexel-test-XXXXXX";
            if (fs::is_directory(base) && mkdtemp(pattern.data())) {
                path = pattern;
                return;
            }
        }
    }
    ~MemoryFolder() {
        if (!path.empty()) {
            std::error_code ignored;
            fs::remove_all(path, ignored);
        }
    }
    fs::path path;
};

dev_t deviceOf(const fs::path& path) {
    struct stat status {};
    ::stat(path.c_str(), &status);
    return status.st_dev;
}

struct ExportCoordinatorTest : ::testing::Test {
    TemporaryFolder disk;
    std::shared_ptr<test::RecordingLogger> logger = std::make_shared<test::RecordingLogger>();
    ExportCoordinator coordinator{[this] { return disk.path() / "Movies"; }, logger};

    std::optional<std::string> complete(const fs::path& destination) {
        return test::awaitTask(coordinator.completeExportSave(destination));
    }
};

} // namespace

TEST_F(ExportCoordinatorTest, MovesTheExportAcrossFileSystemsOverAnExistingFile) {
    MemoryFolder memory;
    if (memory.path.empty()) {
        GTEST_SKIP() << "no memory file system on this machine";
    }
    ASSERT_NE(deviceOf(memory.path), deviceOf(disk.path()));
    const fs::path rendered = memory.path / "VexelExport_2025-01-02T03-04-05Z.mov";
    const std::string movie(3 << 20, 'm');
    writeFile(rendered, movie);
    fs::permissions(rendered, fs::perms(0644));
    const fs::path destination = disk / "Holiday.mov";
    writeFile(destination, "an older export");

    QSignalSpy requests(&coordinator, &ExportCoordinator::exportSaveRequestChanged);
    coordinator.requestSave(rendered);
    ASSERT_TRUE(coordinator.exportSaveRequest());
    EXPECT_EQ(*coordinator.exportSaveRequest(),
              (ExportSaveRequest{rendered, "VexelExport_2025-01-02T03-04-05Z.mov",
                                 disk.path() / "Movies"}));

    auto completing = coordinator.completeExportSave(destination);
    EXPECT_FALSE(coordinator.exportSaveRequest()); // the dialog closes at once
    EXPECT_EQ(test::awaitTask(std::move(completing)), "Exported video to Holiday.mov");
    EXPECT_EQ(requests.count(), 2);
    EXPECT_EQ(readFile(destination), movie);
    EXPECT_EQ(fs::status(destination).permissions(), fs::perms(0644));
    EXPECT_FALSE(fs::exists(rendered));
    // Nothing but the moved file is left beside it.
    EXPECT_EQ(std::distance(fs::directory_iterator(disk.path()), fs::directory_iterator()), 1);
    EXPECT_TRUE(logger->messages().empty());

    // With nothing pending, nothing is moved or said.
    writeFile(rendered, "another");
    EXPECT_EQ(complete(destination), std::nullopt);
    EXPECT_EQ(readFile(destination), movie);
}

TEST_F(ExportCoordinatorTest, AFailedMoveLeavesTheFileWhereItWasAndSaysSo) {
    const fs::path rendered = disk / "VexelExport.mp4";
    writeFile(rendered, "movie");
    writeFile(disk / "not-a-folder", "");
    coordinator.requestSave(rendered);
    EXPECT_EQ(complete(disk / "not-a-folder" / "Holiday.mp4"),
              "Exported video to VexelExport.mp4 (could not move to selected location)");
    EXPECT_EQ(readFile(rendered), "movie");
    EXPECT_EQ(logger->messages(),
              std::vector<std::string>{"[Export] Failed to move file to chosen destination"});
    EXPECT_FALSE(coordinator.exportSaveRequest());
}

TEST_F(ExportCoordinatorTest, ProgressFromAnyThreadShowsOnlyWhileItsExportRuns) {
    QSignalSpy progress(&coordinator, &ExportCoordinator::exportProgressChanged);
    ExportProgressHandler report = coordinator.beginExport();
    EXPECT_EQ(coordinator.exportProgress(), (ExportProgress{ExportProgress::Phase::preparing, 0}));
    coordinator.setExportProgress(ExportProgress{ExportProgress::Phase::preparing, 0});
    EXPECT_EQ(progress.count(), 1); // the same value again tells no one

    std::thread([&] { report({ExportProgress::Phase::transferring, 0.25}); }).join();
    test::settle();
    EXPECT_EQ(coordinator.exportProgress(),
              (ExportProgress{ExportProgress::Phase::transferring, 0.25}));

    // A report still queued when the export ends does not bring its progress back.
    report({ExportProgress::Phase::finalizing, 1});
    coordinator.endExport();
    test::settle();
    EXPECT_EQ(coordinator.exportProgress(), std::nullopt);
    EXPECT_EQ(progress.count(), 3);
}
