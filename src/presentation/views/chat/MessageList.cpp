#include "presentation/views/chat/MessageList.h"

#include "presentation/views/chat/ChatBubble.h"

#include <QResizeEvent>

#include <algorithm>
#include <numeric>

namespace vexel {

MessageList::MessageList(QWidget* parent)
    : QWidget(parent) {
    // The scroll area asks a widget without a layout for its height at its
    // width only when the policy says it has one.
    QSizePolicy policy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    policy.setHeightForWidth(true);
    setSizePolicy(policy);
}

int MessageList::indexOf(const ChatBubble* bubble) const {
    const auto found = std::find(bubbles_.begin(), bubbles_.end(), bubble);
    return found == bubbles_.end() ? -1 : static_cast<int>(found - bubbles_.begin());
}

void MessageList::insert(int index, ChatBubble* bubble) {
    index = std::clamp(index, 0, count());
    bubble->setParent(this);
    bubbles_.insert(bubbles_.begin() + index, bubble);
    const int height =
        measuredWidth_ >= 0 ? bubble->heightForWidth(bubbleWidth(measuredWidth_)) : 0;
    heights_.insert(heights_.begin() + index, height);
    bubble->show();
    place(static_cast<std::size_t>(index));
    updateGeometry();
}

void MessageList::remove(ChatBubble* bubble) {
    const int index = indexOf(bubble);
    if (index < 0) {
        return;
    }
    bubbles_.erase(bubbles_.begin() + index);
    heights_.erase(heights_.begin() + index);
    bubble->hide();
    place(static_cast<std::size_t>(index));
    updateGeometry();
}

void MessageList::bubbleChanged(ChatBubble* bubble) {
    const int index = indexOf(bubble);
    if (index < 0 || measuredWidth_ < 0) {
        return;
    }
    const auto at = static_cast<std::size_t>(index);
    const int height = bubble->heightForWidth(bubbleWidth(measuredWidth_));
    if (height == heights_[at]) {
        return;
    }
    heights_[at] = height;
    place(at);
    updateGeometry();
}

int MessageList::totalHeight() const {
    if (bubbles_.empty()) {
        return 2 * padding;
    }
    return 2 * padding + std::accumulate(heights_.begin(), heights_.end(), 0) +
           spacing * (count() - 1);
}

int MessageList::heightForWidth(int width) const {
    if (width == measuredWidth_) {
        return totalHeight();
    }
    int total = 2 * padding + spacing * std::max(0, count() - 1);
    for (const ChatBubble* bubble : bubbles_) {
        total += bubble->heightForWidth(bubbleWidth(width));
    }
    return total;
}

QSize MessageList::sizeHint() const {
    return {200, measuredWidth_ >= 0 ? totalHeight() : heightForWidth(200)};
}

QSize MessageList::minimumSizeHint() const {
    return {ChatBubble::farSideMargin + 2 * padding + 40, 0};
}

void MessageList::measureAll(int width) {
    measuredWidth_ = width;
    for (std::size_t index = 0; index < bubbles_.size(); ++index) {
        heights_[index] = bubbles_[index]->heightForWidth(bubbleWidth(width));
    }
    place(0);
}

void MessageList::place(std::size_t first) {
    int y = padding;
    for (std::size_t index = 0; index < first && index < heights_.size(); ++index) {
        y += heights_[index] + spacing;
    }
    const int width = bubbleWidth(measuredWidth_ >= 0 ? measuredWidth_ : this->width());
    for (std::size_t index = first; index < bubbles_.size(); ++index) {
        bubbles_[index]->setGeometry(padding, y, width, heights_[index]);
        y += heights_[index] + spacing;
    }
}

void MessageList::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    if (event->size().width() != measuredWidth_) {
        measureAll(event->size().width());
        updateGeometry();
    }
}

} // namespace vexel
