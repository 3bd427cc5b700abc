#include "presentation/views/shell/MainView.h"

#include "presentation/views/banner/ErrorBannerView.h"
#include "presentation/views/chat/InstructionInputView.h"
#include "presentation/views/inspectors/InspectorForms.h"
#include "presentation/views/kit/EditRunner.h"
#include "presentation/views/preview/PreviewEditHandlers.h"
#include "presentation/views/preview/PreviewPlayerView.h"
#include "presentation/views/timeline/TimelinePanel.h"

#include <QEvent>
#include <QResizeEvent>
#include <QShowEvent>
#include <QSplitter>
#include <QThreadPool>

namespace vexel {

MainView::MainView(Context context, QWidget* parent)
    : QWidget(parent)
    , context_(std::move(context))
    , icons_(context_.logger)
    , waveformLoader_(
          waveformCache_,
          [this](const std::filesystem::path& file, int bucketCount, std::stop_token stop) {
              return waveformService_.extract(file, bucketCount, std::move(stop));
          })
    , previewRebuilder_(context_.timeline, context_.preview, context_.logger, context_.sleep)
    , tutorialHooks_(context_.tutorialState, context_.instructions, context_.userDefaults,
                     context_.logger) {
    setMinimumSize(minimumContentSize);
    if (context_.fileStager && context_.mediaLoader) {
        dropHandler_ = std::make_unique<TimelineDropHandler>(
            context_.fileStager, context_.mediaLoader, context_.timeline, context_.logger,
            QThreadPool::globalInstance(), context_.clock);
    }

    splitter_ = new QSplitter(Qt::Horizontal, this);
    splitter_->setChildrenCollapsible(false);
    chat_ = new InstructionInputView(context_.instructions, icons_);
    chat_->setMinimumWidth(PaneLayout::chatMinimumWidth);
    chat_->setMaximumWidth(PaneLayout::chatMaximumWidth);
    splitter_->addWidget(chat_);
    previewPane_ = makePreviewPane();
    previewPane_->setMinimumWidth(PaneLayout::previewMinimumWidth);
    splitter_->addWidget(previewPane_);
    // A wider window widens the preview; the chat keeps its width.
    splitter_->setStretchFactor(0, 0);
    splitter_->setStretchFactor(1, 1);

    timelinePane_ = makeTimelinePane();
    timelinePane_->setParent(this);

    paneLayout_ = PaneLayout::initial(size());
    chat_->installEventFilter(this);
    previewPane_->installEventFilter(this);
    connect(splitter_, &QSplitter::splitterMoved, this, &MainView::updatePaneLayout);
    connect(chat_, &InstructionInputView::inputBarHeightChanged, this, &MainView::updatePaneLayout);
}

MainView::~MainView() {
    previewRebuilder_.cancel();
    // The panes go before the waveform service and cache they use.
    delete splitter_;
    delete timelinePane_;
}

QWidget* MainView::makePreviewPane() {
    auto* preview =
        new PreviewPlayerView(context_.preview, context_.timeline, context_.tutorialState, icons_,
                              makePreviewActions(context_.timeline, context_.preview,
                                                 EditRunner(context_.timeline.errorViewModel(),
                                                            context_.clock, context_.logger)));
    // Its empty state asks for media: they go where the timeline's go.
    preview->setDropHandler(dropHandler_.get());
    return preview;
}

QWidget* MainView::makeTimelinePane() {
    auto* panel = new TimelinePanel(
        context_.timeline, &context_.preview,
        EditRunner(context_.timeline.errorViewModel(), context_.clock, context_.logger), icons_,
        &waveformLoader_);
    panel->setBannerWidget(new ErrorBannerView(context_.timeline.errorViewModel(), icons_));
    panel->setDropHandler(dropHandler_.get());
    panel->setInspectorForms(inspectorForms(icons_));
    panel->setOnAddFile(context_.onAddFile);
    panel->setOnToggleCommandPalette(context_.onToggleCommandPalette);
    panel->setOnExport([instructions = QPointer(&context_.instructions)](ExportFormat format) {
        if (instructions) {
            instructions->startDirectExport(format);
        }
    });
    return panel;
}

void MainView::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    placePanes();
}

void MainView::placePanes() {
    const int top = PaneLayout::topHeight(height());
    splitter_->setGeometry(0, 0, width(), top);
    timelinePane_->setGeometry(0, top, width(), height() - top);
    if (!splitPlaced_ && width() > 0) {
        // The chat starts at its ideal width.
        splitter_->setSizes({PaneLayout::chatIdealWidth, width() - PaneLayout::chatIdealWidth});
        splitPlaced_ = true;
    }
    updatePaneLayout();
}

void MainView::updatePaneLayout() {
    PaneLayout layout = PaneLayout::of(size(), chat_->x(), chat_->width(), previewPane_->x(),
                                       previewPane_->width(), chat_->inputBarHeight());
    if (!splitPlaced_) {
        layout = PaneLayout::initial(size());
    }
    if (layout == paneLayout_) {
        return;
    }
    paneLayout_ = layout;
    emit paneLayoutChanged();
}

bool MainView::eventFilter(QObject* watched, QEvent* event) {
    if ((watched == chat_ || watched == previewPane_) &&
        (event->type() == QEvent::Resize || event->type() == QEvent::Move)) {
        updatePaneLayout();
    }
    return QWidget::eventFilter(watched, event);
}

void MainView::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    if (!shownOnce_) {
        shownOnce_ = true;
        tutorialHooks_.startIfFirstRun();
    }
}

void MainView::hideEvent(QHideEvent* event) {
    // Closed, not minimised: a rebuild still waiting is for nobody.
    if (!event->spontaneous()) {
        previewRebuilder_.cancel();
    }
    QWidget::hideEvent(event);
}

} // namespace vexel
