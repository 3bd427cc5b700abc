#include "presentation/views/chat/ExportProgressStrip.h"

#include "presentation/theme/VexelColors.h"
#include "presentation/views/kit/PlainLabel.h"
#include "presentation/views/kit/Theme.h"

#include <QLabel>
#include <QProgressBar>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>

namespace vexel {

ExportProgressStrip::ExportProgressStrip(QWidget* parent)
    : QWidget(parent) {
    auto* column = new QVBoxLayout(this);
    column->setContentsMargins(8, 0, 8, 0);
    column->setSpacing(4);
    bar_ = new QProgressBar;
    bar_->setRange(0, resolution);
    bar_->setTextVisible(false);
    bar_->setFixedHeight(6);
    column->addWidget(bar_);
    label_ = plainLabel({}, FontStyle::caption, toQColor(VexelColors::textSecondary));
    label_->setAlignment(Qt::AlignHCenter);
    column->addWidget(label_);
    setVisible(false);
}

QString ExportProgressStrip::phaseText(ExportProgress::Phase phase) {
    switch (phase) {
    case ExportProgress::Phase::preparing:
        return tr("Preparing...");
    case ExportProgress::Phase::transferring:
        return tr("Exporting...");
    case ExportProgress::Phase::finalizing:
        break;
    }
    return tr("Finalizing...");
}

void ExportProgressStrip::setProgress(const std::optional<ExportProgress>& progress) {
    setVisible(progress.has_value());
    if (!progress) {
        return;
    }
    // Not a number shows as empty rather than reaching the bar's integer.
    const double fraction = std::isfinite(progress->fraction) ? progress->fraction : 0;
    bar_->setValue(int(std::lround(std::clamp(fraction, 0.0, 1.0) * resolution)));
    label_->setText(phaseText(progress->phase));
}

QString ExportProgressStrip::text() const {
    return label_->text();
}

double ExportProgressStrip::fraction() const {
    return double(bar_->value()) / resolution;
}

} // namespace vexel
