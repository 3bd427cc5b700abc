#pragma once

#include "presentation/views/kit/IconRegistry.h"

#include <QFrame>

class QAbstractButton;

namespace vexel {

class ElidedLabel;

// The line above the chat bar that says which clip the next instruction is
// about and where its actions are, until the user dismisses it for good.
class SelectionHintBar : public QFrame {
    Q_OBJECT

public:
    explicit SelectionHintBar(const IconRegistry& icons, QWidget* parent = nullptr);

    // "Selected: <name> — Right-click or Ctrl+K for actions"
    static QString hintText(const QString& clipName);

    void setClipName(const QString& clipName);
    QString text() const;
    QAbstractButton* dismissButton() const { return dismiss_; }

signals:
    void dismissed();

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    ElidedLabel* label_ = nullptr;
    QAbstractButton* dismiss_ = nullptr;
};

} // namespace vexel
