#include "data/composition/TextOverlayCompositor.h"

#include "foundation/UnicodeText.h"

#include <array>
#include <utility>

namespace vexel {

namespace {

constexpr text::Color kWhite{1, 1, 1, 1};

constexpr std::array<std::pair<std::string_view, text::Color>, 10> kColors{{
    {"white", kWhite},
    {"black", {0, 0, 0, 1}},
    {"red", {1, 0, 0, 1}},
    {"yellow", {1, 1, 0, 1}},
    {"blue", {0, 0, 1, 1}},
    {"green", {0, 0.8, 0, 1}},
    {"orange", {1, 0.65, 0, 1}},
    {"purple", {0.5, 0, 0.5, 1}},
    {"pink", {1, 0.75, 0.8, 1}},
    {"gray", {0.5, 0.5, 0.5, 1}},
}};

} // namespace

text::Color TextOverlayCompositor::cgColor(std::string_view name) {
    const std::string key = unicode::lowercased(name);
    for (const auto& [colorName, color] : kColors) {
        if (colorName == key) {
            return color;
        }
    }
    return kWhite;
}

} // namespace vexel
