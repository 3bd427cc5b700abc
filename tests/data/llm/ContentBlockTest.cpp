#include "data/llm/ContentBlock.h"

#include "data/llm/ContentBlockParseError.h"
#include "foundation/DecodeError.h"

#include <gtest/gtest.h>

using namespace vexel;

namespace {

ContentBlockParseError::Kind parseFailure(std::string_view body) {
    try {
        ContentBlock::parse(body);
    } catch (const ContentBlockParseError& error) {
        return error.kind();
    }
    ADD_FAILURE() << "expected a ContentBlockParseError for " << body;
    return ContentBlockParseError::Kind::missingContent;
}

ToolCall call(std::string id, std::string name, JSONObject input = {}) {
    return ToolCall{std::move(id), std::move(name), std::move(input)};
}

} // namespace

TEST(ContentBlock, ParsesTextAndToolUseBlocksInOrderSkippingOtherTypes) {
    auto blocks = ContentBlock::parse(R"({"content": [
        {"type": "text", "text": "Fading in."},
        {"type": "tool_use", "id": "toolu_1", "name": "set_volume", "input": {"volume": 0.5}},
        {"type": "thinking", "thinking": "hmm"}
    ]})");
    ASSERT_EQ(blocks.size(), 2u);
    EXPECT_EQ(blocks[0], ContentBlock::text("Fading in."));
    EXPECT_EQ(blocks[1], ContentBlock::toolUse(
                             call("toolu_1", "set_volume", {{"volume", JSONValue::number(0.5)}})));
    EXPECT_TRUE(blocks[0].isText());
    EXPECT_EQ(blocks[0].toolCallValue(), nullptr);
}

TEST(ContentBlock, DropsMalformedBlocksSilently) {
    auto blocks = ContentBlock::parse(R"({"content": [
        {"type": "tool_use", "id": "a", "name": "undo"},
        {"type": "tool_use", "id": "b", "name": "undo", "input": [1]},
        {"type": "tool_use", "id": "c", "name": "undo", "input": null},
        {"type": "tool_use", "name": "undo", "input": {}},
        {"type": "tool_use", "id": "e", "input": {}},
        {"type": "tool_use", "id": 6, "name": "undo", "input": {}},
        {"type": "text", "text": 7},
        {"type": "text"},
        {"text": "no type"},
        {"type": 1, "text": "numeric type"},
        {"type": "Text", "text": "wrong case"},
        {"type": "tool_use", "id": "kept", "name": "redo", "input": {}}
    ]})");
    ASSERT_EQ(blocks.size(), 1u);
    EXPECT_EQ(blocks[0], ContentBlock::toolUse(call("kept", "redo")));

    EXPECT_TRUE(ContentBlock::parse(R"({"content": [{"type": "image"}]})").empty());
    EXPECT_EQ(ContentBlock::parse(R"({"content": [{"type": "text", "text": ""}]})"),
              std::vector<ContentBlock>{ContentBlock::text("")});
}

TEST(ContentBlock, RepliesWithoutAUsableContentListFail) {
    using Kind = ContentBlockParseError::Kind;
    EXPECT_EQ(parseFailure(R"({"content": []})"), Kind::emptyContent);
    EXPECT_EQ(parseFailure(R"({"stop_reason": "end_turn"})"), Kind::missingContent);
    EXPECT_EQ(parseFailure(R"({"content": null})"), Kind::missingContent);
    EXPECT_EQ(parseFailure(R"({"content": "text"})"), Kind::missingContent);
    EXPECT_EQ(parseFailure(R"({"content": {"type": "text", "text": "x"}})"), Kind::missingContent);
    // One element that is not an object spoils the whole list.
    EXPECT_EQ(parseFailure(R"({"content": [{"type": "text", "text": "x"}, "y"]})"),
              Kind::missingContent);
    EXPECT_EQ(parseFailure(R"([{"content": []}])"), Kind::missingContent);

    // A bare value is no reply text at all: malformed, like text that is not JSON.
    for (const char* bare : {"42", R"("content")", "true", "null"}) {
        EXPECT_THROW(ContentBlock::parse(bare), DecodeError) << bare;
        EXPECT_THROW(ContentBlock::parseWithStopReason(bare), DecodeError) << bare;
    }
    // So is a reply nested deeper than a parser may walk, however deep.
    const std::string deep = R"({"content": [{"type": "tool_use", "id": "t", "name": "n",
        "input": {"x": )" + std::string(400000, '[') +
                             std::string(400000, ']') + "}}]}";
    EXPECT_THROW(ContentBlock::parse(deep), DecodeError);

    EXPECT_THROW(ContentBlock::parse("not json"), DecodeError);
    EXPECT_THROW(ContentBlock::parse(""), DecodeError);
    EXPECT_THROW(ContentBlock::parse(R"({"content": [)"), DecodeError);
    EXPECT_THROW(ContentBlock::parseWithStopReason("{"), DecodeError);
    // A number beyond the range of a double is malformed JSON, not infinity.
    EXPECT_THROW(ContentBlock::parse(R"({"content": [{"type": "tool_use", "id": "t", "name": "n",
        "input": {"x": 1e400}}]})"),
                 DecodeError);

    EXPECT_STREQ(ContentBlockParseError::emptyContent().what(), "emptyContent");
    EXPECT_EQ(ContentBlockParseError::missingContent(), ContentBlockParseError::missingContent());
    EXPECT_FALSE(ContentBlockParseError::missingContent() ==
                 ContentBlockParseError::emptyContent());
}

TEST(ContentBlock, StopReasonIsAStringOrAbsent) {
    auto reply = ContentBlock::parseWithStopReason(
        R"({"stop_reason": "tool_use", "content": [{"type": "text", "text": "ok"}]})");
    EXPECT_EQ(reply.stopReason, "tool_use");
    EXPECT_EQ(reply.blocks, std::vector<ContentBlock>{ContentBlock::text("ok")});

    auto nullReason = ContentBlock::parseWithStopReason(
        R"({"stop_reason": null, "content": [{"type": "text", "text": "ok"}]})");
    EXPECT_FALSE(nullReason.stopReason.has_value());
    EXPECT_EQ(nullReason.blocks.size(), 1u);

    EXPECT_FALSE(ContentBlock::parseWithStopReason(R"({"stop_reason": 1, "content": [{}]})")
                     .stopReason.has_value());
    EXPECT_FALSE(ContentBlock::parseWithStopReason(R"({"content": [{}]})").stopReason.has_value());

    try {
        ContentBlock::parseWithStopReason(R"({"stop_reason": "end_turn", "content": []})");
        FAIL() << "expected emptyContent";
    } catch (const ContentBlockParseError& error) {
        EXPECT_EQ(error.kind(), ContentBlockParseError::Kind::emptyContent);
    }
}

TEST(ContentBlock, ToolInputConvertsByJSONType) {
    auto blocks = ContentBlock::parse(R"({"content": [{"type": "tool_use", "id": "t", "name": "n",
        "input": {"flag": true, "one": 1, "half": 0.5, "none": null, "big": 9007199254740993,
                  "clips": [{"name": "a.mp4", "at": [0, 2.5]}, "b"]}}]})");
    ASSERT_EQ(blocks.size(), 1u);
    const ToolCall* tool = blocks[0].toolCallValue();
    ASSERT_NE(tool, nullptr);
    const JSONObject input = tool->input.members();
    EXPECT_EQ(input.at("flag"), JSONValue::boolean(true));
    EXPECT_EQ(input.at("one"), JSONValue::number(1.0));
    EXPECT_FALSE(input.at("one").boolValue().has_value());
    EXPECT_EQ(input.at("half"), JSONValue::number(0.5));
    EXPECT_TRUE(input.at("none").isNull());
    EXPECT_EQ(input.at("big"), JSONValue::number(9007199254740992.0));
    EXPECT_EQ(input.at("clips"),
              JSONValue::array({
                  JSONValue::object({
                      {"name", JSONValue::string("a.mp4")},
                      {"at", JSONValue::array({JSONValue::number(0), JSONValue::number(2.5)})},
                  }),
                  JSONValue::string("b"),
              }));
    EXPECT_EQ(input.size(), 6u);
}

TEST(ContentBlock, ExtractsMessageTextAndToolCalls) {
    std::vector<ContentBlock> blocks = {
        ContentBlock::text("a"),
        ContentBlock::toolUse(call("1", "undo")),
        ContentBlock::text("b"),
        ContentBlock::toolUse(call("2", "redo")),
    };
    EXPECT_EQ(ContentBlock::extractMessage(blocks), "a b");
    EXPECT_EQ(ContentBlock::extractToolCalls(blocks),
              (std::vector<ToolCall>{call("1", "undo"), call("2", "redo")}));

    EXPECT_EQ(ContentBlock::extractMessage({}), "");
    EXPECT_TRUE(ContentBlock::extractToolCalls({ContentBlock::text("x")}).empty());
    EXPECT_EQ(ContentBlock::extractMessage({ContentBlock::toolUse(call("1", "undo"))}), "");
    EXPECT_EQ(ContentBlock::extractMessage(
                  {ContentBlock::text(""), ContentBlock::text(""), ContentBlock::text("c")}),
              "  c");
}
