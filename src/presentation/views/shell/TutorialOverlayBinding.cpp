#include "presentation/views/shell/TutorialOverlayBinding.h"

#include "presentation/viewmodels/InstructionViewModel.h"
#include "presentation/viewmodels/TutorialHooks.h"
#include "presentation/views/shell/MainView.h"
#include "presentation/views/shell/TutorialOverlay.h"

#include <QPointer>

namespace vexel {

TutorialOverlay& attachTutorialOverlay(MainView& view, InstructionViewModel& instructions,
                                       TutorialState& state) {
    TutorialHooks* hooks = &view.tutorialHooks();
    auto* overlay = new TutorialOverlay(
        view, state, view.icons(),
        TutorialOverlay::Hooks{[hooks] { hooks->setupAndAdvance(); }, [hooks] { hooks->skip(); },
                               [hooks] { hooks->complete(); }},
        [instructions = QPointer(&instructions)](TutorialStep step) {
            if (instructions && instructions->tutorialOrchestrator() != nullptr) {
                return instructions->tutorialOrchestrator()->config(step);
            }
            return TutorialStepConfig::of(step);
        });
    const auto follow = [overlay, view = &view] {
        const PaneLayout& panes = view->paneLayout();
        overlay->setAreas(panes.chat, panes.preview, panes.timeline, panes.inputBarMinY);
    };
    QObject::connect(&view, &MainView::paneLayoutChanged, overlay, follow);
    follow();
    return *overlay;
}

} // namespace vexel
