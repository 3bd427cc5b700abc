#pragma once

#include "presentation/views/kit/TactileButton.h"

#include <QColor>
#include <QVariantAnimation>

namespace vexel {

// The chat bar's Send button. While the guided tutorial waits for the user to
// send something, a highlight over it swells and fades for ever (or, under
// reduced motion, stays lit).
class SendButton : public TactileButton {
    Q_OBJECT

public:
    static constexpr double cornerRadius = 6;

    explicit SendButton(QWidget* parent = nullptr);
    ~SendButton() override;

    bool isHighlighted() const { return highlighted_; }
    void setHighlighted(bool highlighted);

    // The colour over the button now; transparent when not highlighted.
    QColor highlightColor() const;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    void startPulse();

    bool highlighted_ = false;
    // 0: the resting colour, 1: the lit one.
    double phase_ = 0;
    QVariantAnimation pulse_;
};

} // namespace vexel
