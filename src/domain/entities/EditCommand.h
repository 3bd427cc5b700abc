#pragma once

#include "domain/entities/AudioEffect.h"
#include "domain/entities/AudioEffectKind.h"
#include "domain/entities/BugReport.h"
#include "domain/entities/EasingCurve.h"
#include "domain/entities/ExportFormat.h"
#include "domain/entities/FeatureRequest.h"
#include "domain/entities/ImageAnimationType.h"
#include "domain/entities/TextEntranceType.h"
#include "domain/entities/TextExitType.h"
#include "domain/entities/TextLoopType.h"
#include "domain/entities/TextPosition.h"
#include "domain/entities/TextStyle.h"
#include "domain/entities/TimeRange.h"
#include "domain/entities/TrackType.h"
#include "domain/entities/TransitionType.h"
#include "foundation/Uuid.h"

#include <cstdint>
#include <optional>
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace vexel {

// One requested change of the document (an edit) or an action around it (a meta
// command). A plain value: it names its target by id or name, carries the
// parameters of one operation and is validated only by the use case that runs it.
// Absent optionals mean "keep what is stored" or "use the default".
class EditCommand {
public:
    // The cases in declaration order; a case's tag is its index in `Value`.
    enum class Tag {
        move,
        trim,
        adjustVolume,
        addClip,
        addTrack,
        removeClip,
        addText,
        split,
        editText,
        duplicateClip,
        speed,
        opacity,
        colorAdjust,
        rotateFlip,
        crop,
        transition,
        reverse,
        filter,
        crossDissolve,
        setTextAnimation,
        setImageAnimation,
        addAudioEffect,
        removeAudioEffect,
        transformImageOverlay,
        scaleText,
        // The `export` case; `export` is a C++ keyword.
        export_,
        reportBug,
        requestFeature,
        showTutorial,
        undo,
        redo,
    };

    // Seconds are doubles; `to` and `at` are timeline times.
    struct Move {
        Uuid clipId;
        double to = 0;
        // Absent: the clip's own track.
        std::optional<Uuid> toTrackId;
        friend bool operator==(const Move&, const Move&) = default;
    };
    struct Trim {
        Uuid clipId;
        double sourceStart = 0;
        double duration = 0;
        friend bool operator==(const Trim&, const Trim&) = default;
    };
    struct AdjustVolume {
        Uuid clipId;
        double volume = 0;
        std::optional<TimeRange> fadeRange;
        friend bool operator==(const AdjustVolume&, const AdjustVolume&) = default;
    };
    struct AddClip {
        // A file path.
        std::string assetName;
        TrackType trackType = TrackType::video;
        double at = 0;
        std::optional<std::string> targetTrackName;
        friend bool operator==(const AddClip&, const AddClip&) = default;
    };
    struct AddTrack {
        std::optional<std::string> name;
        TrackType trackType = TrackType::audio;
        friend bool operator==(const AddTrack&, const AddTrack&) = default;
    };
    struct RemoveClip {
        Uuid clipId;
        friend bool operator==(const RemoveClip&, const RemoveClip&) = default;
    };
    struct AddText {
        std::string text;
        std::optional<double> at;
        double duration = 0;
        std::optional<TextPosition> position;
        std::optional<TextStyle> style;
        friend bool operator==(const AddText&, const AddText&) = default;
    };
    struct Split {
        Uuid clipId;
        double at = 0;
        friend bool operator==(const Split&, const Split&) = default;
    };
    struct EditText {
        Uuid textId;
        std::optional<std::string> text;
        std::optional<TextPosition> position;
        std::optional<TextStyle> style;
        std::optional<TimeRange> timeRange;
        friend bool operator==(const EditText&, const EditText&) = default;
    };
    struct DuplicateClip {
        Uuid clipId;
        std::optional<double> at;
        friend bool operator==(const DuplicateClip&, const DuplicateClip&) = default;
    };
    struct Speed {
        Uuid clipId;
        double rate = 0;
        friend bool operator==(const Speed&, const Speed&) = default;
    };
    struct Opacity {
        Uuid clipId;
        double opacity = 0;
        friend bool operator==(const Opacity&, const Opacity&) = default;
    };
    struct ColorAdjust {
        Uuid clipId;
        std::optional<double> brightness;
        std::optional<double> contrast;
        std::optional<double> saturation;
        friend bool operator==(const ColorAdjust&, const ColorAdjust&) = default;
    };
    struct RotateFlip {
        Uuid clipId;
        // Degrees.
        std::optional<std::int64_t> rotation;
        std::optional<bool> flipHorizontal;
        std::optional<bool> flipVertical;
        friend bool operator==(const RotateFlip&, const RotateFlip&) = default;
    };
    struct Crop {
        Uuid clipId;
        double x = 0;
        double y = 0;
        double width = 0;
        double height = 0;
        friend bool operator==(const Crop&, const Crop&) = default;
    };
    struct Transition {
        Uuid clipId;
        std::optional<double> fadeInDuration;
        std::optional<double> fadeOutDuration;
        std::optional<TransitionType> type;
        std::optional<EasingCurve> easing;
        friend bool operator==(const Transition&, const Transition&) = default;
    };
    struct Reverse {
        Uuid clipId;
        friend bool operator==(const Reverse&, const Reverse&) = default;
    };
    struct Filter {
        Uuid clipId;
        std::string filterName;
        std::optional<double> intensity;
        friend bool operator==(const Filter&, const Filter&) = default;
    };
    struct CrossDissolve {
        Uuid clipId;
        double duration = 0;
        friend bool operator==(const CrossDissolve&, const CrossDissolve&) = default;
    };
    struct SetTextAnimation {
        Uuid clipId;
        std::optional<TextEntranceType> entrance;
        std::optional<TextExitType> exit;
        std::optional<TextLoopType> loop;
        EasingCurve entranceEasing = EasingCurve::linear;
        EasingCurve exitEasing = EasingCurve::linear;
        friend bool operator==(const SetTextAnimation&, const SetTextAnimation&) = default;
    };
    struct SetImageAnimation {
        Uuid clipId;
        ImageAnimationType type;
        EasingCurve easing = EasingCurve::linear;
        friend bool operator==(const SetImageAnimation&, const SetImageAnimation&) = default;
    };
    struct AddAudioEffect {
        Uuid clipId;
        AudioEffect effect;
        friend bool operator==(const AddAudioEffect&, const AddAudioEffect&) = default;
    };
    struct RemoveAudioEffect {
        Uuid clipId;
        AudioEffectKind kind = AudioEffectKind::pan;
        friend bool operator==(const RemoveAudioEffect&, const RemoveAudioEffect&) = default;
    };
    struct TransformImageOverlay {
        Uuid clipId;
        std::optional<double> x;
        std::optional<double> y;
        std::optional<double> scale;
        friend bool operator==(const TransformImageOverlay&,
                               const TransformImageOverlay&) = default;
    };
    struct ScaleText {
        Uuid clipId;
        double scale = 0;
        friend bool operator==(const ScaleText&, const ScaleText&) = default;
    };
    struct Export {
        ExportFormat format = ExportFormat::mp4;
        friend bool operator==(const Export&, const Export&) = default;
    };
    struct ReportBug {
        BugReport report;
        friend bool operator==(const ReportBug&, const ReportBug&) = default;
    };
    struct RequestFeature {
        FeatureRequest request;
        friend bool operator==(const RequestFeature&, const RequestFeature&) = default;
    };
    struct ShowTutorial {
        friend bool operator==(const ShowTutorial&, const ShowTutorial&) = default;
    };
    struct Undo {
        friend bool operator==(const Undo&, const Undo&) = default;
    };
    struct Redo {
        friend bool operator==(const Redo&, const Redo&) = default;
    };

    // In tag order.
    using Value =
        std::variant<Move, Trim, AdjustVolume, AddClip, AddTrack, RemoveClip, AddText, Split,
                     EditText, DuplicateClip, Speed, Opacity, ColorAdjust, RotateFlip, Crop,
                     Transition, Reverse, Filter, CrossDissolve, SetTextAnimation,
                     SetImageAnimation, AddAudioEffect, RemoveAudioEffect, TransformImageOverlay,
                     ScaleText, Export, ReportBug, RequestFeature, ShowTutorial, Undo, Redo>;

    template <typename Case>
    static constexpr bool isCase = []<typename... Cases>(std::variant<Cases...>*) {
        return (std::is_same_v<std::remove_cvref_t<Case>, Cases> || ...);
    }(static_cast<Value*>(nullptr));

    // Any case converts to a command, so `EditCommand{EditCommand::Undo{}}` and a
    // braced case in a list of commands both work.
    template <typename Case>
    requires isCase<Case> EditCommand(Case&& payload) // NOLINT(google-explicit-constructor)
        : value_(std::forward<Case>(payload)) {}

    Tag tag() const { return static_cast<Tag>(value_.index()); }
    const Value& value() const { return value_; }

    template <typename Case>
    requires isCase<Case>
    bool is() const { return std::holds_alternative<Case>(value_); }

    // The payload when the command is of that case, else null.
    template <typename Case>
    requires isCase<Case>
    const Case* getIf() const { return std::get_if<Case>(&value_); }

    // Same case and equal payloads, element by element; a NaN payload makes a
    // command unequal to itself.
    friend bool operator==(const EditCommand&, const EditCommand&) = default;

private:
    Value value_;
};

static_assert(std::variant_size_v<EditCommand::Value> ==
              static_cast<std::size_t>(EditCommand::Tag::redo) + 1);

} // namespace vexel
