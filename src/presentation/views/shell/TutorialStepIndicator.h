#pragma once

#include "presentation/helpers/TutorialStep.h"

#include <QWidget>

#include <optional>
#include <vector>

namespace vexel {

// One dot of the tutorial's progress: lit for the step the user is on. Read
// aloud as "Step 2 of 6".
class TutorialStepDot : public QWidget {
    Q_OBJECT

public:
    static constexpr int diameter = 8;

    explicit TutorialStepDot(QWidget* parent = nullptr);

    bool isLit() const { return lit_; }
    void setLit(bool lit);

    QSize sizeHint() const override { return {diameter, diameter}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    bool lit_ = false;
};

// The row of dots under a tutorial card: one per step before the end, the
// current one lit.
class TutorialStepIndicator : public QWidget {
    Q_OBJECT

public:
    // Every step but `complete`.
    static constexpr int stepCount = 6;

    explicit TutorialStepIndicator(QWidget* parent = nullptr);

    void setCurrentStep(std::optional<TutorialStep> step);
    const std::vector<TutorialStepDot*>& dots() const { return dots_; }

private:
    std::vector<TutorialStepDot*> dots_;
};

} // namespace vexel
