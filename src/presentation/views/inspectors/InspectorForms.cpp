#include "presentation/views/inspectors/InspectorForms.h"

#include "presentation/views/inspectors/EffectInspectorPopover.h"
#include "presentation/views/inspectors/FontFamilies.h"
#include "presentation/views/inspectors/TextAnimationInspectorPopover.h"
#include "presentation/views/inspectors/TextInspectorPopover.h"

#include <memory>

namespace vexel {

TimelineInspectors::Forms inspectorForms(const IconRegistry& icons) {
    using Results = TimelineInspectors::Results;
    const IconRegistry* registry = &icons;
    TimelineInspectors::Forms forms;
    forms.effect = [registry](const Clip& clip, Results results) -> QWidget* {
        return new EffectInspectorPopover(std::make_shared<EffectInspectorState>(clip), *registry,
                                          std::move(results.onApply), std::move(results.onDismiss));
    };
    forms.text = [registry](const Clip& clip, Results results) -> QWidget* {
        return new TextInspectorPopover(
            std::make_shared<TextInspectorState>(clip, installedFontFamilies()), *registry,
            std::move(results.onApply), std::move(results.onDismiss), std::move(results.onDelete));
    };
    forms.textAnimation = [registry](const Clip& clip, Results results) -> QWidget* {
        return new TextAnimationInspectorPopover(
            std::make_shared<TextAnimationInspectorState>(clip), *registry,
            std::move(results.onApply), std::move(results.onDismiss));
    };
    return forms;
}

} // namespace vexel
