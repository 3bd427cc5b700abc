#include "data/persistence/ProjectFile.h"
#include "PersistenceSamples.h"
#include "domain/entities/PersistenceError.h"
#include "foundation/DecodeError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using vexel::testing::mediaClip;
using vexel::testing::projectWith;
using vexel::testing::richClip;
using vexel::testing::textClip;

namespace {

const std::filesystem::path kPackage = "/pkg";

std::optional<std::string> storedPath(const std::filesystem::path& media,
                                      const std::filesystem::path& folder) {
    return PersistedClip::from(mediaClip(media), folder).assetPath;
}

std::optional<std::filesystem::path> readBack(const std::string& stored,
                                              const std::filesystem::path& folder) {
    PersistedClip persisted{textClip("x"), stored};
    return persisted.toClip(folder).assetURL;
}

// A minimal stored clip; `extra` members are merged in.
Json storedClip(Json extra = Json::object()) {
    Json clip = {{"id", Uuid::random().string()},
                 {"assetName", "a.mov"},
                 {"trackType", "video"},
                 {"timeRange", {{"startTime", 0}, {"duration", 2}}},
                 {"volume", 1},
                 {"rate", 1},
                 {"opacity", 1},
                 {"isReversed", false}};
    clip.update(extra);
    return clip;
}

Json storedFile(Json clip, Json trackExtra = Json::object()) {
    Json track = {{"id", Uuid::random().string()},
                  {"type", "video"},
                  {"name", "Video 1"},
                  {"clips", Json::array({std::move(clip)})}};
    track.update(trackExtra);
    return {{"version", 1}, {"project", {{"tracks", {track}}, {"maxDuration", 3600}}}};
}

std::string compactForm(const Project& project) {
    return ProjectFile{1, PersistedProject::forAutoSave(project)}.encoded(
        ProjectFile::Layout::compact);
}

Clip onlyClip(const Project& project) {
    return project.tracks.at(0).clips.at(0);
}

Project decodeFolderFile(const Json& json) {
    return ProjectFile::decoded(json.dump()).project.toProject(kPackage);
}

// Whether every object in the text lists its keys in alphabetical order.
bool keysSorted(const Json& json) {
    if (json.is_object()) {
        std::string previous;
        for (const auto& [key, value] : json.items()) {
            if (key < previous || !keysSorted(value)) {
                return false;
            }
            previous = key;
        }
    } else if (json.is_array()) {
        for (const Json& value : json) {
            if (!keysSorted(value)) {
                return false;
            }
        }
    }
    return true;
}

} // namespace

TEST(ProjectFileTest, RelativeRuleWritesPathsInsideTheFolderAfterNormalising) {
    const struct {
        const char* media;
        const char* folder;
        const char* stored;
    } cases[] = {
        {"/pkg/assets/clip.mov", "/pkg", "assets/clip.mov"},
        {"/pkg/deep/er/a.mov", "/pkg", "deep/er/a.mov"},
        {"/pkg/assets/clip.mov", "/pkg/", "assets/clip.mov"},
        {"/pkg//assets/./clip.mov", "/pkg/.", "assets/clip.mov"},
        {"/pkg/../x.mov", "/pkg", "assets/x.mov"},
        {"/pkg/assets/../../x.mov", "/pkg", "assets/x.mov"},
        {"/pkgother/c.mov", "/pkg", "assets/c.mov"},
        {"/home/me/Movies/d e.mov", "/pkg", "assets/d e.mov"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(storedPath(c.media, c.folder), c.stored) << c.media << " in " << c.folder;
    }
    const PersistedClip text = PersistedClip::from(textClip("t"), kPackage);
    EXPECT_EQ(text.assetPath, std::nullopt);
    EXPECT_FALSE(Json(text).contains("assetPath"));
}

TEST(ProjectFileTest, RelativeRuleReadsOnlyPathsThatStayInsideTheFolder) {
    const struct {
        std::string stored;
        const char* folder;
        std::optional<std::filesystem::path> media;
    } cases[] = {
        {"assets/clip.mov", "/pkg", "/pkg/assets/clip.mov"},
        {"assets/clip.mov", "/pkg/", "/pkg/assets/clip.mov"},
        {"deep/er/a.mov", "/pkg", "/pkg/deep/er/a.mov"},
        {"assets/../clip.mov", "/pkg", "/pkg/clip.mov"},
        {std::string("assets/cl\0ip.mov", 16), "/pkg", "/pkg/assets/clip.mov"},
        {"/etc/passwd", "/pkg", "/pkg/etc/passwd"},
        {"../x.mov", "/pkg", std::nullopt},
        {"assets/../../x.mov", "/pkg", std::nullopt},
        {"assets/../../pkg/x.mov", "/pkg", "/pkg/x.mov"},
        {"../pkgother/x.mov", "/pkg", std::nullopt},
        {"", "/pkg", std::nullopt},
        {".", "/pkg", std::nullopt},
        {"assets/..", "/pkg", std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(readBack(c.stored, c.folder), c.media) << c.stored << " in " << c.folder;
    }
}

TEST(ProjectFileTest, AbsoluteRuleKeepsThePathAsItIs) {
    const PersistedClip written = PersistedClip::forAutoSave(mediaClip("/srv/media/a b.mov"));
    EXPECT_EQ(written.assetPath, "/srv/media/a b.mov");
    EXPECT_EQ(written.toClipFromAutoSave().assetURL, "/srv/media/a b.mov");
    const struct {
        std::string stored;
        std::optional<std::filesystem::path> media;
    } cases[] = {
        {"/outside/any/folder.mov", "/outside/any/folder.mov"},
        {std::string("/m/a\0.mov", 9), "/m/a.mov"},
        {"", std::nullopt},
        {std::string("\0\0", 2), std::nullopt},
    };
    for (const auto& c : cases) {
        EXPECT_EQ((PersistedClip{textClip("x"), c.stored}.toClipFromAutoSave().assetURL), c.media);
    }
}

TEST(ProjectFileTest, DecodingAppliesTheDefaultsAndRefusesMissingOrMistypedMembers) {
    Clip plain = onlyClip(decodeFolderFile(storedFile(storedClip())));
    EXPECT_EQ(plain.sourceOffset, 0);
    EXPECT_EQ(plain.textScale, std::nullopt);
    EXPECT_EQ(plain.assetURL, std::nullopt);
    EXPECT_FALSE(decodeFolderFile(storedFile(storedClip())).tracks[0].isDefault);

    EXPECT_EQ(onlyClip(decodeFolderFile(storedFile(storedClip({{"textScale", 7}})))).textScale,
              5.0);
    EXPECT_EQ(onlyClip(decodeFolderFile(storedFile(storedClip({{"textScale", 0.01}})))).textScale,
              0.1);
    // Null is absent; unknown members are ignored.
    Clip nulls = onlyClip(decodeFolderFile(
        storedFile(storedClip({{"filter", nullptr}, {"assetPath", nullptr}, {"future", 1}}))));
    EXPECT_EQ(nulls.filter, std::nullopt);
    EXPECT_EQ(nulls.assetURL, std::nullopt);

    Json noVersion = storedFile(storedClip());
    noVersion.erase("version");
    Json noTracks = storedFile(storedClip());
    noTracks["project"].erase("tracks");
    Json noVolume = storedClip();
    noVolume.erase("volume");
    for (const Json& bad :
         {noVersion, noTracks, storedFile(noVolume), storedFile(storedClip({{"assetPath", 5}})),
          storedFile(storedClip({{"isReversed", 1}})),
          storedFile(storedClip(), {{"isDefault", "no"}}),
          Json{{"version", 1.5}, {"project", noVersion["project"]}}, Json::array()}) {
        EXPECT_THROW(ProjectFile::decoded(bad.dump()), DecodeError) << bad.dump();
    }
    EXPECT_THROW(ProjectFile::decoded("{\"version\": 1,"), DecodeError);
    // Nesting far deeper than a project's is malformed, not a stack overflow.
    EXPECT_THROW(ProjectFile::decoded("{\"version\": 1, \"x\": " + std::string(100000, '[') +
                                      std::string(100000, ']') + "}"),
                 DecodeError);
}

TEST(ProjectFileTest, BothFormsCarryEveryFieldThroughAndTheFolderFormIsSortedAndIndented) {
    const Project project =
        projectWith({richClip("/pkg/assets/a.mov"), mediaClip("/pkg/b.mov", TrackType::video, 10)});
    const ProjectFile folderFile{1, PersistedProject::from(project, kPackage)};
    const std::string pretty = folderFile.encoded(ProjectFile::Layout::prettySortedKeys);
    EXPECT_TRUE(keysSorted(Json::parse(pretty)));
    EXPECT_NE(pretty.find("\n  \"project\": {"), std::string::npos) << pretty.substr(0, 80);
    EXPECT_NE(pretty.find("\"assetPath\": \"assets/a.mov\""), std::string::npos);
    EXPECT_EQ(ProjectFile::decoded(pretty).project.toProject(kPackage), project);
    // The same folder moved elsewhere.
    const Project moved =
        ProjectFile::decoded(pretty).project.toProject(std::filesystem::path("/new/place"));
    EXPECT_EQ(onlyClip(moved).assetURL, "/new/place/assets/a.mov");

    // A project whose indentation alone would pass the limit goes on one
    // line, keys still sorted, and reads back the same; past the limit even
    // then, it is refused with its size.
    const std::string oneLine = ProjectFile{1, PersistedProject::from(project, kPackage)}.encoded(
        ProjectFile::Layout::prettySortedKeys, pretty.size() - 1);
    EXPECT_EQ(oneLine.find('\n'), std::string::npos);
    EXPECT_LT(oneLine.size(), pretty.size());
    EXPECT_TRUE(keysSorted(Json::parse(oneLine)));
    EXPECT_EQ(ProjectFile::decoded(oneLine).project.toProject(kPackage), project);
    try {
        folderFile.encoded(ProjectFile::Layout::prettySortedKeys, oneLine.size() - 1);
        ADD_FAILURE() << "a project over the limit on one line was encoded";
    } catch (const PersistenceError& error) {
        ASSERT_TRUE(error.size().has_value());
        EXPECT_EQ(error.size()->bytes, oneLine.size());
        EXPECT_EQ(error.size()->limit, oneLine.size() - 1);
    }

    const Project outside = projectWith({richClip("/srv/media/a.mov")});
    const std::string compact = ProjectFile{1, PersistedProject::forAutoSave(outside)}.encoded(
        ProjectFile::Layout::compact);
    EXPECT_EQ(compact.find('\n'), std::string::npos);
    EXPECT_EQ(compact.find("{\"version\":1,\"project\":{\"tracks\":[{\"id\":"), 0u);
    EXPECT_EQ(ProjectFile::decoded(compact).project.toProjectFromAutoSave(), outside);
}

TEST(ProjectFileTest, NumbersThatAreNotFiniteAndTextThatIsNotUtf8FailTheEncoding) {
    const double bad[] = {std::numeric_limits<double>::quiet_NaN(),
                          std::numeric_limits<double>::infinity(),
                          -std::numeric_limits<double>::infinity()};
    for (double value : bad) {
        Clip clip = richClip("/pkg/a.mov");
        clip.filter->intensity = value;
        Project project = projectWith({clip});
        for (auto layout : {ProjectFile::Layout::prettySortedKeys, ProjectFile::Layout::compact}) {
            try {
                ProjectFile{1, PersistedProject::forAutoSave(project)}.encoded(layout);
                ADD_FAILURE() << value << " was encoded";
            } catch (const PersistenceError& error) {
                EXPECT_EQ(error, PersistenceError::encodingFailed());
            }
        }
        project.maxDuration = value;
        project.tracks[0].clips[0].filter->intensity = 1;
        EXPECT_THROW(compactForm(project), PersistenceError);
    }
    const Project latin1 = projectWith({mediaClip("/media/caf\xe9.mov")});
    EXPECT_THROW(compactForm(latin1), PersistenceError);
}
