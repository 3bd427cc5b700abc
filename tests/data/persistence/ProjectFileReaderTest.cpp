// The one-pass reader against the decoding of a whole parsed tree: on every
// text the two accept and refuse the same files and give the same project.
#include "data/persistence/ProjectFileReader.h"
#include "PersistenceSamples.h"
#include "data/persistence/ProjectFile.h"
#include "foundation/DecodeError.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

using namespace vexel;
using vexel::testing::mediaClip;
using vexel::testing::projectWith;
using vexel::testing::richClip;

namespace {

std::optional<ProjectFile> throughTree(const std::string& text) {
    try {
        return ProjectFile::decodedFrom(ProjectFile::parsed(text));
    } catch (const DecodeError&) {
        return std::nullopt;
    }
}

std::optional<ProjectFile> inOnePass(const std::string& text) {
    try {
        return ProjectFile::decoded(text);
    } catch (const DecodeError&) {
        return std::nullopt;
    }
}

// Whether the tree has a top level that is an object or an array.
bool structuredTree(const std::string& text) {
    try {
        return ProjectFile::parsed(text).is_structured();
    } catch (const DecodeError&) {
        return false;
    }
}

} // namespace

TEST(ProjectFileReaderTest, DecodesAndRefusesExactlyAsTheParsedTreeDoes) {
    const std::string id = R"("id": "5E0F1B0E-4C7E-4B1C-9C1E-0A5B1B2C3D4E")";
    const std::string clip = "{" + id + R"(, "assetName": "a", "trackType": "text",
        "timeRange": {"startTime": 0, "duration": 1}, "volume": 1, "rate": 1, "opacity": 1,
        "isReversed": false})";
    const auto track = [&](const std::string& clips, const std::string& extra = "") {
        return "{" + id + R"(, "type": "text", "name": "T", "clips": )" + clips + extra + "}";
    };
    const auto project = [&](const std::string& tracks, const std::string& extra = "") {
        return R"({"maxDuration": 60, "tracks": )" + tracks + extra + "}";
    };
    const auto file = [&](const std::string& project, const std::string& extra = "") {
        return R"({"version": 1, "project": )" + project + extra + "}";
    };
    const std::string good = file(project("[" + track("[" + clip + "]") + "]"));
    const std::string pretty =
        ProjectFile{1, PersistedProject::forAutoSave(projectWith(
                           {richClip("/m/a.mov"), mediaClip("/m/b.mov", TrackType::video, 10)}))}
            .encoded(ProjectFile::Layout::prettySortedKeys);
    const std::string deep = std::string(300, '[') + std::string(300, ']');

    struct Case {
        std::string text;
        bool decodes;
    };
    const Case cases[] = {
        {good, true},
        {pretty, true},
        // A member given twice counts with its last value, at every level and
        // whatever the first one was.
        {file(project("[" + track("[" + clip + "]") + "]"), R"(, "project": 5)"), false},
        {file("7", R"(, "project": )" + project("[]")), true},
        {file(R"({"tracks": [1]})", R"(, "project": )" + project("[]")), true},
        {file(project("[7, " + track("[]") + "]", R"(, "tracks": [])")), true},
        {file(project("[]", R"(, "tracks": [7])")), false},
        {file(project("[]", R"(, "tracks": {"a": [1, 2]})")), false},
        {file(project("{}", R"(, "tracks": [])")), true},
        {file(project("[" + track("[{}]", R"(, "clips": [])") + "]")), true},
        {file(project("[" + track("[]", R"(, "clips": [{}])") + "]")), false},
        {file(project("[" + track("{}", R"(, "clips": [])") + "]")), true},
        {file(project("[" + track("[]", R"(, "clips": null)") + "]")), false},
        {file(project("[" + track("[]", R"(, "id": "not an id", )" + id) + "]")), true},
        {file(project("[" + track("[]", R"(, "name": ["T"])") + "]")), false},
        // A list fails on any element that fails, wherever it stands.
        {file(project("[" + track("[" + clip + ", " + clip + ", 3]") + "]")), false},
        {file(project("[" + track("[" + clip + ", []]") + "]")), false},
        {file(project("[" + track("[]") + ", null, " + track("[]") + "]")), false},
        {file(project("[" + track("[" + clip + ", {}, " + clip + "]") + "]")), false},
        // Members no record reads are ignored, whatever they hold.
        {file(project("[" + track("[]", R"(, "x": {"y": [[{}], 1]})") + "]", R"(, "x": [[]])"),
              R"(, "x": {"tracks": 5})"),
         true},
        {file(project("[" + track("[]", R"(, "isDefault": null)") + "]")), true},
        // Wrong kinds and missing members at each level.
        {file(project("[]"), R"(, "version": "1")"), false},
        {file(project("[]"), R"(, "version": 1.0)"), true},
        {file(project("[]"), R"(, "version": [1])"), false},
        {file(project("[]", R"(, "maxDuration": {"s": 60})")), false},
        {file("null"), false},
        {file("[]"), false},
        {R"({"version": 1})", false},
        {project("[]"), false},
        {"[" + good + "]", false},
        {"\"project\"", false},
        {"12", false},
        // Text that is no JSON: malformed after a failure, nested too deeply,
        // or not ended.
        {file(project("[3, {")), false},
        {file(project("[]"), R"(, "x": )" + deep), false},
        {good + " x", false},
        {"", false},
    };
    for (const Case& c : cases) {
        const std::optional<ProjectFile> expected = throughTree(c.text);
        ASSERT_EQ(expected.has_value(), c.decodes) << c.text;
        EXPECT_EQ(inOnePass(c.text), expected) << c.text;

        // The auto-save's question: JSON with an object or array on top, and
        // then which project, if any.
        std::optional<ProjectFile> plain;
        bool refused = false;
        try {
            plain = ProjectFile::decodedIfStructured(c.text);
        } catch (const DecodeError&) {
            refused = true;
        }
        EXPECT_EQ(plain.has_value() || refused, structuredTree(c.text)) << c.text;
        EXPECT_EQ(plain, expected) << c.text;
    }
}

// The one difference from the tree: a clip past any size a clip of a project
// file has does not decode, nor does the file around it.
TEST(ProjectFileReaderTest, AClipHoldingMoreValuesThanTheLimitDoesNotDecode) {
    const auto fileWithClip = [](std::size_t extraValues) {
        std::string values = "0";
        for (std::size_t n = 1; n < extraValues; ++n) {
            values += ",0";
        }
        return R"({"version": 1, "project": {"maxDuration": 60, "tracks": [{"id":
            "5E0F1B0E-4C7E-4B1C-9C1E-0A5B1B2C3D4E", "type": "text", "name": "T", "clips": [
            {"id": "5E0F1B0E-4C7E-4B1C-9C1E-0A5B1B2C3D4F", "assetName": "a",
             "trackType": "text", "timeRange": {"startTime": 0, "duration": 1}, "volume": 1,
             "rate": 1, "opacity": 1, "isReversed": false, "future": [)" +
               values + "]}]}]}}";
    };
    // The clip's own values: itself, 8 members, 2 in its time range, the
    // array of the unknown member.
    constexpr std::size_t own = 12;
    const std::size_t limit = 1000;
    for (std::size_t clipValues : {limit, limit + 1}) {
        const std::string text = fileWithClip(clipValues - own);
        ProjectFileReading reading = readProjectFile(text, 256, limit);
        EXPECT_FALSE(reading.malformed);
        EXPECT_TRUE(reading.structured);
        EXPECT_EQ(reading.file.has_value(), clipValues <= limit) << clipValues;
        EXPECT_EQ(static_cast<bool>(reading.failure), clipValues > limit) << clipValues;
        EXPECT_TRUE(throughTree(text).has_value());
    }
}
