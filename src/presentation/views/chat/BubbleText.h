#pragma once

#include <QColor>
#include <QTextCursor>
#include <QTextDocument>
#include <QWidget>

#include <array>
#include <utility>

namespace vexel {

// The text of a chat bubble: plain text (never markup) on a rounded
// background, wrapped at word boundaries, or inside a word too long for the
// column (a path, a link), and selectable with the mouse for copying. While
// it has the keyboard, plain Delete, Backspace and Space do nothing, as in a
// text field, rather than act on the project; Ctrl+C copies, and the undo
// keys and the other shortcuts still reach the window.
class BubbleText : public QWidget {
    Q_OBJECT

public:
    static constexpr int horizontalPadding = 10;
    static constexpr int verticalPadding = 6;
    static constexpr double cornerRadius = 8;

    explicit BubbleText(QWidget* parent = nullptr);

    QString text() const { return text_; }
    void setText(const QString& text);

    const QColor& background() const { return background_; }
    void setColors(const QColor& background, const QColor& text);

    QString selectedText() const;
    void selectAll();
    void copy() const;

    bool hasHeightForWidth() const override { return true; }
    int heightForWidth(int width) const override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void focusOutEvent(QFocusEvent* event) override;

private:
    // Lays the text out `width` wide (padding excluded), unless it is already.
    void layoutText(int width) const;
    int positionAt(QPoint point) const;
    void invalidateLayout();

    QString text_;
    QColor background_;
    QColor textColor_;
    mutable QTextDocument document_;
    QTextCursor selection_;
    // Measured lazily and kept until the text or the font changes: the
    // layouts ask for the same widths again and again.
    mutable int idealWidth_ = -1;
    mutable int lineCount_ = 0;
    mutable int laidOutWidth_ = -1;
    mutable std::array<std::pair<int, int>, 2> heights_{{{-1, 0}, {-1, 0}}};
};

} // namespace vexel
