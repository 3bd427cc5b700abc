#include "data/composition/TextOverlayCompositor.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexel;

TEST(TextOverlayCompositor, NamesTenColoursInAnyCaseAndWhiteForTheRest) {
    struct Case {
        std::string name;
        text::Color color;
    };
    const Case cases[] = {
        {"white", {1, 1, 1, 1}},
        {"black", {0, 0, 0, 1}},
        {"red", {1, 0, 0, 1}},
        {"RED", {1, 0, 0, 1}},
        {"Red", {1, 0, 0, 1}},
        {"yellow", {1, 1, 0, 1}},
        {"blue", {0, 0, 1, 1}},
        {"green", {0, 0.8, 0, 1}},
        {"orange", {1, 0.65, 0, 1}},
        {"purple", {0.5, 0, 0.5, 1}},
        {"pink", {1, 0.75, 0.8, 1}},
        {"gray", {0.5, 0.5, 0.5, 1}},
        {"GrAy", {0.5, 0.5, 0.5, 1}},
        // Unicode lower-casing: the Kelvin sign is a capital K.
        {"PIN\u212a", {1, 0.75, 0.8, 1}},
        {"grey", {1, 1, 1, 1}},
        {"cyan", {1, 1, 1, 1}},
        {"", {1, 1, 1, 1}},
        {" red", {1, 1, 1, 1}},
        {std::string("red\0", 4), {1, 1, 1, 1}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(TextOverlayCompositor::cgColor(c.name), c.color) << c.name;
    }
}
