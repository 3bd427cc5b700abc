#pragma once

#include <QVariantAnimation>
#include <QWidget>

namespace vexel {

// A small indeterminate spinner: an arc that turns while shown, or stands
// still under reduced motion.
class ActivitySpinner : public QWidget {
    Q_OBJECT

public:
    explicit ActivitySpinner(QWidget* parent = nullptr);
    ~ActivitySpinner() override;

    QSize sizeHint() const override;

protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    double angle_ = 0;
    QVariantAnimation turn_;
};

} // namespace vexel
