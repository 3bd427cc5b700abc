#include "presentation/views/kit/IconRegistry.h"

#include "presentation/support/Screenshot.h"
#include "presentation/views/kit/Theme.h"
#include "support/RecordingLogger.h"

#include <QGridLayout>
#include <QLabel>
#include <QWidget>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexel;

namespace {

// Every symbol the windows ask for.
const std::vector<std::string> symbolNames{
    "arrow.clockwise",
    "arrow.uturn.backward",
    "arrow.uturn.forward",
    "backward.end.fill",
    "brain",
    "camera.filters",
    "checkmark",
    "checkmark.circle.fill",
    "chevron.down",
    "clock.badge.exclamationmark",
    "doc.badge.ellipsis",
    "doc.badge.plus",
    "exclamationmark.circle",
    "exclamationmark.triangle",
    "film",
    "film.stack",
    "forward.end.fill",
    "gobackward.10",
    "goforward.10",
    "graduationcap",
    "hand.wave.fill",
    "info.circle",
    "keyboard",
    "lock.trianglebadge.exclamationmark",
    "minus.magnifyingglass",
    "pause.fill",
    "photo",
    "play.fill",
    "plus",
    "plus.magnifyingglass",
    "questionmark.circle",
    "square.and.arrow.up",
    "square.and.arrow.up.fill",
    "text.bubble",
    "text.bubble.fill",
    "textformat",
    "timeline.selection",
    "trash",
    "video",
    "wand.and.stars",
    "waveform",
    "wifi.slash",
    "xmark",
    "xmark.circle.fill",
};

// The share of the box the drawing covers.
double inkShare(const QImage& image) {
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            inked += image.pixelColor(x, y).alpha() > 128 ? 1 : 0;
        }
    }
    return double(inked) / (image.width() * image.height());
}

TEST(IconRegistryScreenshotTest, EverySymbolIsDrawnLegiblyAtTheSizesTheWindowsUse) {
    auto logger = std::make_shared<test::RecordingLogger>();
    const IconRegistry icons(logger);
    EXPECT_EQ(IconRegistry::names(), symbolNames);

    QWidget sheet;
    sheet.setAutoFillBackground(true);
    auto* grid = new QGridLayout(&sheet);
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(6);
    constexpr int columns = 4;
    for (std::size_t index = 0; index < symbolNames.size(); ++index) {
        const std::string& name = symbolNames[index];
        SCOPED_TRACE(name);
        ASSERT_TRUE(IconRegistry::contains(name));
        // At the smallest size a line is a pixel or two: the drawing must
        // still cover some of the box, and never fill it.
        for (const int size : {12, 16, 24}) {
            const QImage drawn = icons.pixmap(name, QSize(size, size), Qt::white).toImage();
            const double share = inkShare(drawn);
            EXPECT_GT(share, 0.04) << size;
            EXPECT_LT(share, 0.8) << size;
        }
        auto* cell = new QWidget(&sheet);
        auto* row = new QHBoxLayout(cell);
        row->setContentsMargins(0, 0, 0, 0);
        for (const int size : {12, 16, 32}) {
            auto* image = new QLabel(cell);
            image->setPixmap(icons.pixmap(name, QSize(size, size), Qt::white));
            image->setFixedSize(34, 34);
            image->setAlignment(Qt::AlignCenter);
            row->addWidget(image);
        }
        auto* label = new QLabel(QString::fromStdString(name), cell);
        label->setTextFormat(Qt::PlainText);
        label->setFont(font(FontStyle::caption));
        row->addWidget(label, 1);
        grid->addWidget(cell, int(index) / columns, int(index) % columns);
    }
    sheet.resize(sheet.sizeHint());
    sheet.show();
    const QImage picture = test::saveScreenshot(sheet, QStringLiteral("kit-icons.png"));
    EXPECT_FALSE(picture.isNull());
    EXPECT_TRUE(logger->messages().empty());
}

} // namespace
