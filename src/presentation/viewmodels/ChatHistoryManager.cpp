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
    if (messages_ != messages) {
        messages_ = std::move(messages);
        emit messagesChanged();
    }
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
    messages_.push_back(std::move(message));
    emit messagesChanged();
}

void ChatHistoryManager::appendMessages(std::vector<ChatMessage> messages) {
    std::unordered_set<Uuid> known;
    for (const ChatMessage& message : messages_) {
        known.insert(message.id);
    }
    bool appended = false;
    for (ChatMessage& message : messages) {
        if (known.insert(message.id).second) {
            messages_.push_back(std::move(message));
            appended = true;
        }
    }
    if (appended) {
        emit messagesChanged();
    }
}

void ChatHistoryManager::appendAssistantMessage(std::string text) {
    messages_.push_back(assistantMessage(Uuid::random(), std::move(text)));
    emit messagesChanged();
}

ChatMessage ChatHistoryManager::appendErrorMessage(std::string text, std::string originalText) {
    ChatMessage message = assistantMessage(Uuid::random(), std::move(text));
    messages_.push_back(message);
    errorMessageIds_.insert(message.id);
    retryableInstructions_[message.id] = std::move(originalText);
    emit messagesChanged();
    emit errorMessageIdsChanged();
    emit retryableInstructionsChanged();
    return message;
}

void ChatHistoryManager::removeMessage(const Uuid& id) {
    if (std::erase_if(messages_, [&](const ChatMessage& message) { return message.id == id; }) >
        0) {
        emit messagesChanged();
    }
    if (errorMessageIds_.erase(id) > 0) {
        emit errorMessageIdsChanged();
    }
    if (retryableInstructions_.erase(id) > 0) {
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
    emit messagesChanged();
}

void ChatHistoryManager::finalizeStreamingMessage(const Uuid& id, std::string text) {
    const auto message = find(id);
    if (message == messages_.end()) {
        return;
    }
    if (unicode::trimmingWhitespace(text).empty()) {
        messages_.erase(message);
    } else {
        *message = assistantMessage(id, std::move(text));
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
