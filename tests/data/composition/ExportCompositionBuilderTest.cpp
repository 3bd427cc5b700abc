#include "data/composition/ExportCompositionBuilder.h"

#include "platform/media/LayerVideoCompositionInstruction.h"
#include "support/RecordingLogger.h"

#include <gtest/gtest.h>

using namespace vexel;
using media::MediaTime;
using media::MediaTimeRange;

namespace {

MediaTime s(double seconds) {
    return MediaTime::fromSeconds(seconds);
}

VideoTrackEntry plainEntry() {
    VideoTrackEntry entry;
    entry.trackID = 1;
    entry.naturalSize = {1280, 720};
    entry.compositionStartTime = s(0);
    entry.compositionEndTime = s(10);
    entry.clipStartTime = s(0);
    entry.clipEndTime = s(10);
    return entry;
}

Clip clipOf(TrackType type, double start, double duration) {
    Clip clip;
    clip.id = Uuid::random();
    clip.trackType = type;
    clip.timeRange = {start, duration};
    return clip;
}

Clip imageClip(std::optional<std::filesystem::path> file) {
    Clip clip = clipOf(TrackType::image, 1, 2);
    clip.assetURL = std::move(file);
    return clip;
}

const media::Composition& composition() {
    static const media::Composition tracks({media::CompositionTrack(1, media::MediaType::video)});
    return tracks;
}

media::VideoComposition build(const VideoTrackEntry& entry, const std::vector<Clip>& texts = {},
                              const std::vector<Clip>& images = {}) {
    return ExportCompositionBuilder::buildVideoComposition(
        {entry}, composition(), s(10), texts, images, std::make_shared<test::RecordingLogger>());
}

std::shared_ptr<const ColorAdjustInstruction> drawnBy(const media::VideoComposition& video) {
    EXPECT_EQ(video.instructions.size(), 1u);
    return video.instructions.empty()
               ? nullptr
               : std::dynamic_pointer_cast<const ColorAdjustInstruction>(video.instructions[0]);
}

} // namespace

TEST(ExportCompositionBuilder, TakesTheCompositorForColourPresetsOverlaysAndGeometry) {
    using T = TransitionType;
    auto with = [](auto change) {
        VideoTrackEntry entry = plainEntry();
        change(entry);
        return entry;
    };
    auto transition = [](T type, EasingCurve easing = EasingCurve::linear) {
        return TransitionEffect{1, type, easing};
    };
    struct Case {
        const char* name;
        VideoTrackEntry entry;
        std::vector<Clip> texts;
        std::vector<Clip> images;
        bool custom;
    };
    const Case cases[] = {
        {"plain", plainEntry(), {}, {}, false},
        {"neutral colour", with([](auto& e) { e.colorAdjust = ColorAdjust{}; }), {}, {}, true},
        {"no filter",
         with([](auto& e) {
             e.filter = FilterPreset{"none", 1};
         }),
         {},
         {},
         true},
        {"eased dissolve",
         with([&](auto& e) {
             e.transitionOut = transition(T::crossDissolve(), EasingCurve::easeInOut);
             e.transitionIn = transition(T::fade());
         }),
         {},
         {},
         false},
        {"push",
         with([&](auto& e) { e.transitionIn = transition(T::push(Direction::up)); }),
         {},
         {},
         true},
        {"spin", with([&](auto& e) { e.transitionOut = transition(T::spin()); }), {}, {}, true},
        {"empty text", plainEntry(), {clipOf(TrackType::text, 0, 1)}, {}, true},
        {"image without file", plainEntry(), {}, {imageClip(std::nullopt)}, true},
    };
    for (const Case& c : cases) {
        const media::VideoComposition video = build(c.entry, c.texts, c.images);
        EXPECT_EQ(video.renderSize, (media::Size{1280, 720})) << c.name;
        EXPECT_EQ(video.frameDuration, MediaTime(1, 30)) << c.name;
        ASSERT_EQ(video.instructions.size(), 1u) << c.name;
        EXPECT_EQ(video.instructions[0]->timeRange(), (MediaTimeRange{s(0), s(10)})) << c.name;
        EXPECT_EQ(static_cast<bool>(video.customCompositor), c.custom) << c.name;
        if (c.custom) {
            auto drawn = drawnBy(video);
            ASSERT_TRUE(drawn) << c.name;
            ASSERT_EQ(drawn->entries().size(), 1u);
            // The export bakes colour and presets in.
            EXPECT_EQ(drawn->entries()[0].colorAdjust, c.entry.colorAdjust) << c.name;
            EXPECT_EQ(drawn->entries()[0].filter, c.entry.filter) << c.name;
        } else {
            EXPECT_TRUE(std::dynamic_pointer_cast<const media::LayerVideoCompositionInstruction>(
                video.instructions[0]))
                << c.name;
        }
    }
}

TEST(ExportCompositionBuilder, GivesEveryTextClipAnOverlayOnScreenOverItsTimelineRange) {
    Clip title = clipOf(TrackType::text, 2.5, 4);
    title.assetName = "Title";
    title.opacity = 0.5;
    title.transitionIn = TransitionEffect{0.5, TransitionType::push(Direction::left)};
    title.transitionOut = TransitionEffect{1, TransitionType::fade()};
    Clip styled = clipOf(TrackType::text, 0, 1);
    styled.textStyle = TextStyle{30, "red", "black", 2, "DejaVu Sans", 0.5};
    styled.textPosition = TextPosition::custom(0.2, 0.3);
    styled.textScale = 1.5;
    styled.textAnimation = TextAnimation{TextEntranceType::fadeIn(), {}, {}};
    // An entrance of no length: on screen in full from its first frame.
    styled.transitionIn = TransitionEffect{0, TransitionType::fade()};

    auto drawn = drawnBy(build(plainEntry(), {title, styled}));
    ASSERT_TRUE(drawn);
    ASSERT_EQ(drawn->textOverlays().size(), 2u);
    const auto& first = drawn->textOverlays()[0];
    EXPECT_EQ(first.text, "Title");
    EXPECT_EQ(first.style, TextStyle::defaultStyle());
    EXPECT_EQ(first.position, TextPosition::bottom());
    EXPECT_FALSE(first.textAnimation);
    EXPECT_FALSE(first.textScale);
    EXPECT_EQ(first.fadeTiming, (FadeTimingInfo{0.5f, MediaTime(1500, 600), MediaTime(3900, 600),
                                                MediaTime(1500, 600), MediaTime(1800, 600),
                                                MediaTime(3300, 600), MediaTime(3900, 600)}));

    const auto& second = drawn->textOverlays()[1];
    EXPECT_EQ(second.style, *styled.textStyle);
    EXPECT_EQ(second.position, *styled.textPosition);
    EXPECT_EQ(second.textScale, 1.5);
    EXPECT_EQ(second.textAnimation, styled.textAnimation);
    EXPECT_EQ(second.fadeTiming, (FadeTimingInfo{1.0f, s(0), s(1), {}, {}, {}, {}}));
    EXPECT_FLOAT_EQ(second.fadeTiming.effectiveOpacity(s(0)), 1);
}

TEST(ExportCompositionBuilder, GivesEveryImageClipWithAFileAnOverlayInProjectOrder) {
    Clip logo = imageClip("/media/logo.png");
    logo.colorAdjust = ColorAdjust{0.1, 1, 1};
    logo.filter = FilterPreset{"noir", 1};
    logo.transform = ClipTransform{90, false, true, std::nullopt};
    logo.imageAnimation = ImageAnimation{ImageAnimationType::zoomIn(2), EasingCurve::linear};
    logo.overlayTransform = OverlayTransform{0.25, 0.25, 0.5};
    logo.transitionOut = TransitionEffect{0.5, TransitionType::spin()};
    const Clip web = imageClip("https://example.com/photo.jpg");
    const Clip missing = imageClip(std::nullopt);
    const Clip relative = imageClip("photo.jpg");

    auto drawn = drawnBy(build(plainEntry(), {}, {web, logo, missing, relative}));
    ASSERT_TRUE(drawn);
    ASSERT_EQ(drawn->imageOverlays().size(), 2u);
    const auto& overlay = drawn->imageOverlays()[0];
    EXPECT_EQ(overlay.imageURL, "/media/logo.png");
    EXPECT_EQ(overlay.colorAdjust, logo.colorAdjust);
    EXPECT_EQ(overlay.filter, logo.filter);
    EXPECT_EQ(overlay.clipTransform, logo.transform);
    EXPECT_EQ(overlay.imageAnimation, logo.imageAnimation);
    EXPECT_EQ(overlay.overlayTransform, logo.overlayTransform);
    // Whatever their type, an overlay's transitions are fades.
    EXPECT_EQ(overlay.fadeTiming, (FadeTimingInfo{1.0f, s(1), s(3), {}, {}, s(2.5), s(3)}));
    EXPECT_EQ(drawn->imageOverlays()[1].imageURL, "photo.jpg");
}
