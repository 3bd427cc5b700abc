#pragma once

#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/views/kit/EditRunner.h"
#include "presentation/views/preview/PreviewActions.h"

namespace vexel {

// The window's answers to the preview's reports: selection at once, every
// other report as an edit through the timeline, run on its own and shown in
// the banner with a fixed text when the engine refuses it ("Failed to
// reposition text"). Moves and scales of overlays are already drawn in place
// by the preview, so they ask the preview not to rebuild for the change they
// make; the request is withdrawn when the edit fails or changes nothing, so
// that it never swallows the next real change. Both view models must outlive
// the callbacks' tasks or be gone before they end (they are watched).
PreviewActions makePreviewActions(TimelineViewModel& timeline, PreviewViewModel& preview,
                                  EditRunner runner);

} // namespace vexel
