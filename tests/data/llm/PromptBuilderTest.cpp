#include "data/llm/PromptBuilder.h"

#include "domain/entities/ModelFixtures.h"
#include "foundation/UnicodeText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

std::uint64_t fnv1a64(std::string_view bytes) {
    std::uint64_t hash = 0xcbf29ce484222325ULL;
    for (unsigned char byte : bytes) {
        hash ^= byte;
        hash *= 0x100000001b3ULL;
    }
    return hash;
}

ChatMessage user(std::string text) {
    return ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{std::move(text)}});
}

ChatMessage assistant(std::string text) {
    return ChatMessage::make(ChatMessage::Role::assistant, {ChatMessage::Text{std::move(text)}});
}

ChatMessage toolUseTurn(std::string id) {
    return ChatMessage::make(ChatMessage::Role::assistant,
                             {ChatMessage::Text{"Working."}, ChatMessage::ToolUse{id, "undo", {}}});
}

ChatMessage toolResultTurn(std::string id) {
    return ChatMessage::make(ChatMessage::Role::user,
                             {ChatMessage::ToolResult{std::move(id), "Parsed", false}});
}

std::vector<std::string> contents(const std::vector<ChatMessage>& messages) {
    std::vector<std::string> texts;
    for (const ChatMessage& message : messages) {
        texts.push_back(message.content());
    }
    return texts;
}

} // namespace

TEST(PromptBuilder, SystemPromptIsTheFixedText) {
    std::string_view prompt = PromptBuilder::systemPrompt();
    EXPECT_EQ(prompt.size(), 2803u);
    EXPECT_EQ(unicode::graphemeCount(prompt), 2795u);
    EXPECT_EQ(fnv1a64(prompt), 0x38d03f6214a8fecbULL);
    EXPECT_EQ(std::count(prompt.begin(), prompt.end(), '\n'), 30);
    EXPECT_NE(prompt.back(), '\n');
    EXPECT_TRUE(unicode::isValidUtf8(prompt));
}

TEST(PromptBuilder, SerialisesTextOnlyMessagesAsAPlainString) {
    auto twoTexts = ChatMessage::make(ChatMessage::Role::user,
                                      {ChatMessage::Text{"a"}, ChatMessage::Text{"b"}});
    EXPECT_EQ(PromptBuilder::serializeMessage(twoTexts).dump(),
              R"({"role":"user","content":"a b"})");
    EXPECT_EQ(PromptBuilder::serializeMessage(assistant("Done.")).dump(),
              R"({"role":"assistant","content":"Done."})");
    EXPECT_EQ(
        PromptBuilder::serializeMessage(ChatMessage::make(ChatMessage::Role::user, {})).dump(),
        R"({"role":"user","content":""})");
}

TEST(PromptBuilder, SerialisesMessagesWithToolPartsAsPartArrays) {
    auto result = ChatMessage::make(
        ChatMessage::Role::user,
        {ChatMessage::Text{"note"},
         ChatMessage::ToolResult{"toolu_1", "Error: missingParameter(\"text\")", true}});
    EXPECT_EQ(PromptBuilder::serializeMessage(result).dump(),
              R"({"role":"user","content":[{"type":"text","text":"note"},)"
              R"({"type":"tool_result","tool_use_id":"toolu_1",)"
              R"j("content":"Error: missingParameter(\"text\")","is_error":true}]})j");

    auto use =
        ChatMessage::make(ChatMessage::Role::assistant,
                          {ChatMessage::ToolUse{"toolu_2",
                                                "add_text",
                                                {{"text", JSONValue::string("Hi")},
                                                 {"duration", JSONValue::number(3)},
                                                 {"bold", JSONValue::boolean(false)},
                                                 {"extra", JSONValue::array({JSONValue::null()})}}},
                           ChatMessage::ToolUse{"toolu_3", "undo", {}},
                           ChatMessage::ToolResult{"toolu_2", "Parsed", false}});
    Json serialised = PromptBuilder::serializeMessage(use);
    EXPECT_EQ(serialised["role"], "assistant");
    ASSERT_EQ(serialised["content"].size(), 3u);
    EXPECT_EQ(serialised["content"][0].dump(),
              R"({"type":"tool_use","id":"toolu_2","name":"add_text",)"
              R"("input":{"bold":false,"duration":3.0,"extra":[null],"text":"Hi"}})");
    EXPECT_EQ(serialised["content"][1].dump(),
              R"({"type":"tool_use","id":"toolu_3","name":"undo","input":{}})");
    EXPECT_EQ(serialised["content"][2]["is_error"], false);
}

TEST(PromptBuilder, HistoryKeepsAtMostTheLastTwentyMessages) {
    std::vector<ChatMessage> history;
    for (int i = 0; i < 25; ++i) {
        history.push_back(i % 2 == 0 ? user("u" + std::to_string(i))
                                     : assistant("a" + std::to_string(i)));
    }
    // The last 20 start at index 5, an assistant turn, which cannot open.
    auto kept = PromptBuilder::trimHistory(history);
    ASSERT_EQ(kept.size(), 18u);
    EXPECT_EQ(kept.front().id, history[6].id);
    // Index 24 is a plain user turn: dropped from the end.
    EXPECT_EQ(kept.back().id, history[23].id);

    history.push_back(assistant("a25"));
    kept = PromptBuilder::trimHistory(history);
    ASSERT_EQ(kept.size(), 20u);
    EXPECT_EQ(kept.front().id, history[6].id);
    EXPECT_EQ(kept.back().id, history[25].id);
    EXPECT_EQ(PromptBuilder::buildHistoryMessages(history).size(), 20u);
}

TEST(PromptBuilder, HistoryDropsTrailingPlainUserTurns) {
    std::vector<ChatMessage> history = {user("q"), assistant("a"), user("retry me"),
                                        ChatMessage::make(ChatMessage::Role::user, {}),
                                        user("again")};
    EXPECT_EQ(contents(PromptBuilder::trimHistory(history)), (std::vector<std::string>{"q", "a"}));

    // A trailing tool-result turn is not a plain user turn and stays.
    std::vector<ChatMessage> endsWithTools = {user("q"), toolUseTurn("t1"), toolResultTurn("t1")};
    EXPECT_EQ(PromptBuilder::trimHistory(endsWithTools).size(), 3u);

    EXPECT_TRUE(PromptBuilder::trimHistory({user("a"), user("b")}).empty());
}

TEST(PromptBuilder, HistoryBeginsWithAPlainUserTurn) {
    std::vector<ChatMessage> history = {toolResultTurn("t0"), assistant("x"), toolUseTurn("t1"),
                                        toolResultTurn("t1"), assistant("y"), user("q"),
                                        assistant("z")};
    auto kept = PromptBuilder::trimHistory(history);
    ASSERT_EQ(kept.size(), 2u);
    EXPECT_EQ(kept[0].id, history[5].id);
    EXPECT_EQ(kept[1].id, history[6].id);

    // A user turn without parts counts as a plain turn and may open.
    std::vector<ChatMessage> emptyFirst = {ChatMessage::make(ChatMessage::Role::user, {}),
                                           assistant("z")};
    EXPECT_EQ(PromptBuilder::trimHistory(emptyFirst).size(), 2u);

    EXPECT_TRUE(PromptBuilder::trimHistory({assistant("a"), toolResultTurn("t")}).empty());
    EXPECT_TRUE(PromptBuilder::trimHistory({}).empty());
}

TEST(PromptBuilder, HistoryMessagesAreSerialisedInOrder) {
    std::vector<ChatMessage> history = {user("q"), toolUseTurn("t1"), toolResultTurn("t1"),
                                        assistant("done"), user("unanswered")};
    Json messages = PromptBuilder::buildHistoryMessages(history);
    ASSERT_TRUE(messages.is_array());
    ASSERT_EQ(messages.size(), 4u);
    EXPECT_EQ(messages[0].dump(), R"({"role":"user","content":"q"})");
    EXPECT_EQ(messages[1]["content"][1]["type"], "tool_use");
    EXPECT_EQ(messages[2]["content"][0]["tool_use_id"], "t1");
    EXPECT_EQ(messages[3].dump(), R"({"role":"assistant","content":"done"})");

    EXPECT_EQ(PromptBuilder::buildHistoryMessages({}).dump(), "[]");
}

TEST(PromptBuilder, RendersEmptyTracksAndTheEmptyTimelineLine) {
    Project project{
        {makeTrack(TrackType::video, "Video 1"), makeTrack(TrackType::audio, "Audio 1")}};
    EXPECT_EQ(PromptBuilder::buildUserMessage("Add a fade", project, std::nullopt),
              "Current project state:\n"
              "\nVideo 1:\n"
              "\nAudio 1:\n"
              "(empty timeline)\n"
              "\nInstruction: Add a fade");

    EXPECT_EQ(PromptBuilder::buildUserMessage("x", Project{{}}, std::nullopt),
              "Current project state:\n(empty timeline)\n\nInstruction: x");

    // Text tracks get no header, and text alone leaves the timeline empty.
    Project onlyText{
        {makeTrack(TrackType::text, "Text 1", {makeClip(1, 2, TrackType::text, "Hello")})}};
    EXPECT_EQ(PromptBuilder::buildUserMessage("y", onlyText, std::nullopt),
              "Current project state:\n"
              "(empty timeline)\n"
              "\nText overlays:\n"
              "  - \"`Hello`\": at=1.0s, duration=2.0s, position=bottom, fontSize=48.0, "
              "textColor=white, strokeColor=white, strokeWidth=0.0\n"
              "\nInstruction: y");
}

TEST(PromptBuilder, RendersTracksInOrderWithTheSelectedMarker) {
    Clip music = makeClip(0, 30, TrackType::audio, "song.mp3");
    Clip intro = makeClip(0, 5, TrackType::video, "intro.mov");
    Clip outro = makeClip(5, 2.5, TrackType::video, "outro.mov");
    Clip logo = makeClip(1, 3, TrackType::image, "logo.png");
    Clip title = makeClip(0, 2, TrackType::text, "Title");
    Clip credits = makeClip(7, 1, TrackType::text, "Credits");
    Project project{{makeTrack(TrackType::audio, "Audio 1", {music}),
                     makeTrack(TrackType::text, "Text 1", {title}),
                     makeTrack(TrackType::video, "Video 1", {intro, outro}),
                     makeTrack(TrackType::image, "Image 1", {logo}),
                     makeTrack(TrackType::text, "Text 2", {credits}),
                     makeTrack(TrackType::audio, "Audio 2")}};

    const std::string instruction = "Make \"this clip\" louder\nplease";
    EXPECT_EQ(PromptBuilder::buildUserMessage(instruction, project, outro.id),
              "Current project state:\n"
              "\nAudio 1:\n"
              "  - `song.mp3`: start=0.0s, duration=30.0s, volume=1.0\n"
              "\nVideo 1:\n"
              "  - `intro.mov`: start=0.0s, duration=5.0s, volume=1.0\n"
              "  - `outro.mov` [SELECTED]: start=5.0s, duration=2.5s, volume=1.0\n"
              "\nImage 1:\n"
              "  - `logo.png`: start=1.0s, duration=3.0s, volume=1.0\n"
              "\nAudio 2:\n"
              "\nText overlays:\n"
              "  - \"`Title`\": at=0.0s, duration=2.0s, position=bottom, fontSize=48.0, "
              "textColor=white, strokeColor=white, strokeWidth=0.0\n"
              "  - \"`Credits`\": at=7.0s, duration=1.0s, position=bottom, fontSize=48.0, "
              "textColor=white, strokeColor=white, strokeWidth=0.0\n"
              "\nInstruction: Make \"this clip\" louder\nplease");

    std::string textSelected = PromptBuilder::buildUserMessage("x", project, credits.id);
    EXPECT_NE(textSelected.find("  - \"`Credits`\" [SELECTED]: at=7.0s"), std::string::npos);
    EXPECT_EQ(textSelected.find("[SELECTED]"), textSelected.rfind("[SELECTED]"));
    EXPECT_EQ(PromptBuilder::buildUserMessage("x", project, Uuid::random()).find("[SELECTED]"),
              std::string::npos);
}

TEST(PromptBuilder, ClipLineShowsOnlyAdjustmentsAwayFromNeutral) {
    Clip plain = makeClip(0, 5, TrackType::video, "a.mp4");
    EXPECT_EQ(PromptBuilder::formatClipContext(plain, true),
              "  - `a.mp4` [SELECTED]: start=0.0s, duration=5.0s, volume=1.0\n");

    Clip full = makeClip(210, 0.25, TrackType::video, "b.mov");
    full.volume = 0.5;
    full.sourceOffset = 1e-5;
    full.rate = 2;
    full.opacity = 0.75;
    full.colorAdjust = ColorAdjust{0.1, 1.2, 0};
    full.transform = ClipTransform{90, true, true, NormalizedRect{0.1, 0.2, -0.5, -0.25}};
    full.filter = FilterPreset{"sepia", 0.8};
    full.transitionIn = TransitionEffect{1, TransitionType::crossDissolve()};
    full.transitionOut = TransitionEffect{0.5, TransitionType::wipe(Direction::left)};
    // Not rendered at all.
    full.isReversed = true;
    full.fadeRange = TimeRange{0, 1};
    full.textScale = 2;
    full.overlayTransform = OverlayTransform{};
    full.audioEffects = std::vector<AudioEffect>{};
    EXPECT_EQ(PromptBuilder::formatClipContext(full, false),
              "  - `b.mov`: start=210.0s, duration=0.25s, volume=0.5, sourceOffset=1e-05s, "
              "speed=2.0x, opacity=0.75, color(b=0.1,c=1.2,s=0.0), "
              "transform(rot=90,flipH,flipV,crop(0.1,0.2,0.5,0.25)), filter=sepia(0.8), "
              "dissolveIn=1.0s, fadeOut=0.5s\n");

    // A neutral transform adds nothing; a neutral colour adjustment still shows.
    Clip neutral = makeClip(1, 2, TrackType::video, "c.mov");
    neutral.transform = ClipTransform::identity();
    neutral.colorAdjust = ColorAdjust{};
    neutral.filter = FilterPreset{"none", 1};
    EXPECT_EQ(PromptBuilder::formatClipContext(neutral, false),
              "  - `c.mov`: start=1.0s, duration=2.0s, volume=1.0, color(b=0.0,c=1.0,s=1.0), "
              "filter=none(1.0)\n");

    Clip partial = makeClip(0, 4, TrackType::video, "d.mov");
    partial.transform = ClipTransform{0, false, true, std::nullopt};
    partial.transitionIn = TransitionEffect{0.5, TransitionType::fade()};
    partial.transitionOut = TransitionEffect{2, TransitionType::crossDissolve()};
    EXPECT_EQ(PromptBuilder::formatClipContext(partial, false),
              "  - `d.mov`: start=0.0s, duration=4.0s, volume=1.0, transform(flipV), "
              "fadeIn=0.5s, dissolveOut=2.0s\n");
    partial.transform = ClipTransform{270, false, false, std::nullopt};
    EXPECT_NE(PromptBuilder::formatClipContext(partial, false).find(", transform(rot=270),"),
              std::string::npos);
}

TEST(PromptBuilder, EveryTransitionButCrossDissolveRendersAsAFade) {
    const std::vector<TransitionType> fades = {TransitionType::fade(),
                                               TransitionType::push(Direction::up),
                                               TransitionType::wipe(Direction::right),
                                               TransitionType::slide(Direction::down),
                                               TransitionType::spin(),
                                               TransitionType::flip(),
                                               TransitionType::zoomIn(),
                                               TransitionType::zoomOut()};
    for (const TransitionType& type : fades) {
        Clip clip = makeClip(0, 3, TrackType::video, "e.mov");
        clip.transitionIn = TransitionEffect{1.5, type};
        clip.transitionOut = TransitionEffect{0.5, type};
        EXPECT_EQ(PromptBuilder::formatClipContext(clip, false),
                  "  - `e.mov`: start=0.0s, duration=3.0s, volume=1.0, fadeIn=1.5s, fadeOut=0.5s\n")
            << caseName(type.kind());
    }
}

TEST(PromptBuilder, TextLineShowsStylePositionFadesAndAnimation) {
    Clip text = makeClip(2, 4, TrackType::text, "Big sale");
    text.textStyle = TextStyle{64, "yellow", "black", 2.5, "Helvetica Neue", 0.5};
    text.textPosition = TextPosition::custom(0.5, 0.25);
    text.transitionIn = TransitionEffect{0.5, TransitionType::crossDissolve()};
    text.transitionOut = TransitionEffect{1, TransitionType::spin()};
    text.textAnimation =
        TextAnimation{TextEntranceType::slideIn(Direction::left),
                      TextExitType::wipeOut(Direction::down), TextLoopType::pulse(1.2, 0.5)};
    EXPECT_EQ(PromptBuilder::formatTextClipContext(text, true),
              "  - \"`Big sale`\" [SELECTED]: at=2.0s, duration=4.0s, "
              "position=custom(0.50, 0.25), fontSize=64.0, textColor=yellow, "
              "strokeColor=black, strokeWidth=2.5, font=Helvetica Neue, boxWidth=0.5, "
              "fadeIn=0.5s, fadeOut=1.0s, "
              "animation(entrance=slideIn_left,exit=wipeOut_down,loop=pulse(1.2,0.5s))\n");

    Clip plain = makeClip(0, 1, TrackType::text, "Hi");
    plain.textPosition = TextPosition::top();
    plain.textAnimation = TextAnimation{};
    EXPECT_EQ(PromptBuilder::formatTextClipContext(plain, false),
              "  - \"`Hi`\": at=0.0s, duration=1.0s, position=top, fontSize=48.0, "
              "textColor=white, strokeColor=white, strokeWidth=0.0\n");

    auto animationOf = [](TextAnimation animation) {
        Clip clip = makeClip(0, 1, TrackType::text, "T");
        clip.textAnimation = animation;
        std::string line = PromptBuilder::formatTextClipContext(clip, false);
        std::size_t open = line.find(", animation(");
        return open == std::string::npos ? std::string() : line.substr(open + 2);
    };
    EXPECT_EQ(animationOf({TextEntranceType::wipeReveal(Direction::up), std::nullopt,
                           TextLoopType::bounce(10, 2)}),
              "animation(entrance=wipeReveal_up,loop=bounce(10.0,2.0s))\n");
    EXPECT_EQ(animationOf({std::nullopt, TextExitType::slideOut(Direction::right), std::nullopt}),
              "animation(exit=slideOut_right)\n");
    const std::vector<std::pair<TextEntranceType, std::string>> entrances = {
        {TextEntranceType::scaleIn(), "scaleIn"},
        {TextEntranceType::popIn(), "popIn"},
        {TextEntranceType::bounceIn(), "bounceIn"},
        {TextEntranceType::fadeIn(), "fadeIn"}};
    for (const auto& [entrance, name] : entrances) {
        EXPECT_EQ(animationOf({entrance, std::nullopt, std::nullopt}),
                  "animation(entrance=" + name + ")\n");
    }
    const std::vector<std::pair<TextExitType, std::string>> exits = {
        {TextExitType::scaleOut(), "scaleOut"},
        {TextExitType::fadeOut(), "fadeOut"},
        {TextExitType::popOut(), "popOut"},
        {TextExitType::bounceOut(), "bounceOut"}};
    for (const auto& [exit, name] : exits) {
        EXPECT_EQ(animationOf({std::nullopt, exit, std::nullopt}),
                  "animation(exit=" + name + ")\n");
    }
}

TEST(PromptBuilder, MessagesAreTheHistoryThenTheRenderedInstruction) {
    Project project{
        {makeTrack(TrackType::video, "Video 1", {makeClip(0, 5, TrackType::video, "a.mp4")})}};
    std::vector<Json> messages = PromptBuilder::buildMessages({}, "Trim it", project, std::nullopt);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_EQ(messages[0]["role"], "user");
    EXPECT_EQ(messages[0]["content"],
              PromptBuilder::buildUserMessage("Trim it", project, std::nullopt));
    EXPECT_EQ(messages[0].size(), 2u);

    std::vector<ChatMessage> history = {assistant("hello"),   user("q"),         toolUseTurn("t1"),
                                        toolResultTurn("t1"), assistant("done"), user("dangling")};
    messages = PromptBuilder::buildMessages(history, "Again", project, std::nullopt);
    ASSERT_EQ(messages.size(), 5u);
    EXPECT_EQ(messages[0].dump(), R"({"role":"user","content":"q"})");
    EXPECT_EQ(messages[1]["content"][1]["id"], "t1");
    EXPECT_EQ(messages[3].dump(), R"({"role":"assistant","content":"done"})");
    EXPECT_EQ(messages[4]["content"].get<std::string>().substr(0, 22), "Current project state:");
}

TEST(PromptBuilder, LongTextsGoWithTheirStartAndEndAndWhatWasLeftOut) {
    const auto times = [](const std::string& piece, std::size_t count) {
        std::string text;
        for (std::size_t i = 0; i < count; ++i) {
            text += piece;
        }
        return text;
    };
    // One user-perceived character of five code points (18 bytes).
    const std::string family = "\U0001F469\u200D\U0001F469\u200D\U0001F467";
    const std::vector<std::pair<std::string, std::string>> cases{
        {"", ""},
        {std::string(2000, 'a'), std::string(2000, 'a')},
        {std::string(2001, 'a'),
         std::string(1000, 'a') + " … [1 character omitted] … " + std::string(1000, 'a')},
        // Counted and cut as code points, of many bytes each, never split.
        {times(family, 400), times(family, 400)},
        {times(family, 401),
         times(family, 200) + " … [5 characters omitted] … " + times(family, 200)},
        {times("e\u0301", 2500),
         times("e\u0301", 500) + " … [3000 characters omitted] … " + times("e\u0301", 500)},
        {"<" + times("\u20AC", 3000) + ">", "<" + times("\u20AC", 999) +
                                                " … [1002 characters omitted] … " +
                                                times("\u20AC", 999) + ">"},
    };
    for (const auto& [text, expected] : cases) {
        EXPECT_EQ(PromptBuilder::elided(text), expected) << text.size() << " bytes";
    }

    // A tool input: whole when short, byte for byte as its members write it;
    // its long strings (names too) elided; too much of anything else goes as
    // its elided text.
    const JSONObject small{{"target", JSONValue::string("a.mp4")},
                           {"at", JSONValue::number(4)},
                           {"flags", JSONValue::array({JSONValue::boolean(true), JSONValue()})}};
    EXPECT_EQ(PromptBuilder::requestInput(small).dump(), Json(JSONValue::object(small)).dump());
    const Json longText = PromptBuilder::requestInput(
        JSONObject{{"target", JSONValue::string(std::string(5000, 'x'))},
                   {std::string(3000, 'k'), JSONValue::number(1)}});
    EXPECT_EQ(longText,
              Json::parse(R"({")" + std::string(1000, 'k') + " … [1000 characters omitted] … " +
                          std::string(1000, 'k') + R"(": 1.0, "target": ")" +
                          std::string(1000, 'x') + " … [3000 characters omitted] … " +
                          std::string(1000, 'x') + R"("})"));
    JSONValue::Array zeros(10000, JSONValue::number(0));
    const Json many = PromptBuilder::requestInput(JSONObject{{"at", JSONValue::array(zeros)}});
    ASSERT_EQ(many.size(), 1u);
    const std::string text = many.at("elided_input");
    EXPECT_EQ(text.rfind(R"({"at":[0.0,0.0,)", 0), 0u);
    EXPECT_NE(text.find(" … [38008 characters omitted] … "), std::string::npos);
    EXPECT_EQ(text.substr(text.size() - 9), R"(0.0,0.0]})");
}

namespace {

// The body of the first request of an instruction, as the transport writes it.
std::size_t firstRequestBytes(const std::vector<Json>& messages) {
    Json body = Json::object();
    body["max_tokens"] = 2048;
    body["system"] = std::string(PromptBuilder::systemPrompt());
    body["messages"] = Json(messages);
    body["tools"] = PromptBuilder::buildToolDefinitions();
    body["tool_choice"] = Json{{"type", "auto"}};
    body["stream"] = true;
    return PromptBuilder::requestBytes(body);
}

std::vector<Clip> numberedClips(int count, TrackType type, const std::string& prefix,
                                std::size_t nameLength = 0) {
    std::vector<Clip> clips;
    for (int n = 0; n < count; ++n) {
        std::string name = prefix + std::to_string(n) + (type == TrackType::text ? "" : ".mov");
        name.resize(std::max(name.size(), nameLength), '.');
        clips.push_back(makeClip(n, 1, type, std::move(name)));
    }
    return clips;
}

} // namespace

// However large the project, the chat or the instruction, the first request
// stays within the bound, and says what it left out where it left it.
TEST(PromptBuilder, AFirstRequestStaysWithinTheBoundWhateverItWouldCarry) {
    std::vector<Track> manyTracks;
    for (int n = 0; n < 5000; ++n) {
        manyTracks.push_back(makeTrack(TrackType::audio, "Track " + std::string(3000, 'a' + n % 26),
                                       {makeClip(0, 1, TrackType::audio, "a.mp3")}));
    }
    // Turns of many lines: each line feed takes two bytes of the request.
    std::vector<ChatMessage> longChat;
    for (int n = 0; n < 20; ++n) {
        longChat.push_back(
            n % 2 == 0 ? user("question " + std::to_string(n) + std::string(100'000, '\n'))
                       : assistant("answer " + std::to_string(n) + std::string(100'000, '\n')));
    }
    const std::vector<Clip> clips = numberedClips(20'000, TrackType::video, "c");
    struct Case {
        std::string name;
        Project project;
        std::optional<Uuid> selected;
        std::string instruction;
        std::vector<ChatMessage> history;
        std::vector<std::string> said;    // in the user message
        std::vector<std::string> notSaid; // nor there
    };
    const std::vector<Case> cases{
        {"20,000 clips, none selected",
         Project{{makeTrack(TrackType::video, "Video 1", clips)}},
         std::nullopt,
         "Trim it",
         {},
         {"\nVideo 1:\n  - `c0.mov`: start=0.0s", " clips not listed here, from ",
          "the farthest in time from the start of the timeline"},
         {"`c19999.mov`"}},
        {"20,000 clips, one in the middle selected",
         Project{{makeTrack(TrackType::video, "Video 1", clips)}},
         clips[10'000].id,
         "Trim it",
         {},
         {"  - `c10000.mov` [SELECTED]: start=10000.0s", "`c9999.mov`", "`c10001.mov`", "  (",
          " clips not listed here, from 0.0s to ", "the farthest in time from the selected"},
         {"`c0.mov`", "`c19999.mov`"}},
        {"5,000 tracks of long names",
         Project{manyTracks},
         std::nullopt,
         "Mute them",
         {},
         {"\nTrack aaa", " tracks with ", " clips not listed here)\n"},
         {}},
        {"an instruction of a million characters",
         Project{{makeTrack(TrackType::video, "Video 1", {clips[0]})}},
         std::nullopt,
         "Begin" + std::string(1'000'000, '-') + "End",
         {},
         {"\nInstruction: Begin---", " characters omitted] … ", "---End"},
         {"not listed"}},
        {"a chat of long turns",
         Project{{makeTrack(TrackType::video, "Video 1", {clips[0]})}},
         std::nullopt,
         "And now?",
         longChat,
         {"earlier messages of this conversation left out to keep this request small.)\n"
          "\nInstruction: And now?"},
         {}},
    };
    for (const Case& test : cases) {
        SCOPED_TRACE(test.name);
        const std::vector<Json> messages = PromptBuilder::buildMessages(
            test.history, test.instruction, test.project, test.selected);
        EXPECT_LE(firstRequestBytes(messages), PromptBuilder::maxRequestBytes);
        const std::string state = messages.back()["content"];
        for (const std::string& text : test.said) {
            EXPECT_NE(state.find(text), std::string::npos) << text;
        }
        for (const std::string& text : test.notSaid) {
            EXPECT_EQ(state.find(text), std::string::npos) << text;
        }
        // The latest turns of the chat go, and it still opens with a question.
        if (!test.history.empty()) {
            ASSERT_GE(messages.size(), 2u);
            EXPECT_EQ(messages.front()["role"], "user");
            EXPECT_EQ(messages[messages.size() - 2].dump(),
                      PromptBuilder::serializeMessage(test.history.back()).dump());
        }
    }
    // With nothing to bound, the fixed part alone stays within its share.
    EXPECT_LE(firstRequestBytes({}), PromptBuilder::maxFixedBytes);
}
