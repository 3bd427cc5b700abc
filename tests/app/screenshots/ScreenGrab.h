#pragma once

#include "presentation/support/EventLoop.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPixmap>
#include <QPushButton>
#include <QScreen>
#include <QTest>
#include <gtest/gtest.h>

#include <chrono>

namespace vexel::test {

// The question the application has opened over its window, once it shows.
inline QMessageBox* waitForQuestion() {
    const QDeadlineTimer deadline(std::chrono::seconds(20));
    while (!deadline.hasExpired()) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* box = qobject_cast<QMessageBox*>(widget);
            if (box != nullptr && box->isVisible()) {
                EXPECT_TRUE(QTest::qWaitForWindowExposed(box));
                return box;
            }
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ADD_FAILURE() << "no question was opened";
    return nullptr;
}

// The file panel titled `title` that the application has opened, once it
// shows.
inline QFileDialog* waitForFilePanel(const QString& title,
                                     std::chrono::milliseconds limit = std::chrono::seconds(20)) {
    const QDeadlineTimer deadline(limit);
    while (!deadline.hasExpired()) {
        for (QWidget* widget : QApplication::topLevelWidgets()) {
            auto* panel = qobject_cast<QFileDialog*>(widget);
            if (panel != nullptr && panel->isVisible() && panel->windowTitle() == title) {
                EXPECT_TRUE(QTest::qWaitForWindowExposed(panel));
                return panel;
            }
        }
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
    }
    ADD_FAILURE() << "no file panel \"" << title.toStdString() << "\" opened";
    return nullptr;
}

// The screen where the window is, with the question on top, as the user sees
// it; written into "screenshots/<name>" of the build tree.
inline void saveScreen(QWidget& window, const QString& name) {
    settle();
    const QRect area = window.frameGeometry();
    const QPixmap picture =
        window.screen()->grabWindow(0, area.x(), area.y(), area.width(), area.height());
    const QDir folder(QStringLiteral(VEXEL_SCREENSHOT_DIR));
    folder.mkpath(QStringLiteral("."));
    EXPECT_TRUE(picture.save(folder.filePath(name))) << name.toStdString();
}

inline QStringList buttonTexts(const QMessageBox& box) {
    QStringList texts;
    for (const QAbstractButton* button : box.buttons()) {
        texts.push_back(button->text());
    }
    texts.sort();
    return texts;
}

inline QAbstractButton* buttonNamed(const QMessageBox& box, const QString& text) {
    for (QAbstractButton* button : box.buttons()) {
        if (button->text() == text) {
            return button;
        }
    }
    return nullptr;
}

} // namespace vexel::test
