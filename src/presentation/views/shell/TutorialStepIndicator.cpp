#include "presentation/views/shell/TutorialStepIndicator.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/Theme.h"

#include <QHBoxLayout>
#include <QPainter>

#include <string>

namespace vexel {

TutorialStepDot::TutorialStepDot(QWidget* parent)
    : QWidget(parent) {
    setFixedSize(diameter, diameter);
}

void TutorialStepDot::setLit(bool lit) {
    if (lit_ != lit) {
        lit_ = lit;
        update();
    }
}

void TutorialStepDot::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(Qt::NoPen);
    QColor colour = toQColor(VexelColors::accent);
    if (!lit_) {
        colour = toQColor(VexelColors::textSecondary);
        colour.setAlphaF(0.3f);
    }
    painter.setBrush(colour);
    painter.drawEllipse(QRectF(rect()));
}

TutorialStepIndicator::TutorialStepIndicator(QWidget* parent)
    : QWidget(parent) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->setSpacing(6);
    const std::string total = std::to_string(stepCount);
    for (int position = 1; position <= stepCount; ++position) {
        auto* dot = new TutorialStepDot;
        const std::vector<std::string> values{std::to_string(position), total};
        dot->setAccessibleName(
            QString::fromStdString(tutorialStrings().localized("Step %@ of %@", values)));
        layout->addWidget(dot);
        dots_.push_back(dot);
    }
    setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Fixed);
}

void TutorialStepIndicator::setCurrentStep(std::optional<TutorialStep> step) {
    for (int index = 0; index < stepCount; ++index) {
        dots_[std::size_t(index)]->setLit(step && rawValue(*step) == index);
    }
}

} // namespace vexel
