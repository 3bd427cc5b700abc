#pragma once

#include <QFrame>
#include <QString>

namespace vexel {

// One line of plain text (a file or clip name, never markup) that gives up its
// middle to "…" when it does not fit, so both the start and the extension stay
// readable. The whole text is its tool tip while elided.
class ElidedLabel : public QFrame {
    Q_OBJECT

public:
    explicit ElidedLabel(QString text = {}, QWidget* parent = nullptr);

    const QString& text() const { return text_; }
    void setText(QString text);

    Qt::TextElideMode elideMode() const { return elideMode_; }
    void setElideMode(Qt::TextElideMode mode);

    Qt::Alignment alignment() const { return alignment_; }
    void setAlignment(Qt::Alignment alignment);

    // The text as drawn at the current width.
    QString displayedText() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override;

protected:
    bool event(QEvent* event) override;
    void paintEvent(QPaintEvent* event) override;

    QString text_;
    Qt::TextElideMode elideMode_ = Qt::ElideMiddle;
    Qt::Alignment alignment_ = Qt::AlignLeft | Qt::AlignVCenter;
};

} // namespace vexel
