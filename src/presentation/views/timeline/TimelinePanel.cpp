#include "presentation/views/timeline/TimelinePanel.h"

#include "presentation/helpers/TimeFormatting.h"
#include "presentation/theme/VexelColors.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/views/banner/ErrorBannerView.h"
#include "presentation/views/chat/ActivitySpinner.h"
#include "presentation/views/inspectors/InspectorForms.h"
#include "presentation/views/kit/IconRegistry.h"
#include "presentation/views/kit/Theme.h"
#include "presentation/views/timeline/AddTextPopover.h"
#include "presentation/views/timeline/AddTextPopoverState.h"
#include "presentation/views/timeline/FileDrops.h"
#include "presentation/views/timeline/TextOverlayBar.h"
#include "presentation/views/timeline/TimelineActionBar.h"
#include "presentation/views/timeline/TimelineContentView.h"
#include "presentation/views/timeline/TimelineRuler.h"
#include "presentation/views/timeline/TrackLanesView.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QEvent>
#include <QHBoxLayout>
#include <QLabel>
#include <QSignalBlocker>
#include <QSlider>
#include <QToolButton>
#include <QVBoxLayout>

#include <algorithm>
#include <cmath>
#include <utility>

namespace vexel {

namespace {

constexpr int sliderScale = 100;
// Between the banner laid over the header and the zoom controls beside it.
constexpr int bannerGap = 4;
// Less time than this left before the project's limit shows in red.
constexpr double remainingWarning = 30;

QString qText(const std::string& text) {
    return QString::fromStdString(text);
}

void setTextColour(QWidget& widget, const QColor& colour) {
    QPalette colours = widget.palette();
    colours.setColor(QPalette::WindowText, colour);
    widget.setPalette(colours);
}

QLabel* makeLabel(const QFont& font, QWidget* parent) {
    auto* label = new QLabel(parent);
    label->setTextFormat(Qt::PlainText);
    label->setFont(font);
    return label;
}

QToolButton* makeIconButton(const IconRegistry& icons, const char* symbol, const QString& name,
                            QWidget* parent) {
    auto* button = new QToolButton(parent);
    button->setAutoRaise(true);
    button->setFocusPolicy(Qt::NoFocus);
    button->setIcon(icons.icon(symbol, QColor(0xE5, 0xE7, 0xEB)));
    button->setIconSize(QSize(14, 14));
    button->setAccessibleName(name);
    button->setToolTip(name);
    return button;
}

} // namespace

TimelinePanel::TimelinePanel(TimelineViewModel& viewModel, PreviewViewModel* preview,
                             EditRunner runner, const IconRegistry& icons,
                             WaveformLoader* waveforms, QWidget* parent)
    : QWidget(parent)
    , viewModel_(viewModel)
    , preview_(preview)
    , runner_(std::move(runner))
    , pinchBaseZoom_(viewModel.zoomLevel())
    , inspectors_(*this, viewModel, runner_) {
    inspectors_.setForms(inspectorForms(icons));
    setAutoFillBackground(true);
    layout_ = new QVBoxLayout(this);
    layout_->setContentsMargins(8, 8, 8, 8);
    layout_->setSpacing(4);

    actionRow_ = new QWidget(this);
    auto* actions = new QHBoxLayout(actionRow_);
    actions->setContentsMargins(4, 0, 4, 0);
    actions->setSpacing(8);
    actionBar_ = new TimelineActionBar(viewModel_, icons, actionRow_);
    actionBar_->setOnAddFile([this] {
        if (onAddFile_) {
            onAddFile_();
        }
    });
    actionBar_->setOnAddText([this] { showAddText(); });
    actionBar_->setOnExport([this](ExportFormat format) {
        if (onExport_) {
            onExport_(format);
        }
    });
    actions->addWidget(actionBar_);
    layout_->addWidget(actionRow_);

    addTextState_ = new AddTextPopoverState(this);
    addTextPopover_ = new AddTextPopover(*addTextState_, this);
    addTextPopover_->setOnCancel([this] { addTextPopover_->close(); });
    addTextPopover_->setOnAdd([this](EditCommand command) {
        // Closed first; the text is added as an edit of its own.
        addTextPopover_->close();
        TimelineViewModel* viewModel = &viewModel_;
        runner_.runEdit(
            [viewModel, command = std::move(command)]() -> QCoro::Task<void> {
                co_await viewModel->executeCommand(command);
            },
            "Failed to add text");
    });
    setAcceptDrops(true);
    layout_->addWidget(makeHeader(icons));

    importingRow_ = new QWidget(this);
    auto* importing = new QHBoxLayout(importingRow_);
    importing->setContentsMargins(4, 0, 4, 0);
    importing->setSpacing(4);
    auto* spinner = new ActivitySpinner(importingRow_);
    spinner->setFixedSize(12, 12);
    importing->addWidget(spinner);
    QLabel* importingText = makeLabel(vexel::font(FontStyle::caption), importingRow_);
    importingText->setText(QStringLiteral("Importing..."));
    setTextColour(*importingText, toQColor(VexelColors::textSecondary));
    importing->addWidget(importingText);
    importing->addStretch();
    layout_->addWidget(importingRow_);

    content_ = new TimelineContentView(icons, waveforms, this);
    layout_->addWidget(content_, 1);

    makeActions();
    TrackLanesView* lanes = content_->lanes();
    lanes->setClipActions(audioActions_, otherActions_);
    lanes->setTextActions(textActions_);
    lanes->setOnDeselect([this] { viewModel_.setSelectedClipId(std::nullopt); });
    if (preview_) {
        lanes->setOnSeek([this](double seconds) { seek(seconds); });
        lanes->setOnScrub([this](double seconds) { scrub(seconds); });
        // The ruler is the playhead's strip as much as the lanes' background:
        // the same press and drag.
        content_->ruler()->setOnSeek([this](double seconds) { seek(seconds); });
        content_->ruler()->setOnScrub([this](double seconds) { scrub(seconds); });
    }
    content_->setOnMagnify([this](double magnification) { applyMagnification(magnification); });
    content_->setOnMagnifyEnd([this] { endMagnification(); });

    refreshProject();
    refreshZoom();
    refreshSelection();
    refreshImporting();
    refreshPlayhead();

    connect(&viewModel_, &TimelineViewModel::projectChanged, this, [this] { refreshProject(); });
    connect(&viewModel_, &TimelineViewModel::totalDurationChanged, this,
            [this] { refreshDuration(); });
    connect(&viewModel_, &TimelineViewModel::zoomLevelChanged, this, [this] { refreshZoom(); });
    connect(&viewModel_, &TimelineViewModel::selectedClipIdChanged, this,
            [this] { refreshSelection(); });
    connect(&viewModel_, &TimelineViewModel::importingCountChanged, this,
            [this] { refreshImporting(); });
    if (preview_) {
        connect(preview_, &PreviewViewModel::currentTimeChanged, this,
                [this] { refreshPlayhead(); });
    }
}

TimelinePanel::~TimelinePanel() = default;

QWidget* TimelinePanel::makeHeader(const IconRegistry& icons) {
    auto* header = new QWidget(this);
    header_ = header;
    auto* row = new QHBoxLayout(header);
    row->setContentsMargins(4, 0, 4, 0);
    const QColor secondary = toQColor(VexelColors::textSecondary);

    totalLabel_ = makeLabel(monospacedFont(FontStyle::caption), header);
    row->addWidget(totalLabel_);
    QLabel* slash = makeLabel(vexel::font(FontStyle::caption), header);
    slash->setText(QStringLiteral("/"));
    setTextColour(*slash, secondary);
    row->addWidget(slash);
    maxLabel_ = makeLabel(monospacedFont(FontStyle::caption), header);
    setTextColour(*maxLabel_, secondary);
    row->addWidget(maxLabel_);
    row->addStretch();
    remainingLabel_ = makeLabel(vexel::font(FontStyle::caption), header);
    row->addWidget(remainingLabel_);

    zoomControls_ = new QWidget(header);
    // As wide as its buttons and slider need, however wide the header.
    zoomControls_->setSizePolicy(QSizePolicy::Fixed, QSizePolicy::Preferred);
    auto* zoom = new QHBoxLayout(zoomControls_);
    zoom->setContentsMargins(0, 0, 0, 0);
    zoom->setSpacing(4);
    zoomOut_ =
        makeIconButton(icons, "minus.magnifyingglass", QStringLiteral("Zoom out"), zoomControls_);
    connect(zoomOut_, &QAbstractButton::clicked, this, [this] { viewModel_.zoomOut(); });
    zoom->addWidget(zoomOut_);
    zoomSlider_ = new QSlider(Qt::Horizontal, zoomControls_);
    zoomSlider_->setFixedWidth(80);
    zoomSlider_->setFocusPolicy(Qt::NoFocus);
    zoomSlider_->setRange(static_cast<int>(TimelineViewModel::minZoomLevel * sliderScale),
                          static_cast<int>(TimelineViewModel::maxZoomLevel * sliderScale));
    zoomSlider_->setAccessibleName(QStringLiteral("Timeline zoom level"));
    // Only a user's move writes: the model's own changes are shown with the
    // slider's signals blocked.
    connect(zoomSlider_, &QSlider::valueChanged, this, [this](int position) {
        viewModel_.setZoomLevel(std::clamp(static_cast<double>(position) / sliderScale,
                                           TimelineViewModel::minZoomLevel,
                                           TimelineViewModel::maxZoomLevel));
    });
    zoom->addWidget(zoomSlider_);
    zoomIn_ =
        makeIconButton(icons, "plus.magnifyingglass", QStringLiteral("Zoom in"), zoomControls_);
    connect(zoomIn_, &QAbstractButton::clicked, this, [this] { viewModel_.zoomIn(); });
    zoom->addWidget(zoomIn_);
    auto* reset = new QToolButton(zoomControls_);
    reset->setAutoRaise(true);
    // Its room stays when it hides at 1:1, so that "+" and "-" stay under the
    // pointer however often they are clicked.
    QSizePolicy keepsRoom = reset->sizePolicy();
    keepsRoom.setRetainSizeWhenHidden(true);
    reset->setSizePolicy(keepsRoom);
    reset->setFocusPolicy(Qt::NoFocus);
    reset->setText(QStringLiteral("1:1"));
    reset->setFont(vexel::font(FontStyle::caption2));
    reset->setAccessibleName(QStringLiteral("Reset zoom"));
    connect(reset, &QAbstractButton::clicked, this, [this] { viewModel_.setZoomLevel(1.0); });
    resetZoom_ = reset;
    zoom->addWidget(reset);
    row->addWidget(zoomControls_);
    return header;
}

void TimelinePanel::makeActions() {
    TimelineViewModel* viewModel = &viewModel_;
    const EditRunner runner = runner_;
    const auto command = [viewModel, runner](EditCommand edit, std::string failure,
                                             std::optional<std::string> overlap = std::nullopt) {
        runner.runEdit(
            [viewModel, edit = std::move(edit)]() -> QCoro::Task<void> {
                co_await viewModel->executeCommand(edit);
            },
            std::move(failure), std::move(overlap));
    };

    for (const bool audio : {true, false}) {
        auto clip = std::make_shared<ClipBarActions>();
        clip->onSelect = [viewModel](const Uuid& id) { viewModel->selectClip(id); };
        clip->onMove = [viewModel, runner](const Uuid& id, double start) {
            runner.runEdit(
                [viewModel, id, start]() -> QCoro::Task<void> {
                    co_await viewModel->moveClip(id, start);
                },
                "Failed to move clip", "Cannot move clip: overlaps another clip on this track");
        };
        clip->onTrim = [command](const Uuid& id, double offset, double duration) {
            command(EditCommand::Trim{id, offset, duration}, "Failed to trim clip");
        };
        clip->onDelete = [command](const Uuid& id) {
            command(EditCommand::RemoveClip{id}, "Failed to delete clip");
        };
        clip->onDuplicate = [command](const Uuid& id) {
            command(EditCommand::DuplicateClip{id, std::nullopt}, "Failed to duplicate clip");
        };
        clip->onSplit = [viewModel, runner, preview = preview_](const Uuid& id) {
            runner.runEdit(
                [viewModel, preview, id]() -> QCoro::Task<void> {
                    // The playhead as the split starts, or 0 without a preview.
                    const double at = preview ? preview->currentTime() : 0.0;
                    EditCommand split = EditCommand::Split{id, at};
                    co_await viewModel->executeCommand(std::move(split));
                },
                "Cannot split clip here");
        };
        clip->onOpenCommandPalette = [this] {
            if (onToggleCommandPalette_) {
                onToggleCommandPalette_();
            }
        };
        clip->onEditEffects = [this](const Uuid& id) { editEffects(id); };
        if (audio) {
            clip->onMoveToTrack = [command](const Uuid& id, const Uuid& track, double start) {
                command(EditCommand::Move{id, start, track}, "Failed to move clip to track",
                        "Cannot move clip: overlaps another clip on the target track");
            };
        }
        clip->onTrimScrub = [this](double seconds) { scrub(seconds); };
        (audio ? audioActions_ : otherActions_) = std::move(clip);
    }

    auto text = std::make_shared<TextOverlayActions>();
    text->onSelectClip = [viewModel](const Uuid& id) { viewModel->selectClip(id); };
    text->onMoveOverlay = [viewModel, runner](const Uuid& id, double start) {
        runner.runEdit(
            [viewModel, id, start]() -> QCoro::Task<void> {
                co_await viewModel->moveTextOverlay(id, start);
            },
            "Failed to move text overlay");
    };
    text->onDeleteOverlay = [command](const Uuid& id) {
        command(EditCommand::RemoveClip{id}, "Failed to delete text overlay");
    };
    text->onDuplicateOverlay = [command](const Uuid& id) {
        command(EditCommand::DuplicateClip{id, std::nullopt}, "Failed to duplicate text overlay");
    };
    text->onEditOverlay = [this](const Uuid& id) { editText(id, false); };
    text->onEditTextEffects = [this](const Uuid& id) { editText(id, true); };
    text->onOpenCommandPalette = [this] {
        if (onToggleCommandPalette_) {
            onToggleCommandPalette_();
        }
    };
    textActions_ = std::move(text);
}

const ClipBarActions& TimelinePanel::clipActions(TrackType laneType) const {
    return laneType == TrackType::audio ? *audioActions_ : *otherActions_;
}

void TimelinePanel::setBannerWidget(ErrorBannerView* banner) {
    // Outside the layout: a banner that pushed the rows below it down, and
    // pulled them up as it went, would move a clip from under a click aimed
    // at it. Opaque, over the duration it hides for a while.
    banner_ = banner;
    banner->setParent(this);
    banner->setAutoFillBackground(true);
    banner->installEventFilter(this);
    header_->installEventFilter(this);
    zoomControls_->installEventFilter(this);
    // A message on one line covers the header exactly.
    header_->setMinimumHeight(banner->oneLineHeight());
    banner->raise();
    placeBanner();
}

void TimelinePanel::placeBanner() {
    if (!banner_ || banner_->isHidden()) {
        return;
    }
    const QRect header = header_->geometry();
    const int right = header_->mapTo(this, zoomControls_->geometry().topLeft()).x() - bannerGap;
    const int width = std::max(right - header.left(), 0);
    const int wanted = banner_->hasHeightForWidth() ? banner_->heightForWidth(width)
                                                    : banner_->sizeHint().height();
    // A taller banner (its detail shown) reaches down over the ruler rather
    // than pushing it.
    const int height =
        std::min(std::max(wanted, banner_->oneLineHeight()), banner_->maximumHeight());
    banner_->setGeometry(header.left(), header.top(), width, height);
    banner_->raise();
}

bool TimelinePanel::event(QEvent* event) {
    // The layout has placed the rows by now (it handles the event first).
    const bool handled = QWidget::event(event);
    if (event->type() == QEvent::LayoutRequest || event->type() == QEvent::Resize) {
        placeBanner();
    }
    return handled;
}

bool TimelinePanel::eventFilter(QObject* watched, QEvent* event) {
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
    case QEvent::LayoutRequest:
        if (watched == banner_ && event->type() != QEvent::Show &&
            event->type() != QEvent::LayoutRequest) {
            // Its own geometry comes from here.
            break;
        }
        placeBanner();
        break;
    default:
        break;
    }
    return QWidget::eventFilter(watched, event);
}

void TimelinePanel::setInspectorForms(TimelineInspectors::Forms forms) {
    inspectors_.setForms(std::move(forms));
}

void TimelinePanel::showAddText() {
    addTextState_->setText(QString());
    QToolButton* anchor = actionBar_->addButton();
    addTextPopover_->showAnchored(anchor, anchor->rect(), Qt::BottomEdge);
}

bool TimelinePanel::isAddTextShown() const {
    return addTextPopover_->isVisible();
}

void TimelinePanel::dragEnterEvent(QDragEnterEvent* event) {
    FileDrops::dragOver(*event, dropHandler_);
}

void TimelinePanel::dragMoveEvent(QDragMoveEvent* event) {
    FileDrops::dragOver(*event, dropHandler_);
}

void TimelinePanel::dropEvent(QDropEvent* event) {
    FileDrops::drop(*event, dropHandler_);
}

void TimelinePanel::editEffects(const Uuid& clipId) {
    const Clip* clip = viewModel_.project().findClip(clipId);
    if (clip != nullptr && clip->hasEditableEffects()) {
        inspectors_.open(TimelineInspectors::Kind::effect, *clip);
    }
}

void TimelinePanel::editText(const Uuid& clipId, bool animation) {
    for (const Clip& clip : viewModel_.project().textClips()) {
        if (clip.id != clipId) {
            continue;
        }
        if (!animation) {
            inspectors_.open(TimelineInspectors::Kind::text, clip);
        } else if (TextOverlayBar::hasEditableAnimation(clip)) {
            inspectors_.open(TimelineInspectors::Kind::textAnimation, clip);
        }
        return;
    }
}

void TimelinePanel::applyMagnification(double magnification) {
    // A pinch scales the level it began at, wherever that level came from.
    if (!pinching_) {
        pinching_ = true;
        pinchBaseZoom_ = viewModel_.zoomLevel();
    }
    viewModel_.setZoomLevel(
        std::min(std::max(pinchBaseZoom_ * magnification, TimelineViewModel::minZoomLevel),
                 TimelineViewModel::maxZoomLevel));
}

void TimelinePanel::endMagnification() {
    pinching_ = false;
    pinchBaseZoom_ = viewModel_.zoomLevel();
}

void TimelinePanel::showEvent(QShowEvent* event) {
    QWidget::showEvent(event);
    pinchBaseZoom_ = viewModel_.zoomLevel();
}

void TimelinePanel::refreshProject() {
    content_->setLanes(viewModel_.project().allTrackLanes());
    refreshDuration();
}

void TimelinePanel::refreshDuration() {
    const double total = viewModel_.totalDuration();
    const double maximum = viewModel_.project().maxDuration;
    const double display = viewModel_.displayDuration();
    totalLabel_->setText(qText(TimeFormatting::standard(total)));
    maxLabel_->setText(qText(TimeFormatting::standard(maximum)));
    const double left = maximum - total;
    remainingLabel_->setText(qText(TimeFormatting::standard(std::max(left, 0.0))) +
                             QStringLiteral(" remaining"));
    setTextColour(*remainingLabel_, left < remainingWarning ? toQColor(VexelColors::error)
                                                            : toQColor(VexelColors::textSecondary));
    content_->ruler()->setDisplayDuration(display);
    content_->lanes()->setMaxDuration(display);
}

void TimelinePanel::refreshZoom() {
    const double zoom = viewModel_.zoomLevel();
    zoomOut_->setEnabled(zoom > TimelineViewModel::minZoomLevel);
    zoomIn_->setEnabled(zoom < TimelineViewModel::maxZoomLevel);
    resetZoom_->setVisible(zoom != 1.0);
    {
        const QSignalBlocker quiet(zoomSlider_);
        const double position = std::isfinite(zoom) ? std::round(zoom * sliderScale) : 0.0;
        zoomSlider_->setValue(static_cast<int>(std::clamp(position, -1e9, 1e9)));
    }
    content_->setZoomLevel(zoom);
}

void TimelinePanel::refreshSelection() {
    content_->lanes()->setSelectedClipId(viewModel_.selectedClipId());
}

void TimelinePanel::refreshImporting() {
    importingRow_->setVisible(viewModel_.importingCount() >= 1);
}

void TimelinePanel::refreshPlayhead() {
    content_->lanes()->setCurrentTime(preview_ ? std::optional(preview_->currentTime())
                                               : std::nullopt);
}

void TimelinePanel::seek(double seconds) {
    if (preview_) {
        preview_->seek(seconds);
    }
}

void TimelinePanel::scrub(double seconds) {
    if (preview_) {
        preview_->scrub(seconds);
    }
}

} // namespace vexel
