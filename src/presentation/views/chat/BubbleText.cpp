#include "presentation/views/chat/BubbleText.h"

#include <QAbstractTextDocumentLayout>
#include <QApplication>
#include <QClipboard>
#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QPainterPath>
#include <QTextOption>

#include <algorithm>
#include <cmath>

namespace vexel {

namespace {

// Qt looks back over the whole word for a boundary at every line it breaks, so
// a word thousands of characters long (a pasted blob, a reply gone wrong)
// costs the square of its length to lay out: seconds at 64 KiB, minutes at a
// megabyte. A text holding such a word wraps anywhere instead, which is linear.
bool holdsVeryLongWord(const QString& text) {
    constexpr qsizetype longestWord = 1000;
    qsizetype run = 0;
    for (const QChar character : text) {
        run = character.isSpace() ? 0 : run + 1;
        if (run > longestWord) {
            return true;
        }
    }
    return false;
}

// The window binds these to the project (delete the selected clip, play),
// and a text with the keyboard answers them as the chat field does: a read
// only text has nothing to erase and no space to type, so they do nothing.
bool isPlainTypingKey(const QKeyEvent& key) {
    const Qt::KeyboardModifiers modifiers = key.modifiers() & ~Qt::KeypadModifier;
    return modifiers == Qt::NoModifier &&
           (key.key() == Qt::Key_Delete || key.key() == Qt::Key_Backspace ||
            key.key() == Qt::Key_Space);
}

} // namespace

BubbleText::BubbleText(QWidget* parent)
    : QWidget(parent)
    , selection_(&document_) {
    setFocusPolicy(Qt::ClickFocus);
    setCursor(Qt::IBeamCursor);
    setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    document_.setDocumentMargin(0);
    document_.setUndoRedoEnabled(false);
    QTextOption option = document_.defaultTextOption();
    option.setWrapMode(QTextOption::WrapAtWordBoundaryOrAnywhere);
    document_.setDefaultTextOption(option);
    document_.setDefaultFont(font());
}

void BubbleText::setText(const QString& text) {
    if (text == text_) {
        return;
    }
    text_ = text;
    QTextOption option = document_.defaultTextOption();
    option.setWrapMode(holdsVeryLongWord(text_) ? QTextOption::WrapAnywhere
                                                : QTextOption::WrapAtWordBoundaryOrAnywhere);
    document_.setDefaultTextOption(option);
    document_.setPlainText(text_);
    selection_ = QTextCursor(&document_);
    invalidateLayout();
}

void BubbleText::setColors(const QColor& background, const QColor& text) {
    background_ = background;
    textColor_ = text;
    update();
}

void BubbleText::invalidateLayout() {
    idealWidth_ = -1;
    laidOutWidth_ = -1;
    heights_ = {{{-1, 0}, {-1, 0}}};
    updateGeometry();
    update();
}

void BubbleText::layoutText(int width) const {
    width = std::max(width, 1);
    if (laidOutWidth_ != width) {
        document_.setTextWidth(width);
        laidOutWidth_ = width;
    }
}

int BubbleText::heightForWidth(int width) const {
    for (const auto& [measured, height] : heights_) {
        if (measured == width) {
            return height;
        }
    }
    layoutText(width - 2 * horizontalPadding);
    const int height = int(std::ceil(document_.size().height())) + 2 * verticalPadding;
    // The newest two widths: the one laid out at and the one asked about.
    heights_[1] = heights_[0];
    heights_[0] = {width, height};
    return height;
}

QSize BubbleText::sizeHint() const {
    if (idealWidth_ < 0) {
        // The widest line unwrapped: short messages get a bubble just as wide.
        const QFontMetricsF metrics(font());
        double widest = 0;
        lineCount_ = 0;
        for (const QStringView line : QStringView(text_).split(QLatin1Char('\n'))) {
            widest = std::max(widest, metrics.horizontalAdvance(line.toString()));
            ++lineCount_;
        }
        idealWidth_ = int(std::ceil(widest)) + 1;
    }
    // Unwrapped, a line of text is a line on screen: no layout needed.
    const int lines = std::max(lineCount_, 1);
    return {idealWidth_ + 2 * horizontalPadding,
            int(std::ceil(lines * QFontMetricsF(font()).lineSpacing())) + 2 * verticalPadding};
}

QSize BubbleText::minimumSizeHint() const {
    const QFontMetrics metrics(font());
    return {metrics.averageCharWidth() * 2 + 2 * horizontalPadding,
            metrics.height() + 2 * verticalPadding};
}

bool BubbleText::event(QEvent* event) {
    // An accepted override keeps the key from the window's shortcuts.
    if (event->type() == QEvent::ShortcutOverride &&
        isPlainTypingKey(*static_cast<QKeyEvent*>(event))) {
        event->accept();
        return true;
    }
    if (event->type() == QEvent::FontChange) {
        document_.setDefaultFont(font());
        invalidateLayout();
    }
    return QWidget::event(event);
}

void BubbleText::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QPainterPath shape;
    shape.addRoundedRect(QRectF(rect()), cornerRadius, cornerRadius);
    painter.fillPath(shape, background_);

    layoutText(width() - 2 * horizontalPadding);
    painter.translate(horizontalPadding, verticalPadding);
    QAbstractTextDocumentLayout::PaintContext context;
    context.palette = palette();
    context.palette.setColor(QPalette::Text, textColor_);
    if (selection_.hasSelection()) {
        QAbstractTextDocumentLayout::Selection selected;
        selected.cursor = selection_;
        selected.format.setBackground(palette().color(QPalette::Highlight));
        selected.format.setForeground(palette().color(QPalette::HighlightedText));
        context.selections.push_back(selected);
    }
    document_.documentLayout()->draw(&painter, context);
}

int BubbleText::positionAt(QPoint point) const {
    layoutText(width() - 2 * horizontalPadding);
    const int position = document_.documentLayout()->hitTest(
        QPointF(point - QPoint(horizontalPadding, verticalPadding)), Qt::FuzzyHit);
    return std::max(position, 0);
}

void BubbleText::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mousePressEvent(event);
        return;
    }
    const int position = positionAt(event->position().toPoint());
    if (event->modifiers() & Qt::ShiftModifier) {
        selection_.setPosition(position, QTextCursor::KeepAnchor);
    } else {
        selection_.setPosition(position);
    }
    update();
}

void BubbleText::mouseMoveEvent(QMouseEvent* event) {
    if (!(event->buttons() & Qt::LeftButton)) {
        QWidget::mouseMoveEvent(event);
        return;
    }
    selection_.setPosition(positionAt(event->position().toPoint()), QTextCursor::KeepAnchor);
    update();
}

void BubbleText::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    selection_.setPosition(positionAt(event->position().toPoint()));
    selection_.select(QTextCursor::WordUnderCursor);
    update();
}

void BubbleText::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copy();
        return;
    }
    if (event->matches(QKeySequence::SelectAll)) {
        selectAll();
        return;
    }
    if (isPlainTypingKey(*event)) {
        // Taken, so that no widget around the text acts on it either.
        event->accept();
        return;
    }
    QWidget::keyPressEvent(event);
}

void BubbleText::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    QAction* copyAction = menu.addAction(tr("Copy"), this, &BubbleText::copy);
    copyAction->setEnabled(selection_.hasSelection());
    menu.addAction(tr("Select All"), this, &BubbleText::selectAll);
    menu.exec(event->globalPos());
}

void BubbleText::focusOutEvent(QFocusEvent* event) {
    // A context menu takes the focus for a moment; the selection it copies stays.
    if (event->reason() != Qt::PopupFocusReason) {
        selection_.clearSelection();
        update();
    }
    QWidget::focusOutEvent(event);
}

QString BubbleText::selectedText() const {
    // The cursor separates paragraphs with U+2029; a copy has line breaks.
    QString selected = selection_.selectedText();
    selected.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    selected.replace(QChar::LineSeparator, QLatin1Char('\n'));
    return selected;
}

void BubbleText::selectAll() {
    selection_.select(QTextCursor::Document);
    update();
}

void BubbleText::copy() const {
    if (selection_.hasSelection()) {
        QApplication::clipboard()->setText(selectedText());
    }
}

} // namespace vexel
