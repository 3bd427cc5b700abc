#pragma once

#include <QPushButton>
#include <QVariantAnimation>

namespace vexel {

// The program's button: while pressed its face shrinks a little about its
// centre and springs back on release, eased out, or at once under reduced
// motion. It never takes the keyboard focus, so typing and the window's keys
// stay where they were.
class TactileButton : public QPushButton {
    Q_OBJECT

public:
    explicit TactileButton(QWidget* parent = nullptr);
    explicit TactileButton(const QString& text, QWidget* parent = nullptr);

    // The scale the face is drawn at now.
    double faceScale() const { return scale_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    void animateTo(double scale);

    double scale_ = 1.0;
    QVariantAnimation animation_;
};

} // namespace vexel
