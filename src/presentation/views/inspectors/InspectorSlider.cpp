#include "presentation/views/inspectors/InspectorSlider.h"

#include "presentation/views/kit/Theme.h"

#include <QHBoxLayout>
#include <QSignalBlocker>

#include <utility>

namespace vexel {

InspectorSlider::InspectorSlider(SliderScale scale, int sliderWidth, int readoutWidth,
                                 const QString& accessibleName, Readout readout, Write write,
                                 QWidget* parent)
    : QWidget(parent)
    , scale_(scale)
    , format_(std::move(readout))
    , write_(std::move(write))
    , slider_(new QSlider(Qt::Horizontal, this))
    , readout_(new QLabel(this)) {
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    slider_->setRange(0, scale_.lastPosition());
    slider_->setSingleStep(1);
    slider_->setPageStep(1);
    slider_->setFixedWidth(sliderWidth);
    slider_->setAccessibleName(accessibleName);
    readout_->setTextFormat(Qt::PlainText);
    readout_->setFont(vexel::font(FontStyle::caption));
    readout_->setAlignment(Qt::AlignCenter);
    readout_->setFixedWidth(readoutWidth);
    layout->addWidget(slider_);
    layout->addWidget(readout_);
    layout->addStretch();
    // Positions set by show() are blocked, so this hears the user alone.
    connect(slider_, &QSlider::valueChanged, this, [this](int position) {
        if (write_) {
            write_(scale_.value(position));
        }
    });
}

void InspectorSlider::showValue(double value) {
    const QSignalBlocker blocker(slider_);
    slider_->setValue(scale_.position(value));
    readout_->setText(format_(value));
}

} // namespace vexel
