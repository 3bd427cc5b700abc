#pragma once

#include "domain/entities/ChatMessage.h"
#include "foundation/Uuid.h"
#include "presentation/viewmodels/runtime/Clock.h"

#include <QObject>

#include <map>
#include <memory>
#include <set>
#include <string>
#include <vector>

namespace vexel {

// The chat transcript: the messages the chat panel shows and the assistant
// gets back as history, which assistant messages are error notices, and the
// instruction a retry of each notice sends again. Also the streaming protocol
// of a reply that arrives piece by piece. Kept in memory, without a limit,
// until the next new or opened project. GUI thread only.
//
// Messages are told apart by id alone; contents are never compared. Besides
// messagesChanged, which tells of any change, each message that comes, changes
// or goes is told by its id, so that a view can touch only its bubble while a
// reply streams in.
class ChatHistoryManager : public QObject {
    Q_OBJECT

public:
    explicit ChatHistoryManager(
        std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>(),
        QObject* parent = nullptr);

    const std::vector<ChatMessage>& messages() const { return messages_; }
    const std::set<Uuid>& errorMessageIds() const { return errorMessageIds_; }
    const std::map<Uuid, std::string>& retryableInstructions() const {
        return retryableInstructions_;
    }

    // Whole-value assignments (a reset); each tells only when the value changed.
    // A new list of messages counts as every old message gone and every new
    // one come.
    void setMessages(std::vector<ChatMessage> messages);
    void setErrorMessageIds(std::set<Uuid> ids);
    void setRetryableInstructions(std::map<Uuid, std::string> instructions);

    // Appends the message unless one with its id is already there.
    void appendMessage(ChatMessage message);
    // Appends, in order, each message whose id is neither present nor earlier
    // in the list.
    void appendMessages(std::vector<ChatMessage> messages);
    // A new assistant message with the text, appended without any check.
    void appendAssistantMessage(std::string text);
    // A new assistant message shown as an error notice, whose retry sends
    // `originalText` again.
    ChatMessage appendErrorMessage(std::string text, std::string originalText);
    // Removes every message with the id, and its notice and retry text.
    void removeMessage(const Uuid& id);

    // An empty assistant message with the id, unless one with it exists.
    void appendStreamingMessage(const Uuid& id);
    // The first message with the id becomes an assistant message holding the
    // text, stamped now; nothing when no message has the id.
    void updateStreamingMessage(const Uuid& id, std::string text);
    // Like updateStreamingMessage, except that a text empty after trimming
    // spaces and tabs removes that message instead.
    void finalizeStreamingMessage(const Uuid& id, std::string text);

signals:
    void messagesChanged();
    // The message with the id is now in messages(), at the end unless a reset
    // put it elsewhere.
    void messageAppended(const vexel::Uuid& id);
    // The message with the id holds new content.
    void messageUpdated(const vexel::Uuid& id);
    // No message with the id is left.
    void messageRemoved(const vexel::Uuid& id);
    void errorMessageIdsChanged();
    void retryableInstructionsChanged();

private:
    ChatMessage assistantMessage(const Uuid& id, std::string text) const;
    std::vector<ChatMessage>::iterator find(const Uuid& id);
    bool contains(const Uuid& id) const;

    std::shared_ptr<const Clock> clock_;
    std::vector<ChatMessage> messages_;
    std::set<Uuid> errorMessageIds_;
    std::map<Uuid, std::string> retryableInstructions_;
};

} // namespace vexel
