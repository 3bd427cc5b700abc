#include "domain/entities/EditHistory.h"

#include "domain/entities/ModelFixtures.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

// Projects told apart by their maximum duration.
Project numbered(int n) {
    return Project{{}, static_cast<double>(n)};
}

} // namespace

TEST(EditHistory, KeepsTheLastFiftySnapshots) {
    EditHistory history;
    EXPECT_EQ(history.maxDepth, 50);
    for (int n = 1; n <= 51; ++n) {
        history.pushSnapshot(numbered(n));
    }
    ASSERT_EQ(history.undoStack.size(), 50u);
    EXPECT_EQ(history.undoStack.front(), numbered(2));
    EXPECT_EQ(history.undoStack.back(), numbered(51));

    EXPECT_EQ(history.undo(), numbered(51));
    EXPECT_EQ(history.undoStack.size(), 49u);
    // Popping moves nothing onto the other stack.
    EXPECT_TRUE(history.redoStack.empty());
}

TEST(EditHistory, EmptyStacksPopNothing) {
    EditHistory history;
    EXPECT_FALSE(history.undo().has_value());
    EXPECT_FALSE(history.redo().has_value());
    EXPECT_FALSE(history.undoFrom(numbered(1)).has_value());
    EXPECT_FALSE(history.redoFrom(numbered(1)).has_value());
    EXPECT_EQ(history, EditHistory{});
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
}

TEST(EditHistory, UndoThenRedoRestoresProjectAndStacks) {
    EditHistory history;
    history.pushSnapshot(numbered(1));
    history.pushSnapshot(numbered(2));
    Project current = numbered(3);

    auto undone = history.undoFrom(current);
    ASSERT_TRUE(undone.has_value());
    EXPECT_EQ(*undone, numbered(2));
    EXPECT_EQ(history.undoStack, std::vector<Project>{numbered(1)});
    EXPECT_EQ(history.redoStack, std::vector<Project>{numbered(3)});
    EXPECT_TRUE(history.canRedo());

    auto redone = history.redoFrom(*undone);
    ASSERT_TRUE(redone.has_value());
    EXPECT_EQ(*redone, current);
    EXPECT_EQ(history.undoStack, (std::vector<Project>{numbered(1), numbered(2)}));
    EXPECT_TRUE(history.redoStack.empty());

    // Redo keeps the remaining redo snapshots; a new change forgets them.
    history.undoFrom(numbered(3));
    history.undoFrom(numbered(2));
    EXPECT_EQ(history.redoStack.size(), 2u);
    history.redoFrom(numbered(1));
    EXPECT_EQ(history.redoStack, std::vector<Project>{numbered(3)});
    history.pushSnapshot(numbered(2));
    EXPECT_TRUE(history.redoStack.empty());
}

TEST(EditHistory, StacksNeverGrowPastTheDepth) {
    EditHistory history;
    for (int n = 0; n < 50; ++n) {
        history.redoStack.push_back(numbered(n));
        history.undoStack.push_back(numbered(100 + n));
    }
    // Undo with a full redo stack drops its oldest snapshot first.
    history.undoFrom(numbered(999));
    ASSERT_EQ(history.redoStack.size(), 50u);
    EXPECT_EQ(history.redoStack.front(), numbered(1));
    EXPECT_EQ(history.redoStack.back(), numbered(999));

    // An over-full stack loses one snapshot per append, not a run of them.
    history.undoStack.assign(53, numbered(7));
    history.redoFrom(numbered(8));
    EXPECT_EQ(history.undoStack.size(), 53u);

    EditHistory none{0, {}, {}};
    none.pushSnapshot(numbered(1));
    EXPECT_TRUE(none.undoStack.empty());
    EXPECT_FALSE(none.undo().has_value());
}

TEST(EditHistory, SnapshotsAreIndependentOfTheCurrentProject) {
    Clip clip = makeClip(0, 1);
    Project current{{makeTrack(TrackType::video, "Video 1", {clip})}};
    EditHistory history;
    history.pushSnapshot(current);
    current = current.removingClip(clip.id);
    EXPECT_EQ(history.undoStack.back().tracks.size(), 1u);
    EXPECT_NE(history.undoStack.back().findClip(clip.id), nullptr);
}
