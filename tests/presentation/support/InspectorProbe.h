#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/EditCommand.h"
#include "presentation/views/inspectors/InspectorMenu.h"
#include "presentation/views/inspectors/InspectorSlider.h"
#include "presentation/views/kit/AnchoredPopup.h"
#include "presentation/views/kit/IconRegistry.h"
#include "support/RecordingLogger.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStringList>
#include <QVBoxLayout>
#include <QWidget>
#include <gtest/gtest.h>

#include <memory>
#include <ostream>
#include <vector>

// Texts read in failure messages.
inline void PrintTo(const QString& text, std::ostream* out) {
    *out << '"' << text.toStdString() << '"';
}

namespace vexel::test {

// Finds an inspector's controls as a person does: by the names a screen reader
// reads and the texts on show.

// The sliders, menus or buttons whose accessible name is `name`, in layout
// order; `index` picks among several (the In and Out groups of transitions).
inline InspectorSlider* slider(QWidget& root, const QString& name, int index = 0) {
    int seen = 0;
    for (InspectorSlider* candidate : root.findChildren<InspectorSlider*>()) {
        if (candidate->slider()->accessibleName() == name && seen++ == index) {
            return candidate;
        }
    }
    ADD_FAILURE() << "no slider " << name.toStdString();
    return nullptr;
}

inline InspectorMenu* menu(QWidget& root, const QString& name, int index = 0) {
    int seen = 0;
    for (InspectorMenu* candidate : root.findChildren<InspectorMenu*>()) {
        if (candidate->accessibleName() == name && seen++ == index) {
            return candidate;
        }
    }
    ADD_FAILURE() << "no menu " << name.toStdString();
    return nullptr;
}

inline QAbstractButton* button(QWidget& root, const QString& name) {
    for (QAbstractButton* candidate : root.findChildren<QAbstractButton*>()) {
        if (candidate->accessibleName() == name || candidate->text() == name) {
            return candidate;
        }
    }
    return nullptr;
}

// The accessible names of the buttons that start with `prefix`, in layout
// order ("Remove " gives the sections on show, top to bottom).
inline QStringList buttonNames(QWidget& root, const QString& prefix) {
    QStringList names;
    for (QAbstractButton* candidate : root.findChildren<QAbstractButton*>()) {
        if (candidate->accessibleName().startsWith(prefix) && candidate->isVisibleTo(&root)) {
            names << candidate->accessibleName();
        }
    }
    return names;
}

// Whether a label with exactly this text is on show.
inline bool showsText(QWidget& root, const QString& text) {
    for (QLabel* label : root.findChildren<QLabel*>()) {
        if (label->text() == text && label->isVisibleTo(&root)) {
            return true;
        }
    }
    return false;
}

// Picks the item with this text as a click in the open menu does.
inline void pick(InspectorMenu* menu, const QString& text) {
    ASSERT_NE(menu, nullptr);
    const int index = menu->findText(text);
    ASSERT_GE(index, 0) << text.toStdString();
    menu->setCurrentIndex(index);
    emit menu->activated(index);
}

// Shows `form` as its owners do: alone in an anchored popup beside `window`.
inline void showInPopup(QWidget& window, AnchoredPopup& popup, QWidget& form) {
    auto* layout = new QVBoxLayout(&popup);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(&form);
    window.resize(700, 700);
    window.show();
    popup.showAnchored(&window, QRect(20, 20, 100, 30));
}

// A popover over a form made from `clip`, shown as its owner shows it,
// recording what it hands over; a dismissal closes the popup, as the owner's
// does.
template <class Popover, class Form> struct ShownInspector {
    explicit ShownInspector(const Clip& clip)
        : state(std::make_shared<Form>(clip))
        , popover(
              state, icons,
              [this](std::vector<EditCommand> commands) { applied.push_back(commands); },
              [this] {
                  ++dismissals;
                  popup.hide();
              }) {
        showInPopup(window, popup, popover);
    }

    // The sections on show, by their remove buttons.
    QStringList sections() { return buttonNames(popover, QStringLiteral("Remove ")); }

    QWidget window;
    AnchoredPopup popup{&window};
    IconRegistry icons{std::make_shared<RecordingLogger>()};
    std::shared_ptr<Form> state;
    std::vector<std::vector<EditCommand>> applied;
    int dismissals = 0;
    // Gone before the popup that holds it.
    Popover popover;
};

} // namespace vexel::test
