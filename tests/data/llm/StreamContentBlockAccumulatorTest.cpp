#include "data/llm/StreamContentBlockAccumulator.h"

#include "data/llm/AssistantReplyError.h"

#include <gtest/gtest.h>

using namespace vexel;

namespace {

using Event = AnthropicStreamEvent;
using Feedback = StreamContentBlockAccumulator::Feedback;

Event textStart(std::int64_t index) {
    return Event::ContentBlockStart{index, Event::ContentBlockType::text()};
}

Event toolStart(std::int64_t index, std::string id, std::string name) {
    return Event::ContentBlockStart{
        index, Event::ContentBlockType::toolUse(std::move(id), std::move(name))};
}

Event stop(std::int64_t index) {
    return Event::ContentBlockStop{index};
}

Event jsonPiece(std::int64_t index, std::string fragment) {
    return Event::InputJsonDelta{index, std::move(fragment)};
}

} // namespace

TEST(StreamContentBlockAccumulator, JoinsTextDeltasPerBlockAndReportsEachPiece) {
    StreamContentBlockAccumulator accumulator;
    EXPECT_FALSE(accumulator.feed(Event::MessageStart{10}));
    EXPECT_FALSE(accumulator.feed(textStart(0)));
    EXPECT_EQ(accumulator.feed(Event::TextDelta{0, "A"}), Feedback(Feedback::TextDelta{"A"}));
    EXPECT_EQ(accumulator.feed(Event::TextDelta{0, ""}), Feedback(Feedback::TextDelta{""}));
    EXPECT_EQ(accumulator.feed(Event::TextDelta{0, "B"}), Feedback(Feedback::TextDelta{"B"}));
    EXPECT_TRUE(accumulator.completedBlocks().empty());
    EXPECT_FALSE(accumulator.feed(stop(0)));
    EXPECT_EQ(accumulator.completedBlocks(), std::vector{ContentBlock::text("AB")});

    // A text block without deltas is an empty text block; a delta without a
    // start opens its buffer.
    accumulator.feed(textStart(1));
    accumulator.feed(stop(1));
    accumulator.feed(Event::TextDelta{2, "late"});
    accumulator.feed(stop(2));
    EXPECT_EQ(accumulator.completedBlocks(),
              (std::vector{ContentBlock::text("AB"), ContentBlock::text(""),
                           ContentBlock::text("late")}));
}

TEST(StreamContentBlockAccumulator, ParsesJoinedToolInputWhenTheBlockStops) {
    StreamContentBlockAccumulator accumulator;
    EXPECT_EQ(accumulator.feed(toolStart(0, "toolu_1", "set_volume")),
              Feedback(Feedback::ToolUseStarted{"set_volume"}));
    for (const char* fragment : {"", "{\"tar", "get\": \"a.mp4\", \"vol", "ume\": 5, ",
                                 "\"nested\": {\"on\": true, \"list\": [1, null]}}"}) {
        EXPECT_FALSE(accumulator.feed(jsonPiece(0, fragment)));
    }
    accumulator.feed(stop(0));
    ASSERT_EQ(accumulator.completedBlocks().size(), 1u);
    const ToolCall* call = accumulator.completedBlocks()[0].toolCallValue();
    ASSERT_NE(call, nullptr);
    EXPECT_EQ(call->id, "toolu_1");
    EXPECT_EQ(call->name, "set_volume");
    EXPECT_EQ(call->input,
              (JSONObject{{"target", JSONValue::string("a.mp4")},
                          {"volume", JSONValue::number(5.0)},
                          {"nested",
                           JSONValue::object({{"on", JSONValue::boolean(true)},
                                              {"list", JSONValue::array({JSONValue::number(1),
                                                                         JSONValue::null()})}})}}));
}

TEST(StreamContentBlockAccumulator, MissingInputIsEmptyAndInputThatIsNoObjectIsMarked) {
    StreamContentBlockAccumulator accumulator;
    accumulator.feed(toolStart(0, "t0", "undo"));
    accumulator.feed(stop(0));
    accumulator.feed(toolStart(1, "t1", "split_clip"));
    accumulator.feed(jsonPiece(1, "{\"target\": \"a.mp4\", \"at\":"));
    accumulator.feed(stop(1));
    accumulator.feed(toolStart(2, "t2", "split_clip"));
    accumulator.feed(jsonPiece(2, "[1, 2]"));
    accumulator.feed(stop(2));
    accumulator.feed(toolStart(3, "", ""));
    accumulator.feed(jsonPiece(3, "\"text\""));
    accumulator.feed(stop(3));
    // Input nested far deeper than any reply needs is malformed too, not a
    // walk off the end of the stack.
    accumulator.feed(toolStart(4, "t4", "undo"));
    accumulator.feed(jsonPiece(4, "{\"a\": " + std::string(300000, '[')));
    accumulator.feed(jsonPiece(4, std::string(300000, ']') + "}"));
    accumulator.feed(stop(4));
    accumulator.feed(toolStart(5, "t5", "redo"));
    accumulator.feed(jsonPiece(5, ""));
    accumulator.feed(jsonPiece(5, " \n"));
    accumulator.feed(stop(5));
    const auto marked = [](std::string id, std::string name) {
        ToolCall call{std::move(id), std::move(name), {}};
        call.malformedInput = true;
        return ContentBlock::toolUse(std::move(call));
    };
    EXPECT_EQ(accumulator.completedBlocks(),
              (std::vector{ContentBlock::toolUse({"t0", "undo", {}}), marked("t1", "split_clip"),
                           marked("t2", "split_clip"), marked("", ""), marked("t4", "undo"),
                           ContentBlock::toolUse({"t5", "redo", {}})}));
}

TEST(StreamContentBlockAccumulator, AToolInputPastItsLimitRefusesTheReply) {
    const std::size_t limit = StreamContentBlockAccumulator::maxToolInputBytes;
    StreamContentBlockAccumulator accumulator;
    // Exactly at the limit is still an input; each call has a limit of its own.
    for (int index : {0, 1}) {
        accumulator.feed(toolStart(index, "t", "add_text"));
        const std::string head = "{\"text\": \"";
        accumulator.feed(jsonPiece(index, head));
        accumulator.feed(jsonPiece(index, std::string(limit - head.size() - 2, 'a')));
        accumulator.feed(jsonPiece(index, "\"}"));
        accumulator.feed(stop(index));
    }
    ASSERT_EQ(accumulator.completedBlocks().size(), 2u);
    EXPECT_EQ(accumulator.completedBlocks()[1]
                  .toolCallValue()
                  ->input.members()
                  .at("text")
                  .stringValue()
                  ->size(),
              limit - 12);

    accumulator.feed(toolStart(2, "t", "add_text"));
    accumulator.feed(jsonPiece(2, std::string(limit, ' ')));
    try {
        accumulator.feed(jsonPiece(2, " "));
        ADD_FAILURE() << "a tool input past its limit was taken";
    } catch (const AssistantReplyError& error) {
        EXPECT_EQ(error.kind(), AssistantReplyError::Kind::toolInputTooLong);
    }
}

TEST(StreamContentBlockAccumulator, KeepsBlocksInStopOrderAndIgnoresUnknownStops) {
    StreamContentBlockAccumulator accumulator;
    accumulator.feed(textStart(0));
    accumulator.feed(toolStart(1, "t1", "undo"));
    accumulator.feed(Event::TextDelta{0, "first"});
    accumulator.feed(jsonPiece(1, "{}"));
    accumulator.feed(stop(1));
    accumulator.feed(stop(0));
    accumulator.feed(stop(0)); // already finished
    accumulator.feed(stop(7)); // never started
    // A block that never stops is left out.
    accumulator.feed(textStart(2));
    accumulator.feed(Event::TextDelta{2, "cut off"});
    EXPECT_EQ(accumulator.completedBlocks(), (std::vector{ContentBlock::toolUse({"t1", "undo", {}}),
                                                          ContentBlock::text("first")}));

    // A later text start on a finished index begins a fresh block.
    accumulator.feed(textStart(0));
    accumulator.feed(Event::TextDelta{0, "again"});
    accumulator.feed(stop(0));
    EXPECT_EQ(accumulator.completedBlocks().back(), ContentBlock::text("again"));
}

TEST(StreamContentBlockAccumulator, KeepsTheStopReasonOfTheLastMessageDelta) {
    StreamContentBlockAccumulator accumulator;
    EXPECT_EQ(accumulator.stopReason(), std::nullopt);
    EXPECT_FALSE(accumulator.feed(Event::MessageDelta{"tool_use", 5}));
    EXPECT_EQ(accumulator.stopReason(), "tool_use");
    accumulator.feed(Event::MessageStop{});
    EXPECT_EQ(accumulator.stopReason(), "tool_use");
    accumulator.feed(Event::MessageDelta{std::nullopt, 0});
    EXPECT_EQ(accumulator.stopReason(), std::nullopt);
    accumulator.feed(Event::MessageDelta{"end_turn", 1});
    EXPECT_EQ(accumulator.stopReason(), "end_turn");
}
