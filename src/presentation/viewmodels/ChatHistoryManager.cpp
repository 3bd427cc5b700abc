#include "presentation/viewmodels/ChatHistoryManager.h"

#include "foundation/UnicodeText.h"

#include <algorithm>
#include <unordered_set>
#include <utility>

namespace vexel {

ChatHistoryManager::ChatHistoryManager(std::shared_ptr<const Clock> clock, QObject* parent)
    : QObject(parent)
    , clock_(std::move(clock)) {}

void ChatHistoryManager::setMessages(std::vector<ChatMessage> messages) {
    if (messages_ == messages) {
        return;
    }
    const std::vector<ChatMessage> old = std::exchange(messages_, std::move(messages));
    for (const ChatMessage& message : old) {
        emit messageRemoved(message.id);
    }
    for (const ChatMessage& message : messages_) {
        emit messageAppended(message.id);
    }
    emit messagesChanged();
}

void ChatHistoryManager::setErrorMessageIds(std::set<Uuid> ids) {
    if (errorMessageIds_ != ids) {
        errorMessageIds_ = std::move(ids);
        emit errorMessageIdsChanged();
    }
}

void ChatHistoryManager::setRetryableInstructions(std::map<Uuid, std::string> instructions) {
    if (retryableInstructions_ != instructions) {
        retryableInstructions_ = std::move(instructions);
        emit retryableInstructionsChanged();
    }
}

void ChatHistoryManager::appendMessage(ChatMessage message) {
    if (contains(message.id)) {
        return;
    }
    const Uuid id = message.id;
    messages_.push_back(std::move(message));
    emit messageAppended(id);
    emit messagesChanged();
}

void ChatHistoryManager::appendMessages(std::vector<ChatMessage> messages) {
    std::unordered_set<Uuid> known;
    for (const ChatMessage& message : messages_) {
        known.insert(message.id);
    }
    const std::size_t before = messages_.size();
    for (ChatMessage& message : messages) {
        if (known.insert(message.id).second) {
            messages_.push_back(std::move(message));
        }
    }
    if (messages_.size() == before) {
        return;
    }
    // Told once all are in, so that a handler reads the whole new list.
    for (std::size_t index = before; index < messages_.size(); ++index) {
        emit messageAppended(messages_[index].id);
    }
    emit messagesChanged();
}

void ChatHistoryManager::appendAssistantMessage(std::string text) {
    const Uuid id = Uuid::random();
    messages_.push_back(assistantMessage(id, std::move(text)));
    emit messageAppended(id);
    emit messagesChanged();
}

ChatMessage ChatHistoryManager::appendErrorMessage(std::string text, std::string originalText) {
    ChatMessage message = assistantMessage(Uuid::random(), std::move(text));
    messages_.push_back(message);
    errorMessageIds_.insert(message.id);
    retryableInstructions_[message.id] = std::move(originalText);
    // The notice is whole (marked and retryable) before anyone hears of it.
    emit messageAppended(message.id);
    emit messagesChanged();
    emit errorMessageIdsChanged();
    emit retryableInstructionsChanged();
    return message;
}

void ChatHistoryManager::removeMessage(const Uuid& id) {
    const bool removed =
        std::erase_if(messages_, [&](const ChatMessage& message) { return message.id == id; }) > 0;
    const bool wasNotice = errorMessageIds_.erase(id) > 0;
    const bool hadRetry = retryableInstructions_.erase(id) > 0;
    if (removed) {
        emit messageRemoved(id);
        emit messagesChanged();
    }
    if (wasNotice) {
        emit errorMessageIdsChanged();
    }
    if (hadRetry) {
        emit retryableInstructionsChanged();
    }
}

void ChatHistoryManager::appendStreamingMessage(const Uuid& id) {
    appendMessage(assistantMessage(id, ""));
}

void ChatHistoryManager::updateStreamingMessage(const Uuid& id, std::string text) {
    const auto message = find(id);
    if (message == messages_.end()) {
        return;
    }
    *message = assistantMessage(id, std::move(text));
    emit messageUpdated(id);
    emit messagesChanged();
}

void ChatHistoryManager::finalizeStreamingMessage(const Uuid& id, std::string text) {
    const auto message = find(id);
    if (message == messages_.end()) {
        return;
    }
    if (unicode::trimmingWhitespace(text).empty()) {
        messages_.erase(message);
        // Only the first message with the id went (a reset may have given
        // two the same id): gone is gone only when none is left.
        if (!contains(id)) {
            emit messageRemoved(id);
        }
    } else {
        *message = assistantMessage(id, std::move(text));
        emit messageUpdated(id);
    }
    emit messagesChanged();
}

ChatMessage ChatHistoryManager::assistantMessage(const Uuid& id, std::string text) const {
    return ChatMessage{
        id, ChatMessage::Role::assistant, {ChatMessage::Text{std::move(text)}}, clock_->now()};
}

std::vector<ChatMessage>::iterator ChatHistoryManager::find(const Uuid& id) {
    return std::find_if(messages_.begin(), messages_.end(),
                        [&](const ChatMessage& message) { return message.id == id; });
}

bool ChatHistoryManager::contains(const Uuid& id) const {
    return std::any_of(messages_.begin(), messages_.end(),
                       [&](const ChatMessage& message) { return message.id == id; });
}

} // namespace vexel
