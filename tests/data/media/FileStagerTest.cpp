#include "data/media/FileStager.h"
#include "data/media/FileStagerError.h"
#include "data/media/StagingFolder.h"
#include "foundation/UnicodeText.h"
#include "foundation/Uuid.h"
#include "support/FileContents.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <iterator>

using vexel::FileStager;
using vexel::FileStagerError;
using vexel::Uuid;
using vexel::test::readFile;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;
namespace unicode = vexel::unicode;

namespace {

std::string repeated(const std::string& piece, int times) {
    std::string out;
    for (int i = 0; i < times; ++i) {
        out += piece;
    }
    return out;
}

class FileStagerTest : public ::testing::Test {
protected:
    TemporaryFolder cache;
    TemporaryFolder sources;
    ScopedEnvironment xdg{"XDG_CACHE_HOME", cache.path().string()};
    FileStager stager;

    std::filesystem::path staging() const { return cache / "vexel" / "com.vexel.staged"; }

    std::filesystem::path source(const std::string& name, const std::string& content = "media") {
        auto path = sources / name;
        std::ofstream(path, std::ios::binary) << content;
        return path;
    }

    // The part of a staged name after "<UUID>_", checking the UUID.
    static std::string cleanedName(const std::filesystem::path& staged) {
        std::string name = staged.filename().string();
        EXPECT_GT(name.size(), 37u);
        EXPECT_TRUE(Uuid::parse(name.substr(0, 36)).has_value()) << name;
        EXPECT_EQ(name.substr(0, 36), Uuid::parse(name.substr(0, 36))->string());
        EXPECT_EQ(name[36], '_');
        return name.substr(37);
    }
};

} // namespace

TEST_F(FileStagerTest, CopiesIntoThePrivateStagingFolderUnderANewName) {
    auto original = source("clip.mov", "frames");
    auto staged = stager.stage(original, std::nullopt);
    EXPECT_EQ(staged.parent_path(), staging());
    EXPECT_EQ(cleanedName(staged), "clip.mov");
    EXPECT_EQ(readFile(staged), "frames");
    EXPECT_EQ(readFile(original), "frames");
    struct stat info {};
    ASSERT_EQ(::lstat(staged.parent_path().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);

    auto again = stager.stage(original, std::nullopt);
    EXPECT_NE(again, staged);
    EXPECT_EQ(cleanedName(again), "clip.mov");
    EXPECT_EQ(cleanedName(stager.stage(original, std::string("Holiday.MOV"))), "Holiday.MOV");

    // A source named with bytes that are not UTF-8 is copied from its real
    // name, under a name of text.
    auto latin1 = source("caf\xE9 \xFF.mov", "bytes");
    auto copy = stager.stage(latin1, std::nullopt);
    EXPECT_EQ(cleanedName(copy), "caf\uFFFD \uFFFD.mov");
    EXPECT_EQ(readFile(copy), "bytes");
}

TEST_F(FileStagerTest, SuggestedNamesLoseFoldersAndNulAndFallBackToUntitled) {
    auto original = source("clip.mov");
    const std::pair<std::string, std::string> cases[] = {
        {"a/b/c.mov", "c.mov"},
        {"../c.mov", "c.mov"},
        {"..", "untitled"},
        {".", "untitled"},
        {"", "untitled"},
        {"a/", "untitled"},
        {std::string("c\0lip.mov", 9), "clip.mov"},
        {std::string("\0\0", 2), "untitled"},
        {"../..", "untitled"},
    };
    for (const auto& [suggested, expected] : cases) {
        EXPECT_EQ(cleanedName(stager.stage(original, suggested)), expected) << suggested;
    }
}

TEST_F(FileStagerTest, LongNamesAreCutToCharactersAndToBytes) {
    // 300 characters ending in ".mp4": 214 of the base plus ".mp4".
    std::string name = repeated("a", 296) + ".mp4";
    EXPECT_EQ(FileStager::sanitizeFilename(name), repeated("a", 214) + ".mp4");
    // 250 characters without an extension: the first 218.
    EXPECT_EQ(FileStager::sanitizeFilename(repeated("b", 250)), repeated("b", 218));
    // 218 characters pass unchanged.
    EXPECT_EQ(FileStager::sanitizeFilename(repeated("c", 214) + ".mov"),
              repeated("c", 214) + ".mov");
    // An extension of 217 characters or more keeps one character of the base
    // by count, then the byte limit cuts the whole name.
    std::string longExtension = "x." + repeated("e", 230);
    EXPECT_EQ(FileStager::sanitizeFilename(longExtension), "x." + repeated("e", 216));

    // Two-byte characters: 300 of them plus ".mp4" would be 600 bytes after
    // the character cut; the byte cut keeps 107 of them and the extension.
    std::string accented = FileStager::sanitizeFilename(repeated("é", 300) + ".mp4");
    EXPECT_EQ(accented, repeated("é", 107) + ".mp4");
    EXPECT_LE(accented.size(), 218u);
    // Fewer than 219 characters but more than 218 bytes.
    std::string japanese = FileStager::sanitizeFilename(repeated("日", 100) + ".mov");
    EXPECT_EQ(japanese, repeated("日", 71) + ".mov");
    // A base letter with a combining accent is never split.
    std::string combining = FileStager::sanitizeFilename(repeated("e\xCC\x81", 100));
    EXPECT_EQ(combining, repeated("e\xCC\x81", 72));
    EXPECT_TRUE(unicode::isValidUtf8(combining));

    // The staged copy's name fits a Linux file name.
    auto staged = stager.stage(source("clip.mp4"), repeated("日", 200) + ".mp4");
    EXPECT_LE(staged.filename().string().size(), 255u);
    EXPECT_EQ(readFile(staged), "media");
}

TEST_F(FileStagerTest, FailedCopyReportsTheCleanedName) {
    try {
        stager.stage(sources / "missing.mov", std::string("x/Missing.mov"));
        FAIL() << "expected copyFailed";
    } catch (const FileStagerError& error) {
        EXPECT_EQ(error.kind(), FileStagerError::Kind::copyFailed);
        EXPECT_EQ(error.fileName(), "Missing.mov");
        EXPECT_STREQ(error.what(), "copyFailed(\"Missing.mov\")");
    }
    EXPECT_THROW(stager.stage(sources.path(), std::nullopt), FileStagerError); // a folder
    // Nothing half-copied is left behind.
    EXPECT_TRUE(std::filesystem::is_empty(vexel::stagingFolderPath()));
}

TEST_F(FileStagerTest, RefusesAStagingFolderThatIsALinkOrSomeoneElses) {
    TemporaryFolder elsewhere;
    std::filesystem::create_directories(staging().parent_path());
    std::filesystem::create_directory_symlink(elsewhere.path(), staging());
    EXPECT_THROW(stager.stage(source("clip.mov"), std::nullopt), std::filesystem::filesystem_error);
    EXPECT_TRUE(std::filesystem::is_empty(elsewhere.path()));
    // Cleaning removes the link, never what it points at.
    auto kept = elsewhere / "kept";
    std::ofstream(kept) << "x";
    stager.cleanStagingDirectory();
    EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(staging())));
    EXPECT_TRUE(std::filesystem::exists(kept));

    // An own folder that others may enter is made private.
    std::filesystem::create_directory(staging());
    ::chmod(staging().c_str(), 0777);
    stager.stage(source("clip.mov"), std::nullopt);
    struct stat info {};
    ASSERT_EQ(::lstat(staging().c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 07777, 0700u);

    if (::geteuid() != 0) {
        GTEST_SKIP() << "only root can give a folder to another user";
    }
    stager.cleanStagingDirectory();
    std::filesystem::create_directory(staging());
    ASSERT_EQ(::chown(staging().c_str(), 4242, 4242), 0);
    EXPECT_THROW(stager.stage(source("clip.mov"), std::nullopt), std::filesystem::filesystem_error);
}

TEST_F(FileStagerTest, CleaningRemovesTheFolderAndToleratesItsAbsence) {
    EXPECT_NO_THROW(stager.cleanStagingDirectory());
    auto staged = stager.stage(source("clip.mov"), std::nullopt);
    ASSERT_TRUE(std::filesystem::exists(staged));
    stager.cleanStagingDirectory();
    EXPECT_FALSE(std::filesystem::exists(staging()));
    EXPECT_NO_THROW(stager.cleanStagingDirectory());
}

TEST(StagingFolder, LivesOnDiskInTheUserCacheFolder) {
    TemporaryFolder home;
    TemporaryFolder runtime;
    ScopedEnvironment homeVariable("HOME", home.path().string());
    // The memory-backed runtime folder is never used, even when it is there.
    ScopedEnvironment runtimeVariable("XDG_RUNTIME_DIR", runtime.path().string());
    const struct {
        std::optional<std::string> cacheHome;
        std::filesystem::path expected;
    } cases[] = {
        {std::nullopt, home / ".cache" / "vexel" / "com.vexel.staged"},
        // A relative cache folder is ignored, as the XDG base directories ask.
        {"relative/cache", home / ".cache" / "vexel" / "com.vexel.staged"},
        {"", home / ".cache" / "vexel" / "com.vexel.staged"},
        {"/tmp/../tmp/x", std::filesystem::path("/tmp/../tmp/x/vexel/com.vexel.staged")},
    };
    for (const auto& c : cases) {
        ScopedEnvironment cache("XDG_CACHE_HOME", c.cacheHome);
        EXPECT_EQ(vexel::stagingFolderPath(), c.expected) << c.cacheHome.value_or("unset");
    }

    // Made with the folders above it that are missing, all private.
    ScopedEnvironment unset("XDG_CACHE_HOME", std::nullopt);
    const auto expected = home / ".cache" / "vexel" / "com.vexel.staged";
    EXPECT_EQ(vexel::ensureStagingFolder(), expected);
    for (const auto& folder : {home / ".cache", home / ".cache" / "vexel", expected}) {
        struct stat info {};
        ASSERT_EQ(::lstat(folder.c_str(), &info), 0) << folder;
        EXPECT_TRUE(S_ISDIR(info.st_mode)) << folder;
        EXPECT_EQ(info.st_mode & 07777, 0700u) << folder;
    }
    EXPECT_TRUE(std::filesystem::is_empty(runtime.path()));
    // A planted file of that name is refused.
    std::filesystem::remove(expected);
    std::ofstream(expected) << "planted";
    EXPECT_THROW(vexel::ensureStagingFolder(), std::filesystem::filesystem_error);
}
