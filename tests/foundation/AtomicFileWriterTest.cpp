#include "foundation/AtomicFileWriter.h"
#include "foundation/FileContents.h"
#include "support/FileContents.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <fstream>
#include <system_error>

using vexel::AtomicFileWriter;
using vexel::readFileContents;
using vexel::writeFileAtomically;
using vexel::test::namesIn;
using vexel::testing::TemporaryFolder;

namespace {

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::stat(path.c_str(), &info), 0);
    return info.st_mode & 07777;
}

} // namespace

TEST(AtomicFileWriterTest, ReplacesWholeAndLeavesNoTemporaryFile) {
    TemporaryFolder folder;
    const auto file = folder / "project.json";
    writeFileAtomically(file, "first");
    writeFileAtomically(file, std::string(100000, 'x'));
    EXPECT_EQ(readFileContents(file), std::string(100000, 'x'));
    writeFileAtomically(file, "");
    EXPECT_EQ(readFileContents(file), "");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"project.json"});

    const auto key = folder / "key";
    writeFileAtomically(key, "secret", 0600);
    EXPECT_EQ(modeOf(key), 0600u);
}

TEST(AtomicFileWriterTest, AWriterDroppedBeforeCommitChangesNothing) {
    TemporaryFolder folder;
    const auto file = folder / "project.json";
    writeFileAtomically(file, "old");
    {
        AtomicFileWriter writer(file);
        writer.write("half of the new");
        EXPECT_TRUE(std::filesystem::exists(writer.temporaryPath()));
        EXPECT_EQ(writer.temporaryPath().parent_path(), folder.path());
    }
    EXPECT_EQ(readFileContents(file), "old");
    EXPECT_EQ(namesIn(folder.path()), std::vector<std::string>{"project.json"});

    // A folder that does not exist fails before anything is written, and so
    // does a name the system would cut short at a NUL.
    EXPECT_THROW(writeFileAtomically(folder / "missing" / "f", "x"),
                 std::filesystem::filesystem_error);
    EXPECT_THROW(writeFileAtomically(folder / std::string("project.json\0.bak", 17), "x"),
                 std::filesystem::filesystem_error);
    EXPECT_EQ(readFileContents(file), "old");
}

TEST(AtomicFileWriterTest, CommitWithoutReplacingKeepsTheExistingFileAndAllowsAnotherName) {
    TemporaryFolder folder;
    writeFileAtomically(folder / "clip.mov", "first copy");
    AtomicFileWriter writer(folder / "clip.mov");
    writer.write("second copy");
    try {
        writer.commitWithoutReplacing();
        FAIL() << "an existing file was replaced";
    } catch (const std::filesystem::filesystem_error& error) {
        EXPECT_EQ(error.code(), std::errc::file_exists);
    }
    writer.commitWithoutReplacing("clip_2.mov");
    EXPECT_EQ(readFileContents(folder / "clip.mov"), "first copy");
    EXPECT_EQ(readFileContents(folder / "clip_2.mov"), "second copy");
    EXPECT_EQ(namesIn(folder.path()), (std::vector<std::string>{"clip.mov", "clip_2.mov"}));
}

TEST(AtomicFileWriterTest, CopiesRegularFilesOnlyAndNeverWaitsOnAPipe) {
    TemporaryFolder folder;
    std::string media(3 << 20, '\0');
    for (std::size_t i = 0; i < media.size(); ++i) {
        media[i] = static_cast<char>(i * 7 % 251);
    }
    std::ofstream(folder / "source.mov", std::ios::binary) << media;
    {
        AtomicFileWriter writer(folder / "copy.mov");
        writer.copyFrom(folder / "source.mov");
        writer.commitWithoutReplacing();
    }
    EXPECT_EQ(readFileContents(folder / "copy.mov"), media);

    ASSERT_EQ(::mkfifo((folder / "pipe").c_str(), 0600), 0);
    AtomicFileWriter writer(folder / "from-pipe");
    EXPECT_THROW(writer.copyFrom(folder / "pipe"), std::filesystem::filesystem_error);
    EXPECT_THROW(writer.copyFrom(folder.path()), std::filesystem::filesystem_error);
    EXPECT_THROW(writer.copyFrom(folder / "absent"), std::filesystem::filesystem_error);
    try {
        readFileContents(folder / "absent");
        FAIL();
    } catch (const std::filesystem::filesystem_error& error) {
        EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
    }
    EXPECT_THROW(readFileContents(folder / "pipe"), std::filesystem::filesystem_error);
}

TEST(AtomicFileWriterTest, UnfinishedFilesArePrivateAndLeftoversOfKilledWritersGo) {
    TemporaryFolder folder;
    const mode_t old = ::umask(022);
    {
        AtomicFileWriter writer(folder / "project.json");
        writer.write("half");
        EXPECT_EQ(modeOf(writer.temporaryPath()), 0600u);
        writer.commit();
    }
    EXPECT_EQ(modeOf(folder / "project.json"), 0644u);
    ::umask(0);
    writeFileAtomically(folder / "shared.json", "x", 0664);
    EXPECT_EQ(modeOf(folder / "shared.json"), 0664u);
    ::umask(old);

    // What killed writers leave goes; anything else, however alike, stays.
    for (const char* leftover : {".project.json.tmp-1A2B3C4D", ".clip.mov.tmp-DEADBEEF"}) {
        vexel::test::writeFile(folder / leftover, "partial");
    }
    const std::vector<std::string> kept = {".hidden",         ".x.tmp-1234567", ".x.tmp-123456789",
                                           ".x.tmp-deadbeef", "x.tmp-12345678", "project.json",
                                           "shared.json"};
    for (const std::string& name : kept) {
        if (!std::filesystem::exists(folder / name)) {
            vexel::test::writeFile(folder / name, "mine");
        }
    }
    std::filesystem::create_directory(folder / ".d.tmp-12345678");
    std::filesystem::create_symlink("project.json", folder / ".l.tmp-12345678");
    vexel::removeLeftoverTemporaries(folder.path());
    std::vector<std::string> expected = kept;
    expected.push_back(".d.tmp-12345678");
    expected.push_back(".l.tmp-12345678");
    std::sort(expected.begin(), expected.end());
    EXPECT_EQ(namesIn(folder.path()), expected);
    vexel::removeLeftoverTemporaries(folder / "absent"); // nothing to do, no error
}

// A received folder may hold links where its own entries belong: none is
// entered, tidied, read or copied from, and a write by name replaces the link
// itself. A writer keeps to the folder it opened, wherever its path leads by
// the time it commits.
TEST(AtomicFileWriterTest, NothingIsWrittenReadOrRemovedThroughALink) {
    TemporaryFolder root;
    const auto elsewhere = root / "elsewhere";
    const auto usersFile = elsewhere / ".clip.mov.tmp-1A2B3C4D"; // named like a leftover
    vexel::test::writeFile(usersFile, "the user's own");
    vexel::test::writeFile(elsewhere / "secret.txt", "secret");
    std::filesystem::create_directories(root / "P");
    std::filesystem::create_symlink(elsewhere, root / "P" / "assets");
    std::filesystem::create_symlink(elsewhere / "secret.txt", root / "P" / "project.json");
    const auto code = [](const auto& action) {
        try {
            action();
        } catch (const std::filesystem::filesystem_error& error) {
            return error.code();
        }
        return std::error_code();
    };
    const std::error_code link = std::make_error_code(std::errc::too_many_symbolic_link_levels);

    const vexel::FolderHandle package = vexel::FolderHandle::open(root / "P");
    EXPECT_EQ(code([&] { package.child("assets"); }), link);
    vexel::removeLeftoverTemporaries(root / "P" / "assets");
    EXPECT_TRUE(std::filesystem::exists(usersFile));
    EXPECT_EQ(code([&] { readFileContents(package, "project.json"); }), link);
    AtomicFileWriter copy(root / "copy.mov");
    EXPECT_EQ(code([&] { copy.copyFrom(root / "P" / "project.json"); }), link);

    AtomicFileWriter writer(package, "project.json");
    writer.write("the folder's own");
    writer.commit();
    EXPECT_EQ(readFileContents(package, "project.json"), "the folder's own");
    EXPECT_EQ(readFileContents(elsewhere / "secret.txt"), "secret");

    AtomicFileWriter late(package, "late.json");
    late.write("late");
    std::filesystem::rename(root / "P", root / "Q");
    std::filesystem::create_symlink(elsewhere, root / "P");
    late.commit();
    EXPECT_EQ(readFileContents(root / "Q" / "late.json"), "late");
    EXPECT_FALSE(std::filesystem::exists(elsewhere / "late.json"));
}
