#include "data/llm/ToolCallMapper.h"

#include "data/llm/LLMResponseParserError.h"
#include "data/llm/MappingFixtures.h"

#include <gtest/gtest.h>

#include <functional>

using namespace vexel;
using namespace vexel::testing;

namespace {

std::string resolveFailure(const std::function<void()>& resolve) {
    try {
        resolve();
    } catch (const LLMResponseParserError& error) {
        return error.description();
    }
    return "";
}

} // namespace

TEST(ToolCallMapper, ToolsWithoutParametersIgnoreTheirInputAndNamesAreExact) {
    MappingProject p;
    JSONObject junk{{"format", N(3)}, {"anything", S("x")}};
    EXPECT_EQ(p.map("undo", junk), EditCommand(EditCommand::Undo{}));
    EXPECT_EQ(p.map("redo", {}), EditCommand(EditCommand::Redo{}));
    EXPECT_EQ(p.map("show_tutorial", junk), EditCommand(EditCommand::ShowTutorial{}));

    EXPECT_EQ(p.failure("Undo", {}), R"(unknownAction("Undo"))");
    EXPECT_EQ(p.failure("undo ", {}), R"(unknownAction("undo "))");
    EXPECT_EQ(p.failure("", {}), R"(unknownAction(""))");
}

TEST(ToolCallMapper, ExportTakesExactlyMp4OrMovAsAString) {
    MappingProject p;
    EXPECT_EQ(p.map("export_video", {{"format", S("mp4")}}),
              EditCommand(EditCommand::Export{ExportFormat::mp4}));
    EXPECT_EQ(p.map("export_video", {{"format", S("mov")}}),
              EditCommand(EditCommand::Export{ExportFormat::mov}));
    EXPECT_EQ(p.failure("export_video", {{"format", S("MP4")}}), R"(invalidExportFormat("MP4"))");
    EXPECT_EQ(p.failure("export_video", {{"format", N(4)}}), R"(missingParameter("format"))");
    EXPECT_EQ(p.failure("export_video", {}), R"(missingParameter("format"))");
}

TEST(ToolCallMapper, MapsAListInOrderAndTheFirstFailureEndsIt) {
    MappingProject p;
    ToolCallMapper mapper;
    auto commands = mapper.map({toolCall("undo"), toolCall("remove", {{"target", S("city.mov")}}),
                                toolCall("export_video", {{"format", S("mov")}})},
                               p.project);
    ASSERT_EQ(commands.size(), 3u);
    EXPECT_EQ(commands[0], EditCommand(EditCommand::Undo{}));
    EXPECT_EQ(commands[1], EditCommand(EditCommand::RemoveClip{p.city.id}));
    EXPECT_EQ(commands[2], EditCommand(EditCommand::Export{ExportFormat::mov}));

    EXPECT_TRUE(mapper.map(std::vector<ToolCall>{}, p.project).empty());
    try {
        mapper.map({toolCall("undo"), toolCall("remove", {{"target", S("nope")}}), toolCall("bad")},
                   p.project);
        FAIL() << "expected the second call to fail";
    } catch (const LLMResponseParserError& error) {
        EXPECT_EQ(error, LLMResponseParserError::targetNotFound("nope"));
    }
}

TEST(ToolCallMapper, ClipTargetsSkipTextTracksAndTakeTheFirstExactMatch) {
    MappingProject p;
    // The text track comes first and holds "Shared" too; only media clips count.
    EXPECT_EQ(ToolCallMapper::resolveClipId("Shared", p.project), p.sharedMedia.id);
    // Same name twice on a track and again on a later track: the first in
    // track order, then clip order.
    EXPECT_EQ(ToolCallMapper::resolveClipId("beach.mov", p.project), p.beach.id);
    EXPECT_EQ(ToolCallMapper::resolveClipId("music.mp3", p.project), p.music.id);
    EXPECT_EQ(resolveFailure([&] { ToolCallMapper::resolveClipId("Hello", p.project); }),
              R"(targetNotFound("Hello"))");
    EXPECT_EQ(resolveFailure([&] { ToolCallMapper::resolveClipId("Beach.mov", p.project); }),
              R"(targetNotFound("Beach.mov"))");

    EXPECT_EQ(ToolCallMapper::resolveTextClipId("Hello", p.project), p.hello.id);
    EXPECT_EQ(ToolCallMapper::resolveTextClipId("Shared", p.project), p.sharedText.id);
    EXPECT_EQ(resolveFailure([&] { ToolCallMapper::resolveTextClipId("city.mov", p.project); }),
              R"(targetNotFound("city.mov"))");
    EXPECT_EQ(resolveFailure([&] { ToolCallMapper::resolveTextClipId("hello", p.project); }),
              R"(targetNotFound("hello"))");
}

TEST(ToolCallMapper, TrackTargetsMatchNamesOfAnyTrackType) {
    MappingProject p;
    EXPECT_EQ(ToolCallMapper::resolveTrackId(std::nullopt, p.project), std::nullopt);
    EXPECT_EQ(ToolCallMapper::resolveTrackId("BGM", p.project), p.audio2.id);
    EXPECT_EQ(ToolCallMapper::resolveTrackId("Text 1", p.project), p.textTrack.id);
    EXPECT_EQ(resolveFailure([&] { ToolCallMapper::resolveTrackId("bgm", p.project); }),
              R"(targetNotFound("bgm"))");
    EXPECT_EQ(resolveFailure([&] { ToolCallMapper::resolveTrackId("", p.project); }),
              R"(targetNotFound(""))");
}

TEST(ToolCallMapper, TrackTypeAndFlagWords) {
    EXPECT_EQ(ToolCallMapper::parseTrackType("video"), TrackType::video);
    EXPECT_EQ(ToolCallMapper::parseTrackType("audio"), TrackType::audio);
    EXPECT_EQ(ToolCallMapper::parseTrackType("image"), TrackType::image);
    for (std::string word : {"text", "Video", "AUDIO", ""}) {
        EXPECT_EQ(resolveFailure([&] { ToolCallMapper::parseTrackType(word); }),
                  "unknownTrackType(\"" + word + "\")");
    }

    EXPECT_EQ(ToolCallMapper::parseBoolString("TRUE"), true);
    EXPECT_EQ(ToolCallMapper::parseBoolString("False"), false);
    EXPECT_EQ(ToolCallMapper::parseBoolString("true"), true);
    EXPECT_EQ(ToolCallMapper::parseBoolString(std::nullopt), std::nullopt);
    for (std::string word : {"yes", "1", "", " true", "truee"}) {
        EXPECT_EQ(ToolCallMapper::parseBoolString(word), std::nullopt) << word;
    }
}

TEST(ToolCallMapper, PositionWordsInSeveralLanguagesCompareCaselessAndCanonically) {
    EXPECT_EQ(ToolCallMapper::positionMap().size(), 21u);
    EXPECT_EQ(ToolCallMapper::lookUpPosition("Oben"), TextPosition::top());
    EXPECT_EQ(ToolCallMapper::lookUpPosition("TOP"), TextPosition::top());
    EXPECT_EQ(ToolCallMapper::lookUpPosition("em cima"), TextPosition::top());
    EXPECT_EQ(ToolCallMapper::lookUpPosition("위"), TextPosition::top());
    // The same syllable spelt as its decomposed jamo.
    EXPECT_EQ(ToolCallMapper::lookUpPosition("\u110B\u1171"), TextPosition::top());
    EXPECT_EQ(ToolCallMapper::lookUpPosition("中间"), TextPosition::center());
    EXPECT_EQ(ToolCallMapper::lookUpPosition("Centre"), TextPosition::center());
    EXPECT_EQ(ToolCallMapper::lookUpPosition("下"), TextPosition::bottom());
    EXPECT_EQ(ToolCallMapper::lookUpPosition("EMBAIXO"), TextPosition::bottom());
    EXPECT_EQ(ToolCallMapper::lookUpPosition("middle"), std::nullopt);
    EXPECT_EQ(ToolCallMapper::lookUpPosition(" top"), std::nullopt);
    EXPECT_EQ(ToolCallMapper::lookUpPosition(""), std::nullopt);
}
