#include "presentation/views/preview/PreviewEditHandlers.h"

#include "data/composition/TestProjects.h"
#include "presentation/support/ConversationHarness.h"
#include "presentation/support/PreviewHarness.h"
#include "presentation/viewmodels/PreviewRebuilder.h"
#include "support/media/MovieMaker.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace std::chrono_literals;
using vexel::testing::clipOf;
using vexel::testing::projectOf;
using vexel::testing::runEventsUntil;
using vexel::testing::trackOf;

namespace {

// The window's preview and timeline: the real engine, the real builds
// (counted), the 0.2 s rebuild after each change, and the window's
// answers to the preview's reports.
class PreviewEditHandlersTest : public ::testing::Test {
protected:
    PreviewEditHandlersTest() {
        vexel::testing::writeTestMovie(preview.folder / "clip.mp4", {.frameCount = 150});
        image.overlayTransform = OverlayTransform{1, 0.5, 1};
        title.assetName = "Title";
        editing = std::make_unique<test::ConversationHarness>(
            projectOf({trackOf(TrackType::video, {video}), trackOf(TrackType::image, {image}),
                       trackOf(TrackType::text, {title})}));
        rebuilder = std::make_unique<PreviewRebuilder>(
            editing->timeline, preview.preview, editing->logger, editing->time->sleepAction());
        actions = makePreviewActions(editing->timeline, preview.preview,
                                     EditRunner(editing->banner, editing->time, editing->logger));
        preview.load(editing->timeline.project());
    }

    // Lets an edit the actions started finish.
    bool edited() {
        return runEventsUntil([&] { return !preview.preview.suppressReload(); }) &&
               (test::settle(), true);
    }

    // The loads started by a little after 0.2 s from now, having been none
    // at 0.15 s; each load builds once (counted when it ends).
    int loadsAfterTheDebounce() {
        // A rebuild starts its wait from the event loop.
        test::settle();
        const std::optional<TaskHandle> before = preview.preview.loadingTask();
        editing->time->advance(150ms);
        EXPECT_EQ(preview.preview.loadingTask(), before) << "loaded before 0.2 s";
        editing->time->advance(60ms);
        if (preview.preview.loadingTask() == before) {
            return 0;
        }
        test::awaitTask(preview.preview.loadingTask()->finished());
        return 1;
    }

    Clip textNow() const { return editing->timeline.project().textClips().front(); }

    test::PreviewHarness preview;
    Clip video = clipOf(TrackType::video, 0, 5, preview.folder / "clip.mp4");
    Clip image = clipOf(TrackType::image, 0, 5, preview.folder / "photo.png");
    Clip title = clipOf(TrackType::text, 0, 5);
    std::unique_ptr<test::ConversationHarness> editing;
    std::unique_ptr<PreviewRebuilder> rebuilder;
    PreviewActions actions;
};

} // namespace

TEST_F(PreviewEditHandlersTest,
       MovesShownInPlaceBuildNothingAndTheirFailuresLetTheNextChangeBuild) {
    ASSERT_EQ(preview.builds, 1);

    // A reposition is drawn in place already: nothing is built for it.
    actions.onRepositionText(title.id, 0.3, 0.4);
    ASSERT_TRUE(edited());
    EXPECT_EQ(textNow().textPosition, TextPosition::custom(0.3, 0.4));
    EXPECT_EQ(loadsAfterTheDebounce(), 0);
    actions.onScaleText(title.id, 2.5);
    ASSERT_TRUE(edited());
    EXPECT_EQ(textNow().textScale, 2.5);
    EXPECT_EQ(loadsAfterTheDebounce(), 0);

    // A reposition the engine refuses says so, and the next change builds
    // once, 0.2 s later.
    actions.onRepositionText(Uuid::random(), 0.5, 0.5);
    ASSERT_TRUE(edited());
    ASSERT_TRUE(editing->banner.currentError());
    EXPECT_EQ(editing->banner.currentError()->message, "Failed to reposition text");
    EXPECT_EQ(editing->banner.currentError()->category, ErrorCategory::validation);
    test::awaitTask(editing->timeline.moveClip(video.id, 1));
    EXPECT_EQ(loadsAfterTheDebounce(), 1);

    // An image moved where it already is changes nothing and says nothing:
    // the next real change still builds.
    const std::size_t errors = editing->banner.errorHistory().size();
    actions.onTransformImage(image.id, 1, 0.5, 1);
    ASSERT_TRUE(edited());
    EXPECT_EQ(editing->banner.errorHistory().size(), errors);
    test::awaitTask(editing->timeline.moveClip(video.id, 2));
    EXPECT_EQ(loadsAfterTheDebounce(), 1);

    // One transform carries position and scale together; undo takes it back.
    actions.onTransformImage(image.id, 0.25, 0.75, 0.5);
    ASSERT_TRUE(edited());
    EXPECT_EQ(editing->timeline.project().imageClips().front().overlayTransform,
              (OverlayTransform{0.25, 0.75, 0.5}));
    EXPECT_EQ(loadsAfterTheDebounce(), 0);
    editing->timeline.undo();
    EXPECT_EQ(editing->timeline.project().imageClips().front().overlayTransform,
              (OverlayTransform{1, 0.5, 1}));
    EXPECT_EQ(loadsAfterTheDebounce(), 1);
    // The first load and the three after changes the preview could not show.
    EXPECT_EQ(preview.builds, 4);
}

TEST_F(PreviewEditHandlersTest, SelectionIsAtOnceAndInspectorEditsRebuildAfterTheDebounce) {
    actions.onSelectText(title.id);
    EXPECT_EQ(editing->timeline.selectedClipId(), title.id);
    // An unknown clip leaves the selection; none clears it.
    actions.onSelectText(Uuid::random());
    EXPECT_EQ(editing->timeline.selectedClipId(), title.id);
    actions.onSelectText(std::nullopt);
    EXPECT_EQ(editing->timeline.selectedClipId(), std::nullopt);

    actions.onEditText(
        {EditCommand::EditText{title.id, "New words", std::nullopt, std::nullopt, std::nullopt}});
    ASSERT_TRUE(runEventsUntil([&] { return textNow().assetName == "New words"; }));
    EXPECT_EQ(loadsAfterTheDebounce(), 1);

    actions.onDeleteText(title.id);
    ASSERT_TRUE(runEventsUntil([&] { return editing->timeline.project().textClips().empty(); }));
    EXPECT_EQ(loadsAfterTheDebounce(), 1);

    // Refusals carry their own texts and leave the rebuild alone.
    actions.onDeleteText(title.id);
    ASSERT_TRUE(runEventsUntil([&] { return editing->banner.currentError().has_value(); }));
    EXPECT_EQ(editing->banner.currentError()->message, "Failed to delete text");
    actions.onEditText(
        {EditCommand::EditText{title.id, "Gone", std::nullopt, std::nullopt, std::nullopt}});
    ASSERT_TRUE(runEventsUntil(
        [&] { return editing->banner.currentError()->message == "Failed to edit text"; }));
    EXPECT_FALSE(preview.preview.suppressReload());
    EXPECT_EQ(preview.builds, 3);
}
