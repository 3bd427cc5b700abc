#include "presentation/views/preview/PreviewPlayerView.h"

#include "data/composition/TestProjects.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/PreviewHarness.h"
#include "presentation/views/kit/TactileButton.h"
#include "presentation/views/preview/PreviewEmptyState.h"
#include "presentation/views/preview/PreviewOverlayWidget.h"
#include "presentation/views/preview/TransportBar.h"
#include "presentation/views/preview/VideoSurface.h"
#include "support/media/MovieMaker.h"

#include <QApplication>
#include <QLabel>
#include <QLineEdit>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::trackOf;

namespace {

class PreviewPlayerViewTest : public ::testing::Test {
protected:
    PreviewPlayerViewTest() {
        vexel::testing::writeTestMovie(clip_, {.frameCount = 300, .maxKeyFrameInterval = 30});
    }

    // One video clip of the whole 10 s file.
    Project tenSeconds() const {
        return projectOf({trackOf(TrackType::video, {clipOf(TrackType::video, 0, 10, clip_)})});
    }

    TactileButton* button(const QString& name) const {
        for (auto* candidate : view.transportBar().findChildren<TactileButton*>()) {
            if (candidate->accessibleName() == name) {
                return candidate;
            }
        }
        ADD_FAILURE() << "no button " << name.toStdString();
        return nullptr;
    }

    test::PreviewHarness harness;
    std::filesystem::path clip_ = harness.folder / "clip.mp4";
    test::ConversationHarness editing{Project({}, 3600)};
    TutorialState tutorial;
    IconRegistry icons{harness.logger};
    PreviewPlayerView view{harness.preview, editing.timeline, tutorial, icons};
};

std::vector<QString> labelTexts(const QWidget& widget) {
    std::vector<QString> texts;
    for (const QLabel* label : widget.findChildren<QLabel*>()) {
        if (!label->text().isEmpty()) {
            texts.push_back(label->text());
        }
    }
    return texts;
}

} // namespace

TEST_F(PreviewPlayerViewTest, ShowsAnInvitationWithoutContentAndTheCapsuleOnlyOutsideTheTutorial) {
    view.resize(800, 450);
    view.show();
    // Nothing to play: the invitation, without a capsule, tutorial or not.
    EXPECT_TRUE(view.emptyState().isVisible());
    EXPECT_FALSE(view.surface().isVisible());
    EXPECT_FALSE(view.transportBar().isVisible());
    EXPECT_EQ(labelTexts(view.emptyState()),
              (std::vector<QString>{"Drop media files to preview",
                                    "Drag video, audio, or image files here to get started"}));

    harness.load(tenSeconds());
    EXPECT_FALSE(view.emptyState().isVisible());
    EXPECT_TRUE(view.surface().isVisible());
    EXPECT_TRUE(view.overlay().isVisible());
    EXPECT_EQ(view.overlay().geometry(), view.surface().geometry());
    ASSERT_TRUE(view.transportBar().isVisible());
    const QRect bar = view.transportBar().geometry();
    EXPECT_EQ(bar.left(), PreviewPlayerView::capsuleInset);
    EXPECT_EQ(bar.bottom() + 1, 450 - PreviewPlayerView::capsuleInset);

    tutorial.setCurrentStep(TutorialStep::welcome);
    EXPECT_FALSE(view.transportBar().isVisible());
    EXPECT_TRUE(view.surface().isVisible());
    tutorial.setCurrentStep(std::nullopt);
    EXPECT_TRUE(view.transportBar().isVisible());

    // A project with nothing to play empties the preview again.
    harness.load(projectOf({}));
    EXPECT_TRUE(view.emptyState().isVisible());
    EXPECT_FALSE(view.transportBar().isVisible());
}

TEST_F(PreviewPlayerViewTest, TheCapsuleSeeksWithinTheContentAndFollowsThePlayState) {
    view.resize(800, 450);
    view.show();
    EXPECT_FALSE(button("Seek to start")->isEnabled());
    harness.load(tenSeconds());
    for (const char* name : {"Seek to start", "Skip back 10 seconds", "Play",
                             "Skip forward 10 seconds", "Seek to end"}) {
        EXPECT_TRUE(button(name)->isEnabled()) << name;
    }
    PreviewViewModel& preview = harness.preview;

    struct Case {
        const char* button;
        double from;
        double to;
        const char* shown;
    };
    const Case cases[] = {
        {"Skip back 10 seconds", 4, 0, "0:00"},
        {"Skip forward 10 seconds", 4, 14, "0:14"},
        // The end of what plays, not of the longest project there could be.
        {"Seek to end", 4, 10, "0:10"},
        {"Seek to start", 7.5, 0, "0:00"},
    };
    for (const Case& c : cases) {
        preview.seek(c.from);
        QTest::mouseClick(button(c.button), Qt::LeftButton);
        EXPECT_DOUBLE_EQ(preview.currentTime(), c.to) << c.button;
        EXPECT_EQ(view.transportBar().timeText(), c.shown) << c.button;
    }

    // The button says what a click does, as the player's state says.
    QTest::mouseClick(button("Play"), Qt::LeftButton);
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return preview.isPlaying(); }));
    ASSERT_NE(button("Pause"), nullptr);
    QTest::mouseClick(button("Pause"), Qt::LeftButton);
    EXPECT_FALSE(preview.isPlaying());
    EXPECT_NE(button("Play"), nullptr);
}

TEST_F(PreviewPlayerViewTest, AClickOnThePictureTakesTheKeyboardAndOneOnTheCapsuleLeavesIt) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* field = new QLineEdit(&window);
    layout->addWidget(field);
    auto* pane =
        new PreviewPlayerView(harness.preview, editing.timeline, tutorial, icons, {}, &window);
    layout->addWidget(pane);
    window.resize(800, 600);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    harness.load(tenSeconds());
    field->setFocus();
    ASSERT_TRUE(field->hasFocus());

    // The picture takes the keys from a field, so that the project's keys
    // reach the project; the capsule's buttons leave them where they are.
    QTest::mouseClick(&pane->surface(), Qt::LeftButton, {}, pane->surface().rect().center());
    EXPECT_FALSE(field->hasFocus());
    ASSERT_NE(QApplication::focusWidget(), nullptr);
    EXPECT_TRUE(pane->isAncestorOf(QApplication::focusWidget()));
    field->setFocus();
    auto buttons = pane->transportBar().findChildren<TactileButton*>();
    ASSERT_FALSE(buttons.isEmpty());
    QTest::mouseClick(buttons.back(), Qt::LeftButton);
    EXPECT_TRUE(field->hasFocus());
    EXPECT_DOUBLE_EQ(harness.preview.currentTime(), 10) << "the last button seeks to the end";
}
