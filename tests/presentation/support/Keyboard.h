#pragma once

#include <QKeyCombination>
#include <QString>
#include <QTest>
#include <QWidget>
#include <QWindow>

namespace vexel::test {

// Keys pressed on a shown, active window, delivered as the window system
// delivers them: the widget with the focus may claim a key first, else the
// window's shortcuts take it, else it goes to the focused widget. Nothing is
// sent to a widget of the test's choosing, so a key lands where a person's
// would.
inline void press(QWidget& window, QKeyCombination keys) {
    QTest::keyClick(window.window()->windowHandle(), keys.key(), keys.keyboardModifiers());
}

// Types `text` (ASCII) key by key.
inline void type(QWidget& window, const QString& text) {
    for (const QChar character : text) {
        QTest::keyClick(window.window()->windowHandle(), character.toLatin1());
    }
}

} // namespace vexel::test
