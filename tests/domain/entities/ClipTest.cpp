#include "domain/entities/Clip.h"
#include "domain/entities/ClipBuilder.h"

#include "domain/entities/ModelFixtures.h"
#include "foundation/DecodeError.h"
#include "foundation/JsonReader.h"
#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

TransitionEffect fade(double duration) {
    return TransitionEffect{duration, TransitionType::fade(), EasingCurve::linear};
}

DecodeError clipDecodeFailure(const Json& json) {
    return vexel::testing::decodeFailure<Clip>(json.dump())
        .value_or(DecodeError::dataCorrupted("", "decoded without error"));
}

} // namespace

TEST(Clip, ClampingTransitionsDropsBothWhenTheyDoNotFitTogether) {
    Clip clip = makeClip(0, 2);
    clip.transitionIn = fade(1);
    clip.transitionOut = fade(1);
    EXPECT_EQ(clip.clampingTransitions(), clip);

    clip.transitionIn = fade(1.5);
    Clip clamped = clip.clampingTransitions();
    EXPECT_FALSE(clamped.transitionIn.has_value());
    EXPECT_FALSE(clamped.transitionOut.has_value());
    clamped.transitionIn = clip.transitionIn;
    clamped.transitionOut = clip.transitionOut;
    EXPECT_EQ(clamped, clip);

    // One alone that does not fit takes the other with it too.
    Clip single = makeClip(0, 1);
    single.transitionOut = fade(1.5);
    EXPECT_FALSE(single.clampingTransitions().transitionOut.has_value());

    Clip zero = makeClip(0, 0);
    zero.transitionIn = fade(0);
    EXPECT_EQ(zero.clampingTransitions(), zero);
}

TEST(Clip, VisualEffectsAreColourAwayFromNeutralOrAnActiveFilter) {
    Clip clip = makeClip(0, 1);
    EXPECT_FALSE(clip.hasVisualEffect());
    clip.colorAdjust = ColorAdjust{1e-10, 1.0, 1.0};
    EXPECT_FALSE(clip.hasVisualEffect());
    clip.colorAdjust = ColorAdjust{1e-9, 1.0, 1.0};
    EXPECT_TRUE(clip.hasVisualEffect());
    clip.colorAdjust = ColorAdjust{0, 1.0, std::nan("")};
    EXPECT_TRUE(clip.hasVisualEffect());

    clip.colorAdjust.reset();
    clip.filter = FilterPreset{"none", 1.0};
    EXPECT_FALSE(clip.hasVisualEffect());
    clip.filter = FilterPreset{"", 1.0};
    EXPECT_FALSE(clip.hasVisualEffect());
    clip.filter = FilterPreset{"None", 0.0};
    EXPECT_TRUE(clip.hasVisualEffect());
    // Other settings never count.
    Clip other = makeClip(0, 1);
    other.opacity = 0.2;
    other.transform = ClipTransform{90, true, false, std::nullopt};
    EXPECT_FALSE(other.hasVisualEffect());
}

TEST(Clip, EditableEffectsDependOnTheTrackType) {
    Clip audio = makeClip(0, 1, TrackType::audio);
    audio.opacity = 0.5;
    audio.colorAdjust = ColorAdjust{0.5, 1, 1};
    audio.transitionIn = fade(0.5);
    EXPECT_FALSE(audio.hasEditableEffects());
    audio.fadeRange = TimeRange{0, 1};
    EXPECT_TRUE(audio.hasEditableEffects());

    Clip text = makeClip(0, 1, TrackType::text);
    text.volume = 0;
    text.rate = 2;
    text.opacity = 0.1;
    text.filter = FilterPreset{"sepia", 1};
    EXPECT_FALSE(text.hasEditableEffects());

    Clip video = makeClip(0, 1, TrackType::video);
    video.isReversed = true;
    video.transform = ClipTransform{180, false, true, std::nullopt};
    video.textScale = 2;
    video.overlayTransform = OverlayTransform{0.1, 0.1, 2};
    video.audioEffects = std::vector<AudioEffect>{AudioEffect{AudioEffectType::pan(0.5)}};
    video.transitionIn = fade(0);
    EXPECT_FALSE(video.hasEditableEffects());
    Clip slowVideo = video;
    slowVideo.rate = 0.5;
    EXPECT_TRUE(slowVideo.hasEditableEffects());
    Clip quietVideo = video;
    quietVideo.volume = 0.999;
    EXPECT_TRUE(quietVideo.hasEditableEffects());
    Clip fadingVideo = video;
    fadingVideo.transitionOut = fade(0.1);
    EXPECT_TRUE(fadingVideo.hasEditableEffects());

    Clip image = makeClip(0, 1, TrackType::image);
    image.volume = 0;
    image.rate = 3;
    image.fadeRange = TimeRange{0, 1};
    EXPECT_FALSE(image.hasEditableEffects());
    image.filter = FilterPreset{"noir", 0.5};
    EXPECT_TRUE(image.hasEditableEffects());
}

TEST(Clip, EffectiveOpacityRampsLinearlyThroughTransitions) {
    Clip clip = makeClip(10, 4); // [10, 14)
    clip.opacity = 0.8;
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(12), 0.8);

    clip.transitionIn = TransitionEffect{2, TransitionType::spin(), EasingCurve::easeIn};
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(9), 0);
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(10), 0);
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(11), 0.4);
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(12), 0.8);

    clip.transitionOut = fade(1);
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(13), 0.8);
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(13.5), 0.4);
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(14), 0);
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(20), 0);

    // Inside an overlapping fade-in the fade-out is not applied.
    clip.transitionOut = fade(3);
    EXPECT_DOUBLE_EQ(clip.effectiveOpacity(11.5), 0.6);

    Clip zero = makeClip(0, 2);
    zero.transitionIn = fade(0);
    zero.transitionOut = fade(0);
    EXPECT_DOUBLE_EQ(zero.effectiveOpacity(0), 1);
    EXPECT_DOUBLE_EQ(zero.effectiveOpacity(2), 1);
}

TEST(ClipBuilder, BuildsAnEqualClipAndKeepsTheId) {
    Clip clip = makeClip(1, 2, TrackType::text, "Hello");
    clip.textStyle = TextStyle{};
    clip.textPosition = TextPosition::top();
    clip.audioEffects = std::vector<AudioEffect>{};
    EXPECT_EQ(ClipBuilder(clip).build(), clip);

    ClipBuilder builder(clip);
    builder.opacity = 0.5;
    builder.textScale = 1.5;
    Clip built = builder.build();
    EXPECT_EQ(built.id, clip.id);
    EXPECT_EQ(built.opacity, 0.5);
    EXPECT_EQ(built.textScale, 1.5);
    EXPECT_NE(built, clip);
    EXPECT_EQ(clip.opacity, 1);
}

TEST(Clip, EncodedFormWritesOnlyWhatIsSet) {
    Clip text = makeClip(1, 2, TrackType::text, "Hi");
    text.volume = 0;
    Json encoded = text;
    std::vector<std::string> keys;
    for (auto it = encoded.begin(); it != encoded.end(); ++it) {
        keys.push_back(it.key());
    }
    EXPECT_EQ(keys,
              (std::vector<std::string>{"id", "assetName", "trackType", "timeRange", "sourceOffset",
                                        "volume", "rate", "opacity", "isReversed"}));
    EXPECT_EQ(encoded["id"], text.id.string());
    EXPECT_EQ(encoded["trackType"], "text");

    Clip media = makeClip(0, 1, TrackType::audio);
    media.assetURL = std::filesystem::path("/media/my song.mp3");
    media.audioEffects = std::vector<AudioEffect>{};
    Json mediaJson = media;
    EXPECT_EQ(mediaJson["assetPath"], "/media/my song.mp3");
    EXPECT_EQ(mediaJson["audioEffects"], Json::array());
    EXPECT_EQ(mediaJson.get<Clip>(), media);
}

TEST(Clip, DecodingDefaultsClampsAndRejects) {
    Clip clip = makeClip(0, 1);
    Json base = clip;

    Json sparse = base;
    sparse.erase("sourceOffset");
    sparse["textScale"] = 7;
    sparse["filter"] = nullptr;
    sparse["assetPath"] = nullptr;
    sparse["unknownMember"] = {1, 2};
    Clip decoded = sparse.get<Clip>();
    EXPECT_EQ(decoded.sourceOffset, 0);
    EXPECT_EQ(decoded.textScale, 5.0);
    EXPECT_FALSE(decoded.filter.has_value());
    EXPECT_FALSE(decoded.assetURL.has_value());
    sparse["textScale"] = 0.01;
    EXPECT_EQ(sparse.get<Clip>().textScale, 0.1);

    Json missingVolume = base;
    missingVolume.erase("volume");
    DecodeError error = clipDecodeFailure(missingVolume);
    EXPECT_EQ(error.kind(), DecodeError::Kind::keyNotFound);
    EXPECT_EQ(error.key(), "volume");

    Json nullRange = base;
    nullRange["timeRange"] = nullptr;
    error = clipDecodeFailure(nullRange);
    EXPECT_EQ(error.kind(), DecodeError::Kind::valueNotFound);
    EXPECT_EQ(error.key(), "timeRange");

    Json wrongType = base;
    wrongType["rate"] = "fast";
    EXPECT_EQ(clipDecodeFailure(wrongType).kind(), DecodeError::Kind::typeMismatch);
    wrongType = base;
    wrongType["isReversed"] = 1;
    EXPECT_EQ(clipDecodeFailure(wrongType).kind(), DecodeError::Kind::typeMismatch);
    wrongType = base;
    wrongType["audioEffects"] = Json::object();
    EXPECT_EQ(clipDecodeFailure(wrongType).kind(), DecodeError::Kind::typeMismatch);

    Json badId = base;
    badId["id"] = "not-a-uuid";
    error = clipDecodeFailure(badId);
    EXPECT_EQ(error.kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(error.key(), "id");

    Json badType = base;
    badType["trackType"] = "Video";
    error = clipDecodeFailure(badType);
    EXPECT_EQ(error.kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(error.key(), "trackType");
}

TEST(Clip, NestedValidationErrorsKeepTheirExactTexts) {
    Json base = makeClip(0, 1, TrackType::text);
    struct Case {
        const char* member;
        const char* value;
        const char* key;
        const char* description;
    };
    const Case cases[] = {
        {"textStyle",
         R"({"fontSize":48,"textColor":"white","strokeColor":"white","strokeWidth":0,"fontName":""})",
         "fontName", "fontName must be 1-255 UTF-8 bytes with no null bytes"},
        {"textStyle",
         R"({"fontSize":48,"textColor":"white","strokeColor":"white","strokeWidth":0,"boxWidth":0})",
         "boxWidth", "boxWidth must be finite and in range (0, 1.0]"},
        {"textPosition", R"({"type":"custom","x":0.5,"y":2.5})", "x",
         "custom x/y must be finite and in range [-1.0, 2.0]"},
        {"textPosition", R"({"type":"middle"})", "type", "Unknown TextPosition type: middle"},
        {"textPosition", R"("middle")", "textPosition", "Unknown TextPosition string: middle"},
        {"transform", R"({"rotation":45,"flipHorizontal":false,"flipVertical":false})", "rotation",
         "rotation must be 0, 90, 180, or 270, got 45"},
        {"audioEffects", R"([{"type":{"type":"Pan","balance":0}}])", "type",
         "Unknown AudioEffectType: Pan"},
        {"imageAnimation", R"({"type":{"type":"Pan","distance":0.3},"easing":"linear"})", "type",
         "Unknown ImageAnimationType: Pan"},
        {"textAnimation",
         R"({"entrance":{"type":"slide"},"entranceEasing":"linear","exitEasing":"linear"})", "type",
         "Unknown TextEntranceType: slide"},
    };
    for (const Case& c : cases) {
        Json json = base;
        json[c.member] = json::parse(c.value);
        DecodeError error = clipDecodeFailure(json);
        EXPECT_EQ(error.kind(), DecodeError::Kind::dataCorrupted) << c.value;
        EXPECT_EQ(error.key(), c.key) << c.value;
        EXPECT_EQ(error.description(), c.description) << c.value;
    }
}
