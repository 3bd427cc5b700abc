#include "support/CommandDecoder.h"

#include "domain/entities/AudioEffect.h"
#include "domain/entities/EQBand.h"
#include "domain/entities/FilterPreset.h"
#include "domain/entities/NormalizedRect.h"
#include "support/ModelCases.h"

#include <cmath>
#include <optional>
#include <vector>

namespace vexel::fuzz {
namespace {

using Command = EditCommand;

const Uuid& unknownId() {
    static const Uuid id = *Uuid::parse("0F0F0F0F-0000-4000-8000-00000000F00D");
    return id;
}

Uuid clipId(FuzzInput& input, const Project& project) {
    std::vector<const Clip*> clips;
    for (const auto& track : project.tracks) {
        for (const auto& clip : track.clips) {
            clips.push_back(&clip);
        }
    }
    const std::size_t choice = input.pick(clips.size() + 1);
    return choice < clips.size() ? clips[choice]->id : unknownId();
}

Uuid trackId(FuzzInput& input, const Project& project) {
    const std::size_t choice = input.pick(project.tracks.size() + 1);
    return choice < project.tracks.size() ? project.tracks[choice].id : unknownId();
}

template <typename T, typename Make> std::optional<T> maybe(FuzzInput& input, Make make) {
    if (input.flag()) {
        return make();
    }
    return std::nullopt;
}

Direction direction(FuzzInput& input) {
    return allDirections[input.pick(allDirections.size())];
}

EasingCurve easing(FuzzInput& input) {
    return allEasingCurves[input.pick(allEasingCurves.size())];
}

TrackType trackType(FuzzInput& input) {
    return allTrackTypes[input.pick(allTrackTypes.size())];
}

TimeRange range(FuzzInput& input) {
    const double start = input.number();
    return TimeRange{start, input.number()};
}

// Text styles and custom positions are stored as given (their use cases check
// no limits), so a non-finite number there would be kept and could not be
// written to a project file; those inputs stay finite here.
double finite(FuzzInput& input) {
    const double value = input.number();
    return std::isfinite(value) ? value : 0;
}

TextPosition position(FuzzInput& input) {
    switch (input.pick(4)) {
    case 0:
        return TextPosition::top();
    case 1:
        return TextPosition::center();
    case 2:
        return TextPosition::bottom();
    default: {
        const double x = finite(input);
        return TextPosition::custom(x, finite(input));
    }
    }
}

TextStyle style(FuzzInput& input) {
    static const std::string_view colors[] = {"white", "red", "#FF00FF", "", "blue"};
    TextStyle style;
    style.fontSize = finite(input);
    style.textColor = input.word(colors);
    style.strokeColor = input.word(colors);
    style.strokeWidth = finite(input);
    if (input.flag()) {
        style.fontName = input.bytes(input.byte() % 8);
    }
    style.boxWidth = maybe<double>(input, [&] { return finite(input); });
    return style;
}

TransitionType transitionType(FuzzInput& input) {
    // Only the directional cases read a direction, as they always have, so that
    // the committed inputs keep their meaning.
    const std::size_t which = input.pick(9);
    const Direction towards = which < 3 ? direction(input) : Direction::left;
    return testing::everyTransitionType(towards)[which];
}

TextEntranceType entrance(FuzzInput& input) {
    const std::size_t which = input.pick(6);
    const Direction towards = which < 2 ? direction(input) : Direction::left;
    return testing::everyTextEntrance(towards)[which];
}

TextExitType exitType(FuzzInput& input) {
    const std::size_t which = input.pick(6);
    const Direction towards = which < 2 ? direction(input) : Direction::left;
    return testing::everyTextExit(towards)[which];
}

TextLoopType loop(FuzzInput& input) {
    const bool pulse = input.flag();
    const double first = input.number();
    const double interval = input.number();
    return pulse ? TextLoopType::pulse(first, interval) : TextLoopType::bounce(first, interval);
}

NormalizedRect rect(FuzzInput& input) {
    NormalizedRect rect;
    rect.x = input.number();
    rect.y = input.number();
    rect.width = input.number();
    rect.height = input.number();
    return rect;
}

ImageAnimationType imageAnimation(FuzzInput& input) {
    switch (input.pick(6)) {
    case 0: {
        const NormalizedRect from = rect(input);
        return ImageAnimationType::kenBurns(from, rect(input));
    }
    case 1:
        return ImageAnimationType::zoomIn(input.number());
    case 2:
        return ImageAnimationType::zoomOut(input.number());
    case 3: {
        const Direction towards = direction(input);
        return ImageAnimationType::pan(towards, input.number());
    }
    case 4:
        return ImageAnimationType::shake(input.number());
    default:
        return ImageAnimationType::rotate(input.number());
    }
}

AudioEffect audioEffect(FuzzInput& input, const Project& project) {
    switch (input.pick(7)) {
    case 0:
        return {AudioEffectType::pan(input.number())};
    case 1:
        return {AudioEffectType::pitchShift(input.number())};
    case 2:
        return {AudioEffectType::reverb(input.number())};
    case 3: {
        std::vector<EQBand> bands(input.pick(4));
        for (auto& band : bands) {
            band.frequency = input.number();
            band.gain = input.number();
            band.bandwidth = input.number();
        }
        return {AudioEffectType::eq(std::move(bands))};
    }
    case 4:
        return {AudioEffectType::normalize(input.number())};
    case 5: {
        const double threshold = input.number();
        return {AudioEffectType::compressor(threshold, input.number())};
    }
    default: {
        const Uuid reference = trackId(input, project);
        return {AudioEffectType::ducking(reference, input.number())};
    }
    }
}

} // namespace

EditCommand decodeCommand(FuzzInput& input, const Project& project) {
    static const std::string_view assets[] = {"/media/a.mov", "/media/long.mov", "/media/s.mp3",
                                              "/media/p.png", "/missing.mov"};
    static const std::string_view trackNames[] = {"Video 1", "Video 2", "Audio 1",
                                                  "Text 1",  "Image 1", "Nope"};
    static const std::string_view texts[] = {"Hello", "", "Title", "  ", "\xE2\x80\x8B"};
    static const std::string_view filters[] = {"sepia", "grayscale", "vivid", "none", ""};

    const auto tag = static_cast<EditCommand::Tag>(input.pick(31));
    switch (tag) {
    case EditCommand::Tag::move: {
        const Uuid id = clipId(input, project);
        const double to = input.number();
        return Command::Move{id, to, maybe<Uuid>(input, [&] { return trackId(input, project); })};
    }
    case EditCommand::Tag::trim: {
        const Uuid id = clipId(input, project);
        const double sourceStart = input.number();
        return Command::Trim{id, sourceStart, input.number()};
    }
    case EditCommand::Tag::adjustVolume: {
        const Uuid id = clipId(input, project);
        const double volume = input.number();
        return Command::AdjustVolume{id, volume,
                                     maybe<TimeRange>(input, [&] { return range(input); })};
    }
    case EditCommand::Tag::addClip: {
        std::string asset = input.word(assets);
        const TrackType type = trackType(input);
        const double at = input.number();
        return Command::AddClip{std::move(asset), type, at,
                                maybe<std::string>(input, [&] { return input.word(trackNames); })};
    }
    case EditCommand::Tag::addTrack: {
        auto name = maybe<std::string>(input, [&] { return input.word(trackNames); });
        return Command::AddTrack{std::move(name), trackType(input)};
    }
    case EditCommand::Tag::removeClip:
        return Command::RemoveClip{clipId(input, project)};
    case EditCommand::Tag::addText: {
        Command::AddText add;
        add.text = input.word(texts);
        add.at = maybe<double>(input, [&] { return input.number(); });
        add.duration = input.number();
        add.position = maybe<TextPosition>(input, [&] { return position(input); });
        add.style = maybe<TextStyle>(input, [&] { return style(input); });
        return add;
    }
    case EditCommand::Tag::split: {
        const Uuid id = clipId(input, project);
        return Command::Split{id, input.number()};
    }
    case EditCommand::Tag::editText: {
        Command::EditText edit;
        edit.textId = clipId(input, project);
        edit.text = maybe<std::string>(input, [&] { return input.word(texts); });
        edit.position = maybe<TextPosition>(input, [&] { return position(input); });
        edit.style = maybe<TextStyle>(input, [&] { return style(input); });
        edit.timeRange = maybe<TimeRange>(input, [&] { return range(input); });
        return edit;
    }
    case EditCommand::Tag::duplicateClip: {
        const Uuid id = clipId(input, project);
        return Command::DuplicateClip{id, maybe<double>(input, [&] { return input.number(); })};
    }
    case EditCommand::Tag::speed: {
        const Uuid id = clipId(input, project);
        return Command::Speed{id, input.number()};
    }
    case EditCommand::Tag::opacity: {
        const Uuid id = clipId(input, project);
        return Command::Opacity{id, input.number()};
    }
    case EditCommand::Tag::colorAdjust: {
        Command::ColorAdjust adjust;
        adjust.clipId = clipId(input, project);
        adjust.brightness = maybe<double>(input, [&] { return input.number(); });
        adjust.contrast = maybe<double>(input, [&] { return input.number(); });
        adjust.saturation = maybe<double>(input, [&] { return input.number(); });
        return adjust;
    }
    case EditCommand::Tag::rotateFlip: {
        Command::RotateFlip rotate;
        rotate.clipId = clipId(input, project);
        rotate.rotation = maybe<std::int64_t>(input, [&] {
            return static_cast<std::int64_t>(static_cast<std::int8_t>(input.byte())) * 45;
        });
        rotate.flipHorizontal = maybe<bool>(input, [&] { return input.flag(); });
        rotate.flipVertical = maybe<bool>(input, [&] { return input.flag(); });
        return rotate;
    }
    case EditCommand::Tag::crop: {
        Command::Crop crop;
        crop.clipId = clipId(input, project);
        crop.x = input.number();
        crop.y = input.number();
        crop.width = input.number();
        crop.height = input.number();
        return crop;
    }
    case EditCommand::Tag::transition: {
        Command::Transition transition;
        transition.clipId = clipId(input, project);
        transition.fadeInDuration = maybe<double>(input, [&] { return input.number(); });
        transition.fadeOutDuration = maybe<double>(input, [&] { return input.number(); });
        transition.type = maybe<TransitionType>(input, [&] { return transitionType(input); });
        transition.easing = maybe<EasingCurve>(input, [&] { return easing(input); });
        return transition;
    }
    case EditCommand::Tag::reverse:
        return Command::Reverse{clipId(input, project)};
    case EditCommand::Tag::filter: {
        const Uuid id = clipId(input, project);
        std::string name = input.word(filters);
        return Command::Filter{id, std::move(name),
                               maybe<double>(input, [&] { return input.number(); })};
    }
    case EditCommand::Tag::crossDissolve: {
        const Uuid id = clipId(input, project);
        return Command::CrossDissolve{id, input.number()};
    }
    case EditCommand::Tag::setTextAnimation: {
        Command::SetTextAnimation animation;
        animation.clipId = clipId(input, project);
        animation.entrance = maybe<TextEntranceType>(input, [&] { return entrance(input); });
        animation.exit = maybe<TextExitType>(input, [&] { return exitType(input); });
        animation.loop = maybe<TextLoopType>(input, [&] { return loop(input); });
        animation.entranceEasing = easing(input);
        animation.exitEasing = easing(input);
        return animation;
    }
    case EditCommand::Tag::setImageAnimation: {
        const Uuid id = clipId(input, project);
        const ImageAnimationType type = imageAnimation(input);
        return Command::SetImageAnimation{id, type, easing(input)};
    }
    case EditCommand::Tag::addAudioEffect: {
        const Uuid id = clipId(input, project);
        return Command::AddAudioEffect{id, audioEffect(input, project)};
    }
    case EditCommand::Tag::removeAudioEffect: {
        const Uuid id = clipId(input, project);
        return Command::RemoveAudioEffect{
            id, allAudioEffectKinds[input.pick(allAudioEffectKinds.size())]};
    }
    case EditCommand::Tag::transformImageOverlay: {
        Command::TransformImageOverlay transform;
        transform.clipId = clipId(input, project);
        transform.x = maybe<double>(input, [&] { return input.number(); });
        transform.y = maybe<double>(input, [&] { return input.number(); });
        transform.scale = maybe<double>(input, [&] { return input.number(); });
        return transform;
    }
    case EditCommand::Tag::scaleText: {
        const Uuid id = clipId(input, project);
        return Command::ScaleText{id, input.number()};
    }
    case EditCommand::Tag::export_:
        return Command::Export{};
    case EditCommand::Tag::reportBug:
        return Command::ReportBug{};
    case EditCommand::Tag::requestFeature:
        return Command::RequestFeature{};
    case EditCommand::Tag::showTutorial:
        return Command::ShowTutorial{};
    case EditCommand::Tag::undo:
        return Command::Undo{};
    case EditCommand::Tag::redo:
        return Command::Redo{};
    }
    return Command::ShowTutorial{};
}

} // namespace vexel::fuzz
