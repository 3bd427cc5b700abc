#include "data/persistence/FileAutoSaveService.h"
#include "PersistenceSamples.h"
#include "data/persistence/AutoSaveError.h"
#include "data/persistence/ProjectFile.h"
#include "domain/entities/PersistenceError.h"
#include "foundation/DecodeError.h"
#include "foundation/FileContents.h"
#include "infrastructure/security/EncryptionError.h"
#include "infrastructure/security/KeychainAESEncryption.h"
#include "platform/crypto/CryptoError.h"
#include "platform/keychain/KeyFileStore.h"
#include "support/FileContents.h"
#include "support/InMemorySecretStore.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <unistd.h>

#include <functional>
#include <random>

using namespace vexel;
using vexel::test::treeSnapshot;
using vexel::test::writeFile;
using vexel::testing::InMemorySecretStore;
using vexel::testing::mediaClip;
using vexel::testing::projectWith;
using vexel::testing::richClip;
using vexel::testing::ScopedEnvironment;
using vexel::testing::TemporaryFolder;

namespace {

class FileAutoSaveServiceTest : public ::testing::Test {
protected:
    TemporaryFolder root;
    std::shared_ptr<InMemorySecretStore> store = std::make_shared<InMemorySecretStore>();
    std::shared_ptr<KeychainAESEncryption> encryption =
        std::make_shared<KeychainAESEncryption>("com.vexel.app.autosave-key", "aes-key", store);
    FileAutoSaveService service{root / "data" / "autosave", encryption};

    const Project project = projectWith(
        {richClip("/srv/media/first.mov"), mediaClip("/home/me/b.mov", TrackType::video, 10)});
};

// The auto-save service of one run, with the key store chosen at its start.
FileAutoSaveService runWith(const std::filesystem::path& folder,
                            std::shared_ptr<const keychain::SecretStore> store) {
    return FileAutoSaveService(folder, std::make_shared<KeychainAESEncryption>(
                                           "com.vexel.app.autosave-key", "aes-key", store));
}

// The error of load(), which must be AutoSaveError of `kind`; for keptAside,
// its nested cause must be a `Cause`.
template <class Cause = std::exception>
AutoSaveError loadFailure(const FileAutoSaveService& service, AutoSaveError::Kind kind) {
    try {
        service.load();
    } catch (const AutoSaveError& error) {
        EXPECT_EQ(error.kind(), kind) << error.what();
        if (kind == AutoSaveError::Kind::keptAside) {
            try {
                std::rethrow_if_nested(error);
                ADD_FAILURE() << "no cause in " << error.what();
            } catch (const std::exception& cause) {
                EXPECT_NE(dynamic_cast<const Cause*>(&cause), nullptr) << "cause: " << cause.what();
            }
        }
        return error;
    }
    ADD_FAILURE() << "loaded";
    return AutoSaveError::unsafeLocation({});
}

mode_t modeOf(const std::filesystem::path& path) {
    struct stat info {};
    EXPECT_EQ(::lstat(path.c_str(), &info), 0) << path;
    return info.st_mode & 07777;
}

} // namespace

TEST_F(FileAutoSaveServiceTest, EncryptsTheCompactFileUnderAFreshNonceAndReadsItBack) {
    EXPECT_FALSE(service.exists());
    service.save(project);
    EXPECT_TRUE(service.exists());
    const std::string compact = ProjectFile{1, PersistedProject::forAutoSave(project)}.encoded(
        ProjectFile::Layout::compact);
    const std::string first = readFileContents(root / "data/autosave/project.json");
    EXPECT_EQ(first.size(), compact.size() + 28);
    EXPECT_EQ(first.find("first.mov"), std::string::npos);
    EXPECT_EQ(encryption->decrypt(first), compact);
    struct stat info {};
    ASSERT_EQ(::stat((root / "data/autosave/project.json").c_str(), &info), 0);
    EXPECT_EQ(info.st_mode & 0777, 0600u);

    service.save(project);
    const std::string second = readFileContents(root / "data/autosave/project.json");
    EXPECT_NE(first.substr(0, 12), second.substr(0, 12));
    EXPECT_EQ(service.load(), project);
    EXPECT_EQ(service.load().tracks[0].clips[0].assetURL, "/srv/media/first.mov");
    EXPECT_EQ(store->size(), 1u);
}

// The auto-save of a project as large as may be written, a little larger for
// its encryption, reads back; a larger one is refused with its size and the
// auto-save before it stays.
TEST_F(FileAutoSaveServiceTest, TheLargestProjectReadsBackAndALargerOneIsRefusedWithItsSize) {
    const auto withTitle = [](std::size_t length) {
        return projectWith({vexel::testing::textClip(std::string(length, 'a'))});
    };
    const std::size_t frame = ProjectFile{1, PersistedProject::forAutoSave(withTitle(0))}
                                  .encoded(ProjectFile::Layout::compact)
                                  .size();
    const Project largest = withTitle(ProjectFile::maxFileBytes - frame);
    service.save(largest);
    const std::string written = readFileContents(service.filePath());
    EXPECT_GT(written.size(), ProjectFile::maxFileBytes);
    EXPECT_EQ(service.load(), largest);

    try {
        service.save(withTitle(ProjectFile::maxFileBytes - frame + 1));
        ADD_FAILURE() << "written";
    } catch (const PersistenceError& error) {
        EXPECT_EQ(error, PersistenceError::encodingFailed());
        ASSERT_TRUE(error.size());
        EXPECT_EQ(error.size()->bytes, ProjectFile::maxFileBytes + 1);
        EXPECT_EQ(error.size()->limit, ProjectFile::maxFileBytes);
    }
    EXPECT_TRUE(readFileContents(service.filePath()) == written);
}

TEST_F(FileAutoSaveServiceTest, PlainJsonStillLoadsAndOtherBytesFailAsDecryption) {
    const std::filesystem::path file = service.filePath();
    Json stored = ProjectFile{1, PersistedProject::forAutoSave(project)};
    stored["version"] = 2; // not checked here
    writeFile(file, stored.dump());
    EXPECT_EQ(service.load(), project);
    EXPECT_EQ(FileAutoSaveService(root / "data/autosave").load(), project);

    std::mt19937 random(3);
    std::string noise;
    for (int i = 0; i < 100; ++i) {
        noise += static_cast<char>(random());
    }
    // Bytes that neither decrypt nor are JSON are kept aside, with the
    // decryption's error as the cause.
    writeFile(file, noise);
    const AutoSaveError kept =
        loadFailure<crypto::CryptoError>(service, AutoSaveError::Kind::keptAside);
    EXPECT_EQ(test::readFile(kept.location()), noise);
    EXPECT_EQ(kept.location().parent_path(), service.directory());
    EXPECT_EQ(kept.keyStore(), "the test's key store");
    EXPECT_FALSE(std::filesystem::exists(file));
    EXPECT_FALSE(service.exists()); // the key still does not open it
    writeFile(file, "\"a JSON string is no project\"");
    loadFailure<crypto::CryptoError>(service, AutoSaveError::Kind::keptAside);
    EXPECT_EQ(service.keptFiles().size(), 2u);
    // Valid JSON but not a project: the record's own error, and it stays.
    writeFile(file, "{\"version\": 1}");
    EXPECT_THROW(service.load(), DecodeError);
    EXPECT_TRUE(std::filesystem::exists(file));
    EXPECT_EQ(service.keptFiles().size(), 2u);
}

TEST_F(FileAutoSaveServiceTest, AnAutoSaveTheKeyOfThisRunCannotOpenIsKeptForARunWhoseKeyCan) {
    // Run 1 has the desktop's keyring; run 2 finds no Secret Service and falls
    // back to the key files, with another key; run 3 has the keyring again.
    const std::filesystem::path folder = root / "autosave";
    const FileAutoSaveService keyring = runWith(folder, store);
    const FileAutoSaveService keyFiles =
        runWith(folder, std::make_shared<keychain::KeyFileStore>(root / "keyring"));
    keyring.save(project);
    const std::string first = readFileContents(keyring.filePath());

    ASSERT_TRUE(keyFiles.exists());
    const AutoSaveError refused =
        loadFailure<crypto::CryptoError>(keyFiles, AutoSaveError::Kind::keptAside);
    EXPECT_EQ(refused.keyStore(), "the key folder " + (root / "keyring").string());
    EXPECT_NE(refused.userMessage().find(refused.keyStore()), std::string::npos);
    EXPECT_NE(refused.userMessage().find(refused.location().string()), std::string::npos);
    EXPECT_EQ(keyFiles.keptFiles(), std::vector{refused.location()});
    EXPECT_EQ(readFileContents(refused.location()), first);
    EXPECT_FALSE(keyFiles.exists()); // nothing that run could recover

    // Run 2 goes on working; its auto-saves do not touch the kept one.
    const Project second = projectWith({mediaClip("/home/me/c.mov")});
    keyFiles.save(second);
    keyFiles.save(second);
    EXPECT_EQ(readFileContents(refused.location()), first);

    // Run 3 recovers run 1's work, and keeps run 2's in its turn.
    ASSERT_TRUE(keyring.exists());
    EXPECT_EQ(keyring.load(), project);
    EXPECT_EQ(readFileContents(keyring.filePath()), first);
    ASSERT_EQ(keyring.keptFiles().size(), 1u);
    EXPECT_EQ(keyring.load(), project);
    keyring.remove();
    // A clean quit removes the auto-save; the kept one still waits for its key.
    EXPECT_FALSE(keyring.exists());
    EXPECT_TRUE(keyFiles.exists());
    EXPECT_EQ(keyFiles.load(), second);
    EXPECT_TRUE(keyFiles.keptFiles().empty());

    keyFiles.remove();

    // A key store that does not answer: no auto-save is written over the one
    // there, and at recovery it is kept rather than left to be replaced, to be
    // recovered once the store answers again.
    keyring.save(project);
    const std::string sealed = readFileContents(keyring.filePath());
    store->failFinds = true;
    EXPECT_THROW(keyring.save(second), EncryptionError);
    EXPECT_EQ(readFileContents(keyring.filePath()), sealed);
    loadFailure<EncryptionError>(keyring, AutoSaveError::Kind::keptAside);
    EXPECT_FALSE(keyring.exists());
    store->failFinds = false;
    EXPECT_TRUE(keyring.exists());
    EXPECT_EQ(keyring.load(), project);
    EXPECT_EQ(store->size(), 1u);
}

TEST_F(FileAutoSaveServiceTest, EmptyStoredPathsGiveNoMediaAndMissingFilesAreTheSystemsError) {
    Json stored = ProjectFile{1, PersistedProject::forAutoSave(project)};
    stored["project"]["tracks"][0]["clips"][0]["assetPath"] = "";
    writeFile(service.filePath(), stored.dump());
    EXPECT_EQ(service.load().tracks[0].clips[0].assetURL, std::nullopt);

    service.remove();
    service.remove();
    EXPECT_FALSE(service.exists());
    try {
        service.load();
        FAIL() << "loaded without a file";
    } catch (const std::filesystem::filesystem_error& error) {
        EXPECT_EQ(error.code(), std::errc::no_such_file_or_directory);
    }
}

TEST_F(FileAutoSaveServiceTest, AFailedSaveKeepsTheEarlierAutoSave) {
    service.save(project);
    const std::string before = readFileContents(service.filePath());

    Project notFinite = project;
    notFinite.maxDuration = std::numeric_limits<double>::infinity();
    EXPECT_THROW(service.save(notFinite), PersistenceError);

    // No key can be made: the encryption's error, and the file stays.
    auto brokenStore = std::make_shared<InMemorySecretStore>();
    brokenStore->failAdds = true;
    FileAutoSaveService broken(service.directory(),
                               std::make_shared<KeychainAESEncryption>("s", "a", brokenStore));
    EXPECT_THROW(broken.save(project), EncryptionError);
    EXPECT_EQ(readFileContents(service.filePath()), before);
    EXPECT_EQ(service.load(), project);

    // The store holding the key cannot be read for a while: no new key, and
    // the file stays.
    store->failFinds = true;
    EXPECT_THROW(service.save(projectWith({})), EncryptionError);
    store->failFinds = false;
    EXPECT_EQ(readFileContents(service.filePath()), before);
    EXPECT_EQ(store->addCount, 1);
    EXPECT_EQ(service.load(), project);
}

TEST_F(FileAutoSaveServiceTest, TheFolderIsTheUsersAloneAndNoOneElsesAutoSaveIsOffered) {
    // Private whatever the umask, the parents as any folder.
    for (mode_t mask : {0000, 0022, 0077, 0277}) {
        const mode_t old = ::umask(mask);
        const FileAutoSaveService made(root / std::to_string(mask) / "app" / "autosave",
                                       encryption);
        made.save(project);
        ::umask(old);
        EXPECT_EQ(modeOf(made.directory()), 0700u) << mask;
        EXPECT_EQ(modeOf(made.filePath()) & 0077, 0u) << mask;
        EXPECT_EQ(made.load(), project);
    }

    // Another user's plain project, planted in the folder or in its place.
    const Project planted = projectWith({mediaClip("/tmp/theirs.mov")});
    const std::string plantedBytes = ProjectFile{1, PersistedProject::forAutoSave(planted)}.encoded(
        ProjectFile::Layout::compact);
    const std::filesystem::path folder = root / "shared" / "autosave";
    const FileAutoSaveService shared(folder, encryption);
    std::filesystem::create_directories(folder);
    writeFile(shared.filePath(), plantedBytes);
    const std::vector<std::function<void()>> unsafe = {
        [&] { ::chmod(folder.c_str(), 0777); },
        [&] { ::chmod(folder.c_str(), 0770); },
        [&] { ::chown(folder.c_str(), 65534, 65534); },
        [&] { ::chown(shared.filePath().c_str(), 65534, 65534); },
        [&] { ::chmod(shared.filePath().c_str(), 0666); },
    };
    for (std::size_t n = 0; n < unsafe.size(); ++n) {
        ::chmod(folder.c_str(), 0700);
        ::chown(folder.c_str(), ::geteuid(), ::getegid());
        ::chown(shared.filePath().c_str(), ::geteuid(), ::getegid());
        ::chmod(shared.filePath().c_str(), 0600);
        unsafe[n]();
        const auto before = treeSnapshot(root / "shared");
        EXPECT_TRUE(shared.exists()) << n; // offered, so that the refusal is seen
        const AutoSaveError refused = loadFailure(shared, AutoSaveError::Kind::unsafeLocation);
        EXPECT_NE(refused.userMessage().find(refused.location().string()), std::string::npos);
        EXPECT_EQ(treeSnapshot(root / "shared"), before) << n;
    }

    // The next auto-save makes an open folder of the user's private, and keeps
    // what it found there rather than replacing it.
    ::chown(shared.filePath().c_str(), ::geteuid(), ::getegid());
    ::chmod(shared.filePath().c_str(), 0600);
    ::chmod(folder.c_str(), 0777);
    shared.save(project);
    EXPECT_EQ(modeOf(folder), 0700u);
    EXPECT_EQ(shared.load(), project);
    ASSERT_EQ(shared.keptFiles().size(), 1u);
    EXPECT_EQ(readFileContents(shared.keptFiles().front()), plantedBytes);
    // A folder of another user is never written to.
    ::chown(folder.c_str(), 65534, 65534);
    EXPECT_THROW(shared.save(planted), std::filesystem::filesystem_error);
    ::chown(folder.c_str(), ::geteuid(), ::getegid());
    EXPECT_EQ(shared.load(), project);
}

TEST(FileAutoSaveServiceDefaultTest, LivesInTheDataFolderAndIsCreatedOnFirstSave) {
    TemporaryFolder root;
    ScopedEnvironment xdg("XDG_DATA_HOME", (root / "deep" / "data").string());
    FileAutoSaveService service;
    EXPECT_EQ(service.directory(), root / "deep/data/com.vexel.app/autosave");
    EXPECT_FALSE(std::filesystem::exists(root / "deep"));
    const Project project = Project::makeNew();
    service.save(project);
    EXPECT_EQ(Json::parse(readFileContents(service.filePath())).at("version"), 1);
    EXPECT_EQ(service.load(), project);
}
