#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/Direction.h"
#include "domain/entities/EasingCurve.h"
#include "domain/entities/EditCommand.h"
#include "domain/entities/TextAnimation.h"
#include "foundation/RawValueTable.h"
#include "foundation/Uuid.h"
#include "presentation/viewmodels/runtime/Observable.h"

#include <QObject>

#include <array>
#include <optional>
#include <string_view>
#include <vector>

namespace vexel {

// The kinds of entrance, exit and loop the animation inspector offers, in the
// order it lists them (not the model's case order), named by their case names.
enum class TextEntranceKind { slideIn, scaleIn, popIn, wipeReveal, bounceIn, fadeIn };
enum class TextExitKind { slideOut, scaleOut, fadeOut, popOut, wipeOut, bounceOut };
enum class TextLoopKind { pulse, bounce };

inline constexpr RawValueTable<TextEntranceKind, 6> textEntranceKindRawValues{
    "TextEntranceKind",
    {{{TextEntranceKind::slideIn, "slideIn"},
      {TextEntranceKind::scaleIn, "scaleIn"},
      {TextEntranceKind::popIn, "popIn"},
      {TextEntranceKind::wipeReveal, "wipeReveal"},
      {TextEntranceKind::bounceIn, "bounceIn"},
      {TextEntranceKind::fadeIn, "fadeIn"}}}};
inline constexpr RawValueTable<TextExitKind, 6> textExitKindRawValues{
    "TextExitKind",
    {{{TextExitKind::slideOut, "slideOut"},
      {TextExitKind::scaleOut, "scaleOut"},
      {TextExitKind::fadeOut, "fadeOut"},
      {TextExitKind::popOut, "popOut"},
      {TextExitKind::wipeOut, "wipeOut"},
      {TextExitKind::bounceOut, "bounceOut"}}}};
inline constexpr RawValueTable<TextLoopKind, 2> textLoopKindRawValues{
    "TextLoopKind", {{{TextLoopKind::pulse, "pulse"}, {TextLoopKind::bounce, "bounce"}}}};

inline constexpr std::array<TextEntranceKind, 6> allTextEntranceKinds =
    textEntranceKindRawValues.cases();
inline constexpr std::array<TextExitKind, 6> allTextExitKinds = textExitKindRawValues.cases();
inline constexpr std::array<TextLoopKind, 2> allTextLoopKinds = textLoopKindRawValues.cases();

std::string_view rawValue(TextEntranceKind kind);
std::string_view rawValue(TextExitKind kind);
std::string_view rawValue(TextLoopKind kind);
// Exact, case-sensitive case names; anything else (the empty text too) is absent.
std::optional<TextEntranceKind> textEntranceKindFromRaw(std::string_view raw);
std::optional<TextExitKind> textExitKindFromRaw(std::string_view raw);
std::optional<TextLoopKind> textLoopKindFromRaw(std::string_view raw);

// Whether the kind moves in a direction that the inspector asks for.
bool needsDirection(TextEntranceKind kind);
bool needsDirection(TextExitKind kind);

// The inspector's sections, in the order it lists them.
enum class TextAnimationSection { entrance, exit, loop };

inline constexpr std::array<TextAnimationSection, 3> allTextAnimationSections = {
    TextAnimationSection::entrance, TextAnimationSection::exit, TextAnimationSection::loop};

// The form behind the text animation inspector of one text clip: its entrance,
// exit and loop as kinds with their direction, easing and loop numbers, which
// the controls edit freely, and on Apply the edit that gives the clip the
// animation the form shows. Each kind keeps its own numbers and direction
// while another is chosen, so choosing back restores them. Made when the
// inspector opens and dropped when it closes; it never reads the clip again.
// GUI thread only.
class TextAnimationInspectorState : public QObject {
    Q_OBJECT

public:
    explicit TextAnimationInspectorState(Clip clip, QObject* parent = nullptr);

    // New for every form: the popover is keyed by it.
    const Uuid& id() const { return id_; }
    const Clip& originalClip() const { return originalClip_; }

    // Which sections are listed; set from the clip, cleared by removeSection().
    bool showEntrance() const { return showEntrance_.get(); }
    bool showExit() const { return showExit_.get(); }
    bool showLoop() const { return showLoop_.get(); }

    // None is no entrance (no exit, no loop).
    const std::optional<TextEntranceKind>& entranceKind() const { return entranceKind_.get(); }
    void setEntranceKind(std::optional<TextEntranceKind> kind) { entranceKind_.set(kind); }
    Direction entranceDirection() const { return entranceDirection_.get(); }
    void setEntranceDirection(Direction direction) { entranceDirection_.set(direction); }
    const std::optional<TextExitKind>& exitKind() const { return exitKind_.get(); }
    void setExitKind(std::optional<TextExitKind> kind) { exitKind_.set(kind); }
    Direction exitDirection() const { return exitDirection_.get(); }
    void setExitDirection(Direction direction) { exitDirection_.set(direction); }
    const std::optional<TextLoopKind>& loopKind() const { return loopKind_.get(); }
    void setLoopKind(std::optional<TextLoopKind> kind) { loopKind_.set(kind); }
    double pulseScale() const { return pulseScale_.get(); }
    void setPulseScale(double scale) { pulseScale_.set(scale); }
    // Seconds.
    double pulseInterval() const { return pulseInterval_.get(); }
    void setPulseInterval(double interval) { pulseInterval_.set(interval); }
    double bounceAmplitude() const { return bounceAmplitude_.get(); }
    void setBounceAmplitude(double amplitude) { bounceAmplitude_.set(amplitude); }
    double bounceInterval() const { return bounceInterval_.get(); }
    void setBounceInterval(double interval) { bounceInterval_.set(interval); }
    EasingCurve entranceEasing() const { return entranceEasing_.get(); }
    void setEntranceEasing(EasingCurve easing) { entranceEasing_.set(easing); }
    EasingCurve exitEasing() const { return exitEasing_.get(); }
    void setExitEasing(EasingCurve easing) { exitEasing_.set(easing); }

    // The listed sections, in inspector order.
    std::vector<TextAnimationSection> appliedSections() const;
    // Unlists the section for good and puts its fields back to where a new
    // form starts them.
    void removeSection(TextAnimationSection section);

    // Whether the animation the form shows differs from the clip's; easings
    // alone on an animation with no part are no difference.
    bool hasChanges() const;
    // The edits that give the clip the form's animation, as one batch; empty
    // when nothing differs.
    std::vector<EditCommand> buildEditCommands() const;

signals:
    void showEntranceChanged();
    void showExitChanged();
    void showLoopChanged();
    void entranceKindChanged();
    void entranceDirectionChanged();
    void exitKindChanged();
    void exitDirectionChanged();
    void loopKindChanged();
    void pulseScaleChanged();
    void pulseIntervalChanged();
    void bounceAmplitudeChanged();
    void bounceIntervalChanged();
    void entranceEasingChanged();
    void exitEasingChanged();

private:
    // The animation the form describes; none when it has no part.
    std::optional<TextAnimation> buildCurrentAnimation() const;

    Uuid id_ = Uuid::random();
    Clip originalClip_;
    Observable<bool> showEntrance_;
    Observable<bool> showExit_;
    Observable<bool> showLoop_;
    Observable<std::optional<TextEntranceKind>> entranceKind_;
    Observable<Direction> entranceDirection_;
    Observable<std::optional<TextExitKind>> exitKind_;
    Observable<Direction> exitDirection_;
    Observable<std::optional<TextLoopKind>> loopKind_;
    Observable<double> pulseScale_;
    Observable<double> pulseInterval_;
    Observable<double> bounceAmplitude_;
    Observable<double> bounceInterval_;
    Observable<EasingCurve> entranceEasing_;
    Observable<EasingCurve> exitEasing_;
};

} // namespace vexel
