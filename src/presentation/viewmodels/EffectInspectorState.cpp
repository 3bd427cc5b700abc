#include "presentation/viewmodels/EffectInspectorState.h"

#include <cmath>
#include <limits>
#include <utility>

namespace vexel {

namespace {

constexpr std::string_view noFilter = "none";

bool differs(double value, double reference) {
    return std::abs(value - reference) > EffectInspectorState::tolerance;
}

// The filter the form starts from, and compares against: an inactive preset
// keeps its intensity under the name "none".
FilterPreset referenceFilter(const Clip& clip) {
    if (!clip.filter) {
        return {std::string(noFilter), 1.0};
    }
    if (clip.filter->isActive()) {
        return *clip.filter;
    }
    return {std::string(noFilter), clip.filter->intensity};
}

TransitionEffect referenceTransition(const std::optional<TransitionEffect>& transition) {
    return transition.value_or(TransitionEffect{0, TransitionType::fade(), EasingCurve::linear});
}

// The timeline time that the engine turns back into `offset` from the clip's
// start, or into the nearest offset below it. The plain sum may come back a
// little later, which would push a fade that ends with the clip just past its
// end, and a change of the level alone would be refused.
double timelineTime(double offset, double clipStart) {
    double time = offset + clipStart;
    for (int step = 0; step < 16 && time - clipStart > offset; ++step) {
        time = std::nextafter(time, -std::numeric_limits<double>::infinity());
    }
    return time;
}

} // namespace

EffectInspectorState::EffectInspectorState(Clip clip, QObject* parent)
    : QObject(parent)
    , originalClip_(std::move(clip))
    , opacity_(originalClip_.opacity, [this] { emit opacityChanged(); })
    , rate_(originalClip_.rate, [this] { emit rateChanged(); })
    , volume_(originalClip_.volume, [this] { emit volumeChanged(); })
    , fadeRange_(originalClip_.fadeRange, [this] { emit fadeRangeChanged(); })
    , brightness_(originalClip_.colorAdjust.value_or(ColorAdjust{}).brightness,
                  [this] { emit brightnessChanged(); })
    , contrast_(originalClip_.colorAdjust.value_or(ColorAdjust{}).contrast,
                [this] { emit contrastChanged(); })
    , saturation_(originalClip_.colorAdjust.value_or(ColorAdjust{}).saturation,
                  [this] { emit saturationChanged(); })
    , filterName_(referenceFilter(originalClip_).name, [this] { emit filterNameChanged(); })
    , filterIntensity_(referenceFilter(originalClip_).intensity,
                       [this] { emit filterIntensityChanged(); })
    , transitionInDuration_(referenceTransition(originalClip_.transitionIn).duration,
                            [this] { emit transitionInDurationChanged(); })
    , transitionInType_(referenceTransition(originalClip_.transitionIn).type,
                        [this] { emit transitionInTypeChanged(); })
    , transitionInEasing_(referenceTransition(originalClip_.transitionIn).easing,
                          [this] { emit transitionInEasingChanged(); })
    , transitionOutDuration_(referenceTransition(originalClip_.transitionOut).duration,
                             [this] { emit transitionOutDurationChanged(); })
    , transitionOutType_(referenceTransition(originalClip_.transitionOut).type,
                         [this] { emit transitionOutTypeChanged(); })
    , transitionOutEasing_(referenceTransition(originalClip_.transitionOut).easing,
                           [this] { emit transitionOutEasingChanged(); })
    , showTransitions_(false, [this] { emit showTransitionsChanged(); })
    , showOpacity_(false, [this] { emit showOpacityChanged(); })
    , showColorAdjust_(false, [this] { emit showColorAdjustChanged(); })
    , showFilter_(false, [this] { emit showFilterChanged(); })
    , showSpeed_(false, [this] { emit showSpeedChanged(); })
    , showVolume_(false, [this] { emit showVolumeChanged(); }) {
    const Clip& stored = originalClip_;
    const TrackType kind = stored.trackType;
    const auto positive = [](const std::optional<TransitionEffect>& transition) {
        return transition && transition->duration > 0;
    };
    // Only what the clip really carries is listed; a section that does not
    // apply to the clip's kind never shows.
    showOpacity_.set(appliesTo(EffectSection::opacity, kind) && stored.opacity != 1.0);
    showSpeed_.set(appliesTo(EffectSection::speed, kind) && stored.rate != 1.0);
    showVolume_.set(appliesTo(EffectSection::volume, kind) &&
                    (stored.volume != 1.0 || stored.fadeRange.has_value()));
    showColorAdjust_.set(appliesTo(EffectSection::colorAdjust, kind) && stored.colorAdjust &&
                         !stored.colorAdjust->isNeutral());
    showFilter_.set(appliesTo(EffectSection::filter, kind) && stored.filter &&
                    stored.filter->isActive());
    showTransitions_.set(appliesTo(EffectSection::transitions, kind) &&
                         (positive(stored.transitionIn) || positive(stored.transitionOut)));
}

std::vector<EffectSection> EffectInspectorState::appliedSections() const {
    std::vector<EffectSection> sections;
    for (EffectSection section : allEffectSections) {
        if (!appliesTo(section, originalClip_.trackType)) {
            continue;
        }
        bool shown = false;
        switch (section) {
        case EffectSection::transitions:
            shown = showTransitions();
            break;
        case EffectSection::opacity:
            shown = showOpacity();
            break;
        case EffectSection::colorAdjust:
            shown = showColorAdjust();
            break;
        case EffectSection::filter:
            shown = showFilter();
            break;
        case EffectSection::speed:
            shown = showSpeed();
            break;
        case EffectSection::volume:
            shown = showVolume();
            break;
        }
        if (shown) {
            sections.push_back(section);
        }
    }
    return sections;
}

void EffectInspectorState::removeSection(EffectSection section) {
    switch (section) {
    case EffectSection::transitions:
        showTransitions_.set(false);
        setTransitionInDuration(0);
        setTransitionOutDuration(0);
        setTransitionInType(TransitionType::fade());
        setTransitionOutType(TransitionType::fade());
        setTransitionInEasing(EasingCurve::linear);
        setTransitionOutEasing(EasingCurve::linear);
        break;
    case EffectSection::opacity:
        showOpacity_.set(false);
        setOpacity(1.0);
        break;
    case EffectSection::colorAdjust:
        showColorAdjust_.set(false);
        setBrightness(0);
        setContrast(1);
        setSaturation(1);
        break;
    case EffectSection::filter:
        showFilter_.set(false);
        setFilterName(std::string(noFilter));
        setFilterIntensity(1.0);
        break;
    case EffectSection::speed:
        showSpeed_.set(false);
        setRate(1.0);
        break;
    case EffectSection::volume:
        showVolume_.set(false);
        setVolume(1.0);
        setFadeRange(std::nullopt);
        break;
    }
}

bool EffectInspectorState::opacityDiffers() const {
    return differs(opacity(), originalClip_.opacity);
}

bool EffectInspectorState::rateDiffers() const {
    return differs(rate(), originalClip_.rate);
}

bool EffectInspectorState::volumeDiffers() const {
    // The fade range has no control of its own: it is either kept as stored or
    // removed, so any difference at all is a real one.
    return differs(volume(), originalClip_.volume) || fadeRange() != originalClip_.fadeRange;
}

bool EffectInspectorState::colorAdjustDiffers() const {
    const ColorAdjust reference = originalClip_.colorAdjust.value_or(ColorAdjust{});
    return differs(brightness(), reference.brightness) || differs(contrast(), reference.contrast) ||
           differs(saturation(), reference.saturation);
}

bool EffectInspectorState::filterDiffers() const {
    const FilterPreset reference = referenceFilter(originalClip_);
    return filterName() != reference.name || differs(filterIntensity(), reference.intensity);
}

bool EffectInspectorState::transitionInDiffers() const {
    const TransitionEffect reference = referenceTransition(originalClip_.transitionIn);
    return differs(transitionInDuration(), reference.duration) ||
           transitionInType() != reference.type || transitionInEasing() != reference.easing;
}

bool EffectInspectorState::transitionOutDiffers() const {
    const TransitionEffect reference = referenceTransition(originalClip_.transitionOut);
    return differs(transitionOutDuration(), reference.duration) ||
           transitionOutType() != reference.type || transitionOutEasing() != reference.easing;
}

bool EffectInspectorState::hasChanges() const {
    return opacityDiffers() || rateDiffers() || volumeDiffers() || colorAdjustDiffers() ||
           filterDiffers() || transitionInDiffers() || transitionOutDiffers();
}

void EffectInspectorState::appendTransitionCommands(std::vector<EditCommand>& commands) const {
    const bool inChanged = transitionInDiffers();
    const bool outChanged = transitionOutDiffers();
    if (!inChanged && !outChanged) {
        return;
    }
    const Uuid& clipId = originalClip_.id;
    const EditCommand::Transition fadeIn{clipId, transitionInDuration(), std::nullopt,
                                         transitionInType(), transitionInEasing()};
    const EditCommand::Transition fadeOut{clipId, std::nullopt, transitionOutDuration(),
                                          transitionOutType(), transitionOutEasing()};
    if (!inChanged) {
        commands.emplace_back(fadeOut);
        return;
    }
    if (!outChanged) {
        commands.emplace_back(fadeIn);
        return;
    }
    // One command gives both sides one type and easing. When the sides
    // disagree, each side goes in a command of its own, so that neither choice
    // is lost.
    if (transitionInType() == transitionOutType() &&
        transitionInEasing() == transitionOutEasing()) {
        commands.emplace_back(EditCommand::Transition{clipId, transitionInDuration(),
                                                      transitionOutDuration(), transitionInType(),
                                                      transitionInEasing()});
        return;
    }
    // The engine checks after each command that both sides fit in the clip:
    // the side that shrinks goes first, so that the other one has room to grow.
    const bool inShrinks =
        transitionInDuration() < referenceTransition(originalClip_.transitionIn).duration;
    const bool outShrinks =
        transitionOutDuration() < referenceTransition(originalClip_.transitionOut).duration;
    if (outShrinks && !inShrinks) {
        commands.emplace_back(fadeOut);
        commands.emplace_back(fadeIn);
    } else {
        commands.emplace_back(fadeIn);
        commands.emplace_back(fadeOut);
    }
}

std::vector<EditCommand> EffectInspectorState::buildEditCommands() const {
    const Uuid& clipId = originalClip_.id;
    std::vector<EditCommand> commands;
    if (rateDiffers()) {
        commands.emplace_back(EditCommand::Speed{clipId, rate()});
    }
    if (opacityDiffers()) {
        commands.emplace_back(EditCommand::Opacity{clipId, opacity()});
    }
    if (colorAdjustDiffers()) {
        commands.emplace_back(
            EditCommand::ColorAdjust{clipId, brightness(), contrast(), saturation()});
    }
    if (filterDiffers()) {
        const bool removing = filterName() == noFilter;
        commands.emplace_back(EditCommand::Filter{
            clipId, filterName(),
            removing ? std::nullopt : std::optional<double>(filterIntensity())});
    }
    appendTransitionCommands(commands);
    if (volumeDiffers()) {
        // The engine takes the fade range in timeline time.
        std::optional<TimeRange> fade = fadeRange();
        if (fade) {
            fade->startTime = timelineTime(fade->startTime, originalClip_.timeRange.startTime);
        }
        commands.emplace_back(EditCommand::AdjustVolume{clipId, volume(), fade});
    }
    return commands;
}

} // namespace vexel
