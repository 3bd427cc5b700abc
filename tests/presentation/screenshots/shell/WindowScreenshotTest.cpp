// The editor window at its named states, drawn on a real X server.

#include "presentation/views/shell/MainView.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/ChatBar.h"
#include "presentation/support/RecordingPreview.h"
#include "presentation/support/Screenshot.h"

#include <QTest>
#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::test;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

TEST(WindowScreenshotTest, Window1200x800) {
    const Clip intro = makeClip(0, 6, TrackType::video, "Intro.mov");
    const Clip beach = makeClip(6, 9, TrackType::video, "Beach.mov");
    const Clip song = makeClip(0, 15, TrackType::audio, "song.mp3");
    ChatBar bar{Project{{makeTrack(TrackType::video, "Video 1", {intro, beach}),
                         makeTrack(TrackType::audio, "Audio 1", {song})},
                        3600}};
    RecordingPreview preview;
    TutorialState tutorial;
    bar.settings.setValue("hasCompletedOnboarding", true);
    MainView view(MainView::Context{bar.harness.timeline, preview.preview, bar.viewModel, tutorial,
                                    bar.settings, bar.harness.logger, bar.harness.time,
                                    bar.harness.time->sleepAction()});
    bar.viewModel.chatHistory().appendMessage(ChatMessage::make(
        ChatMessage::Role::user, {ChatMessage::Text{"Trim the intro to 5 seconds"}}));
    bar.viewModel.chatHistory().appendAssistantMessage("Trimmed Intro.mov to 5 seconds.");
    bar.harness.timeline.selectClip(beach.id);
    bar.harness.banner.pushError(AppError::make(ErrorCategory::validation, "Cannot split clip here",
                                                bar.harness.time->now()));
    view.resize(1200, 800);
    view.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&view));
    settle();
    saveScreenshot(view, "window-1200x800.png");
    EXPECT_EQ(view.paneLayout().timeline, QRect(0, 494, 1200, 306));
}
