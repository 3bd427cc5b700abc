#include "foundation/MoveFile.h"

#include "support/FileContents.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <iterator>

using vexel::moveFileReplacing;
using vexel::testing::TemporaryFolder;

namespace fs = std::filesystem;
using vexel::test::namesIn;
using vexel::test::readFile;
using vexel::test::writeFile;

TEST(MoveFileTest, AFailedCopyAcrossFileSystemsKeepsTheSourceAndLeavesNothingBehind) {
    std::string pattern = "/dev/shm/vexel-test-XXXXXX";
    if (!fs::is_directory("/dev/shm") || !mkdtemp(pattern.data())) {
        GTEST_SKIP() << "no memory file system on this machine";
    }
    const fs::path memory = pattern;
    TemporaryFolder disk;
    const fs::path source = memory / "export.mov";
    writeFile(source, "movie");
    fs::create_directory(disk / "Holiday.mov"); // a folder cannot be replaced by a file

    EXPECT_THROW(moveFileReplacing(source, disk / "Holiday.mov"), fs::filesystem_error);
    EXPECT_EQ(readFile(source), "movie");
    EXPECT_EQ(namesIn(disk.path()), std::vector<std::string>{"Holiday.mov"});

    // The same move to a free name works, with the source's mode.
    fs::permissions(source, fs::perms(0640));
    moveFileReplacing(source, disk / "Holiday 2.mov");
    EXPECT_FALSE(fs::exists(source));
    EXPECT_EQ(readFile(disk / "Holiday 2.mov"), "movie");
    EXPECT_EQ(fs::status(disk / "Holiday 2.mov").permissions(), fs::perms(0640));
    fs::remove_all(memory);
}

TEST(MoveFileTest, WithinOneFileSystemAMoveReplacesTheFile) {
    TemporaryFolder folder;
    writeFile(folder / "a", "new");
    writeFile(folder / "b", "old");
    moveFileReplacing(folder / "a", folder / "b");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"b"});
    EXPECT_EQ(readFile(folder / "b"), "new");
    EXPECT_THROW(moveFileReplacing(folder / "a", folder / "c"), fs::filesystem_error);
}
