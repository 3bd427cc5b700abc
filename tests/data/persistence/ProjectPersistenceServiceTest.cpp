#include "data/persistence/ProjectPersistenceService.h"
#include "PersistenceSamples.h"
#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/entities/PersistenceError.h"
#include "domain/usecases/LoadProjectUseCase.h"
#include "domain/usecases/SaveProjectUseCase.h"
#include "foundation/FileContents.h"
#include "foundation/FolderLock.h"
#include "support/Fifo.h"
#include "support/FileContents.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <unistd.h>

#include <limits>
#include <regex>

using namespace vexel;
using vexel::test::Fifo;
using vexel::test::namesIn;
using vexel::test::treeSnapshot;
using vexel::test::writeFile;
using vexel::testing::mediaClip;
using vexel::testing::projectWith;
using vexel::testing::richClip;
using vexel::testing::TemporaryFolder;

namespace vexel {
void PrintTo(const UnavailableMedia& media, std::ostream* out) {
    *out << media.clipName << ": reason " << static_cast<int>(media.reason);
}
} // namespace vexel

namespace {

class ProjectPersistenceServiceTest : public ::testing::Test {
protected:
    TemporaryFolder root;
    ProjectPersistenceService service;

    std::filesystem::path media(const std::string& name, const std::string& bytes = "frames") {
        writeFile(root / "outside" / name, bytes);
        return root / "outside" / name;
    }

    PersistenceError
    saveError(const Project& project, const std::filesystem::path& folder,
              const std::optional<std::filesystem::path>& sourceFolder = {},
              const ProjectPersistenceService& saving = ProjectPersistenceService()) {
        try {
            saving.save(project, folder, sourceFolder);
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
    // A file that two clips share (the pieces of a split) is copied once.
    const MediaRelocation relocation = service.save(project, root / "P");
    EXPECT_EQ(namesIn(root / "P" / "assets"), (std::vector<std::string>{"README", "shared.mov"}));
    EXPECT_EQ(relocation.copies,
              (std::map<std::filesystem::path, std::filesystem::path>{
                  {shared, root / "P/assets/shared.mov"}, {bare, root / "P/assets/README"}}));
    const Project loaded = service.load(root / "P");
    EXPECT_EQ(loaded.tracks[0].clips[0].assetURL, root / "P/assets/shared.mov");
    EXPECT_EQ(loaded.tracks[0].clips[1].assetURL, root / "P/assets/shared.mov");
    EXPECT_EQ(loaded, relocation.applied(project));

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
    const PersistenceError inAFile = saveError(good, root / "file" / "P");
    EXPECT_EQ(inAFile, PersistenceError::directoryCreationFailed());
    EXPECT_EQ(inAFile.cause(), std::errc::not_a_directory);
}

TEST_F(ProjectPersistenceServiceTest,
       AFailedSaveLeavesThePlaceAsItFoundItAndNamesEveryClipItCannotCopy) {
    using Reason = UnavailableMedia::Reason;
    const auto good = media("good.mov");
    const auto outside = root / "outside";
    Fifo pipe(outside / "pipe.mov");
    std::filesystem::create_directories(outside / "folder.mov");
    std::filesystem::create_symlink(good, outside / "link.mov");
    writeFile(outside / "locked.mov", "frames");
    std::filesystem::permissions(outside / "locked.mov", std::filesystem::perms::none);
    struct Case {
        std::string name;
        Reason reason;
    };
    std::vector<Case> cases = {{"gone.mov", Reason::missing},
                               {"pipe.mov", Reason::notRegularFile},
                               {"folder.mov", Reason::notRegularFile},
                               {"link.mov", Reason::notRegularFile},
                               {"gone.mov", Reason::missing}}; // the file of two clips
    // The owner of every file reads it whatever its mode.
    if (::geteuid() != 0) {
        cases.push_back({"locked.mov", Reason::unreadable});
    }
    std::vector<Clip> clips = {mediaClip(good)};
    std::vector<UnavailableMedia> expected;
    for (const Case& c : cases) {
        clips.push_back(mediaClip(outside / c.name, TrackType::video, 2.0 * clips.size()));
        clips.back().assetName = c.name;
        expected.push_back({clips.back().id, c.name, c.reason});
    }
    const Project project = projectWith(clips);

    // Nothing is written anywhere: not in a folder to be made, not in an
    // empty one, not in a project's folder.
    const auto places = root / "places";
    const auto film = places / "Film";
    service.save(projectWith({mediaClip(good)}), film);
    std::filesystem::create_directories(places / "Empty");
    for (const auto& place : {places / "new" / "P", places / "Empty", film}) {
        SCOPED_TRACE(place);
        const auto before = treeSnapshot(places);
        const PersistenceError error = saveError(project, place);
        EXPECT_EQ(error, PersistenceError::assetCopyFailed("gone.mov"));
        EXPECT_EQ(error.unavailableMedia(), expected);
        EXPECT_EQ(treeSnapshot(places), before);
    }
    EXPECT_FALSE(pipe.openedToRead());

    // A failure once copies were made takes them away again, with the folders
    // the save made: the disk full at the second copy, a folder where
    // "project.json" would go.
    const auto other = media("other.mov");
    int copies = 0;
    const ProjectPersistenceService fillingTheDisk([&copies] {
        if (++copies == 2) {
            throw std::filesystem::filesystem_error(
                "cannot write file", std::make_error_code(std::errc::no_space_on_device));
        }
    });
    const Project two = projectWith({mediaClip(good), mediaClip(other, TrackType::video, 5)});
    for (const auto& place : {places / "new" / "P", places / "Empty", film}) {
        SCOPED_TRACE(place);
        const auto before = treeSnapshot(places);
        copies = 0;
        const PersistenceError full = saveError(two, place, {}, fillingTheDisk);
        EXPECT_EQ(full, PersistenceError::assetCopyFailed("other.mov"));
        EXPECT_EQ(full.cause(), std::errc::no_space_on_device);
        EXPECT_EQ(treeSnapshot(places), before);
    }
    std::filesystem::create_directories(root / "S/project.json");
    const PersistenceError blocked = saveError(two, root / "S");
    EXPECT_EQ(blocked, PersistenceError::assetCopyFailed("project.json"));
    EXPECT_EQ(blocked.cause(), std::errc::is_a_directory);
    EXPECT_EQ(namesIn(root / "S"), std::vector<std::string>{"project.json"});
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

TEST_F(ProjectPersistenceServiceTest,
       AReceivedFolderReachesNoMediaOutsideItselfAndNamesWhatItCannotUse) {
    using Reason = UnavailableMedia::Reason;
    const auto package = root / "P";
    const auto assets = package / "assets";
    const auto outside = root / "outside";
    writeFile(outside / "secret.txt", "a file of the user's, outside the project");
    writeFile(outside / "x.mov", "frames kept elsewhere");
    writeFile(package / "media" / "inner.mov", "frames");
    writeFile(assets / "fine.mov", "frames");
    std::filesystem::create_symlink("../media/inner.mov", assets / "inner.mov");
    Fifo pipe(assets / "pipe.mov");
    std::filesystem::create_directories(assets / "folder.mov");
    std::filesystem::create_symlink(outside / "secret.txt", assets / "secret.mov");
    std::filesystem::create_symlink(outside / "not-yet.mov", assets / "dangling.mov");
    std::filesystem::create_symlink("loop.mov", assets / "loop.mov");
    std::filesystem::create_symlink(outside, assets / "deep");
    writeFile(assets / "locked.mov", "frames");
    std::filesystem::permissions(assets / "locked.mov", std::filesystem::perms::none);

    struct Case {
        std::string path; // as stored, inside the folder
        std::optional<Reason> reason;
        bool keepsMedia;
    };
    std::vector<Case> cases = {
        {"assets/fine.mov", std::nullopt, true},
        {"assets/inner.mov", std::nullopt, true}, // a link that stays inside
        {"assets/gone.mov", Reason::missing, true},
        {"assets/pipe.mov", Reason::notRegularFile, true},
        {"assets/folder.mov", Reason::notRegularFile, true},
        {"assets/secret.mov", Reason::outsideFolder, false},
        {"assets/dangling.mov", Reason::missing, false},
        {"assets/loop.mov", Reason::missing, false},
        {"assets/deep/x.mov", Reason::outsideFolder, false},
        {"assets/deep/none.mov", Reason::outsideFolder, false},
        {"assets/../../outside/secret.txt", Reason::outsideFolder, false},
    };
    // The owner of every file reads it whatever its mode.
    if (::geteuid() != 0) {
        cases.push_back({"assets/locked.mov", Reason::unreadable, true});
    }
    std::vector<Clip> clips;
    for (const Case& c : cases) {
        clips.push_back(mediaClip(package / "assets" / "fine.mov"));
        clips.back().assetName = c.path;
    }
    service.save(projectWith(clips), package);
    std::string text = readFileContents(package / "project.json");
    const std::string stored = "\"assetPath\": \"assets/fine.mov\"";
    std::size_t at = 0;
    for (const Case& c : cases) {
        // Each clip stores the path of its case in place of "assets/fine.mov".
        at = text.find(stored, at);
        ASSERT_NE(at, std::string::npos);
        const std::string replacement = "\"assetPath\": \"" + c.path + "\"";
        text.replace(at, stored.size(), replacement);
        at += replacement.size();
    }
    writeFile(package / "project.json", text);

    const OpenedProject opened = service.open(package);
    std::vector<UnavailableMedia> expected;
    const std::vector<Clip>& loaded = opened.project.tracks[0].clips;
    ASSERT_EQ(loaded.size(), cases.size());
    for (std::size_t i = 0; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].path);
        EXPECT_EQ(loaded[i].assetName, cases[i].path);
        EXPECT_EQ(loaded[i].assetURL.has_value(), cases[i].keepsMedia);
        if (cases[i].reason) {
            expected.push_back({loaded[i].id, cases[i].path, *cases[i].reason});
        }
    }
    EXPECT_EQ(opened.unavailableMedia, expected);
    EXPECT_FALSE(pipe.openedToRead());

    // "assets" itself a link: nothing in it is the folder's.
    const auto linked = root / "Linked";
    service.save(projectWith({mediaClip(linked / "assets/x.mov")}), linked);
    std::filesystem::remove(linked / "assets");
    std::filesystem::create_symlink(outside, linked / "assets");
    const OpenedProject linkedOpened = service.open(linked);
    EXPECT_FALSE(firstClip(linkedOpened.project).assetURL);
    ASSERT_EQ(linkedOpened.unavailableMedia.size(), 1u);
    EXPECT_EQ(linkedOpened.unavailableMedia[0].reason, Reason::outsideFolder);
}

TEST_F(ProjectPersistenceServiceTest, SavingNeverCopiesNorWritesThroughALinkOutOfAFolder) {
    const auto outside = root / "outside";
    const std::string secret = "a file of the user's, outside the project";
    writeFile(outside / "secret.txt", secret);
    const auto received = root / "Received";
    const Project project = projectWith({mediaClip(received / "assets/fine.mov"),
                                         mediaClip(received / "assets/secret.mov"),
                                         mediaClip(received / "assets/deep/secret.txt")});
    service.save(project, received);
    writeFile(received / "assets/fine.mov", "frames");
    std::filesystem::create_symlink(outside / "secret.txt", received / "assets/secret.mov");
    std::filesystem::create_symlink(outside, received / "assets/deep");

    // Save As of the opened project: only the folder's own media come along.
    service.save(service.load(received), root / "Copy");
    EXPECT_EQ(namesIn(root / "Copy/assets"), std::vector<std::string>{"fine.mov"});
    for (const auto& [name, content] : treeSnapshot(root / "Copy")) {
        EXPECT_EQ(content.find(secret), std::string::npos) << name;
    }
    const Project copy = service.load(root / "Copy");
    EXPECT_EQ(copy.tracks[0].clips[0].assetURL, root / "Copy/assets/fine.mov");
    EXPECT_FALSE(copy.tracks[0].clips[1].assetURL);
    EXPECT_FALSE(copy.tracks[0].clips[2].assetURL);

    // A folder whose "assets" is a link is not saved into: the copies would
    // land wherever it leads.
    const auto target = root / "Target";
    std::filesystem::create_directories(target);
    std::filesystem::create_directories(root / "elsewhere");
    std::filesystem::create_symlink(root / "elsewhere", target / "assets");
    EXPECT_EQ(saveError(projectWith({mediaClip(media("clip.mov"))}), target),
              PersistenceError::directoryCreationFailed());
    EXPECT_TRUE(namesIn(root / "elsewhere").empty());
    EXPECT_EQ(namesIn(target), std::vector<std::string>{"assets"});

    // A file of the opened folder swapped for a link afterwards, or its
    // "assets" swapped for one, is not copied through it at the next save:
    // the folder's media are held to what opening it allowed, and any other
    // file must be no link at all.
    using Reason = UnavailableMedia::Reason;
    const Project opened = service.load(root / "Copy");
    const Clip& fine = opened.tracks[0].clips[0];
    const auto swapped = root / "Copy/assets/fine.mov";
    std::filesystem::remove(swapped);
    std::filesystem::create_symlink(outside / "secret.txt", swapped);
    PersistenceError error = saveError(opened, root / "Again", root / "Copy");
    EXPECT_EQ(error.unavailableMedia(),
              (std::vector<UnavailableMedia>{{fine.id, fine.assetName, Reason::outsideFolder}}));
    error = saveError(opened, root / "Again");
    EXPECT_EQ(error.unavailableMedia(),
              (std::vector<UnavailableMedia>{{fine.id, fine.assetName, Reason::notRegularFile}}));
    std::filesystem::remove(swapped);
    writeFile(outside / "assets" / "fine.mov", secret);
    std::filesystem::rename(root / "Copy/assets", root / "Copy/moved");
    std::filesystem::create_symlink(outside / "assets", root / "Copy/assets");
    error = saveError(opened, root / "Again", root / "Copy");
    EXPECT_EQ(error.unavailableMedia(),
              (std::vector<UnavailableMedia>{{fine.id, fine.assetName, Reason::outsideFolder}}));
    EXPECT_FALSE(std::filesystem::exists(root / "Again"));
}

TEST_F(ProjectPersistenceServiceTest, NothingOfAReceivedFolderIsReadOrRemovedThroughALink) {
    const auto elsewhere = root / "elsewhere";
    const auto usersFile = elsewhere / ".notes.txt.tmp-1A2B3C4D"; // named like a leftover
    writeFile(usersFile, "the user's own notes");
    const auto received = root / "Received";
    service.save(projectWith({mediaClip(received / "assets/x.mov")}), received);
    std::filesystem::remove(received / "assets");
    std::filesystem::create_symlink(elsewhere, received / "assets");
    EXPECT_NO_THROW(service.open(received));
    EXPECT_TRUE(std::filesystem::exists(usersFile));

    // A "project.json" that is a link is not read where it leads, and a save
    // puts the folder's own file in its place.
    const auto other = root / "Other";
    service.save(Project::makeNew(77), other);
    const std::string theirs = readFileContents(other / "project.json");
    std::filesystem::remove(received / "assets");
    std::filesystem::rename(received / "project.json", root / "kept.json");
    std::filesystem::create_symlink(other / "project.json", received / "project.json");
    const PersistenceError error = loadError(received);
    EXPECT_EQ(error, PersistenceError::fileNotFound("project.json"));
    EXPECT_EQ(error.cause(), std::errc::too_many_symbolic_link_levels);
    const Project mine = Project::makeNew(12);
    service.save(mine, received);
    EXPECT_EQ(service.load(received), mine);
    EXPECT_EQ(readFileContents(other / "project.json"), theirs);
    EXPECT_EQ(std::filesystem::symlink_status(received / "project.json").type(),
              std::filesystem::file_type::regular);
}
