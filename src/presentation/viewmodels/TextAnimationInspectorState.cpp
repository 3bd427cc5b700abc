#include "presentation/viewmodels/TextAnimationInspectorState.h"

#include <utility>

namespace vexel {

std::string_view rawValue(TextEntranceKind kind) {
    return textEntranceKindRawValues.raw(kind);
}

std::string_view rawValue(TextExitKind kind) {
    return textExitKindRawValues.raw(kind);
}

std::string_view rawValue(TextLoopKind kind) {
    return textLoopKindRawValues.raw(kind);
}

std::optional<TextEntranceKind> textEntranceKindFromRaw(std::string_view raw) {
    return textEntranceKindRawValues.fromRaw(raw);
}

std::optional<TextExitKind> textExitKindFromRaw(std::string_view raw) {
    return textExitKindRawValues.fromRaw(raw);
}

std::optional<TextLoopKind> textLoopKindFromRaw(std::string_view raw) {
    return textLoopKindRawValues.fromRaw(raw);
}

bool needsDirection(TextEntranceKind kind) {
    return kind == TextEntranceKind::slideIn || kind == TextEntranceKind::wipeReveal;
}

bool needsDirection(TextExitKind kind) {
    return kind == TextExitKind::slideOut || kind == TextExitKind::wipeOut;
}

namespace {

constexpr Direction startDirection = Direction::left;
constexpr double startPulseScale = 1.2;
constexpr double startPulseInterval = 1.0;
constexpr double startBounceAmplitude = 0.1;
constexpr double startBounceInterval = 0.5;
constexpr EasingCurve startEntranceEasing = EasingCurve::easeOut;
constexpr EasingCurve startExitEasing = EasingCurve::easeIn;

bool hasParts(const std::optional<TextAnimation>& animation) {
    return animation && (animation->entrance || animation->exit || animation->loop);
}

TextEntranceType entranceOf(TextEntranceKind kind, Direction direction) {
    switch (kind) {
    case TextEntranceKind::slideIn:
        return TextEntranceType::slideIn(direction);
    case TextEntranceKind::wipeReveal:
        return TextEntranceType::wipeReveal(direction);
    case TextEntranceKind::scaleIn:
        return TextEntranceType::scaleIn();
    case TextEntranceKind::popIn:
        return TextEntranceType::popIn();
    case TextEntranceKind::bounceIn:
        return TextEntranceType::bounceIn();
    case TextEntranceKind::fadeIn:
        return TextEntranceType::fadeIn();
    }
    return TextEntranceType::fadeIn();
}

TextExitType exitOf(TextExitKind kind, Direction direction) {
    switch (kind) {
    case TextExitKind::slideOut:
        return TextExitType::slideOut(direction);
    case TextExitKind::wipeOut:
        return TextExitType::wipeOut(direction);
    case TextExitKind::scaleOut:
        return TextExitType::scaleOut();
    case TextExitKind::fadeOut:
        return TextExitType::fadeOut();
    case TextExitKind::popOut:
        return TextExitType::popOut();
    case TextExitKind::bounceOut:
        return TextExitType::bounceOut();
    }
    return TextExitType::fadeOut();
}

// The easing of a part counts only while both animations have that part: it
// shapes nothing on its own.
bool sameAnimation(const TextAnimation& a, const TextAnimation& b) {
    return a.entrance == b.entrance && a.exit == b.exit && a.loop == b.loop &&
           (!a.entrance || a.entranceEasing == b.entranceEasing) &&
           (!a.exit || a.exitEasing == b.exitEasing);
}

EditCommand::SetTextAnimation commandOf(const Uuid& clipId,
                                        const std::optional<TextAnimation>& animation) {
    if (!animation) {
        return {clipId,       std::nullopt,        std::nullopt,
                std::nullopt, startEntranceEasing, startExitEasing};
    }
    return {clipId,          animation->entrance,       animation->exit,
            animation->loop, animation->entranceEasing, animation->exitEasing};
}

} // namespace

TextAnimationInspectorState::TextAnimationInspectorState(Clip clip, QObject* parent)
    : QObject(parent)
    , originalClip_(std::move(clip))
    , showEntrance_(false, [this] { emit showEntranceChanged(); })
    , showExit_(false, [this] { emit showExitChanged(); })
    , showLoop_(false, [this] { emit showLoopChanged(); })
    , entranceKind_(std::nullopt, [this] { emit entranceKindChanged(); })
    , entranceDirection_(startDirection, [this] { emit entranceDirectionChanged(); })
    , exitKind_(std::nullopt, [this] { emit exitKindChanged(); })
    , exitDirection_(startDirection, [this] { emit exitDirectionChanged(); })
    , loopKind_(std::nullopt, [this] { emit loopKindChanged(); })
    , pulseScale_(startPulseScale, [this] { emit pulseScaleChanged(); })
    , pulseInterval_(startPulseInterval, [this] { emit pulseIntervalChanged(); })
    , bounceAmplitude_(startBounceAmplitude, [this] { emit bounceAmplitudeChanged(); })
    , bounceInterval_(startBounceInterval, [this] { emit bounceIntervalChanged(); })
    , entranceEasing_(startEntranceEasing, [this] { emit entranceEasingChanged(); })
    , exitEasing_(startExitEasing, [this] { emit exitEasingChanged(); }) {
    // Easings stored without any part have nothing to shape: not shown.
    if (!hasParts(originalClip_.textAnimation)) {
        return;
    }
    const TextAnimation& animation = *originalClip_.textAnimation;
    showEntrance_.set(animation.entrance.has_value());
    showExit_.set(animation.exit.has_value());
    showLoop_.set(animation.loop.has_value());
    if (animation.entrance) {
        entranceKind_.set(textEntranceKindFromRaw(caseName(animation.entrance->kind())));
        entranceDirection_.set(animation.entrance->direction().value_or(startDirection));
    }
    if (animation.exit) {
        exitKind_.set(textExitKindFromRaw(caseName(animation.exit->kind())));
        exitDirection_.set(animation.exit->direction().value_or(startDirection));
    }
    if (animation.loop) {
        if (const auto* pulse = animation.loop->getIf<TextLoopType::Pulse>()) {
            loopKind_.set(TextLoopKind::pulse);
            pulseScale_.set(pulse->scale);
            pulseInterval_.set(pulse->interval);
        } else if (const auto* bounce = animation.loop->getIf<TextLoopType::Bounce>()) {
            loopKind_.set(TextLoopKind::bounce);
            bounceAmplitude_.set(bounce->amplitude);
            bounceInterval_.set(bounce->interval);
        }
    }
    entranceEasing_.set(animation.entranceEasing);
    exitEasing_.set(animation.exitEasing);
}

std::vector<TextAnimationSection> TextAnimationInspectorState::appliedSections() const {
    std::vector<TextAnimationSection> sections;
    if (showEntrance()) {
        sections.push_back(TextAnimationSection::entrance);
    }
    if (showExit()) {
        sections.push_back(TextAnimationSection::exit);
    }
    if (showLoop()) {
        sections.push_back(TextAnimationSection::loop);
    }
    return sections;
}

void TextAnimationInspectorState::removeSection(TextAnimationSection section) {
    switch (section) {
    case TextAnimationSection::entrance:
        showEntrance_.set(false);
        setEntranceKind(std::nullopt);
        setEntranceDirection(startDirection);
        setEntranceEasing(startEntranceEasing);
        break;
    case TextAnimationSection::exit:
        showExit_.set(false);
        setExitKind(std::nullopt);
        setExitDirection(startDirection);
        setExitEasing(startExitEasing);
        break;
    case TextAnimationSection::loop:
        showLoop_.set(false);
        setLoopKind(std::nullopt);
        setPulseScale(startPulseScale);
        setPulseInterval(startPulseInterval);
        setBounceAmplitude(startBounceAmplitude);
        setBounceInterval(startBounceInterval);
        break;
    }
}

std::optional<TextAnimation> TextAnimationInspectorState::buildCurrentAnimation() const {
    TextAnimation animation;
    if (entranceKind()) {
        animation.entrance = entranceOf(*entranceKind(), entranceDirection());
    }
    if (exitKind()) {
        animation.exit = exitOf(*exitKind(), exitDirection());
    }
    if (loopKind() == TextLoopKind::pulse) {
        animation.loop = TextLoopType::pulse(pulseScale(), pulseInterval());
    } else if (loopKind() == TextLoopKind::bounce) {
        animation.loop = TextLoopType::bounce(bounceAmplitude(), bounceInterval());
    }
    if (!animation.entrance && !animation.exit && !animation.loop) {
        return std::nullopt;
    }
    animation.entranceEasing = entranceEasing();
    animation.exitEasing = exitEasing();
    return animation;
}

bool TextAnimationInspectorState::hasChanges() const {
    const std::optional<TextAnimation>& stored = originalClip_.textAnimation;
    const std::optional<TextAnimation> current = buildCurrentAnimation();
    if (!hasParts(stored) || !current) {
        return hasParts(stored) != current.has_value();
    }
    return !sameAnimation(*stored, *current);
}

std::vector<EditCommand> TextAnimationInspectorState::buildEditCommands() const {
    if (!hasChanges()) {
        return {};
    }
    const Uuid& clipId = originalClip_.id;
    const std::optional<TextAnimation> current = buildCurrentAnimation();
    const std::optional<TextAnimation>& stored = originalClip_.textAnimation;
    // The edit keeps every part it is not given. A part the clip has and the
    // form has dropped would stay, so the animation is first taken off whole
    // and then set as the form shows it, in the same batch.
    const bool dropsAPart = current && hasParts(stored) &&
                            ((stored->entrance && !current->entrance) ||
                             (stored->exit && !current->exit) || (stored->loop && !current->loop));
    std::vector<EditCommand> commands;
    if (dropsAPart) {
        commands.emplace_back(commandOf(clipId, std::nullopt));
    }
    commands.emplace_back(commandOf(clipId, current));
    return commands;
}

} // namespace vexel
