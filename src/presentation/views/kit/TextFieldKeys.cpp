#include "presentation/views/kit/TextFieldKeys.h"

#include <QKeyEvent>
#include <QKeySequence>
#include <QLineEdit>

namespace vexel {

namespace {

enum class Claim { field, window, undecided };

Claim claimOf(const QKeyEvent& key, const QLineEdit& field) {
    if (field.isReadOnly()) {
        return Claim::undecided;
    }
    if (key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete) {
        return Claim::field;
    }
    if (key.matches(QKeySequence::Undo)) {
        return field.isUndoAvailable() ? Claim::field : Claim::window;
    }
    if (key.matches(QKeySequence::Redo)) {
        return field.isUndoAvailable() || field.isRedoAvailable() ? Claim::field : Claim::window;
    }
    return Claim::undecided;
}

} // namespace

TextFieldKeys::TextFieldKeys(QLineEdit& field)
    : QObject(&field)
    , field_(field) {
    field.installEventFilter(this);
}

bool TextFieldKeys::eventFilter(QObject* watched, QEvent* event) {
    // An accepted override keeps a key from the window's shortcuts and sends
    // it to the field; one left ignored lets the shortcut have it.
    if (watched == &field_ && event->type() == QEvent::ShortcutOverride) {
        switch (claimOf(*static_cast<QKeyEvent*>(event), field_)) {
        case Claim::field:
            event->accept();
            return true;
        case Claim::window:
            event->ignore();
            return true;
        case Claim::undecided:
            break;
        }
    }
    return QObject::eventFilter(watched, event);
}

} // namespace vexel
