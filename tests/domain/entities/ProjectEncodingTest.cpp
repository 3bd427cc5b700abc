#include "domain/entities/Project.h"

#include "foundation/DecodeError.h"
#include "foundation/JsonReader.h"
#include "support/ModelCases.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>
#include <random>

using namespace vexel;
using namespace vexel::testing;

namespace {

// Builds random projects from a fixed seed, with every optional clip field
// present about half of the time.
class ProjectGenerator {
public:
    explicit ProjectGenerator(std::uint64_t seed)
        : random_(seed) {}

    Project project() {
        Project project{{}, number()};
        int trackCount = integer(0, 5);
        for (int i = 0; i < trackCount; ++i) {
            project.tracks.push_back(track());
        }
        return project;
    }

private:
    std::mt19937_64 random_;

    int integer(int lo, int hi) { return std::uniform_int_distribution<int>(lo, hi)(random_); }
    bool coin() { return integer(0, 1) == 1; }
    double uniform(double lo, double hi) {
        return std::uniform_real_distribution<double>(lo, hi)(random_);
    }
    // Any finite double, from tiny to huge, either sign, every bit of precision.
    double number() {
        switch (integer(0, 4)) {
        case 0:
            return 0;
        case 1:
            return static_cast<double>(integer(-100, 100));
        case 2:
            return uniform(-10, 10);
        case 3:
            return uniform(-1, 1) * std::pow(10.0, integer(-300, 300));
        default:
            return uniform(0, 3600);
        }
    }
    Uuid uuid() {
        Uuid::Bytes bytes{};
        for (auto& byte : bytes) {
            byte = static_cast<std::uint8_t>(integer(0, 255));
        }
        return Uuid(bytes);
    }
    // Valid UTF-8 with quotes, escapes, multi-byte characters and, unless told
    // otherwise, NUL.
    std::string text(int maxPieces, bool allowNul = true) {
        static const std::string pieces[] = {"a",  "Z",  " ", "é", "字", "\"",
                                             "\\", "\n", "🎬", "7", "\t", std::string(1, '\0')};
        int last = allowNul ? 11 : 10;
        std::string out;
        for (int count = integer(0, maxPieces); count > 0; --count) {
            out += pieces[integer(0, last)];
        }
        return out;
    }
    template <class T, class Make> std::optional<T> maybe(Make make) {
        if (coin()) {
            return make();
        }
        return std::nullopt;
    }
    Direction direction() { return allDirections[static_cast<std::size_t>(integer(0, 3))]; }
    EasingCurve easing() { return allEasingCurves[static_cast<std::size_t>(integer(0, 3))]; }
    NormalizedRect rect() { return {number(), number(), number(), number()}; }

    TextStyle textStyle() {
        TextStyle style{number(), text(5), text(5), number(), std::nullopt, std::nullopt};
        style.fontName = maybe<std::string>([&] { return "F" + text(30, false); });
        style.boxWidth = maybe<double>([&] { return 1.0 - uniform(0, 1); });
        return style;
    }
    TextPosition textPosition() {
        switch (integer(0, 3)) {
        case 0:
            return TextPosition::top();
        case 1:
            return TextPosition::center();
        case 2:
            return TextPosition::bottom();
        default:
            return TextPosition::custom(uniform(-1, 2), uniform(-1, 2));
        }
    }
    TransitionEffect transition() {
        const auto types = everyTransitionType(direction());
        return {number(), types[static_cast<std::size_t>(integer(0, 8))], easing()};
    }
    ClipTransform transform() {
        static const int rotations[] = {0, 90, 180, 270};
        return {rotations[integer(0, 3)], coin(), coin(),
                maybe<NormalizedRect>([&] { return rect(); })};
    }
    TextAnimation textAnimation() {
        TextAnimation animation;
        animation.entrance = maybe<TextEntranceType>([&] {
            const auto all = everyTextEntrance(direction());
            return all[static_cast<std::size_t>(integer(0, 5))];
        });
        animation.exit = maybe<TextExitType>([&] {
            const auto all = everyTextExit(direction());
            return all[static_cast<std::size_t>(integer(0, 5))];
        });
        animation.loop = maybe<TextLoopType>([&] {
            return coin() ? TextLoopType::pulse(number(), number())
                          : TextLoopType::bounce(number(), number());
        });
        animation.entranceEasing = easing();
        animation.exitEasing = easing();
        return animation;
    }
    ImageAnimation imageAnimation() {
        ImageAnimationType all[] = {ImageAnimationType::kenBurns(rect(), rect()),
                                    ImageAnimationType::zoomIn(number()),
                                    ImageAnimationType::zoomOut(number()),
                                    ImageAnimationType::pan(direction(), number()),
                                    ImageAnimationType::shake(number()),
                                    ImageAnimationType::rotate(number())};
        return {all[integer(0, 5)], easing()};
    }
    std::vector<AudioEffect> audioEffects() {
        std::vector<AudioEffect> effects;
        int count = integer(0, 3);
        for (int i = 0; i < count; ++i) {
            std::vector<EQBand> bands;
            for (int b = integer(0, 3); b > 0; --b) {
                bands.push_back({number(), number(), number()});
            }
            AudioEffectType all[] = {AudioEffectType::pan(number()),
                                     AudioEffectType::pitchShift(number()),
                                     AudioEffectType::reverb(number()),
                                     AudioEffectType::eq(bands),
                                     AudioEffectType::normalize(number()),
                                     AudioEffectType::compressor(number(), number()),
                                     AudioEffectType::ducking(uuid(), number())};
            effects.push_back(AudioEffect{all[integer(0, 6)]});
        }
        return effects;
    }

    Clip clip() {
        Clip clip;
        clip.id = uuid();
        clip.assetName = text(8);
        clip.assetURL = maybe<std::filesystem::path>([&] { return "/media/" + text(6) + ".mov"; });
        clip.trackType = allTrackTypes[static_cast<std::size_t>(integer(0, 3))];
        clip.timeRange = {number(), number()};
        clip.sourceOffset = number();
        clip.volume = number();
        clip.textPosition = maybe<TextPosition>([&] { return textPosition(); });
        clip.textStyle = maybe<TextStyle>([&] { return textStyle(); });
        clip.rate = number();
        clip.opacity = number();
        clip.colorAdjust = maybe<ColorAdjust>([&] {
            return ColorAdjust{number(), number(), number()};
        });
        clip.transform = maybe<ClipTransform>([&] { return transform(); });
        clip.transitionIn = maybe<TransitionEffect>([&] { return transition(); });
        clip.transitionOut = maybe<TransitionEffect>([&] { return transition(); });
        clip.isReversed = coin();
        clip.filter = maybe<FilterPreset>([&] { return FilterPreset{text(4), uniform(0, 1)}; });
        clip.fadeRange = maybe<TimeRange>([&] { return TimeRange{number(), number()}; });
        clip.textAnimation = maybe<TextAnimation>([&] { return textAnimation(); });
        clip.imageAnimation = maybe<ImageAnimation>([&] { return imageAnimation(); });
        clip.overlayTransform = maybe<OverlayTransform>([&] {
            return OverlayTransform{uniform(0, 1), uniform(0, 1), uniform(0.1, 5)};
        });
        clip.textScale = maybe<double>([&] { return uniform(0.1, 5); });
        clip.audioEffects = maybe<std::vector<AudioEffect>>([&] { return audioEffects(); });
        return clip;
    }

    Track track() {
        Track track{
            uuid(), allTrackTypes[static_cast<std::size_t>(integer(0, 3))], text(6), {}, coin()};
        for (int n = integer(0, 6); n > 0; --n) {
            track.clips.push_back(clip());
        }
        return track;
    }
};

std::vector<std::string> memberNames(const Json& object) {
    std::vector<std::string> names;
    for (auto it = object.begin(); it != object.end(); ++it) {
        names.push_back(it.key());
    }
    return names;
}

// The stored record's members in field order, the optional ones only when set.
std::vector<std::string> expectedClipMembers(const Clip& clip) {
    std::vector<std::pair<std::string, bool>> members = {
        {"id", true},
        {"assetName", true},
        {"assetPath", clip.assetURL.has_value()},
        {"trackType", true},
        {"timeRange", true},
        {"sourceOffset", true},
        {"volume", true},
        {"textPosition", clip.textPosition.has_value()},
        {"textStyle", clip.textStyle.has_value()},
        {"rate", true},
        {"opacity", true},
        {"colorAdjust", clip.colorAdjust.has_value()},
        {"transform", clip.transform.has_value()},
        {"transitionIn", clip.transitionIn.has_value()},
        {"transitionOut", clip.transitionOut.has_value()},
        {"isReversed", true},
        {"filter", clip.filter.has_value()},
        {"fadeRange", clip.fadeRange.has_value()},
        {"textAnimation", clip.textAnimation.has_value()},
        {"imageAnimation", clip.imageAnimation.has_value()},
        {"overlayTransform", clip.overlayTransform.has_value()},
        {"textScale", clip.textScale.has_value()},
        {"audioEffects", clip.audioEffects.has_value()},
    };
    std::vector<std::string> names;
    for (auto& [name, written] : members) {
        if (written) {
            names.push_back(name);
        }
    }
    return names;
}

} // namespace

TEST(ProjectEncoding, RandomProjectsRoundTripWithExactMemberNames) {
    ProjectGenerator generator(20261208);
    std::map<std::string, int> presentCount;
    int clipCount = 0;
    for (int i = 0; i < 300; ++i) {
        Project project = generator.project();
        Json encoded = project;
        ASSERT_EQ(memberNames(encoded), (std::vector<std::string>{"tracks", "maxDuration"}));
        ASSERT_EQ(encoded["tracks"].size(), project.tracks.size());
        for (std::size_t t = 0; t < project.tracks.size(); ++t) {
            const Json& track = encoded["tracks"][t];
            ASSERT_EQ(memberNames(track),
                      (std::vector<std::string>{"id", "type", "name", "clips", "isDefault"}));
            for (std::size_t c = 0; c < project.tracks[t].clips.size(); ++c) {
                const Clip& clip = project.tracks[t].clips[c];
                std::vector<std::string> names = memberNames(track["clips"][c]);
                ASSERT_EQ(names, expectedClipMembers(clip));
                for (const std::string& name : names) {
                    ++presentCount[name];
                }
                ++clipCount;
            }
        }
        // Through the text form, as a file holds it.
        Project decoded = json::parse(encoded.dump()).get<Project>();
        ASSERT_EQ(decoded, project) << "project " << i;
    }
    // Every optional member was seen both written and left out.
    for (const char* optional :
         {"assetPath", "textPosition", "textStyle", "colorAdjust", "transform", "transitionIn",
          "transitionOut", "filter", "fadeRange", "textAnimation", "imageAnimation",
          "overlayTransform", "textScale", "audioEffects"}) {
        EXPECT_GT(presentCount[optional], 0) << optional;
        EXPECT_LT(presentCount[optional], clipCount) << optional;
    }
}

TEST(ProjectEncoding, TracksAndProjectsRequireTheirMembers) {
    Json track = json::parse(
        R"({"id":"6f1c5c1e-3d4b-4a8e-9b8a-0c1d2e3f4a5b","type":"audio","name":"Audio 1","clips":[]})");
    Track decoded = track.get<Track>();
    EXPECT_FALSE(decoded.isDefault);
    EXPECT_EQ(decoded.id.string(), "6F1C5C1E-3D4B-4A8E-9B8A-0C1D2E3F4A5B");
    track["isDefault"] = nullptr;
    EXPECT_FALSE(track.get<Track>().isDefault);

    Json noClips = track;
    noClips.erase("clips");
    EXPECT_THROW(noClips.get<Track>(), DecodeError);
    Json badType = track;
    badType["type"] = "Video";
    try {
        (void)badType.get<Track>();
        FAIL();
    } catch (const DecodeError& error) {
        EXPECT_EQ(error.kind(), DecodeError::Kind::dataCorrupted);
        EXPECT_EQ(error.key(), "type");
    }

    EXPECT_THROW(json::parse(R"({"maxDuration":3600})").get<Project>(), DecodeError);
    EXPECT_THROW(json::parse(R"({"tracks":[]})").get<Project>(), DecodeError);
    EXPECT_THROW(json::parse(R"([])").get<Project>(), DecodeError);
    EXPECT_EQ(json::parse(R"({"tracks":[],"maxDuration":60})").get<Project>(), (Project{{}, 60}));
}
