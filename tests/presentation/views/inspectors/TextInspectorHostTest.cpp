#include "presentation/views/inspectors/TextInspectorHost.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/InspectorProbe.h"
#include "presentation/views/inspectors/TextInspectorPopover.h"
#include "presentation/views/kit/IconRegistry.h"
#include "support/RecordingLogger.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

TEST(TextInspectorHostTest, AClickOnATextOpensAFreshFormAndAnyOtherClickClosesIt) {
    QWidget window;
    window.resize(800, 600);
    window.show();
    const IconRegistry icons(std::make_shared<test::RecordingLogger>());
    TextInspectorHost host(window, icons);
    const std::vector<Clip> texts = {makeClip(0, 4, TrackType::text, "First"),
                                     makeClip(5, 4, TrackType::text, "Second")};
    std::vector<std::string> calls;
    host.setActions(
        {[&](std::vector<EditCommand> commands) {
             ASSERT_EQ(commands.size(), 1u);
             ASSERT_TRUE(commands[0].is<EditCommand::EditText>());
             calls.push_back("edit " + *commands[0].getIf<EditCommand::EditText>()->text);
         },
         [&](const Uuid& id) {
             // The inspector has closed by then.
             calls.push_back(std::string(host.form() == nullptr ? "closed, " : "open, ") +
                             "delete " + (id == texts[1].id ? "Second" : "?"));
         }});

    host.select(texts[0].id, texts);
    ASSERT_NE(host.form(), nullptr);
    EXPECT_TRUE(host.form()->isVisible());
    EXPECT_EQ(host.form()->state().text(), "First");
    // The same text again: a fresh form, its edits dropped.
    host.form()->state().setText("Edited");
    TextInspectorPopover* first = host.form();
    host.select(texts[0].id, texts);
    EXPECT_NE(host.form(), first);
    EXPECT_EQ(host.form()->state().text(), "First");

    // Unknown ids and clicks beside the texts close it.
    host.select(Uuid::random(), texts);
    EXPECT_EQ(host.form(), nullptr);
    host.select(texts[1].id, texts);
    host.select(std::nullopt, texts);
    EXPECT_EQ(host.form(), nullptr);
    test::settle();

    // Apply hands the edit on and closes.
    host.select(texts[0].id, texts);
    QTest::keyClicks(host.form()->textField(), QStringLiteral("!"));
    host.form()->applyButton()->click();
    EXPECT_EQ(host.form(), nullptr);

    // Delete closes before it asks; Escape only closes.
    host.select(texts[1].id, texts);
    host.form()->deleteButton()->click();
    EXPECT_EQ(host.form(), nullptr);
    host.select(texts[1].id, texts);
    QTest::keyClick(host.form(), Qt::Key_Escape);
    EXPECT_EQ(host.form(), nullptr);
    test::settle();
    EXPECT_EQ(calls, (std::vector<std::string>{"edit First!", "closed, delete Second"}));
}
