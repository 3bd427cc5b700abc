#include "data/composition/ColorAdjustInstruction.h"

#include <gtest/gtest.h>

using namespace vexel;
using media::MediaTime;

namespace {

using Entry = ColorAdjustInstruction::Entry;
using TextOverlay = ColorAdjustInstruction::TextOverlayEntry;
using ImageOverlay = ColorAdjustInstruction::ImageOverlayEntry;

MediaTime s(std::int64_t seconds) {
    return MediaTime(seconds * 600, 600);
}

FadeTimingInfo onScreen(std::int64_t start, std::int64_t end) {
    return FadeTimingInfo{1.0f, s(start), s(end), {}, {}, {}, {}};
}

Entry layer(std::int32_t trackID, FadeTimingInfo timing) {
    Entry entry;
    entry.trackID = trackID;
    entry.fadeTiming = timing;
    return entry;
}

ColorAdjustInstruction instruction(std::vector<Entry> entries, std::vector<TextOverlay> texts = {},
                                   std::vector<ImageOverlay> images = {}) {
    return ColorAdjustInstruction(std::move(entries), {s(0), s(10)}, {1920, 1080}, std::move(texts),
                                  std::move(images));
}

} // namespace

TEST(ColorAdjustInstruction, ActiveItemsAreThoseOnScreenInStoredOrder) {
    TextOverlay title{"Title", {}, TextPosition::top(), std::nullopt, std::nullopt, onScreen(2, 4)};
    ImageOverlay logo{"/logo.png", {}, {}, {}, {}, {}, onScreen(0, 2)};
    auto made =
        instruction({layer(3, onScreen(0, 5)), layer(1, onScreen(4, 8)), layer(3, onScreen(5, 10))},
                    {title}, {logo});

    auto ids = [](const std::vector<const Entry*>& entries) {
        std::vector<std::int32_t> result;
        for (const Entry* entry : entries) {
            result.push_back(entry->trackID);
        }
        return result;
    };
    EXPECT_EQ(ids(made.activeEntries(s(0))), (std::vector<std::int32_t>{3}));
    EXPECT_EQ(ids(made.activeEntries(s(4))), (std::vector<std::int32_t>{3, 1}));
    // The end is exclusive, the start inclusive.
    EXPECT_EQ(ids(made.activeEntries(s(5))), (std::vector<std::int32_t>{1, 3}));
    EXPECT_TRUE(made.activeEntries(s(10)).empty());
    EXPECT_EQ(made.activeImageOverlays(s(1)).size(), 1u);
    EXPECT_TRUE(made.activeImageOverlays(s(2)).empty());
    ASSERT_EQ(made.activeTextOverlays(s(2)).size(), 1u);
    EXPECT_EQ(made.activeTextOverlays(s(2))[0]->text, "Title");

    EXPECT_EQ(made.requiredSourceTrackIDs(), (std::vector<int>{3, 1, 3}));
    EXPECT_EQ(made.passthroughTrackID(), 0);
    EXPECT_FALSE(made.enablePostProcessing());
    EXPECT_EQ(made.timeRange(), (media::MediaTimeRange{s(0), s(10)}));
    EXPECT_TRUE(instruction({}).requiredSourceTrackIDs().empty());
}

TEST(ColorAdjustInstruction, TweeningComesFromFadeWindowsGeometricTransitionsAndAnimations) {
    Entry still = layer(1, onScreen(0, 10));
    still.colorAdjust = ColorAdjust{0.2, 1, 1};
    still.filter = FilterPreset{"sepia", 1};
    Entry fadeIn = still;
    fadeIn.fadeTiming.fadeInStart = s(0);
    Entry fadeOut = still;
    fadeOut.fadeTiming.fadeOutStart = s(9);
    Entry pushed = still;
    pushed.transitionOutType = TransitionType::push(Direction::left);
    Entry dissolved = still;
    dissolved.transitionType = TransitionType::crossDissolve();

    TextOverlay text{"Hi", {}, {}, std::nullopt, 1.5, onScreen(0, 10)};
    TextOverlay animatedText = text;
    animatedText.textAnimation = TextAnimation{};
    TextOverlay fadingText = text;
    fadingText.fadeTiming.fadeOutStart = s(9);
    ImageOverlay image{"/a.png", {}, {}, {}, {}, OverlayTransform{}, onScreen(0, 10)};
    ImageOverlay animatedImage = image;
    animatedImage.imageAnimation = ImageAnimation{};
    ImageOverlay fadingImage = image;
    fadingImage.fadeTiming.fadeInStart = s(0);

    EXPECT_FALSE(instruction({}).containsTweening());
    EXPECT_FALSE(instruction({still, dissolved}, {text}, {image}).containsTweening());
    EXPECT_TRUE(instruction({fadeIn}).containsTweening());
    EXPECT_TRUE(instruction({fadeOut}).containsTweening());
    EXPECT_TRUE(instruction({pushed}).containsTweening());
    // Without entries, the overlays alone decide.
    EXPECT_TRUE(instruction({}, {animatedText}).containsTweening());
    EXPECT_TRUE(instruction({}, {fadingText}).containsTweening());
    EXPECT_TRUE(instruction({}, {}, {animatedImage}).containsTweening());
    EXPECT_TRUE(instruction({}, {}, {fadingImage}).containsTweening());
}
