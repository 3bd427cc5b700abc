#pragma once

#include "presentation/views/inspectors/InspectorParts.h"
#include "presentation/views/inspectors/InspectorSlider.h"
#include "presentation/views/inspectors/SliderScale.h"

#include <QLayout>
#include <QObject>
#include <QString>
#include <QWidget>

#include <utility>

namespace vexel {

// How the inspectors tie their controls to a form: a control shows the form's
// field now and on every change of it, and writes back only what the user does.

// Calls `update` now and whenever `signal` of the form fires, for as long as
// `view` lives.
template <class Form, class Signal, class Update>
void follow(Form* form, Signal signal, QObject* view, Update update) {
    QObject::connect(form, signal, view, update);
    update();
}

// A number of a form: how it is read, written and announced.
template <class Form> struct NumberField {
    double (Form::*get)() const;
    void (Form::*set)(double);
    void (Form::*changed)();
};

// A labelled slider row, as the inspector tables describe one.
struct SliderRow {
    QString label;
    int labelWidth;
    SliderScale scale;
    int sliderWidth;
    int readoutWidth;
    QString accessibleName;
    InspectorSlider::Readout readout;
    FontStyle labelStyle = FontStyle::caption;
};

// Adds the row to `parent`'s layout, bound to `field` of `form`.
template <class Form>
InspectorSlider* addSliderRow(QWidget* parent, Form* form, NumberField<Form> field, SliderRow row) {
    auto* slider = new InspectorSlider(row.scale, row.sliderWidth, row.readoutWidth,
                                       row.accessibleName, std::move(row.readout),
                                       [form, field](double value) { (form->*field.set)(value); });
    follow(form, field.changed, slider,
           [form, field, slider] { slider->showValue((form->*field.get)()); });
    parent->layout()->addWidget(
        makeParameterRow(row.label, row.labelWidth, slider, row.labelStyle));
    return slider;
}

} // namespace vexel
