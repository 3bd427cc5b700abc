#include "presentation/views/timeline/TextOverlayRow.h"

#include "domain/entities/ModelFixtures.h"
#include "presentation/support/Pointer.h"
#include "presentation/views/timeline/TextOverlayBar.h"

#include <QAction>
#include <QMenu>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

using namespace vexel;
using vexel::testing::makeClip;

namespace {

Clip textClip(double start, double duration) {
    return makeClip(start, duration, TrackType::text, "Title");
}

// A text lane 600 px wide over 60 s (10 px a second), with room around it
// for drags to end in.
struct LaneOnScreen {
    explicit LaneOnScreen(std::vector<Clip> clips, double maxDuration = 60) {
        window.resize(800, 40);
        row = new TextOverlayRow(&window);
        row->setGeometry(100, 0, 600, 40);
        row->setMaxDuration(maxDuration);
        auto actions = std::make_shared<TextOverlayActions>();
        actions->onSelectClip = [this](const Uuid&) { calls.push_back("select"); };
        actions->onMoveOverlay = [this](const Uuid&, double start) { moves.push_back(start); };
        actions->onDeleteOverlay = [this](const Uuid&) { calls.push_back("delete"); };
        actions->onDuplicateOverlay = [this](const Uuid&) { calls.push_back("duplicate"); };
        actions->onEditOverlay = [this](const Uuid&) { calls.push_back("edit"); };
        actions->onEditTextEffects = [this](const Uuid&) { calls.push_back("animation"); };
        actions->onOpenCommandPalette = [this] { calls.push_back("palette"); };
        row->setActions(actions);
        row->setTextClips(clips);
        window.show();
    }

    std::vector<std::string> calls;
    std::vector<double> moves;
    QWidget window;
    TextOverlayRow* row = nullptr;
};

TEST(TextOverlayRowTest, BarsArePlacedByTimeAndDragsStayInsideTheLane) {
    const Clip title = textClip(10, 5);
    const Clip late = textClip(58, 5);
    const Clip longer = textClip(0, 70);
    LaneOnScreen lane({title, late});
    EXPECT_EQ(lane.row->bar(title.id)->geometry(), QRect(100, 0, 50, 40));

    // A tap selects; dragging a selected bar reports its new start, held
    // inside 0 ... (60 - 5).
    test::Pointer pointer(*lane.row);
    pointer.click({590, 20});
    EXPECT_EQ(lane.calls, std::vector<std::string>{"select"});
    lane.row->setSelectedClipId(late.id);
    pointer.drag({{590, 20}, {640, 20}, {690, 20}});
    pointer.drag({{590, 20}, {300, 20}, {-410, 20}});
    EXPECT_EQ(lane.moves, (std::vector<double>{55, 0}));
    EXPECT_EQ(lane.row->bar(late.id)->dragOffset(), 0);

    // A clip longer than the lane can only start at 0; a short one on a
    // long lane is still 4 px wide; a lane of no length counts as 1 s.
    LaneOnScreen overlong({longer});
    overlong.row->setSelectedClipId(longer.id);
    test::Pointer(*overlong.row).drag({{300, 20}, {330, 20}, {400, 20}});
    EXPECT_EQ(overlong.moves, std::vector<double>{0});
    LaneOnScreen hour({textClip(0, 0.1)}, 3600);
    EXPECT_EQ(hour.row->bars()[0]->width(), 4);
    LaneOnScreen none({textClip(0.5, 0.25)}, 0);
    EXPECT_EQ(none.row->bars()[0]->geometry(), QRect(300, 0, 150, 40));
}

TEST(TextOverlayRowTest, MenuItemsSelectFirstAndOfferAnimationOnlyWhenThereIsOne) {
    LaneOnScreen lane({});
    auto actions = std::make_shared<TextOverlayActions>();
    std::vector<std::string> calls;
    actions->onSelectClip = [&](const Uuid&) { calls.push_back("select"); };
    actions->onDeleteOverlay = [&](const Uuid&) { calls.push_back("delete"); };
    actions->onEditTextEffects = [&](const Uuid&) { calls.push_back("animation"); };
    const auto titles = [](QMenu& menu) {
        std::vector<std::string> result;
        for (QAction* action : menu.actions()) {
            result.push_back(action->isSeparator() ? "-" : action->text().toStdString());
        }
        return result;
    };

    Clip plain = textClip(0, 2);
    plain.textAnimation = TextAnimation{};
    const auto menu = TextOverlayBar::makeContextMenu(plain, actions);
    EXPECT_EQ(titles(*menu), (std::vector<std::string>{"Edit...", "Duplicate", "-", "Delete", "-",
                                                       "More Commands... (Ctrl+K)"}));
    menu->actions()[3]->trigger();
    // Unset callbacks only select.
    menu->actions()[0]->trigger();
    EXPECT_EQ(calls, (std::vector<std::string>{"select", "delete", "select"}));

    Clip animated = plain;
    animated.textAnimation->loop = TextLoopType::pulse(1.2, 1);
    const auto full = TextOverlayBar::makeContextMenu(animated, actions);
    EXPECT_EQ(titles(*full)[1], "Edit Animation...");
    full->actions()[1]->trigger();
    EXPECT_EQ(calls.back(), "animation");
}

} // namespace
