// A process saving in a loop is killed at random moments, in the middle of
// writing a project file or an auto-save, and in some rounds while it is
// inside a copy of media into "assets", which it then says it is: what it
// leaves on disk must always be one of the versions it wrote, whole, and what
// the killed writes leave behind must be gone after the next save or load.
// The same for a process saving an open project elsewhere (Save As): at each
// place it chose there is nothing, or a whole project, and what it was
// building when killed is gone after the next start or the next save there.
#include "data/persistence/FileAutoSaveService.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "domain/entities/Project.h"
#include "foundation/FileContents.h"
#include "infrastructure/security/KeychainAESEncryption.h"
#include "support/InMemorySecretStore.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <optional>
#include <random>
#include <regex>
#include <set>
#include <system_error>

using namespace vexel;

namespace {

#if defined(__SANITIZE_ADDRESS__)
// Every round forks a process the sanitizers weigh down several times over;
// what they look for shows in fewer rounds, and the release build runs all.
constexpr int kRounds = 400;
#else
constexpr int kRounds = 1000;
#endif

Uuid numberedId(int n, std::uint8_t kind) {
    Uuid::Bytes bytes{};
    bytes[0] = kind;
    for (std::size_t i = 0; i < 4; ++i) {
        bytes[15 - i] = static_cast<std::uint8_t>(n >> (8 * i));
    }
    return Uuid(bytes);
}

// The n-th version the child writes, told apart by its maximum duration and
// growing by a clip every eighth version, up to 40 clips. The first clip's media lies outside
// the project folder, so every save of the folder copies it into "assets"; the
// others' lies inside.
Project projectVersion(int n, const std::filesystem::path& media,
                       const std::filesystem::path& outsideMedia) {
    Track track{numberedId(0, 1), TrackType::video, "Video 1", {}, false};
    for (int i = 0; i <= std::min(n / 8, 40); ++i) {
        Clip clip;
        clip.id = numberedId(i, 2);
        clip.assetName = "clip " + std::to_string(i);
        clip.assetURL = i == 0 ? outsideMedia : media;
        clip.timeRange = {2.0 * i, 2};
        clip.colorAdjust = ColorAdjust{0.1, 1.1, 0.9};
        track.clips.push_back(std::move(clip));
    }
    return Project{{track}, 1000.0 + n};
}

constexpr char kSaved = 's';
constexpr char kInsideCopy = 'c';

// Saves versions from `first` on, alternating the project folder and the
// auto-save (starting with the auto-save when asked, so that each gets its
// turn at being interrupted and at completing), and reports each finished
// save with one byte. With `holdInCopy`, the first copy of media stops half
// made, says so and waits to be killed.
[[noreturn]] void saveForever(int first, bool autoSaveFirst, bool holdInCopy, int report,
                              const std::filesystem::path& package,
                              const std::filesystem::path& media,
                              const std::filesystem::path& outsideMedia,
                              const FileAutoSaveService& autoSave) {
    try {
        ProjectPersistenceService persistence([holdInCopy, report] {
            if (holdInCopy) {
                (void)!::write(report, &kInsideCopy, 1);
                for (;;) {
                    ::pause();
                }
            }
        });
        for (int n = first;; ++n) {
            for (bool toAutoSave : {autoSaveFirst, !autoSaveFirst}) {
                if (toAutoSave) {
                    autoSave.save(projectVersion(n, media, outsideMedia));
                } else {
                    persistence.save(projectVersion(n, media, outsideMedia), package);
                }
                (void)!::write(report, &kSaved, 1);
            }
        }
    } catch (...) {
        ::_exit(3);
    }
}

// Follows one file across the kills: each time it has been replaced (a new
// file, as every atomic write makes), it must load whole as a version no older
// than the one seen before; once it exists, it must stay.
class VersionOnDisk {
public:
    VersionOnDisk(std::filesystem::path file, std::filesystem::path media,
                  std::filesystem::path outsideMedia)
        : file_(std::move(file))
        , media_(std::move(media))
        , outsideMedia_(std::move(outsideMedia))
        , outsideBytes_(readFileContents(outsideMedia_)) {}

    // `load` gives the project with the first clip's media as the project's
    // own file names it (a copy in "assets" or the outside file), which must
    // be whole.
    template <class Load> void check(Load load) {
        struct stat info {};
        if (::stat(file_.c_str(), &info) != 0) {
            EXPECT_EQ(version_, -1) << file_ << " is gone";
            return;
        }
        if (info.st_ino == identity_.st_ino && info.st_size == identity_.st_size &&
            info.st_mtim.tv_sec == identity_.st_mtim.tv_sec &&
            info.st_mtim.tv_nsec == identity_.st_mtim.tv_nsec) {
            return;
        }
        identity_ = info;
        Project project = load();
        const int n = static_cast<int>(project.maxDuration) - 1000;
        ASSERT_FALSE(project.tracks.empty());
        ASSERT_FALSE(project.tracks[0].clips.empty());
        std::optional<std::filesystem::path>& copy = project.tracks[0].clips[0].assetURL;
        ASSERT_TRUE(copy);
        EXPECT_TRUE(readFileContents(*copy) == outsideBytes_) << *copy << " is not whole";
        copy = outsideMedia_;
        EXPECT_EQ(project, projectVersion(n, media_, outsideMedia_))
            << "version " << n << " is not whole";
        EXPECT_GE(n, version_) << file_ << " went back to an older version";
        advances_ += n > version_ ? 1 : 0;
        version_ = std::max(version_, n);
    }

    int version() const { return version_; }
    int advances() const { return advances_; }

private:
    std::filesystem::path file_;
    std::filesystem::path media_;
    std::filesystem::path outsideMedia_;
    std::string outsideBytes_;
    struct stat identity_ {};
    int version_ = -1;
    int advances_ = 0;
};

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

// Waits without sleeping, so that the moment of a kill falls anywhere.
void spinFor(std::chrono::microseconds time) {
    const auto until = std::chrono::steady_clock::now() + time;
    while (std::chrono::steady_clock::now() < until) {
    }
}

// Kills the saving process, which must not have ended by itself.
void killSaver(pid_t child) {
    ::kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status)) << "the saving process failed by itself";
}

// The entries of `folder` (none when it is missing) named as `pattern` says.
int entriesIn(const std::filesystem::path& folder, const std::regex& pattern = std::regex(".*")) {
    int count = 0;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(folder, error)) {
        count += std::regex_match(entry.path().filename().string(), pattern) ? 1 : 0;
    }
    return count;
}

// The temporary files of unfinished writes in `folder`.
int leftoversIn(const std::filesystem::path& folder) {
    static const std::regex temporary(R"(\..+\.tmp-[0-9A-F]{8})");
    return entriesIn(folder, temporary);
}

// Copies in "assets" that no version refers to any more, so that the rounds
// do not fill the disk.
void removeCopiesOtherThan(const std::filesystem::path& assets, const Project& project) {
    for (const auto& entry : std::filesystem::directory_iterator(assets)) {
        const std::string name = entry.path().filename().string();
        if (name != "clip.mov" && name.front() != '.' &&
            project.tracks[0].clips[0].assetURL != entry.path()) {
            std::filesystem::remove(entry.path());
        }
    }
}

} // namespace

TEST(CrashSafetyTest, AKilledSaveLeavesTheOldOrTheNewVersionWhole) {
    const ScratchFolder root;
    const auto package = root / "P";
    const auto media = package / "assets" / "clip.mov";
    std::filesystem::create_directories(media.parent_path());
    std::ofstream(media) << "frames";
    // Large enough that a kill often lands in the middle of its copy.
    const auto outsideMedia = root / "take.mov";
    {
        std::string frames(std::size_t{1} << 20, '\0');
        for (std::size_t i = 0; i < frames.size(); ++i) {
            frames[i] = static_cast<char>(i * 31 % 253);
        }
        std::ofstream(outsideMedia, std::ios::binary) << frames;
    }

    auto store = std::make_shared<vexel::testing::InMemorySecretStore>();
    auto encryption = std::make_shared<KeychainAESEncryption>("service", "account", store);
    encryption->encrypt("make the key before the children share the store");
    const FileAutoSaveService autoSave(root / "autosave", encryption);
    const ProjectPersistenceService persistence;

    std::mt19937 random(20240611);
    VersionOnDisk folder(package / "project.json", media, outsideMedia);
    VersionOnDisk autoSaved(autoSave.filePath(), media, outsideMedia);
    int copyRounds = 0;
    for (int round = 0; round < kRounds && !::testing::Test::HasFailure(); ++round) {
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        const int first = std::max(folder.version(), autoSaved.version()) + 1;
        // One round in eight kills the process inside a copy, as it says.
        const bool inCopy = round % 8 == 3;
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(report[0]);
            saveForever(first, round % 2 == 1, inCopy, report[1], package, media, outsideMedia,
                        autoSave);
        }
        ::close(report[1]);
        char said = 0;
        if (inCopy) {
            // Every save of the folder copies: the first one holds.
            for (int saves = 0; saves < 4 && said != kInsideCopy; ++saves) {
                if (::read(report[0], &said, 1) != 1) {
                    break;
                }
            }
        } else {
            // In one round of three a save is let finish; then the kill comes
            // at a random moment, mostly in the middle of a save.
            if (random() % 3 == 0) {
                ASSERT_EQ(::read(report[0], &said, 1), 1) << "the saving process ended early";
            }
            spinFor(std::chrono::microseconds(random() % 3000));
        }
        ASSERT_NO_FATAL_FAILURE(killSaver(child));
        ::close(report[0]);
        ASSERT_TRUE(!inCopy || said == kInsideCopy)
            << "round " << round << ": the saving process never stopped inside a copy";

        // A killed save leaves at most its one unfinished file: the saves and
        // loads before it removed those of the kills before.
        const int leftAssets = leftoversIn(package / "assets");
        EXPECT_LE(leftoversIn(package) + leftAssets, 1) << "round " << round;
        if (inCopy) {
            ++copyRounds;
            EXPECT_EQ(leftAssets, 1) << "round " << round << ": the copy left nothing behind";
        }
        EXPECT_LE(leftoversIn(autoSave.directory()), 1) << "round " << round;

        folder.check([&] { return persistence.load(package); });
        autoSaved.check([&] { return autoSave.load(); });
        if (round % 16 == 15 && std::filesystem::exists(package / "project.json")) {
            removeCopiesOtherThan(package / "assets", persistence.load(package));
        }
    }
    // About one round in six lets each kind of save complete.
    EXPECT_GE(folder.advances(), 10);
    EXPECT_GE(autoSaved.advances(), 10);
    EXPECT_EQ(copyRounds, kRounds / 8);

    // The loads above left nothing behind; nor does one more save of each kind.
    persistence.save(projectVersion(0, media, outsideMedia), package);
    autoSave.save(projectVersion(0, media, outsideMedia));
    EXPECT_EQ(leftoversIn(package) + leftoversIn(package / "assets") +
                  leftoversIn(autoSave.directory()),
              0);
}

namespace {

// Where the Save As rounds read from: the open project's folder, whose media
// lies inside it, and a file outside any project.
struct OpenProject {
    std::filesystem::path package;
    std::filesystem::path media;        // inside the package
    std::filesystem::path outsideMedia; // large enough that kills land inside its copy
    std::string outsideBytes;
};

// The n-th version saved elsewhere: a clip of the outside file and two of
// the package's own, so that the new place gets a copy of each.
Project saveAsVersion(int n, const OpenProject& open) {
    Track track{numberedId(0, 1), TrackType::video, "Video 1", {}, false};
    for (int i = 0; i < 3; ++i) {
        Clip clip;
        clip.id = numberedId(i, 2);
        clip.assetName = "clip " + std::to_string(i);
        clip.assetURL = i == 0 ? open.outsideMedia : open.media;
        clip.timeRange = {2.0 * i, 2};
        track.clips.push_back(std::move(clip));
    }
    return Project{{track}, 1000.0 + n};
}

// Saves version first + i to places[i], in order, reporting each finished
// save with one byte; then waits to be killed. With `holdInCopy`, the first
// copy of media stops half made, says so and waits.
[[noreturn]] void saveAsInTurn(const std::vector<std::filesystem::path>& places, int first,
                               bool holdInCopy, int report, const OpenProject& open,
                               const std::filesystem::path& records) {
    try {
        ProjectPersistenceService persistence(
            [holdInCopy, report] {
                if (holdInCopy) {
                    (void)!::write(report, &kInsideCopy, 1);
                    for (;;) {
                        ::pause();
                    }
                }
            },
            records);
        for (std::size_t i = 0; i < places.size(); ++i) {
            persistence.save(saveAsVersion(first + static_cast<int>(i), open), places[i],
                             open.package);
            (void)!::write(report, &kSaved, 1);
        }
        for (;;) {
            ::pause();
        }
    } catch (...) {
        ::_exit(3);
    }
}

// The version at `place` when a project is there; it must be whole: its file,
// and its own copy of each media file.
std::optional<int> wholeVersionAt(const std::filesystem::path& place, const OpenProject& open) {
    if (!std::filesystem::exists(place / "project.json")) {
        return std::nullopt;
    }
    Project project = ProjectPersistenceService().load(place);
    const int n = static_cast<int>(project.maxDuration) - 1000;
    for (Track& track : project.tracks) {
        for (std::size_t i = 0; i < track.clips.size(); ++i) {
            std::optional<std::filesystem::path>& copy = track.clips[i].assetURL;
            if (!copy) {
                ADD_FAILURE() << place << ": a clip lost its media";
                continue;
            }
            EXPECT_EQ(copy->parent_path(), place / "assets");
            EXPECT_TRUE(readFileContents(*copy) == (i == 0 ? open.outsideBytes : "frames"))
                << *copy << " is not whole";
            copy = i == 0 ? open.outsideMedia : open.media;
        }
    }
    EXPECT_EQ(project, saveAsVersion(n, open)) << place << ": version " << n << " is not whole";
    return n;
}

// The folders that saves built aside and never put in place.
int hiddenBuildsIn(const std::filesystem::path& folder) {
    static const std::regex hidden(R"(\..+\.saving-[0-9A-F]{8})");
    return entriesIn(folder, hidden);
}

// Removes the copies in the project's "assets" that its file no longer names.
void keepOnlyNamedCopies(const std::filesystem::path& place) {
    std::set<std::filesystem::path> named;
    for (const Track& track : ProjectPersistenceService().load(place).tracks) {
        for (const Clip& clip : track.clips) {
            named.insert(clip.assetURL.value_or(""));
        }
    }
    for (const auto& entry : std::filesystem::directory_iterator(place / "assets")) {
        if (!named.contains(entry.path())) {
            std::filesystem::remove(entry.path());
        }
    }
}

} // namespace

TEST(CrashSafetyTest, AKilledSaveAsLeavesAtTheChosenPlaceNothingOrAWholeProject) {
    constexpr int kSaveAsRounds = 240;
    const ScratchFolder root;
    OpenProject open{root / "Open", root / "Open" / "assets" / "clip.mov", root / "take.mov", {}};
    std::filesystem::create_directories(open.media.parent_path());
    std::ofstream(open.media) << "frames";
    open.outsideBytes.resize(std::size_t{1} << 20);
    for (std::size_t i = 0; i < open.outsideBytes.size(); ++i) {
        open.outsideBytes[i] = static_cast<char>(i * 31 % 253);
    }
    std::ofstream(open.outsideMedia, std::ios::binary) << open.outsideBytes;
    const std::filesystem::path records = root / "records";
    const std::filesystem::path places = root / "places";
    // A new folder, an empty one made for it, a project saved there before
    // (which must stay whole until the new one is), and a new folder in a
    // folder that is missing too.
    const std::vector<std::filesystem::path> chosen{places / "New", places / "Empty",
                                                    places / "Kept", places / "Sub" / "New"};
    std::filesystem::create_directories(places);
    ProjectPersistenceService(nullptr, records)
        .save(saveAsVersion(0, open), chosen[2], open.package);
    int kept = 0;

    std::mt19937 random(20250101);
    int killedInside = 0;
    int copyRounds = 0;
    for (int round = 0; round < kSaveAsRounds && !::testing::Test::HasFailure(); ++round) {
        std::filesystem::create_directories(chosen[1]);
        const int first = 10 * (round + 1);
        const bool inCopy = round % 6 == 1;
        int report[2];
        ASSERT_EQ(::pipe(report), 0);
        pid_t child = ::fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            ::close(report[0]);
            saveAsInTurn(chosen, first, inCopy, report[1], open, records);
        }
        ::close(report[1]);
        char said = 0;
        if (inCopy) {
            ASSERT_EQ(::read(report[0], &said, 1), 1);
        } else {
            spinFor(std::chrono::microseconds(random() % 12000));
        }
        ASSERT_NO_FATAL_FAILURE(killSaver(child));
        ASSERT_TRUE(!inCopy || said == kInsideCopy);
        std::size_t finished = 0;
        for (char byte = 0; ::read(report[0], &byte, 1) == 1;) {
            finished += byte == kSaved ? 1 : 0;
        }
        ::close(report[0]);
        copyRounds += inCopy ? 1 : 0;
        killedInside += finished < chosen.size() ? 1 : 0;

        // Each place holds nothing (an empty folder stays empty) or a whole
        // project: the one saved there, or, for the project that was there,
        // the one before it.
        for (std::size_t i = 0; i < chosen.size(); ++i) {
            SCOPED_TRACE("round " + std::to_string(round) + ", " + chosen[i].string());
            const std::optional<int> version = wholeVersionAt(chosen[i], open);
            const int saved = first + static_cast<int>(i);
            if (i < finished) {
                EXPECT_EQ(version, saved);
            } else if (i == 2) {
                ASSERT_TRUE(version);
                EXPECT_TRUE(*version == kept || (i == finished && *version == saved)) << *version;
            } else if (version) {
                EXPECT_EQ(i, finished);
                EXPECT_EQ(*version, saved);
            } else if (i == 1) {
                EXPECT_EQ(entriesIn(chosen[i]), 0) << "the empty folder was written into";
            } else {
                EXPECT_FALSE(std::filesystem::exists(chosen[i])) << "a place without a project";
            }
            if (i == 2 && version) {
                kept = *version;
            }
        }
        EXPECT_LE(hiddenBuildsIn(places) + hiddenBuildsIn(places / "Sub"), 1);

        // What the killed save was building goes: at the next start, or with
        // the next save to the same place.
        if (round % 2 == 0) {
            ProjectPersistenceService::removeAbandonedSaves(records);
            EXPECT_EQ(entriesIn(records), 0) << "round " << round;
        } else if (finished < chosen.size()) {
            ProjectPersistenceService(nullptr, records)
                .save(saveAsVersion(first + 9, open), chosen[finished], open.package);
            EXPECT_EQ(wholeVersionAt(chosen[finished], open), first + 9);
            if (finished == 2) {
                kept = first + 9;
            }
        }
        EXPECT_EQ(hiddenBuildsIn(places) + hiddenBuildsIn(places / "Sub"), 0) << "round " << round;

        keepOnlyNamedCopies(chosen[2]);
        for (const std::filesystem::path& place : {chosen[0], chosen[1], chosen[3]}) {
            std::filesystem::remove_all(place);
        }
    }
    EXPECT_GE(copyRounds, 30);
    EXPECT_GE(killedInside, kSaveAsRounds / 2);
    ProjectPersistenceService::removeAbandonedSaves(records);
    EXPECT_EQ(entriesIn(records), 0);
}
