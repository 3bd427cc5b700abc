#include "presentation/views/inspectors/TextInspectorPopover.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/EventLoop.h"
#include "presentation/support/InspectorProbe.h"
#include "presentation/views/inspectors/FontPickerContent.h"
#include "presentation/views/kit/ElidedLabel.h"
#include "presentation/views/kit/IconRegistry.h"
#include "support/RecordingLogger.h"

#include <QTest>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

const QStringList families = {
    "", "DejaVu Sans", "DejaVu Sans Mono", "Liberation Serif", "Noto SANS", "Sansita", "sans"};

// One popover over a form made from `clip`, shown beside a window, recording
// what it hands to its owner and in which order.
struct Inspector {
    explicit Inspector(const Clip& clip, bool deletable = true)
        : state(std::make_shared<TextInspectorState>(clip, families))
        , popover(
              state, icons,
              [this](std::vector<EditCommand> commands) {
                  calls.push_back("apply");
                  applied.push_back(std::move(commands));
              },
              [this] {
                  calls.push_back("dismiss");
                  popup.hide();
              },
              deletable ? std::function<void()>([this] { calls.push_back("delete"); })
                        : std::function<void()>()) {
        test::showInPopup(window, popup, popover);
    }

    QString fontButtonText() { return popover.fontButton()->findChild<ElidedLabel*>()->text(); }

    QWidget window;
    AnchoredPopup popup{&window};
    IconRegistry icons{std::make_shared<test::RecordingLogger>()};
    std::shared_ptr<TextInspectorState> state;
    std::vector<std::string> calls;
    std::vector<std::vector<EditCommand>> applied;
    TextInspectorPopover popover;
};

Clip textClip() {
    return makeClip(0, 4, TrackType::text, "Hello");
}

} // namespace

TEST(TextInspectorPopoverTest, AppliesOnlyAChangedAcceptableText) {
    Inspector inspector(textClip());
    QPushButton* apply = inspector.popover.applyButton();
    EXPECT_FALSE(apply->isEnabled());
    EXPECT_EQ(inspector.popover.width(), 320);

    InspectorMenu* size = test::menu(inspector.popover, "Font size");
    EXPECT_EQ(size->currentText(), QStringLiteral("48"));
    test::pick(size, QStringLiteral("64"));
    EXPECT_TRUE(apply->isEnabled());
    test::pick(size, QStringLiteral("48"));
    EXPECT_FALSE(apply->isEnabled());

    // An empty text refuses Apply even beside another change, and Return too.
    test::pick(size, QStringLiteral("96"));
    QTest::keyClicks(inspector.popover.textField(), QStringLiteral(" "));
    inspector.popover.textField()->selectAll();
    QTest::keyClick(inspector.popover.textField(), Qt::Key_Backspace);
    EXPECT_EQ(inspector.state->text(), "");
    EXPECT_TRUE(test::showsText(inspector.popover, QStringLiteral("Text cannot be empty.")));
    EXPECT_FALSE(apply->isEnabled());
    QTest::keyClick(&inspector.popover, Qt::Key_Return);
    EXPECT_TRUE(inspector.calls.empty());

    QTest::keyClicks(inspector.popover.textField(), QStringLiteral("Bye & <b>"));
    EXPECT_FALSE(test::showsText(inspector.popover, QStringLiteral("Text cannot be empty.")));
    ASSERT_TRUE(apply->isEnabled());
    QTest::keyClick(inspector.popover.textField(), Qt::Key_Return);
    EXPECT_EQ(inspector.calls, (std::vector<std::string>{"apply", "dismiss"}));
    ASSERT_EQ(inspector.applied.size(), 1u);
    ASSERT_EQ(inspector.applied[0].size(), 1u);
    const auto* edit = inspector.applied[0][0].getIf<EditCommand::EditText>();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(edit->text, "Bye & <b>");
    ASSERT_TRUE(edit->style);
    EXPECT_EQ(edit->style->fontSize, 96);
}

TEST(TextInspectorPopoverTest, MenusKeepWhatTheyCannotShow) {
    Clip clip = textClip();
    clip.textStyle = TextStyle{50, "teal", "black", 2.5, std::nullopt, 0.29};
    clip.textPosition = TextPosition::custom(0.3, 0.8);
    Inspector inspector(clip);
    TextInspectorState& state = *inspector.state;

    EXPECT_EQ(test::menu(inspector.popover, "Font size")->currentIndex(), -1);
    EXPECT_EQ(test::menu(inspector.popover, "Text color")->currentIndex(), -1);
    EXPECT_EQ(test::menu(inspector.popover, "Stroke color")->currentText(),
              QStringLiteral("Black"));
    EXPECT_EQ(test::slider(inspector.popover, "Stroke width")->readoutText(),
              QStringLiteral("2.5"));
    EXPECT_EQ(test::slider(inspector.popover, "Box width")->readoutText(), QStringLiteral("29%"));
    InspectorMenu* position = test::menu(inspector.popover, "Position");
    EXPECT_EQ(position->currentText(), QStringLiteral("Custom"));
    EXPECT_FALSE(state.hasChanges());

    // Custom chosen again keeps the point; from a preset it starts centred.
    test::pick(position, QStringLiteral("Custom"));
    EXPECT_EQ(state.position(), TextPosition::custom(0.3, 0.8));
    test::pick(position, QStringLiteral("Top"));
    EXPECT_EQ(state.position(), TextPosition::top());
    test::pick(position, QStringLiteral("Custom"));
    EXPECT_EQ(state.position(), TextPosition::custom(0.5, 0.5));

    // The sliders read their ends as whole steps.
    QSlider* width = test::slider(inspector.popover, "Box width")->slider();
    width->triggerAction(QAbstractSlider::SliderToMinimum);
    EXPECT_EQ(state.boxWidth(), 0.2);
    EXPECT_EQ(test::slider(inspector.popover, "Box width")->readoutText(), QStringLiteral("20%"));
    width->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(test::slider(inspector.popover, "Box width")->readoutText(), QStringLiteral("100%"));
    test::slider(inspector.popover, "Stroke width")
        ->slider()
        ->triggerAction(QAbstractSlider::SliderToMaximum);
    EXPECT_EQ(test::slider(inspector.popover, "Stroke width")->readoutText(),
              QStringLiteral("10.0"));
    EXPECT_EQ(state.fontSize(), 50);
}

TEST(TextInspectorPopoverTest, DeleteAsksTheOwnerThenCloses) {
    Inspector inspector(textClip());
    QAbstractButton* trash = inspector.popover.deleteButton();
    ASSERT_NE(trash, nullptr);
    EXPECT_EQ(trash->accessibleName(), QStringLiteral("Delete text overlay"));
    EXPECT_EQ(trash->toolTip(), QStringLiteral("Delete this text clip"));
    trash->click();
    EXPECT_EQ(inspector.calls, (std::vector<std::string>{"delete", "dismiss"}));
    EXPECT_FALSE(inspector.popover.isVisible());

    Inspector cancelled(textClip(), false);
    EXPECT_EQ(cancelled.popover.deleteButton(), nullptr);
    emit test::menu(cancelled.popover, "Font size")->activated(0);
    cancelled.popover.cancelButton()->click();
    EXPECT_EQ(cancelled.calls, std::vector<std::string>{"dismiss"});
}

TEST(TextInspectorPopoverTest, TheFontListSearchesMarksAndPicks) {
    Inspector inspector(textClip());
    TextInspectorState& state = *inspector.state;
    EXPECT_EQ(inspector.fontButtonText(), QStringLiteral("System"));
    inspector.popover.fontButton()->click();
    ASSERT_TRUE(state.showFontPicker());
    ASSERT_NE(inspector.popover.fontPopup(), nullptr);
    EXPECT_TRUE(inspector.popover.fontPopup()->isVisible());
    FontPickerContent* picker = inspector.popover.fontPicker();

    // The default font first, and marked.
    ASSERT_EQ(picker->rowCount(), families.size());
    EXPECT_EQ(picker->rowText(0), QStringLiteral("System"));
    EXPECT_TRUE(picker->rowChecked(0));
    for (int row = 1; row < picker->rowCount(); ++row) {
        EXPECT_FALSE(picker->rowChecked(row));
    }
    EXPECT_LE(picker->list()->height(), FontPickerContent::maxListHeight);
    EXPECT_EQ(picker->list()->width(), FontPickerContent::listWidth);

    QTest::keyClicks(picker->searchField(), QStringLiteral("sans"));
    EXPECT_EQ(state.fontSearchText(), QStringLiteral("sans"));
    QStringList rows;
    for (int row = 0; row < picker->rowCount(); ++row) {
        rows << picker->rowText(row);
    }
    EXPECT_EQ(rows,
              (QStringList{"DejaVu Sans", "DejaVu Sans Mono", "Noto SANS", "Sansita", "sans"}));

    // A click anywhere on a row picks its family and closes the list.
    picker->list()->scrollToTop();
    const QRect row = picker->list()->visualRect(picker->list()->model()->index(2, 0));
    QTest::mouseClick(picker->list()->viewport(), Qt::LeftButton, {},
                      QPoint(row.right() - 4, row.center().y()));
    EXPECT_EQ(state.fontName(), "Noto SANS");
    EXPECT_EQ(state.fontSearchText(), QString());
    EXPECT_FALSE(state.showFontPicker());
    EXPECT_FALSE(inspector.popover.fontPopup()->isVisible());
    EXPECT_EQ(inspector.fontButtonText(), QStringLiteral("Noto SANS"));
    EXPECT_TRUE(inspector.popover.isVisible());

    // Only the exact name is marked, even when another differs only in case.
    inspector.popover.fontButton()->click();
    QTest::keyClicks(picker->searchField(), QStringLiteral("SANS"));
    for (int row = 0; row < picker->rowCount(); ++row) {
        EXPECT_EQ(picker->rowChecked(row), picker->rowText(row) == QStringLiteral("Noto SANS"))
            << picker->rowText(row).toStdString();
    }
    QTest::keyClicks(picker->searchField(), QStringLiteral("zzz"));
    EXPECT_EQ(picker->rowCount(), 0);
    EXPECT_EQ(picker->searchField()->text(), QStringLiteral("SANSzzz"));

    // Closed another way, the list leaves the font and the search as they are.
    QTest::keyClick(inspector.popover.fontPopup(), Qt::Key_Escape);
    EXPECT_FALSE(state.showFontPicker());
    EXPECT_EQ(state.fontSearchText(), QStringLiteral("SANSzzz"));
    EXPECT_EQ(state.fontName(), "Noto SANS");
    EXPECT_TRUE(inspector.popover.isVisible());
    EXPECT_TRUE(inspector.calls.empty());
}
