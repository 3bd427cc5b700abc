#pragma once

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>

namespace vexel::test {

// Draws `widget` as it is now into "screenshots/<name>" of the build tree, for
// people to look at, and hands the picture back for what a test can check.
inline QImage saveScreenshot(QWidget& widget, const QString& name) {
    const QDir folder(QStringLiteral(VEXEL_SCREENSHOT_DIR));
    folder.mkpath(QStringLiteral("."));
    const QPixmap picture = widget.grab();
    EXPECT_TRUE(picture.save(folder.filePath(name))) << name.toStdString();
    return picture.toImage();
}

} // namespace vexel::test
