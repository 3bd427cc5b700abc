#include "presentation/views/preview/PreviewPlayerView.h"

#include "presentation/views/inspectors/TextInspectorHost.h"

#include "presentation/views/preview/PreviewEmptyState.h"
#include "presentation/views/preview/PreviewOverlayWidget.h"
#include "presentation/views/preview/TransportBar.h"
#include "presentation/views/preview/VideoSurface.h"
#include "presentation/views/timeline/FileDrops.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QResizeEvent>

#include <algorithm>
#include <thread>

namespace vexel {

namespace {

// A frame is scaled on the GUI thread and these many more: a 1080p frame
// into a window's pane takes a few milliseconds on one core.
unsigned scalingThreads() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min(cores - 1, 3u);
}

// The overlays are drawn on the GUI thread and these many more: a moving
// photo over the whole picture takes a core several milliseconds, and the
// paint is over before the decoders want the cores back.
unsigned overlayThreads() {
    const unsigned cores = std::max(1u, std::thread::hardware_concurrency());
    return std::min(cores - 1, 5u);
}

} // namespace

PreviewPlayerView::PreviewPlayerView(PreviewViewModel& preview, TimelineViewModel& timeline,
                                     TutorialState& tutorial, const IconRegistry& icons,
                                     PreviewActions actions, QWidget* parent)
    : QWidget(parent)
    , preview_(&preview)
    , timeline_(timeline)
    , tutorial_(tutorial)
    , actions_(std::move(actions))
    , workers_(scalingThreads())
    , overlayWorkers_(overlayThreads()) {
    setFocusPolicy(Qt::NoFocus);
    // Its children take none: a drag over any of them comes here.
    setAcceptDrops(true);
    setAutoFillBackground(true);
    QPalette black = palette();
    black.setColor(QPalette::Window, Qt::black);
    setPalette(black);

    surface_ = new VideoSurface(preview.player(), workers_, this);
    overlay_ = new PreviewOverlayWidget(preview, overlayWorkers_, this);
    textInspector_ = std::make_unique<TextInspectorHost>(*this, icons);
    passActions();
    emptyState_ = new PreviewEmptyState(icons, this);
    transportBar_ = new TransportBar(preview, icons, this);

    connect(&preview, &PreviewViewModel::videoSizeChanged, this,
            [this] { surface_->setVideoSize(preview_->videoSize()); });
    connect(&preview, &PreviewViewModel::hasContentChanged, this, &PreviewPlayerView::showContent);
    connect(&tutorial_, &TutorialState::currentStepChanged, this, &PreviewPlayerView::showContent);
    connect(&timeline_, &TimelineViewModel::projectChanged, this, &PreviewPlayerView::showClips);
    connect(&timeline_, &TimelineViewModel::selectedClipIdChanged, this,
            [this] { overlay_->setSelectedClipId(timeline_.selectedClipId()); });
    surface_->setVideoSize(preview.videoSize());
    showClips();
    overlay_->setSelectedClipId(timeline_.selectedClipId());
    showContent();
}

void PreviewPlayerView::setActions(PreviewActions actions) {
    actions_ = std::move(actions);
    passActions();
}

void PreviewPlayerView::passActions() {
    // A tap on a text goes through the inspector, which opens over the whole
    // pane and then reports the selection; everything else leaves unchanged.
    PreviewActions overlayActions = actions_;
    overlayActions.onSelectText = [this](std::optional<Uuid> clipId) {
        textInspector_->select(clipId, timeline_.project().textClips());
    };
    overlay_->setActions(std::move(overlayActions));
    textInspector_->setActions({actions_.onSelectText, actions_.onEditText, actions_.onDeleteText});
}

void PreviewPlayerView::showClips() {
    const Project& project = timeline_.project();
    overlay_->setClips(project.textClips(), project.imageClips());
}

PreviewPlayerView::~PreviewPlayerView() {
    // Its popup is a child of this pane and goes with it; the host first.
    textInspector_.reset();
    if (preview_) {
        preview_->tearDown();
    }
}

void PreviewPlayerView::showContent() {
    const bool content = preview_ && preview_->hasContent();
    surface_->setVisible(content);
    overlay_->setVisible(content);
    emptyState_->setVisible(!content);
    transportBar_->setVisible(content && !tutorial_.currentStep());
}

bool PreviewPlayerView::event(QEvent* event) {
    // The capsule grows with its time text; the pane has no layout to follow.
    if (event->type() == QEvent::LayoutRequest) {
        layOut();
    }
    return QWidget::event(event);
}

void PreviewPlayerView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOut();
}

void PreviewPlayerView::dragEnterEvent(QDragEnterEvent* event) {
    FileDrops::dragOver(*event, dropHandler_);
}

void PreviewPlayerView::dragMoveEvent(QDragMoveEvent* event) {
    FileDrops::dragOver(*event, dropHandler_);
}

void PreviewPlayerView::dropEvent(QDropEvent* event) {
    FileDrops::drop(*event, dropHandler_);
}

void PreviewPlayerView::layOut() {
    const QRect whole = rect();
    surface_->setGeometry(whole);
    overlay_->setGeometry(whole);
    emptyState_->setGeometry(whole);
    const QSize bar = transportBar_->sizeHint();
    transportBar_->setGeometry(capsuleInset, whole.height() - capsuleInset - bar.height(),
                               bar.width(), bar.height());
    transportBar_->raise();
}

} // namespace vexel
