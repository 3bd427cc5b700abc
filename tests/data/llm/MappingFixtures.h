#pragma once

#include "data/llm/LLMResponseParserError.h"
#include "data/llm/ToolCall.h"
#include "data/llm/ToolCallMapper.h"
#include "domain/entities/Clip.h"
#include "domain/entities/JSONValue.h"
#include "domain/entities/Project.h"
#include "domain/entities/Track.h"

#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

namespace vexel::testing {

inline JSONValue S(std::string text) {
    return JSONValue::string(std::move(text));
}
inline JSONValue N(double number) {
    return JSONValue::number(number);
}
inline JSONValue B(bool flag) {
    return JSONValue::boolean(flag);
}

inline ToolCall toolCall(std::string name, JSONObject input = {}) {
    return ToolCall{"toolu_test", std::move(name), std::move(input)};
}

// A small project whose names exercise the resolvers: a text track first that
// shares a name with a media clip, the same asset name twice on one track and
// again on a later track, and one clip of every other kind.
struct MappingProject {
    Clip sharedText;
    Clip hello;
    Clip beach;
    Clip beachAgain;
    Clip city;
    Clip sharedMedia;
    Clip beachOnSecondTrack;
    Clip photo;
    Clip music;
    Track textTrack;
    Track video1;
    Track video2;
    Track images;
    Track audio1;
    Track audio2;
    Project project;

    MappingProject() {
        auto clip = [](std::string name, TrackType type, double start) {
            return Clip{.id = Uuid::random(),
                        .assetName = std::move(name),
                        .trackType = type,
                        .timeRange = {start, 4}};
        };
        sharedText = clip("Shared", TrackType::text, 0);
        hello = clip("Hello", TrackType::text, 5);
        TextStyle helloStyle;
        helloStyle.fontSize = 72;
        helloStyle.textColor = "red";
        helloStyle.strokeWidth = 2;
        hello.textStyle = helloStyle;
        beach = clip("beach.mov", TrackType::video, 0);
        beachAgain = clip("beach.mov", TrackType::video, 10);
        city = clip("city.mov", TrackType::video, 4);
        sharedMedia = clip("Shared", TrackType::video, 0);
        beachOnSecondTrack = clip("beach.mov", TrackType::video, 20);
        photo = clip("photo.jpg", TrackType::image, 0);
        music = clip("music.mp3", TrackType::audio, 0);

        textTrack = Track{Uuid::random(), TrackType::text, "Text 1", {sharedText, hello}, false};
        video1 =
            Track{Uuid::random(), TrackType::video, "Video 1", {city, beach, beachAgain}, false};
        video2 = Track{
            Uuid::random(), TrackType::video, "Video 2", {beachOnSecondTrack, sharedMedia}, false};
        images = Track{Uuid::random(), TrackType::image, "Image 1", {photo}, false};
        audio1 = Track{Uuid::random(), TrackType::audio, "Audio 1", {music}, true};
        audio2 = Track{Uuid::random(), TrackType::audio, "BGM", {}, false};
        project.tracks = {textTrack, video1, video2, images, audio1, audio2};
    }

    // Straight from the members: a number no JSON text can hold (infinity)
    // still reaches the range checks.
    EditCommand map(const std::string& tool, const JSONObject& input) const {
        return ToolCallMapper{}.map(tool, input, project);
    }

    // The error text of the call, or "" (and a test failure) when it maps.
    std::string failure(std::string tool, JSONObject input) const {
        try {
            map(tool, std::move(input));
        } catch (const LLMResponseParserError& error) {
            return error.description();
        }
        ADD_FAILURE() << tool << " mapped without an error";
        return "";
    }

    // Each input to `tool` must fail with its error text; a row that fails names its text.
    void expectFailures(const std::string& tool,
                        const std::vector<std::pair<JSONObject, std::string>>& cases) const {
        for (const auto& [input, expected] : cases) {
            EXPECT_EQ(failure(tool, input), expected) << tool;
        }
    }

    // Each input to `tool` must map to its command.
    void expectCommands(const std::string& tool,
                        const std::vector<std::pair<JSONObject, EditCommand>>& cases) const {
        for (std::size_t row = 0; row < cases.size(); ++row) {
            EXPECT_EQ(map(tool, cases[row].first), cases[row].second) << tool << " row " << row;
        }
    }
};

} // namespace vexel::testing
