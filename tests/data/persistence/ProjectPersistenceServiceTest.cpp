#include "data/persistence/ProjectPersistenceService.h"
#include "PersistenceSamples.h"
#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/entities/PersistenceError.h"
#include "domain/usecases/LoadProjectUseCase.h"
#include "domain/usecases/SaveProjectUseCase.h"
#include "foundation/FileContents.h"
#include "foundation/FolderLock.h"
#include "support/FileContents.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <limits>
#include <regex>

using namespace vexel;
using vexel::test::namesIn;
using vexel::test::writeFile;
using vexel::testing::mediaClip;
using vexel::testing::projectWith;
using vexel::testing::richClip;
using vexel::testing::TemporaryFolder;

namespace {

class ProjectPersistenceServiceTest : public ::testing::Test {
protected:
    TemporaryFolder root;
    ProjectPersistenceService service;

    std::filesystem::path media(const std::string& name, const std::string& bytes = "frames") {
        writeFile(root / "outside" / name, bytes);
        return root / "outside" / name;
    }

    PersistenceError saveError(const Project& project, const std::filesystem::path& folder) {
        try {
            service.save(project, folder);
        } catch (const PersistenceError& error) {
            return error;
        }
        ADD_FAILURE() << "the save succeeded";
        return PersistenceError::encodingFailed();
    }

    PersistenceError loadError(const std::filesystem::path& folder) {
        try {
            service.load(folder);
        } catch (const PersistenceError& error) {
            return error;
        }
        ADD_FAILURE() << "the load succeeded";
        return PersistenceError::encodingFailed();
    }
};

const Clip& firstClip(const Project& project) {
    return project.tracks.at(0).clips.at(0);
}

} // namespace

TEST_F(ProjectPersistenceServiceTest, CopiesOutsideMediaOncePerSaveAndReopensAfterAMove) {
    const Project project = projectWith({mediaClip(media("clip.mov", "original"))});
    const auto package = root / "P";
    service.save(project, package);

    EXPECT_EQ(namesIn(package / "assets"), std::vector<std::string>{"clip.mov"});
    EXPECT_EQ(readFileContents(package / "assets" / "clip.mov"), "original");
    const std::string text = readFileContents(package / "project.json");
    const Json stored = Json::parse(text);
    EXPECT_EQ(stored.at("version"), 1);
    EXPECT_EQ(stored.at("project").at("tracks").at(0).at("clips").at(0).at("assetPath"),
              "assets/clip.mov");
    EXPECT_LT(text.find("\"maxDuration\""), text.find("\"tracks\""));
    EXPECT_LT(text.find("\"project\""), text.find("\"version\""));

    // The project still names the outside file, so a second save copies it
    // again under a new name and keeps the first copy.
    writeFile(root / "outside" / "clip.mov", "changed since");
    service.save(project, package);
    std::vector<std::string> names = namesIn(package / "assets");
    ASSERT_EQ(names.size(), 2u);
    EXPECT_EQ(names[0], "clip.mov");
    EXPECT_TRUE(std::regex_match(names[1], std::regex("clip_[0-9A-F]{8}\\.mov"))) << names[1];
    EXPECT_EQ(readFileContents(package / "assets" / "clip.mov"), "original");

    std::filesystem::rename(package, root / "Q");
    const Project loaded = service.load(root / "Q");
    EXPECT_EQ(firstClip(loaded).assetURL, root / "Q" / "assets" / names[1]);
    EXPECT_EQ(readFileContents(*firstClip(loaded).assetURL), "changed since");
    Project expected = project;
    expected.tracks[0].clips[0].assetURL = firstClip(loaded).assetURL;
    EXPECT_EQ(loaded, expected);

    // Saved back where it came from, nothing is copied; saved as elsewhere,
    // the media are copied into the new folder.
    service.save(loaded, root / "Q/");
    EXPECT_EQ(namesIn(root / "Q" / "assets"), names);
    service.save(loaded, root / "R");
    EXPECT_EQ(namesIn(root / "R" / "assets"), std::vector<std::string>{names[1]});
    EXPECT_EQ(firstClip(service.load(root / "R")).assetURL, root / "R" / "assets" / names[1]);
}

TEST_F(ProjectPersistenceServiceTest, SharedFilesTakenNamesAndFilesWithoutExtension) {
    const auto shared = media("shared.mov");
    const auto bare = media("README");
    const Project project = projectWith({mediaClip(shared), mediaClip(shared, TrackType::video, 5),
                                         mediaClip(bare, TrackType::video, 9)});
    service.save(project, root / "P");
    std::vector<std::string> names = namesIn(root / "P" / "assets");
    ASSERT_EQ(names.size(), 3u);
    EXPECT_EQ(names[0], "README");
    EXPECT_EQ(names[1], "shared.mov");
    EXPECT_TRUE(std::regex_match(names[2], std::regex("shared_[0-9A-F]{8}\\.mov"))) << names[2];
    const Project loaded = service.load(root / "P");
    EXPECT_EQ(loaded.tracks[0].clips[0].assetURL, root / "P/assets/shared.mov");
    EXPECT_EQ(loaded.tracks[0].clips[1].assetURL, root / "P/assets" / names[2]);

    service.save(projectWith({mediaClip(bare)}), root / "P");
    EXPECT_TRUE(
        std::regex_match(namesIn(root / "P" / "assets")[1], std::regex("README_[0-9A-F]{8}")));
}

TEST_F(ProjectPersistenceServiceTest, ATextOnlyProjectGetsAnEmptyAssetsFolder) {
    Project project = Project::makeNew();
    project.tracks.push_back(Track{Uuid::random(),
                                   TrackType::text,
                                   "Text 1",
                                   {vexel::testing::textClip("Only words")},
                                   false});
    service.save(project, root / "a" / "b" / "P");
    EXPECT_TRUE(namesIn(root / "a/b/P/assets").empty());
    EXPECT_EQ(service.load(root / "a/b/P"), project);
}

TEST_F(ProjectPersistenceServiceTest, AFailedSaveLeavesTheProjectFileAsItWas) {
    const auto package = root / "P";
    const Project good = projectWith({mediaClip(media("clip.mov"))});
    service.save(good, package);
    const std::string before = readFileContents(package / "project.json");

    EXPECT_EQ(saveError(projectWith({mediaClip(root / "gone.mov")}), package),
              PersistenceError::assetCopyFailed("gone.mov"));

    Clip notFinite = richClip(package / "assets" / "clip.mov");
    notFinite.volume = std::numeric_limits<double>::quiet_NaN();
    EXPECT_EQ(saveError(projectWith({notFinite}), package), PersistenceError::encodingFailed());
    notFinite.volume = 1;
    notFinite.timeRange.duration = std::numeric_limits<double>::infinity();
    EXPECT_EQ(saveError(projectWith({notFinite}), package), PersistenceError::encodingFailed());

    // A Linux file name need not be UTF-8; JSON text must be.
    EXPECT_EQ(saveError(projectWith({mediaClip(media("caf\xe9.mov"))}), package),
              PersistenceError::encodingFailed());
    EXPECT_EQ(readFileContents(package / "project.json"), before);

    writeFile(root / "file", "not a folder");
    EXPECT_EQ(saveError(good, root / "file" / "P"), PersistenceError::directoryCreationFailed());
    std::filesystem::create_directories(root / "S/project.json");
    EXPECT_EQ(saveError(good, root / "S"), PersistenceError::assetCopyFailed("project.json"));
}

TEST_F(ProjectPersistenceServiceTest, LoadFailuresAreNamed) {
    const auto package = root / "P";
    std::filesystem::create_directories(package);
    EXPECT_EQ(loadError(package), PersistenceError::fileNotFound("project.json"));
    EXPECT_EQ(loadError(root / "nowhere"), PersistenceError::fileNotFound("project.json"));

    const auto invalid = PersistenceError::decodingFailed("Invalid project file format");
    for (const char* text : {"{}", "", "[]", "1", "{\"version\": 1}", "not json at all"}) {
        writeFile(package / "project.json", text);
        EXPECT_EQ(loadError(package), invalid) << text;
    }
    writeFile(package / "project.json",
              R"({"version": 2, "project": {"tracks": [], "maxDuration": 60}})");
    EXPECT_EQ(loadError(package),
              PersistenceError::decodingFailed("Unsupported project file version 2"));
    writeFile(package / "project.json",
              R"({"version": 1, "project": {"tracks": [], "maxDuration": 60}})");
    EXPECT_EQ(service.load(package), (Project{{}, 60}));

    std::filesystem::remove(package / "project.json");
    std::filesystem::create_directories(package / "project.json");
    EXPECT_EQ(loadError(package), PersistenceError::fileNotFound("project.json"));
}

TEST_F(ProjectPersistenceServiceTest, LeftoversOfKilledSavesGoWhenNoSaveIsAtWork) {
    const auto package = root / "P";
    service.save(projectWith({mediaClip(media("clip.mov"))}), package);
    const Project project = service.load(package);
    const auto leaveBehind = [&] {
        writeFile(package / ".project.json.tmp-0A1B2C3D", "{\"version\": 1, \"proj");
        writeFile(package / "assets" / ".clip.mov.tmp-4E5F6071", "fra");
    };
    const std::vector<std::string> clean = namesIn(package);
    const std::vector<std::string> cleanAssets = namesIn(package / "assets");

    // A save at work holds the folder: its files are not touched by a load.
    leaveBehind();
    {
        const FolderLock saving(package);
        EXPECT_EQ(service.load(package), project);
        EXPECT_NE(namesIn(package), clean);
        EXPECT_NE(namesIn(package / "assets"), cleanAssets);
    }
    EXPECT_EQ(service.load(package), project);
    EXPECT_EQ(namesIn(package), clean);
    EXPECT_EQ(namesIn(package / "assets"), cleanAssets);

    leaveBehind();
    service.save(project, package);
    EXPECT_EQ(namesIn(package), clean);
    EXPECT_EQ(namesIn(package / "assets"), cleanAssets);
}

TEST_F(ProjectPersistenceServiceTest, UseCasesConnectTheFolderToTheCurrentProject) {
    auto persistence = std::make_shared<ProjectPersistenceService>();
    const Project saved = projectWith({mediaClip(media("clip.mov"))});
    auto repository = std::make_shared<InMemoryProjectRepository>(saved);
    SaveProjectUseCase save(repository, persistence);
    LoadProjectUseCase load(repository, persistence);

    save.execute(root / "P");
    EXPECT_EQ(repository->load(), saved) << "saving changed the current project";

    const Project other = Project::makeNew(90);
    repository->save(other);
    EXPECT_THROW(load.execute(root / "missing"), PersistenceError);
    EXPECT_EQ(repository->load(), other);

    const Project loaded = load.execute(root / "P");
    EXPECT_EQ(repository->load(), loaded);
    EXPECT_EQ(firstClip(loaded).assetURL, root / "P/assets/clip.mov");
}
