#pragma once

#include <QObject>

class QLineEdit;

namespace vexel {

// Settles which keys a one-line text field keeps in a window whose shortcuts
// use editing keys too. Backspace and Delete, with any modifier, are always
// the field's: Ctrl+Backspace and Ctrl+Delete erase a word, even while the
// window's Delete Selected Clip is bound to them. Ctrl+Z is the field's while
// it has typing to undo, Ctrl+Shift+Z while it has typing to undo or to redo;
// otherwise they reach the window, so that an emptied field (an instruction
// just sent) undoes the project. GUI thread only; lives as long as the field.
class TextFieldKeys : public QObject {
    Q_OBJECT

public:
    // Watches `field`, which owns it.
    explicit TextFieldKeys(QLineEdit& field);

    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QLineEdit& field_;
};

} // namespace vexel
