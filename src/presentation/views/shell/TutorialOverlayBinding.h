#pragma once

namespace vexel {

class InstructionViewModel;
class MainView;
class TutorialOverlay;
class TutorialState;

// Lays the guided tutorial's overlay over the editor's content: it follows the
// panes and the chat bar as the view lays them out, its buttons answer through
// the view's tutorial hooks, and its texts come from the running tutorial.
// The overlay belongs to `view`.
TutorialOverlay& attachTutorialOverlay(MainView& view, InstructionViewModel& instructions,
                                       TutorialState& state);

} // namespace vexel
