// A project file's title of millions of characters, opened in the window the
// application makes: everything that shows it lays out only its beginning.

#include "app/AppHarness.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "platform/text/TextRasterizer.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/chat/TargetClipChip.h"
#include "presentation/views/kit/PlainText.h"
#include "presentation/views/preview/PreviewOverlayWidget.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/timeline/TextOverlayBar.h"

#include <QTest>
#include <QTextDocument>
#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;

namespace {

int inkedPixels(const QImage& image) {
    int inked = 0;
    for (int y = 0; y < image.height(); ++y) {
        for (int x = 0; x < image.width(); ++x) {
            inked += qAlpha(image.pixel(x, y)) > 0;
        }
    }
    return inked;
}

} // namespace

TEST(LongTextWindowTest, ATitleOfMillionsOfCharactersOpensAndShowsItsBeginning) {
    AppHarness harness;
    // Words of fifty letters: laid out whole, the title is some 40,000 lines.
    std::string title = "Opening words";
    while (title.size() < 2'000'000) {
        title += ' ' + std::string(50, 'w');
    }
    Clip clip;
    clip.id = Uuid::random();
    clip.assetName = title;
    clip.trackType = TrackType::text;
    clip.timeRange = {0, 10};
    clip.volume = 0;
    Project project = Project::makeNew();
    project.tracks.insert(project.tracks.begin(),
                          Track{Uuid::random(), TrackType::text, "Text 1", {clip}, false});
    const std::filesystem::path folder = harness.root / "Long title";
    ProjectPersistenceService().save(project, folder);

    AppController& app = harness.launch(folder);
    MainWindow& window = app.window();
    ASSERT_EQ(harness.graph().timelineViewModel().project().textClips().size(), 1u);
    harness.time->advance(std::chrono::seconds(1));
    awaitTask(harness.graph().previewViewModel().loadingTask()->finished());
    settle();
    window.grab();

    // The timeline's bar: its label and tip begin with the title, and the tip
    // holds no more of it than a tip shows.
    const QList<TextOverlayBar*> bars = window.findChildren<TextOverlayBar*>();
    ASSERT_EQ(bars.size(), 1);
    TextOverlayBar* bar = bars.front();
    QTextDocument tip;
    tip.setHtml(bar->toolTip());
    EXPECT_TRUE(tip.toPlainText().startsWith(QStringLiteral("Opening words www")));
    EXPECT_LE(tip.toPlainText().size(), maxShownLength + 1);

    // The preview draws it, at the size of its beginning: the tallest box.
    auto* overlay = window.findChild<PreviewOverlayWidget*>();
    ASSERT_NE(overlay, nullptr);
    const std::vector<PreviewOverlayWidget::Drawn> drawn = overlay->drawnOverlays();
    ASSERT_EQ(drawn.size(), 1u);
    EXPECT_TRUE(drawn.front().isText);
    EXPECT_GT(inkedPixels(drawn.front().image), 0);

    // Selected by a click on its bar, it names the chat's target in a chip
    // whose size is that of the part it shows.
    QTest::mouseClick(bar, Qt::LeftButton, {}, QPoint(bar->width() / 2, bar->height() / 2));
    settle();
    EXPECT_EQ(harness.graph().timelineViewModel().selectedClipId(), clip.id);
    TargetClipChip* chip = window.mainView()->chatColumn().targetChip();
    ASSERT_NE(chip, nullptr);
    window.grab();
    EXPECT_TRUE(chip->isVisible());
    EXPECT_TRUE(chip->displayedText().startsWith(QStringLiteral("@Op")))
        << chip->displayedText().toStdString();
    EXPECT_LE(chip->sizeHint().width(),
              chip->fontMetrics().horizontalAdvance(QString(maxShownLength + 40, 'w')));
    EXPECT_TRUE(harness.errors().empty());
}
