#include "presentation/helpers/CommandDescriptions.h"

#include "foundation/JoinedText.h"
#include "foundation/NumberText.h"
#include "foundation/UnicodeText.h"
#include "presentation/helpers/TimeFormatting.h"

#include <unicode/locid.h>
#include <unicode/unistr.h>

#include <cmath>
#include <cstdint>
#include <type_traits>
#include <utility>

namespace vexel {

namespace {

std::string time(double seconds) {
    return TimeFormatting::compact(seconds);
}

// The first character (grapheme) upper-cased, the rest unchanged.
std::string capitalizingFirst(const std::string& text) {
    const std::string first = unicode::graphemePrefix(text, 1);
    std::string upper;
    icu::UnicodeString::fromUTF8(first).toUpper(icu::Locale::getRoot()).toUTF8String(upper);
    return upper + text.substr(first.size());
}

class Describer {
public:
    explicit Describer(const StringTable& strings)
        : strings_(strings) {}

    std::string operator()(const EditCommand::Move& move) const {
        return text("command.moved %@", {time(move.to)});
    }
    std::string operator()(const EditCommand::Trim& trim) const {
        return text("command.trimmed %@ %@",
                    {time(trim.sourceStart), time(trim.sourceStart + trim.duration)});
    }
    std::string operator()(const EditCommand::AdjustVolume& adjust) const {
        return text("command.volume %@", {percentText(adjust.volume)});
    }
    std::string operator()(const EditCommand::AddClip& add) const {
        if (add.targetTrackName) {
            return text("command.addClipOnTrack %@ %@ %@",
                        {add.assetName, time(add.at), *add.targetTrackName});
        }
        return text("command.addClip %@ %@", {add.assetName, time(add.at)});
    }
    std::string operator()(const EditCommand::AddTrack& add) const {
        const std::string label(baseWord(add.trackType));
        if (add.name) {
            return text("command.addTrackNamed %@ %@", {label, *add.name});
        }
        return text("command.addTrack %@", {label});
    }
    std::string operator()(const EditCommand::RemoveClip&) const {
        return text("command.removeClip");
    }
    std::string operator()(const EditCommand::AddText& add) const {
        if (add.at) {
            return text("command.addText %@ %@ %@", {add.text, time(*add.at), time(add.duration)});
        }
        return text("command.addTextNoDuration %@ %@", {add.text, time(add.duration)});
    }
    std::string operator()(const EditCommand::Split& split) const {
        return text("command.split %@", {time(split.at)});
    }
    std::string operator()(const EditCommand::EditText& edit) const {
        std::vector<std::string> parts;
        if (edit.text) {
            parts.push_back(text("command.editText.text %@", {*edit.text}));
        }
        if (edit.position) {
            parts.push_back(text("command.editText.position %@", {edit.position->displayName()}));
        }
        if (edit.style) {
            parts.push_back(text("command.editText.style"));
        }
        if (edit.timeRange) {
            parts.push_back(text("command.editText.timing %@ %@",
                                 {time(edit.timeRange->startTime),
                                  time(edit.timeRange->startTime + edit.timeRange->duration)}));
        }
        if (parts.empty()) {
            return text("command.editTextUpdated");
        }
        return text("command.editTextChanged %@", {joined(parts, ", ")});
    }
    std::string operator()(const EditCommand::DuplicateClip&) const {
        return text("command.duplicateClip");
    }
    std::string operator()(const EditCommand::Speed& speed) const {
        return text("command.speed %@", {formatNumber(speed.rate)});
    }
    std::string operator()(const EditCommand::Opacity& opacity) const {
        return text("command.opacity %@", {percentText(opacity.opacity)});
    }
    std::string operator()(const EditCommand::ColorAdjust&) const {
        return text("command.colorAdjust");
    }
    std::string operator()(const EditCommand::RotateFlip& rotateFlip) const {
        std::vector<std::string> parts;
        if (rotateFlip.rotation) {
            parts.push_back(text("command.rotated %@", {formatInteger(*rotateFlip.rotation)}));
        }
        if (rotateFlip.flipHorizontal.value_or(false)) {
            parts.push_back(text("command.flippedHorizontally"));
        }
        if (rotateFlip.flipVertical.value_or(false)) {
            parts.push_back(text("command.flippedVertically"));
        }
        if (parts.empty()) {
            return text("command.rotateFlipUpdated");
        }
        return capitalizingFirst(joined(parts, ", "));
    }
    std::string operator()(const EditCommand::Crop&) const { return text("command.crop"); }
    std::string operator()(const EditCommand::Transition& transition) const {
        std::vector<std::string> parts;
        if (transition.fadeInDuration && *transition.fadeInDuration > 0) {
            parts.push_back(text("command.fadeIn %@", {formatNumber(*transition.fadeInDuration)}));
        }
        if (transition.fadeOutDuration && *transition.fadeOutDuration > 0) {
            parts.push_back(
                text("command.fadeOut %@", {formatNumber(*transition.fadeOutDuration)}));
        }
        if (parts.empty()) {
            return text("command.transitionCleared");
        }
        return text("command.transition %@", {joined(parts, ", ")});
    }
    std::string operator()(const EditCommand::Reverse&) const { return text("command.reverse"); }
    std::string operator()(const EditCommand::Filter& filter) const {
        if (filter.filterName.empty() || filter.filterName == "none") {
            return text("command.filterRemoved");
        }
        if (!filter.intensity || *filter.intensity == 1.0) {
            return text("command.filterApplied %@", {filter.filterName});
        }
        return text("command.filterAppliedIntensity %@ %@",
                    {filter.filterName, percentText(*filter.intensity)});
    }
    std::string operator()(const EditCommand::CrossDissolve& dissolve) const {
        if (dissolve.duration <= 0) {
            return text("command.crossDissolveRemoved");
        }
        return text("command.crossDissolve %@", {formatNumber(dissolve.duration)});
    }
    std::string operator()(const EditCommand::SetTextAnimation&) const {
        return text("command.setTextAnimation");
    }
    std::string operator()(const EditCommand::SetImageAnimation&) const {
        return text("command.setImageAnimation");
    }
    std::string operator()(const EditCommand::AddAudioEffect&) const {
        return text("command.addAudioEffect");
    }
    std::string operator()(const EditCommand::RemoveAudioEffect&) const {
        return text("command.removeAudioEffect");
    }
    std::string operator()(const EditCommand::TransformImageOverlay& transform) const {
        const bool moved = transform.x || transform.y;
        const bool scaled = transform.scale.has_value();
        if (moved && scaled) {
            return text("command.imageOverlayRepositionedAndRescaled");
        }
        if (moved) {
            return text("command.imageOverlayRepositioned");
        }
        if (scaled) {
            return text("command.imageOverlayRescaled");
        }
        return text("command.imageOverlayUpdated");
    }
    std::string operator()(const EditCommand::ScaleText& scale) const {
        return text("command.scaleText %@", {percentText(scale.scale)});
    }
    std::string operator()(const EditCommand::Export& exportCommand) const {
        return text("command.export %@", {std::string(rawValue(exportCommand.format))});
    }
    std::string operator()(const EditCommand::ReportBug&) const {
        return text("command.reportBug");
    }
    std::string operator()(const EditCommand::RequestFeature&) const {
        return text("command.requestFeature");
    }
    std::string operator()(const EditCommand::ShowTutorial&) const {
        return text("command.showTutorial");
    }
    std::string operator()(const EditCommand::Undo&) const { return text("command.undo"); }
    std::string operator()(const EditCommand::Redo&) const { return text("command.redo"); }

private:
    std::string text(std::string_view key, std::vector<std::string> values = {}) const {
        return strings_.localized(key, values);
    }

    const StringTable& strings_;
};

} // namespace

std::string percentText(double fraction) {
    const double percent = fraction * 100;
    if (!std::isfinite(percent)) {
        return formatNumber(percent);
    }
    const double whole = std::trunc(percent + std::copysign(1e-9, percent));
    if (std::fabs(whole) < 9223372036854775808.0) {
        return formatInteger(static_cast<std::int64_t>(whole));
    }
    return formatFixed(whole, 0);
}

std::string summary(const EditCommand& command, const StringTable& strings) {
    return std::visit(Describer(strings), command.value());
}

std::string buildCommandSummary(const std::vector<EditCommand>& commands,
                                const StringTable& strings) {
    if (commands.empty()) {
        return "No changes made.";
    }
    std::vector<std::string> lines;
    lines.reserve(commands.size());
    for (const EditCommand& command : commands) {
        lines.push_back(summary(command, strings));
    }
    return joined(lines, "\n");
}

} // namespace vexel
