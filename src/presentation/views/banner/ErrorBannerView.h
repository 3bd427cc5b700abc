#pragma once

#include "presentation/viewmodels/ErrorBannerViewModel.h"
#include "presentation/views/kit/IconRegistry.h"

#include <QColor>
#include <QFrame>
#include <QPoint>
#include <QPointer>
#include <QVariantAnimation>

#include <optional>

class QAbstractButton;
class QLabel;
class QGraphicsOpacityEffect;

namespace vexel {

class ElidedLabel;
class ErrorHistoryPopover;
class TactileButton;

// The strip that shows the editor's current error: its category's icon and
// tint, the message on one line (a click shows the detail, when there is one,
// and lets the message wrap), the suggested action, a button that hides it,
// and, from the second recorded error on, a count that opens the history.
// Takes no space while no error is on show.
class ErrorBannerView : public QFrame {
    Q_OBJECT

public:
    ErrorBannerView(ErrorBannerViewModel& viewModel, const IconRegistry& icons,
                    QWidget* parent = nullptr);
    ~ErrorBannerView() override;

    // Whether the message may wrap and the detail shows; kept from one error
    // to the next.
    bool isExpanded() const { return expanded_; }
    bool isHistoryShown() const;

    // The tint of the error on show.
    const QColor& tint() const { return tint_; }

    QAbstractButton* countBadge() const;
    QAbstractButton* dismissButton() const;
    ErrorHistoryPopover& historyPopover() const { return *history_; }
    // The message as it reads now (the one line, or the wrapped text).
    QString messageText() const;
    QLabel* detailLabel() const { return detail_; }
    QLabel* actionLabel() const { return action_; }

    // How high it is with its message on one line and no action: what a row
    // it is laid over gives it.
    int oneLineHeight() const;

    static constexpr int outerPadding = 4;
    static constexpr double cornerRadius = 6;

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    void showCurrentError();
    void showHistoryState();
    void toggleHistory();
    void setExpanded(bool expanded);
    void layoutExpansion();
    void animateIn();
    void animateOut();
    void fade(double from, double to, bool animated = true);
    void endAnimation();

    QPointer<ErrorBannerViewModel> viewModel_;
    const IconRegistry& icons_;
    QColor tint_;
    bool expanded_ = false;
    QPoint pressedAt_;
    bool pressed_ = false;
    std::optional<Uuid> shownId_;

    QLabel* icon_ = nullptr;
    ElidedLabel* line_ = nullptr;
    QLabel* wrapped_ = nullptr;
    TactileButton* badge_ = nullptr;
    TactileButton* dismiss_ = nullptr;
    QLabel* detail_ = nullptr;
    QLabel* action_ = nullptr;
    ErrorHistoryPopover* history_ = nullptr;

    QVariantAnimation animation_;
    QGraphicsOpacityEffect* fade_ = nullptr;
    bool leaving_ = false;
};

} // namespace vexel
