#include "data/llm/AnthropicStreamEventParser.h"

#include <gtest/gtest.h>

using namespace vexel;

namespace {

using Event = AnthropicStreamEvent;

std::optional<Event> parse(std::string event, std::string data) {
    return AnthropicStreamEventParser::parse(SSELine{std::move(event), std::move(data)});
}

} // namespace

TEST(AnthropicStreamEventParser, ReadsEveryEventOfAReply) {
    EXPECT_EQ(parse("message_start",
                    R"({"type":"message_start","message":{"usage":{"input_tokens":42}}})"),
              Event(Event::MessageStart{42}));
    EXPECT_EQ(
        parse("content_block_start", R"({"index":0,"content_block":{"type":"text","text":""}})"),
        Event(Event::ContentBlockStart{0, Event::ContentBlockType::text()}));
    EXPECT_EQ(
        parse(
            "content_block_start",
            R"({"index":1,"content_block":{"type":"tool_use","id":"toolu_1","name":"split_clip","input":{}}})"),
        Event(Event::ContentBlockStart{1,
                                       Event::ContentBlockType::toolUse("toolu_1", "split_clip")}));
    EXPECT_EQ(
        parse("content_block_delta", R"({"index":0,"delta":{"type":"text_delta","text":"Hel"}})"),
        Event(Event::TextDelta{0, "Hel"}));
    EXPECT_EQ(parse("content_block_delta",
                    R"({"index":1,"delta":{"type":"input_json_delta","partial_json":"{\"at\":"}})"),
              Event(Event::InputJsonDelta{1, "{\"at\":"}));
    EXPECT_EQ(parse("content_block_stop", R"({"index":1})"), Event(Event::ContentBlockStop{1}));
    EXPECT_EQ(parse("message_delta",
                    R"({"delta":{"stop_reason":"tool_use"},"usage":{"output_tokens":7}})"),
              Event(Event::MessageDelta{"tool_use", 7}));
    EXPECT_EQ(parse("message_stop", R"({"type":"message_stop"})"), Event(Event::MessageStop{}));
}

TEST(AnthropicStreamEventParser, FillsDefaultsWhereTheSpecAllowsThem) {
    // Missing or ill-typed usage still gives the event.
    EXPECT_EQ(parse("message_start", R"({"message":{}})"), Event(Event::MessageStart{0}));
    EXPECT_EQ(parse("message_start", R"({"message":{"usage":{"input_tokens":"9"}}})"),
              Event(Event::MessageStart{0}));
    EXPECT_EQ(parse("message_start", "{}"), Event(Event::MessageStart{0}));

    // A tool-use start without id or with a non-string name.
    EXPECT_EQ(
        parse("content_block_start", R"({"index":2,"content_block":{"type":"tool_use","name":7}})"),
        Event(Event::ContentBlockStart{2, Event::ContentBlockType::toolUse("", "")}));

    EXPECT_EQ(parse("content_block_delta", R"({"index":0,"delta":{"type":"text_delta"}})"),
              Event(Event::TextDelta{0, ""}));
    EXPECT_EQ(parse("content_block_delta", R"({"index":0,"delta":{"type":"input_json_delta"}})"),
              Event(Event::InputJsonDelta{0, ""}));

    // Null, missing or non-string stop reasons are absent; tokens default to 0.
    EXPECT_EQ(parse("message_delta", R"({"delta":{"stop_reason":null}})"),
              Event(Event::MessageDelta{std::nullopt, 0}));
    EXPECT_EQ(parse("message_delta", R"({"delta":{"stop_reason":3}})"),
              Event(Event::MessageDelta{std::nullopt, 0}));
    EXPECT_EQ(parse("message_delta", "{}"), Event(Event::MessageDelta{std::nullopt, 0}));

    // An index written with a zero fraction is still an integer.
    EXPECT_EQ(parse("content_block_stop", R"({"index":3.0})"), Event(Event::ContentBlockStop{3}));
}

TEST(AnthropicStreamEventParser, GivesNothingForLinesOfNoInterest) {
    // Unknown delta and block types.
    EXPECT_FALSE(parse("content_block_delta", R"({"index":0,"delta":{"type":"thinking_delta"}})"));
    EXPECT_FALSE(parse("content_block_start", R"({"index":0,"content_block":{"type":"image"}})"));
    // Required members missing or of another kind.
    EXPECT_FALSE(parse("content_block_start", R"({"content_block":{"type":"text"}})"));
    EXPECT_FALSE(parse("content_block_start", R"({"index":"0","content_block":{"type":"text"}})"));
    EXPECT_FALSE(parse("content_block_start", R"({"index":0,"content_block":"text"})"));
    EXPECT_FALSE(parse("content_block_delta", R"({"index":1.5,"delta":{"type":"text_delta"}})"));
    EXPECT_FALSE(parse("content_block_delta", R"({"index":0,"delta":{"text":"x"}})"));
    EXPECT_FALSE(parse("content_block_stop", "{}"));
    EXPECT_FALSE(parse("content_block_stop", R"({"index":1e300})"));
    // Data that is no JSON object, whatever the name.
    EXPECT_FALSE(parse("message_stop", "not json"));
    EXPECT_FALSE(parse("message_start", "[1]"));
    EXPECT_FALSE(parse("message_delta", "\"text\""));
    EXPECT_FALSE(parse("message_stop", ""));
    // Unknown names, names in another case, and events without a name.
    EXPECT_FALSE(parse("ping", R"({"type":"ping"})"));
    EXPECT_FALSE(parse("error", R"({"type":"error","error":{"type":"overloaded_error"}})"));
    EXPECT_FALSE(parse("Message_Stop", "{}"));
    EXPECT_FALSE(parse("", R"({"index":0})"));
}

TEST(AnthropicStreamEventParser, DirectDeltaReadingAgreesWithTheFullParse) {
    const std::string prefix = R"({"type":"content_block_delta","index":)";
    // The backend's own form, read directly, escapes decoded.
    EXPECT_EQ(parse("content_block_delta",
                    prefix + R"(12,"delta":{"type":"text_delta","text":"a \"b\" \\ \/ \n\t"}})"),
              Event(Event::TextDelta{12, "a \"b\" \\ / \n\t"}));
    EXPECT_EQ(parse("content_block_delta",
                    prefix + R"(0,"delta":{"type":"input_json_delta","partial_json":""}})"),
              Event(Event::InputJsonDelta{0, ""}));
    // Every near miss must read exactly as the full parse reads it, whether
    // that gives an event or nothing.
    const std::vector<std::string> shapes = {
        prefix + R"(1,"delta":{"type":"text_delta","text":"caf\u00e9 \ud83d\ude00"}})",
        prefix + R"(1,"delta":{"type":"text_delta","text":"lone \ud800"}})",
        prefix + R"(1,"delta":{"type":"text_delta","text":"bad \x"}})",
        prefix + "1,\"delta\":{\"type\":\"text_delta\",\"text\":\"raw \x01 control\"}}",
        prefix + "1,\"delta\":{\"type\":\"text_delta\",\"text\":\"bad \xff byte\"}}",
        prefix + R"(1,"delta":{"type":"text_delta","text":"unterminated}})",
        prefix + R"(1,"delta":{"type":"text_delta","text":"x"}} )",
        prefix + R"(1,"delta":{"type":"text_delta","text":"x"},"usage":{}})",
        prefix + R"(1,"delta":{"type":"text_delta","text":"x","text":"y"}})",
        prefix + R"(01,"delta":{"type":"text_delta","text":"x"}})",
        prefix + R"(-1,"delta":{"type":"text_delta","text":"x"}})",
        prefix + R"(1.0,"delta":{"type":"text_delta","text":"x"}})",
        prefix + R"(99999999999999999999,"delta":{"type":"text_delta","text":"x"}})",
        prefix + R"(1, "delta":{"type":"text_delta","text":"x"}})",
        prefix + R"(1,"delta":{"type":"thinking_delta","thinking":"x"}})",
        prefix + R"(1,"delta":{"type":"text_delta","text":7}})",
        R"({"index":1,"type":"content_block_delta","delta":{"type":"text_delta","text":"x"}})",
        "{\"type\":\"content_block_delta\",\"index\":1,\n\"delta\":{\"type\":\"text_delta\","
        "\"text\":"
        "\"x\"}}",
    };
    for (const auto& data : shapes) {
        const SSELine line{"content_block_delta", data};
        EXPECT_EQ(AnthropicStreamEventParser::parse(line),
                  AnthropicStreamEventParser::parseFully(line))
            << data;
    }
    // Under another event name the same data is not a delta.
    EXPECT_EQ(parse("content_block_stop", prefix + R"(4,"delta":{"type":"text_delta","text":""}})"),
              Event(Event::ContentBlockStop{4}));
}
