#include "presentation/views/chat/ChatHistoryView.h"

#include "foundation/UnicodeText.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/views/chat/ChatBubble.h"
#include "presentation/views/chat/MessageList.h"
#include "presentation/views/chat/SuggestionChip.h"
#include "presentation/views/kit/Motion.h"
#include "presentation/views/kit/PlainLabel.h"
#include "presentation/views/kit/Theme.h"

#include <QCoreApplication>
#include <QLabel>
#include <QScrollArea>
#include <QScrollBar>
#include <QStackedWidget>
#include <QVBoxLayout>

#include <algorithm>
#include <chrono>

namespace vexel {

namespace {

constexpr std::chrono::milliseconds scrollAnimation{180};

// Tool-only turns and a reply before its first text have nothing to show.
bool isDisplayed(const ChatMessage& message) {
    return !unicode::trimmingWhitespaceAndNewlines(message.content()).empty();
}

QScrollArea* makeScrollArea(QWidget* content) {
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    scroll->setWidget(content);
    // The column's own background shows through.
    scroll->viewport()->setAutoFillBackground(false);
    content->setAutoFillBackground(false);
    return scroll;
}

} // namespace

ChatHistoryView::ChatHistoryView(InstructionViewModel& viewModel, const IconRegistry& icons,
                                 QWidget* parent)
    : QWidget(parent)
    , viewModel_(&viewModel)
    , icons_(icons) {
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    pages_ = new QStackedWidget;
    layout->addWidget(pages_);

    // The suggestions, centred in whatever room the column has.
    suggestions_ = new QWidget;
    auto* centring = new QVBoxLayout(suggestions_);
    centring->setContentsMargins(16, 16, 16, 16);
    centring->addStretch();
    centring->addWidget(
        plainLabel(tr("Try saying:"), FontStyle::headline, toQColor(VexelColors::textSecondary)));
    chipLayout_ = new QVBoxLayout;
    chipLayout_->setSpacing(12);
    centring->addSpacing(12 - centring->spacing());
    centring->addLayout(chipLayout_);
    centring->addStretch();
    suggestionScroll_ = makeScrollArea(suggestions_);
    pages_->addWidget(suggestionScroll_);

    messageList_ = new MessageList;
    messageScroll_ = makeScrollArea(messageList_);
    pages_->addWidget(messageScroll_);

    scrollAnimation_.setEasingCurve(QEasingCurve::OutCubic);
    connect(&scrollAnimation_, &QVariantAnimation::valueChanged, this,
            [this](const QVariant& value) {
                messageScroll_->verticalScrollBar()->setValue(value.toInt());
            });

    ChatHistoryManager& chat = viewModel.chatHistory();
    for (const ChatMessage& message : chat.messages()) {
        if (isDisplayed(message)) {
            addBubble(message);
        }
    }
    connect(&chat, &ChatHistoryManager::messageAppended, this, &ChatHistoryView::messageAppended);
    connect(&chat, &ChatHistoryManager::messageUpdated, this, &ChatHistoryView::messageUpdated);
    connect(&chat, &ChatHistoryManager::messageRemoved, this, &ChatHistoryView::messageRemoved);
    connect(&chat, &ChatHistoryManager::errorMessageIdsChanged, this,
            &ChatHistoryView::errorIdsChanged);
    // The suggestions depend on the project and the selection.
    TimelineViewModel& timeline = viewModel.timelineViewModel();
    connect(&timeline, &TimelineViewModel::projectChanged, this, &ChatHistoryView::choosePage);
    connect(&timeline, &TimelineViewModel::selectedClipIdChanged, this,
            &ChatHistoryView::choosePage);
    choosePage();
}

ChatHistoryView::~ChatHistoryView() {
    scrollAnimation_.stop();
}

bool ChatHistoryView::isShowingSuggestions() const {
    return pages_->currentWidget() == suggestionScroll_;
}

std::vector<ChatBubble*> ChatHistoryView::bubbles() const {
    return messageList_->bubbles();
}

ChatBubble* ChatHistoryView::bubble(const Uuid& id) const {
    const auto found = bubbles_.find(id);
    return found == bubbles_.end() ? nullptr : found->second;
}

std::vector<SuggestionChip*> ChatHistoryView::chips() const {
    std::vector<SuggestionChip*> result;
    for (int index = 0; index < chipLayout_->count(); ++index) {
        if (auto* chip = qobject_cast<SuggestionChip*>(chipLayout_->itemAt(index)->widget())) {
            result.push_back(chip);
        }
    }
    return result;
}

const ChatMessage* ChatHistoryView::findMessage(const Uuid& id) const {
    const std::vector<ChatMessage>& messages = viewModel_->chatHistory().messages();
    const auto found = std::find_if(messages.rbegin(), messages.rend(),
                                    [&](const ChatMessage& message) { return message.id == id; });
    return found == messages.rend() ? nullptr : &*found;
}

void ChatHistoryView::messageAppended(const Uuid& id) {
    if (!viewModel_) {
        return;
    }
    if (const ChatMessage* message = findMessage(id); message && isDisplayed(*message)) {
        addBubble(*message);
    }
    choosePage();
    scheduleScrollToNewest();
}

void ChatHistoryView::messageUpdated(const Uuid& id) {
    if (!viewModel_) {
        return;
    }
    const ChatMessage* message = findMessage(id);
    ChatBubble* shown = bubble(id);
    if (message == nullptr || !isDisplayed(*message)) {
        removeBubble(id);
    } else if (shown != nullptr) {
        shown->setMessage(*message);
        messageList_->bubbleChanged(shown);
    } else {
        // The first text of a streamed reply: its bubble appears, without a scroll.
        addBubble(*message);
    }
}

void ChatHistoryView::messageRemoved(const Uuid& id) {
    removeBubble(id);
    choosePage();
    scheduleScrollToNewest();
}

void ChatHistoryView::addBubble(const ChatMessage& message) {
    if (bubbles_.contains(message.id)) {
        return;
    }
    // Among the bubbles, it goes after those of the messages before it.
    int index = 0;
    for (const ChatMessage& other : viewModel_->chatHistory().messages()) {
        if (other.id == message.id) {
            break;
        }
        if (bubbles_.contains(other.id)) {
            ++index;
        }
    }
    auto* shown = new ChatBubble(
        message, viewModel_->chatHistory().errorMessageIds().contains(message.id), icons_);
    connect(shown, &ChatBubble::retryRequested, this, &ChatHistoryView::retry);
    bubbles_.emplace(message.id, shown);
    messageList_->insert(index, shown);
}

void ChatHistoryView::removeBubble(const Uuid& id) {
    const auto found = bubbles_.find(id);
    if (found == bubbles_.end()) {
        return;
    }
    ChatBubble* shown = found->second;
    bubbles_.erase(found);
    messageList_->remove(shown);
    // Its own signal may be on the stack (a retry that ended the conversation).
    shown->deleteLater();
}

void ChatHistoryView::errorIdsChanged() {
    if (!viewModel_) {
        return;
    }
    const std::set<Uuid>& errors = viewModel_->chatHistory().errorMessageIds();
    for (const auto& [id, shown] : bubbles_) {
        if (shown->isError() != errors.contains(id)) {
            shown->setError(errors.contains(id));
            messageList_->bubbleChanged(shown);
        }
    }
}

void ChatHistoryView::choosePage() {
    if (!viewModel_) {
        return;
    }
    if (!viewModel_->chatHistory().messages().empty()) {
        pages_->setCurrentWidget(messageScroll_);
        return;
    }
    showSuggestions();
    pages_->setCurrentWidget(suggestionScroll_);
}

void ChatHistoryView::showSuggestions() {
    std::vector<std::string> suggestions = viewModel_->contextualSuggestions();
    if (suggestions == shownSuggestions_) {
        return;
    }
    shownSuggestions_ = std::move(suggestions);
    while (QLayoutItem* item = chipLayout_->takeAt(0)) {
        delete item->widget();
        delete item;
    }
    for (const std::string& suggestion : shownSuggestions_) {
        auto* chip = new SuggestionChip(QString::fromStdString(suggestion), icons_);
        connect(chip, &SuggestionChip::clicked, this, [this, suggestion] {
            if (viewModel_) {
                viewModel_->setInstructionText(suggestion);
            }
        });
        chipLayout_->addWidget(chip);
    }
}

void ChatHistoryView::retry(const Uuid& id) {
    if (!viewModel_) {
        return;
    }
    const std::map<Uuid, std::string>& retryable =
        viewModel_->chatHistory().retryableInstructions();
    const auto found = retryable.find(id);
    if (found == retryable.end()) {
        return;
    }
    viewModel_->setInstructionText(found->second);
    viewModel_->startSubmit();
}

void ChatHistoryView::scheduleScrollToNewest() {
    if (scrollPending_) {
        return;
    }
    scrollPending_ = true;
    // Once the list has taken its new size.
    QMetaObject::invokeMethod(this, &ChatHistoryView::scrollToNewest, Qt::QueuedConnection);
}

void ChatHistoryView::scrollToNewest() {
    scrollPending_ = false;
    if (!viewModel_) {
        return;
    }
    const std::vector<ChatMessage>& messages = viewModel_->chatHistory().messages();
    ChatBubble* newest = nullptr;
    for (auto message = messages.rbegin(); message != messages.rend() && newest == nullptr;
         ++message) {
        newest = bubble(message->id);
    }
    if (newest == nullptr) {
        return;
    }
    // The scroll area sizes the list and its range now rather than later.
    QEvent request(QEvent::LayoutRequest);
    QCoreApplication::sendEvent(messageScroll_, &request);
    QScrollBar* bar = messageScroll_->verticalScrollBar();
    const int bottom = newest->geometry().y() + newest->height();
    const int target =
        std::clamp(bottom - messageScroll_->viewport()->height(), bar->minimum(), bar->maximum());
    scrollAnimation_.stop();
    const auto duration = animationDuration(scrollAnimation);
    if (duration.count() == 0 || !isVisible()) {
        bar->setValue(target);
        return;
    }
    scrollAnimation_.setDuration(int(duration.count()));
    scrollAnimation_.setStartValue(bar->value());
    scrollAnimation_.setEndValue(target);
    scrollAnimation_.start();
}

} // namespace vexel
