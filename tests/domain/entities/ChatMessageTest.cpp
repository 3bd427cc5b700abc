#include "domain/entities/ChatMessage.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace vexel;

namespace {

ChatMessage::ToolUse toolUse() {
    return ChatMessage::ToolUse{"toolu_1", "set_volume", {{"volume", JSONValue::number(0.5)}}};
}

} // namespace

TEST(ChatMessage, ContentJoinsOnlyTheTextParts) {
    auto mixed = ChatMessage::make(ChatMessage::Role::assistant,
                                   {ChatMessage::Text{"a"}, toolUse(), ChatMessage::Text{"b"}});
    EXPECT_EQ(mixed.content(), "a b");
    EXPECT_TRUE(mixed.hasToolParts());

    auto toolsOnly = ChatMessage::make(
        ChatMessage::Role::user, {toolUse(), ChatMessage::ToolResult{"toolu_1", "ok", false}});
    EXPECT_EQ(toolsOnly.content(), "");

    EXPECT_EQ(ChatMessage::make(ChatMessage::Role::user, {}).content(), "");
    EXPECT_FALSE(ChatMessage::make(ChatMessage::Role::user, {}).hasToolParts());

    auto emptyTexts =
        ChatMessage::make(ChatMessage::Role::user,
                          {ChatMessage::Text{""}, ChatMessage::Text{""}, ChatMessage::Text{"x"}});
    EXPECT_EQ(emptyTexts.content(), "  x");
    EXPECT_FALSE(emptyTexts.hasToolParts());
}

TEST(ChatMessage, EqualityCoversIdentityTimeAndEveryPartField) {
    auto message = ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{"hi"}});
    ChatMessage copy = message;
    EXPECT_EQ(copy, message);

    auto sameParts = ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{"hi"}});
    EXPECT_NE(sameParts.id, message.id);
    EXPECT_NE(sameParts, message);

    ChatMessage later = message;
    later.timestamp += std::chrono::milliseconds(1);
    EXPECT_NE(later, message);

    ChatMessage otherRole = message;
    otherRole.role = ChatMessage::Role::assistant;
    EXPECT_NE(otherRole, message);

    ChatMessage::ToolResult result{"toolu_1", "Parsed", false};
    ChatMessage::ToolResult failed = result;
    failed.isError = true;
    EXPECT_NE(ChatMessage::ContentPart(result), ChatMessage::ContentPart(failed));

    ChatMessage::ToolUse changedInput = toolUse();
    JSONObject louder = changedInput.input.members();
    louder["volume"] = JSONValue::number(0.6);
    changedInput.input = louder;
    EXPECT_NE(ChatMessage::ContentPart(changedInput), ChatMessage::ContentPart(toolUse()));
    EXPECT_NE(ChatMessage::ContentPart(ChatMessage::Text{"toolu_1"}),
              ChatMessage::ContentPart(ChatMessage::ToolResult{"toolu_1", "", false}));
}

TEST(ChatMessage, NewMessagesGetAFreshIdAndTheCurrentTime) {
    auto before = std::chrono::system_clock::now();
    auto message = ChatMessage::make(ChatMessage::Role::user, {});
    auto after = std::chrono::system_clock::now();
    EXPECT_FALSE(message.id.isNil());
    EXPECT_LE(before, message.timestamp);
    EXPECT_LE(message.timestamp, after);
}

TEST(ChatMessage, RoleRawValues) {
    EXPECT_EQ(rawValue(ChatMessage::Role::user), "user");
    EXPECT_EQ(rawValue(ChatMessage::Role::assistant), "assistant");
    EXPECT_EQ(chatRoleFromRaw("assistant"), ChatMessage::Role::assistant);
    EXPECT_EQ(chatRoleFromRaw("user"), ChatMessage::Role::user);
    EXPECT_FALSE(chatRoleFromRaw("system").has_value());
    EXPECT_FALSE(chatRoleFromRaw("User").has_value());
    EXPECT_FALSE(chatRoleFromRaw("").has_value());
}
