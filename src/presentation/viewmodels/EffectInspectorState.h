#pragma once

#include "domain/entities/Clip.h"
#include "domain/entities/EasingCurve.h"
#include "domain/entities/EditCommand.h"
#include "domain/entities/EffectSection.h"
#include "domain/entities/TimeRange.h"
#include "domain/entities/TransitionType.h"
#include "foundation/Uuid.h"
#include "presentation/viewmodels/runtime/Observable.h"

#include <QObject>

#include <optional>
#include <string>
#include <vector>

namespace vexel {

// The form behind the effect inspector of one clip: a copy of the clip's
// transitions, opacity, colour, filter, speed and volume that the controls
// edit freely, and on Apply the commands that turn the clip into what the form
// shows, run by the owner as one batch. Made when the inspector opens and
// dropped when it closes; it never reads the clip again. GUI thread only.
class EffectInspectorState : public QObject {
    Q_OBJECT

public:
    // Numbers closer than this to the clip's own count as unchanged.
    static constexpr double tolerance = 1e-9;

    explicit EffectInspectorState(Clip clip, QObject* parent = nullptr);

    // New for every form: the popover is keyed by it.
    const Uuid& id() const { return id_; }
    // The clip as it was when the form opened.
    const Clip& originalClip() const { return originalClip_; }

    double opacity() const { return opacity_.get(); }
    void setOpacity(double opacity) { opacity_.set(opacity); }
    double rate() const { return rate_.get(); }
    void setRate(double rate) { rate_.set(rate); }
    double volume() const { return volume_.get(); }
    void setVolume(double volume) { volume_.set(volume); }
    // Counted from the clip's own start, as the clip stores it.
    const std::optional<TimeRange>& fadeRange() const { return fadeRange_.get(); }
    void setFadeRange(std::optional<TimeRange> range) { fadeRange_.set(range); }
    double brightness() const { return brightness_.get(); }
    void setBrightness(double brightness) { brightness_.set(brightness); }
    double contrast() const { return contrast_.get(); }
    void setContrast(double contrast) { contrast_.set(contrast); }
    double saturation() const { return saturation_.get(); }
    void setSaturation(double saturation) { saturation_.set(saturation); }
    // "none" is no filter.
    const std::string& filterName() const { return filterName_.get(); }
    void setFilterName(std::string name) { filterName_.set(std::move(name)); }
    double filterIntensity() const { return filterIntensity_.get(); }
    void setFilterIntensity(double intensity) { filterIntensity_.set(intensity); }
    // Seconds; 0 is no transition on that side.
    double transitionInDuration() const { return transitionInDuration_.get(); }
    void setTransitionInDuration(double duration) { transitionInDuration_.set(duration); }
    const TransitionType& transitionInType() const { return transitionInType_.get(); }
    void setTransitionInType(TransitionType type) { transitionInType_.set(type); }
    EasingCurve transitionInEasing() const { return transitionInEasing_.get(); }
    void setTransitionInEasing(EasingCurve easing) { transitionInEasing_.set(easing); }
    double transitionOutDuration() const { return transitionOutDuration_.get(); }
    void setTransitionOutDuration(double duration) { transitionOutDuration_.set(duration); }
    const TransitionType& transitionOutType() const { return transitionOutType_.get(); }
    void setTransitionOutType(TransitionType type) { transitionOutType_.set(type); }
    EasingCurve transitionOutEasing() const { return transitionOutEasing_.get(); }
    void setTransitionOutEasing(EasingCurve easing) { transitionOutEasing_.set(easing); }

    // Whether each section is shown; set from the clip, cleared by removeSection().
    bool showTransitions() const { return showTransitions_.get(); }
    bool showOpacity() const { return showOpacity_.get(); }
    bool showColorAdjust() const { return showColorAdjust_.get(); }
    bool showFilter() const { return showFilter_.get(); }
    bool showSpeed() const { return showSpeed_.get(); }
    bool showVolume() const { return showVolume_.get(); }

    // The sections to show, in inspector order, limited to those that apply to
    // the clip's kind.
    std::vector<EffectSection> appliedSections() const;
    // Hides the section for good and puts its fields to their neutral values,
    // so that Apply takes the effect off the clip.
    void removeSection(EffectSection section);

    bool hasChanges() const;
    // The commands that turn the clip into what the form shows, in the order
    // speed, opacity, colour, filter, transitions, volume; empty when nothing
    // differs.
    std::vector<EditCommand> buildEditCommands() const;

signals:
    void opacityChanged();
    void rateChanged();
    void volumeChanged();
    void fadeRangeChanged();
    void brightnessChanged();
    void contrastChanged();
    void saturationChanged();
    void filterNameChanged();
    void filterIntensityChanged();
    void transitionInDurationChanged();
    void transitionInTypeChanged();
    void transitionInEasingChanged();
    void transitionOutDurationChanged();
    void transitionOutTypeChanged();
    void transitionOutEasingChanged();
    void showTransitionsChanged();
    void showOpacityChanged();
    void showColorAdjustChanged();
    void showFilterChanged();
    void showSpeedChanged();
    void showVolumeChanged();

private:
    bool opacityDiffers() const;
    bool rateDiffers() const;
    bool volumeDiffers() const;
    bool colorAdjustDiffers() const;
    bool filterDiffers() const;
    bool transitionInDiffers() const;
    bool transitionOutDiffers() const;
    void appendTransitionCommands(std::vector<EditCommand>& commands) const;

    Uuid id_ = Uuid::random();
    Clip originalClip_;
    Observable<double> opacity_;
    Observable<double> rate_;
    Observable<double> volume_;
    Observable<std::optional<TimeRange>> fadeRange_;
    Observable<double> brightness_;
    Observable<double> contrast_;
    Observable<double> saturation_;
    Observable<std::string> filterName_;
    Observable<double> filterIntensity_;
    Observable<double> transitionInDuration_;
    Observable<TransitionType> transitionInType_;
    Observable<EasingCurve> transitionInEasing_;
    Observable<double> transitionOutDuration_;
    Observable<TransitionType> transitionOutType_;
    Observable<EasingCurve> transitionOutEasing_;
    Observable<bool> showTransitions_;
    Observable<bool> showOpacity_;
    Observable<bool> showColorAdjust_;
    Observable<bool> showFilter_;
    Observable<bool> showSpeed_;
    Observable<bool> showVolume_;
};

} // namespace vexel
