#include "presentation/views/inspectors/TransitionTypeTags.h"

#include "support/ModelCases.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>

using namespace vexel;

TEST(TransitionTypeTagsTest, APickedTagKeepsAMovingTypesDirectionElseMovesRight) {
    const auto push = TransitionType::push;
    const auto wipe = TransitionType::wipe;
    const auto slide = TransitionType::slide;
    struct Case {
        std::string tag;
        TransitionType current;
        TransitionType expected;
    };
    const Case cases[] = {
        {"push", wipe(Direction::left), push(Direction::left)},
        {"push", push(Direction::down), push(Direction::down)},
        {"slide", TransitionType::fade(), slide(Direction::right)},
        {"wipe", TransitionType::zoomIn(), wipe(Direction::right)},
        {"fade", push(Direction::up), TransitionType::fade()},
        {"spin", TransitionType::spin(), TransitionType::spin()},
        {"crossDissolve", slide(Direction::up), TransitionType::crossDissolve()},
        {"zoomOut", TransitionType::flip(), TransitionType::zoomOut()},
        // Not in the menu, or not in its case: the type stays.
        {"dissolve", TransitionType::flip(), TransitionType::flip()},
        {"Push", slide(Direction::left), slide(Direction::left)},
        {"", push(Direction::up), push(Direction::up)},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(transitionTypeFromTag(c.tag, c.current), c.expected) << c.tag;
    }
}

TEST(TransitionTypeTagsTest, EveryTypeReadsAsTheTagThatPicksItBack) {
    for (Direction direction : allDirections) {
        for (const TransitionType& type : vexel::testing::everyTransitionType(direction)) {
            const std::string_view tag = transitionTypeTag(type);
            EXPECT_EQ(transitionTypeFromTag(tag, type), type) << tag;
            EXPECT_NE(std::find_if(transitionTypeItems.begin(), transitionTypeItems.end(),
                                   [&](const TransitionTypeItem& item) { return item.tag == tag; }),
                      transitionTypeItems.end())
                << tag;
        }
    }
    EXPECT_EQ(transitionTypeTag(TransitionType::push(Direction::up)), "push");
    EXPECT_EQ(directionTitle(Direction::up), QStringLiteral("Up"));
}
