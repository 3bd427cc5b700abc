#pragma once

#include "domain/entities/ChatMessage.h"
#include "presentation/views/kit/IconRegistry.h"

#include <QColor>
#include <QWidget>

class QAbstractButton;
class QHBoxLayout;

namespace vexel {

class BubbleText;

// One message of the chat: the user's on the right in the accent colour, the
// assistant's on the left; an error notice tinted, with a Retry link under it.
// The far side always keeps a margin free, so no bubble spans the column.
class ChatBubble : public QWidget {
    Q_OBJECT

public:
    static constexpr int farSideMargin = 40;

    ChatBubble(const ChatMessage& message, bool isError, const IconRegistry& icons,
               QWidget* parent = nullptr);

    const Uuid& messageId() const { return id_; }
    ChatMessage::Role role() const { return role_; }
    bool isError() const { return isError_; }

    // The message's new content (a streamed reply growing).
    void setMessage(const ChatMessage& message);
    void setError(bool isError);

    QString text() const;
    QColor backgroundColor() const;
    BubbleText* textView() const { return text_; }
    QAbstractButton* retryButton() const { return retry_; }

signals:
    void retryRequested(const vexel::Uuid& id);

private:
    void applyColors();

    Uuid id_;
    ChatMessage::Role role_;
    bool isError_;
    BubbleText* text_ = nullptr;
    QAbstractButton* retry_ = nullptr;
};

} // namespace vexel
