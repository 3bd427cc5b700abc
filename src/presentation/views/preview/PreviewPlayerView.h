#pragma once

#include "foundation/WorkerPool.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/viewmodels/TutorialState.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/preview/PreviewActions.h"

#include <QPointer>
#include <QWidget>

#include <memory>

namespace vexel {

class PreviewEmptyState;
class PreviewOverlayWidget;
class TextInspectorHost;
class TimelineDropHandler;
class TransportBar;
class VideoSurface;

// The preview pane: the project's picture as it plays, the timeline's text
// and image overlays above it in a layer of the same size, and the transport
// capsule in the bottom-left corner; with nothing to play, an invitation to
// drop media instead, which it takes as the timeline does, wherever they are
// dropped on it. The capsule hides while the guided tutorial runs.
// Playback goes to the preview view model, edits leave through `actions`
// (a click on a text reaches onSelectText; its inspector opens anchored to
// this whole pane); the view changes nothing itself. It tears the view
// model's playback machinery down when it goes.
class PreviewPlayerView : public QWidget {
    Q_OBJECT

public:
    // Inset of the capsule from the bottom-left corner.
    static constexpr int capsuleInset = 12;

    PreviewPlayerView(PreviewViewModel& preview, TimelineViewModel& timeline,
                      TutorialState& tutorial, const IconRegistry& icons,
                      PreviewActions actions = {}, QWidget* parent = nullptr);
    ~PreviewPlayerView() override;

    const PreviewActions& actions() const { return actions_; }
    void setActions(PreviewActions actions);
    // Where dropped files go; none refuses drops. It must outlive the view.
    void setDropHandler(TimelineDropHandler* handler) { dropHandler_ = handler; }

    VideoSurface& surface() const { return *surface_; }
    // The overlays over the picture; always the surface's size and place.
    PreviewOverlayWidget& overlay() const { return *overlay_; }
    // The text inspector that a click on a text opens over the pane.
    TextInspectorHost& textInspector() const { return *textInspector_; }
    TransportBar& transportBar() const { return *transportBar_; }
    PreviewEmptyState& emptyState() const { return *emptyState_; }

protected:
    bool event(QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void showContent();
    void showClips();
    void layOut();
    void passActions();

    QPointer<PreviewViewModel> preview_;
    TimelineViewModel& timeline_;
    TutorialState& tutorial_;
    PreviewActions actions_;
    TimelineDropHandler* dropHandler_ = nullptr;
    // Scales the frames; owned here so that it lives as long as the surface.
    WorkerPool workers_;
    // Draws the overlays; owned here so that it lives as long as they do.
    WorkerPool overlayWorkers_;
    VideoSurface* surface_ = nullptr;
    PreviewOverlayWidget* overlay_ = nullptr;
    PreviewEmptyState* emptyState_ = nullptr;
    TransportBar* transportBar_ = nullptr;
    std::unique_ptr<TextInspectorHost> textInspector_;
};

} // namespace vexel
