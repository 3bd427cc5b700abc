#include "presentation/views/chat/ChatBubble.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/chat/BubbleText.h"
#include "presentation/views/kit/PlainLabel.h"
#include "presentation/views/kit/Theme.h"

#include <QHBoxLayout>
#include <QToolButton>
#include <QVBoxLayout>

namespace vexel {

ChatBubble::ChatBubble(const ChatMessage& message, bool isError, const IconRegistry& icons,
                       QWidget* parent)
    : QWidget(parent)
    , id_(message.id)
    , role_(message.role)
    , isError_(isError) {
    const bool fromUser = role_ == ChatMessage::Role::user;
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(0, 0, 0, 0);
    column->setSpacing(4);

    auto* row = new QHBoxLayout;
    row->setContentsMargins(0, 0, 0, 0);
    row->setSpacing(0);
    text_ = new BubbleText;
    text_->setFont(vexel::font(FontStyle::callout));
    text_->setText(QString::fromStdString(message.content()));
    auto* farSide =
        new QSpacerItem(farSideMargin, 0, QSizePolicy::MinimumExpanding, QSizePolicy::Minimum);
    if (fromUser) {
        row->addSpacerItem(farSide);
        row->addWidget(text_);
    } else {
        row->addWidget(text_);
        row->addSpacerItem(farSide);
    }
    column->addLayout(row);

    auto* retry = new QToolButton;
    retry->setText(tr("Retry"));
    retry->setFont(vexel::font(FontStyle::caption));
    retry->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    retry->setAutoRaise(true);
    retry->setFocusPolicy(Qt::NoFocus);
    retry->setCursor(Qt::PointingHandCursor);
    const QColor red = toQColor(VexelColors::error);
    retry->setIcon(icons.icon("arrow.clockwise", red));
    const int glyph = QFontMetrics(retry->font()).height() - 2;
    retry->setIconSize(QSize(glyph, glyph));
    setTextColor(retry, red);
    retry->setStyleSheet(QStringLiteral("QToolButton { border: none; padding: 0px; }"));
    connect(retry, &QToolButton::clicked, this, [this] { emit retryRequested(id_); });
    retry_ = retry;
    column->addWidget(retry_, 0, fromUser ? Qt::AlignRight : Qt::AlignLeft);

    setError(isError);
}

void ChatBubble::setMessage(const ChatMessage& message) {
    text_->setText(QString::fromStdString(message.content()));
}

void ChatBubble::setError(bool isError) {
    isError_ = isError;
    retry_->setVisible(isError_);
    applyColors();
}

QString ChatBubble::text() const {
    return text_->text();
}

QColor ChatBubble::backgroundColor() const {
    if (isError_) {
        return toQColor(VexelColors::error.withOpacity(0.15));
    }
    if (role_ == ChatMessage::Role::user) {
        return toQColor(VexelColors::accent);
    }
    return toQColor(VexelColors::surface800);
}

void ChatBubble::applyColors() {
    const QColor textColor = role_ == ChatMessage::Role::user
                                 ? QColor(Qt::white)
                                 : palette().color(QPalette::WindowText);
    text_->setColors(backgroundColor(), textColor);
}

} // namespace vexel
