#pragma once

#include "presentation/views/inspectors/SliderScale.h"

#include <QLabel>
#include <QSlider>
#include <QWidget>

#include <functional>

namespace vexel {

// A slider with its value text, bound to one number of an inspector's form.
// The form's value is shown as it is, also off the slider's grid or outside
// its range (the knob then rests at the nearest position): only a move by the
// user writes a value back, and then always one on the grid.
class InspectorSlider : public QWidget {
    Q_OBJECT

public:
    using Readout = std::function<QString(double)>;
    using Write = std::function<void(double)>;

    InspectorSlider(SliderScale scale, int sliderWidth, int readoutWidth,
                    const QString& accessibleName, Readout readout, Write write,
                    QWidget* parent = nullptr);

    // Shows the form's value without writing anything back.
    void showValue(double value);

    QSlider* slider() const { return slider_; }
    QString readoutText() const { return readout_->text(); }

private:
    SliderScale scale_;
    Readout format_;
    Write write_;
    QSlider* slider_;
    QLabel* readout_;
};

} // namespace vexel
