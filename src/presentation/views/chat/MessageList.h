#pragma once

#include <QWidget>

#include <vector>

namespace vexel {

class ChatBubble;

// The column of chat bubbles, top to bottom. Lays its bubbles out itself and
// keeps each one's height for the current width, so that a reply streaming
// into the last bubble measures that bubble alone, however long the
// conversation above it: a box layout would measure every bubble again.
class MessageList : public QWidget {
    Q_OBJECT

public:
    static constexpr int padding = 8;
    static constexpr int spacing = 8;

    explicit MessageList(QWidget* parent = nullptr);

    // Takes the bubble as a child, at `index` among the bubbles.
    void insert(int index, ChatBubble* bubble);
    // Gives the bubble up (it stays alive, hidden, for its owner to delete).
    void remove(ChatBubble* bubble);
    // The bubble's content changed: measure it again.
    void bubbleChanged(ChatBubble* bubble);

    const std::vector<ChatBubble*>& bubbles() const { return bubbles_; }
    int count() const { return static_cast<int>(bubbles_.size()); }

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    void resizeEvent(QResizeEvent* event) override;

private:
    struct Entry {
        ChatBubble* bubble;
        int height = 0;
    };

    int bubbleWidth(int width) const { return std::max(0, width - 2 * padding); }
    // Measures every bubble at the width and sets them all in place.
    void measureAll(int width);
    // Sets the bubbles from `first` on in place, from their kept heights.
    void place(std::size_t first);
    int totalHeight() const;
    int indexOf(const ChatBubble* bubble) const;

    std::vector<ChatBubble*> bubbles_;
    std::vector<int> heights_;
    int measuredWidth_ = -1;
};

} // namespace vexel
