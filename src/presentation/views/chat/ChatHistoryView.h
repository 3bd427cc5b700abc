#pragma once

// moc cannot parse the standard headers these bring in, and needs none of them.
#ifndef Q_MOC_RUN
#include "foundation/Uuid.h"
#include "presentation/viewmodels/InstructionViewModel.h"
#include "presentation/views/kit/IconRegistry.h"
#endif

#include <QPointer>
#include <QVariantAnimation>
#include <QWidget>

#include <unordered_map>
#include <vector>

class QScrollArea;
class QStackedWidget;
class QVBoxLayout;

namespace vexel {

class ChatBubble;
class MessageList;
class SuggestionChip;

// The conversation above the chat bar: one bubble per message that has text,
// kept by the message's id so that a streamed reply grows its own bubble and
// leaves every other one as it is; scrolled to the newest message when one
// comes or goes. An empty conversation offers suggestions instead, which fill
// the input without sending.
class ChatHistoryView : public QWidget {
    Q_OBJECT

public:
    ChatHistoryView(InstructionViewModel& viewModel, const IconRegistry& icons,
                    QWidget* parent = nullptr);
    ~ChatHistoryView() override;

    bool isShowingSuggestions() const;
    // The bubbles, top to bottom.
    std::vector<ChatBubble*> bubbles() const;
    ChatBubble* bubble(const Uuid& id) const;
    // The suggestion chips, top to bottom.
    std::vector<SuggestionChip*> chips() const;
    QScrollArea* messageScrollArea() const { return messageScroll_; }

private:
    void messageAppended(const Uuid& id);
    void messageUpdated(const Uuid& id);
    void messageRemoved(const Uuid& id);
    void errorIdsChanged();
    void choosePage();
    void showSuggestions();
    void retry(const Uuid& id);

    // The message with the id, searched from the newest (where streaming goes).
    const ChatMessage* findMessage(const Uuid& id) const;
    void addBubble(const ChatMessage& message);
    void removeBubble(const Uuid& id);
    void scheduleScrollToNewest();
    void scrollToNewest();

    QPointer<InstructionViewModel> viewModel_;
    const IconRegistry& icons_;
    QStackedWidget* pages_ = nullptr;
    QScrollArea* suggestionScroll_ = nullptr;
    QWidget* suggestions_ = nullptr;
    QVBoxLayout* chipLayout_ = nullptr;
    std::vector<std::string> shownSuggestions_;
    QScrollArea* messageScroll_ = nullptr;
    MessageList* messageList_ = nullptr;
    std::unordered_map<Uuid, ChatBubble*> bubbles_;
    bool scrollPending_ = false;
    QVariantAnimation scrollAnimation_;
};

} // namespace vexel
