#include "presentation/viewmodels/ChatHistoryManager.h"

#include "presentation/support/ManualTime.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

using namespace vexel;
using namespace std::chrono_literals;

namespace {

std::string textOf(const ChatMessage& message) {
    return message.content();
}

ChatMessage userMessage(std::string text) {
    return ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{std::move(text)}});
}

struct ChatHistoryManagerTest : ::testing::Test {
    std::shared_ptr<test::ManualTime> time = std::make_shared<test::ManualTime>();
    ChatHistoryManager chat{time};
};

} // namespace

TEST_F(ChatHistoryManagerTest, AppendsEachIdOnceAndKeepsErrorNoticesWithTheirRetryTexts) {
    QSignalSpy changes(&chat, &ChatHistoryManager::messagesChanged);
    const ChatMessage first = userMessage("Trim the intro");
    const ChatMessage second = userMessage("Add music");
    chat.appendMessage(first);
    chat.appendMessage(first);
    chat.appendMessages({second, second, first, userMessage("Fade out")});
    ASSERT_EQ(chat.messages().size(), 3u);
    EXPECT_EQ(chat.messages()[1].id, second.id);
    EXPECT_EQ(textOf(chat.messages()[2]), "Fade out");
    EXPECT_EQ(changes.count(), 2); // the repeated first append changed nothing

    // Two notices of the same text are two notices, each with its own retry.
    const ChatMessage notice = chat.appendErrorMessage("Failed.", "  trim it ");
    const ChatMessage again = chat.appendErrorMessage("Failed.", "trim it again");
    EXPECT_NE(notice.id, again.id);
    EXPECT_EQ(notice.role, ChatMessage::Role::assistant);
    EXPECT_EQ(notice.timestamp, time->now());
    EXPECT_EQ(chat.errorMessageIds(), (std::set<Uuid>{notice.id, again.id}));
    EXPECT_EQ(chat.retryableInstructions().at(notice.id), "  trim it ");

    // Removing a notice takes its retry with it.
    QSignalSpy retries(&chat, &ChatHistoryManager::retryableInstructionsChanged);
    chat.removeMessage(notice.id);
    EXPECT_EQ(chat.messages().size(), 4u);
    EXPECT_EQ(chat.errorMessageIds(), (std::set<Uuid>{again.id}));
    EXPECT_FALSE(chat.retryableInstructions().contains(notice.id));
    EXPECT_EQ(retries.count(), 1);

    // A reset tells only what it changes.
    QSignalSpy ids(&chat, &ChatHistoryManager::errorMessageIdsChanged);
    chat.setErrorMessageIds({again.id});
    EXPECT_EQ(ids.count(), 0);
    chat.setErrorMessageIds({});
    EXPECT_EQ(ids.count(), 1);
}

TEST_F(ChatHistoryManagerTest, StreamingMessagesGrowAndCloseOrVanish) {
    const Uuid id = Uuid::random();
    chat.appendStreamingMessage(id);
    chat.appendStreamingMessage(id);
    ASSERT_EQ(chat.messages().size(), 1u);
    EXPECT_EQ(textOf(chat.messages()[0]), "");

    time->advance(2s);
    chat.updateStreamingMessage(id, "Trimming");
    EXPECT_EQ(textOf(chat.messages()[0]), "Trimming");
    EXPECT_EQ(chat.messages()[0].timestamp, time->now());

    // An unknown id neither changes nor adds anything.
    QSignalSpy changes(&chat, &ChatHistoryManager::messagesChanged);
    chat.updateStreamingMessage(Uuid::random(), "lost");
    chat.finalizeStreamingMessage(Uuid::random(), "lost");
    EXPECT_EQ(changes.count(), 0);
    EXPECT_EQ(chat.messages().size(), 1u);

    // The closing text is kept as it is, trailing space included...
    chat.finalizeStreamingMessage(id, "Trimmed the clip. ");
    EXPECT_EQ(textOf(chat.messages()[0]), "Trimmed the clip. ");
    // ...and a blank one removes the message.
    const Uuid blank = Uuid::random();
    chat.appendStreamingMessage(blank);
    chat.finalizeStreamingMessage(blank, " \t ");
    ASSERT_EQ(chat.messages().size(), 1u);
    EXPECT_EQ(chat.messages()[0].id, id);
    // Line breaks are not blank.
    chat.appendStreamingMessage(blank);
    chat.finalizeStreamingMessage(blank, "\n");
    EXPECT_EQ(chat.messages().size(), 2u);
}

TEST_F(ChatHistoryManagerTest, TellsWhichMessageCameChangedOrWentBeforeTheWholeChange) {
    // Each signal as "<kind> <index of the id>", in order; the whole-list
    // signal as "*".
    std::vector<Uuid> ids;
    std::vector<std::string> told;
    const auto name = [&](const Uuid& id) {
        const auto found = std::find(ids.begin(), ids.end(), id);
        if (found == ids.end()) {
            ids.push_back(id);
            return std::to_string(ids.size() - 1);
        }
        return std::to_string(found - ids.begin());
    };
    QObject::connect(&chat, &ChatHistoryManager::messageAppended,
                     [&](const Uuid& id) { told.push_back("+" + name(id)); });
    QObject::connect(&chat, &ChatHistoryManager::messageUpdated,
                     [&](const Uuid& id) { told.push_back("~" + name(id)); });
    QObject::connect(&chat, &ChatHistoryManager::messageRemoved,
                     [&](const Uuid& id) { told.push_back("-" + name(id)); });
    QObject::connect(&chat, &ChatHistoryManager::messagesChanged, [&] { told.push_back("*"); });
    // A handler of an appended notice already finds it marked and retryable.
    bool noticeWasWhole = false;
    QObject::connect(&chat, &ChatHistoryManager::messageAppended, [&](const Uuid& id) {
        noticeWasWhole = chat.errorMessageIds().contains(id) &&
                         chat.retryableInstructions().contains(id) &&
                         chat.messages().back().id == id;
    });

    const ChatMessage first = userMessage("Trim");
    const ChatMessage second = userMessage("Fade");
    const Uuid streaming = Uuid::random();
    const Uuid blank = Uuid::random();
    const struct {
        std::function<void()> change;
        std::vector<std::string> expected;
    } cases[] = {
        {[&] { chat.appendMessage(first); }, {"+0", "*"}},
        {[&] { chat.appendMessage(first); }, {}},
        {[&] {
             chat.appendMessages({second, first, second});
         },
         {"+1", "*"}},
        {[&] { chat.appendStreamingMessage(streaming); }, {"+2", "*"}},
        {[&] { chat.updateStreamingMessage(streaming, "Wor"); }, {"~2", "*"}},
        {[&] { chat.updateStreamingMessage(Uuid::random(), "lost"); }, {}},
        {[&] { chat.finalizeStreamingMessage(streaming, "Working."); }, {"~2", "*"}},
        {[&] { chat.appendStreamingMessage(blank); }, {"+3", "*"}},
        {[&] { chat.finalizeStreamingMessage(blank, " "); }, {"-3", "*"}},
        {[&] { chat.appendAssistantMessage("Cancelled."); }, {"+4", "*"}},
        {[&] { chat.removeMessage(second.id); }, {"-1", "*"}},
        {[&] { chat.removeMessage(second.id); }, {}},
        // A reset: every old message goes, every new one comes.
        {[&] { chat.setMessages({first}); }, {"-0", "-2", "-4", "+0", "*"}},
        {[&] { chat.setMessages({first}); }, {}},
        {[&] { chat.setMessages({}); }, {"-0", "*"}},
    };
    for (const auto& c : cases) {
        told.clear();
        c.change();
        EXPECT_EQ(told, c.expected) << ::testing::PrintToString(c.expected);
    }

    told.clear();
    const ChatMessage notice = chat.appendErrorMessage("Failed.", "Trim");
    EXPECT_TRUE(noticeWasWhole);
    EXPECT_EQ(told, (std::vector<std::string>{"+" + name(notice.id), "*"}));
}
