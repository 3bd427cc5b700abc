#pragma once

#include "domain/entities/EffectSection.h"
#include "presentation/viewmodels/EffectInspectorState.h"
#include "presentation/views/inspectors/InspectorPopover.h"

#include <QString>

#include <functional>
#include <memory>

namespace vexel {

class IconRegistry;

// The popup in which the user edits the effects one clip already carries: one
// section per effect, in inspector order, each with its sliders and menus and
// a trash button that takes the whole effect off; or, when the clip carries
// none, a hint to add effects through the chat. Every control writes straight
// into the form; nothing reaches the project before Apply.
class EffectInspectorPopover : public InspectorPopover {
    Q_OBJECT

public:
    EffectInspectorPopover(std::shared_ptr<EffectInspectorState> state, const IconRegistry& icons,
                           ApplyAction onApply, std::function<void()> onDismiss,
                           QWidget* parent = nullptr);

    EffectInspectorState& state() const { return *state_; }

    // "Transitions", "Opacity", "Color Adjust", "Filter", "Speed", "Volume".
    static QString sectionTitle(EffectSection section);

protected:
    bool hasChanges() const override;
    std::vector<EditCommand> buildCommands() const override;

private:
    void rebuild();
    QWidget* sectionView(EffectSection section);
    void addTransitionsSection(QWidget* section);
    QWidget* transitionGroup(const QString& label, bool fadeIn);
    void addOpacitySection(QWidget* section);
    void addColorAdjustSection(QWidget* section);
    void addFilterSection(QWidget* section);
    void addSpeedSection(QWidget* section);
    void addVolumeSection(QWidget* section);

    std::shared_ptr<EffectInspectorState> state_;
    const IconRegistry& icons_;
};

} // namespace vexel
