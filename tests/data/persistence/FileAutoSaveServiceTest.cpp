#include "data/persistence/FileAutoSaveService.h"
#include "PersistenceSamples.h"
#include "data/persistence/ProjectFile.h"
#include "domain/entities/PersistenceError.h"
#include "foundation/DecodeError.h"
#include "foundation/FileContents.h"
#include "infrastructure/security/EncryptionError.h"
#include "infrastructure/security/KeychainAESEncryption.h"
#include "platform/crypto/CryptoError.h"
#include "support/FileContents.h"
#include "support/InMemorySecretStore.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <random>

using namespace vexel;
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
    writeFile(file, noise);
    EXPECT_THROW(service.load(), crypto::CryptoError);
    writeFile(file, "\"a JSON string is no project\"");
    EXPECT_THROW(service.load(), crypto::CryptoError);
    // Valid JSON but not a project: the record's own error.
    writeFile(file, "{\"version\": 1}");
    EXPECT_THROW(service.load(), DecodeError);
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
