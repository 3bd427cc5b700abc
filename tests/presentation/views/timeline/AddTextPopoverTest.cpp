#include "presentation/views/timeline/AddTextPopover.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/TimelinePanelHarness.h"
#include "presentation/views/timeline/AddTextPopoverState.h"
#include "presentation/views/timeline/TimelineActionBar.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QTest>
#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

// The "Add Text" item of the panel's Add menu.
void chooseAddText(TimelinePanel& panel) {
    panel.actionBar()->addMenu()->actions()[1]->trigger();
}

TEST(AddTextPopoverTest, RefusesTextsOverFiveHundredBytesAndBlankOnes) {
    test::TimelinePanelHarness screen(Project::makeNew());
    chooseAddText(*screen.panel);
    AddTextPopover& form = *screen.panel->addTextPopover();
    ASSERT_TRUE(screen.panel->isAddTextShown());
    struct Case {
        std::string name;
        QString text;
        bool canAdd;
        bool message;
    };
    const std::vector<Case> cases{
        {"empty", QString(), false, false},
        {"blanks only", QStringLiteral("   \t "), false, false},
        {"500 ASCII characters", QString(500, u'x'), true, false},
        {"501 ASCII characters", QString(501, u'x'), false, true},
        {"blanks around 500 do not count", QStringLiteral("  ") + QString(500, u'x') + "\n", true,
         false},
        {"200 three-byte characters", QString(200, QChar(0x8A9E)), false, true},
        {"a NUL is not counted", QString(499, u'x') + QChar(u'\0') + "y", true, false},
    };
    for (const Case& c : cases) {
        form.field()->setText(c.text);
        emit form.field()->textEdited(c.text);
        EXPECT_EQ(form.addButton()->isEnabled(), c.canAdd) << c.name;
        EXPECT_EQ(form.limitMessage()->isVisible(), c.message) << c.name;
    }
    EXPECT_EQ(form.limitMessage()->text(), QStringLiteral("Text exceeds 500 byte limit"));
}

TEST(AddTextPopoverTest, AddsTheCleanedTextFiveSecondsLongAndReopensEmpty) {
    test::TimelinePanelHarness screen(Project::makeNew());
    TimelinePanel& panel = *screen.panel;
    AddTextPopover& form = *panel.addTextPopover();
    const auto texts = [&] {
        std::vector<std::string> result;
        for (const Clip& clip : screen.timeline().project().textClips()) {
            result.push_back(clip.assetName);
            EXPECT_EQ(clip.timeRange.duration, 5);
        }
        return result;
    };

    chooseAddText(panel);
    QTest::keyClicks(form.field(), QStringLiteral("  hi  "));
    form.addButton()->click();
    EXPECT_FALSE(panel.isAddTextShown());
    ASSERT_TRUE(vexel::testing::runEventsUntil([&] { return texts().size() == 1; }));

    // Typed, then Cancel: the next opening starts empty.
    chooseAddText(panel);
    QTest::keyClicks(form.field(), QStringLiteral("draft"));
    form.cancelButton()->click();
    EXPECT_FALSE(panel.isAddTextShown());
    EXPECT_EQ(panel.addTextState().text(), QStringLiteral("draft"));
    chooseAddText(panel);
    EXPECT_TRUE(form.field()->text().isEmpty());

    // Return adds; a NUL is taken out.
    panel.addTextState().setText(QStringLiteral("a") + QChar(u'\0') + QStringLiteral("b"));
    QTest::keyClick(form.field(), Qt::Key_Return);
    // Every edit started so far has ended once an edit after them has.
    test::settle();
    EXPECT_ANY_THROW(
        test::awaitTask(screen.timeline().executeCommand(EditCommand::RemoveClip{Uuid::random()})));
    EXPECT_EQ(texts(), (std::vector<std::string>{"hi", "ab"}));
    // Return with nothing to add does nothing.
    chooseAddText(panel);
    QTest::keyClick(form.field(), Qt::Key_Return);
    EXPECT_TRUE(panel.isAddTextShown());
    QTest::keyClick(&form, Qt::Key_Escape);
    EXPECT_FALSE(panel.isAddTextShown());
}

TEST(AddTextPopoverTest, ATextThatWouldEndPastTheMaximumFailsToAdd) {
    test::TimelinePanelHarness screen(Project(
        {makeTrack(TrackType::text, "Text 1", {makeClip(3590, 8, TrackType::text, "End")})}, 3600));
    chooseAddText(*screen.panel);
    QTest::keyClicks(screen.panel->addTextPopover()->field(), QStringLiteral("Late"));
    screen.panel->addTextPopover()->addButton()->click();
    EXPECT_EQ(screen.awaitBanner(), "Failed to add text");
    EXPECT_EQ(screen.timeline().project().textClips().size(), 1u);
}

} // namespace
