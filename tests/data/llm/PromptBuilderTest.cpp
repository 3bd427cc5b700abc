#include "data/llm/PromptBuilder.h"

#include "foundation/UnicodeText.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>

using namespace vexel;

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
