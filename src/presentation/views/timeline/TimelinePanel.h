#pragma once

#include "domain/entities/ExportFormat.h"
#include "presentation/views/kit/EditRunner.h"
#include "presentation/views/timeline/ClipBarActions.h"
#include "presentation/views/timeline/TextOverlayActions.h"
#include "presentation/views/timeline/TimelineInspectors.h"

#include <QPointer>
#include <QWidget>

#include <functional>
#include <memory>

class QAbstractButton;
class QHBoxLayout;
class QLabel;
class QSlider;
class QVBoxLayout;

namespace vexel {

class AddTextPopover;
class AddTextPopoverState;
class ErrorBannerView;
class IconRegistry;
class PreviewViewModel;
class TimelineActionBar;
class TimelineContentView;
class TimelineDropHandler;
class TimelineViewModel;
class WaveformLoader;

// The editor's lower pane: Undo, Redo, the Add and Export menus, the
// project's length and the time left, the zoom controls, the error banner,
// the progress of dropped files, and the timeline itself: a ruler and one
// lane per track, beside their icons. Media files dropped on it become clips.
// Nothing under the pointer moves when the banner or the zoom reset comes or
// goes: the banner lies over the header's left part, and the reset keeps its
// room while hidden.
// It holds no project data: it shows the timeline view model and seeks the
// preview, and every edit made on it goes through the view model as its own
// task, a refusal showing in the banner with a fixed message.
class TimelinePanel : public QWidget {
    Q_OBJECT

public:
    // `preview` may be null: then nothing seeks and there is no playhead.
    // `waveforms` may be null: then bars draw no sound. All must outlive the
    // panel.
    TimelinePanel(TimelineViewModel& viewModel, PreviewViewModel* preview, EditRunner runner,
                  const IconRegistry& icons, WaveformLoader* waveforms, QWidget* parent = nullptr);
    ~TimelinePanel() override;

    // The window's wiring.
    void setOnAddFile(std::function<void()> onAddFile) { onAddFile_ = std::move(onAddFile); }
    void setOnToggleCommandPalette(std::function<void()> onToggle) {
        onToggleCommandPalette_ = std::move(onToggle);
    }
    void setOnExport(std::function<void(ExportFormat)> onExport) {
        onExport_ = std::move(onExport);
    }
    // The error banner, laid over the header beside the zoom controls, so
    // that its coming and going moves nothing below. The panel takes it.
    void setBannerWidget(ErrorBannerView* banner);
    // The forms of the inspectors the bars open; the real ones unless a test
    // puts its own.
    void setInspectorForms(TimelineInspectors::Forms forms);
    // Where dropped files go; none refuses drops. It must outlive the panel.
    void setDropHandler(TimelineDropHandler* handler) { dropHandler_ = handler; }

    // Opens the add-text form beside the Add menu, with an empty text.
    void showAddText();
    bool isAddTextShown() const;

    // A pinch, as it goes: `magnification` since it began.
    void applyMagnification(double magnification);
    void endMagnification();

    // Its pieces, as shown.
    QWidget* actionRow() const { return actionRow_; }
    TimelineActionBar* actionBar() const { return actionBar_; }
    AddTextPopover* addTextPopover() const { return addTextPopover_; }
    AddTextPopoverState& addTextState() const { return *addTextState_; }
    QLabel* totalDurationLabel() const { return totalLabel_; }
    QLabel* maxDurationLabel() const { return maxLabel_; }
    QLabel* remainingLabel() const { return remainingLabel_; }
    QAbstractButton* zoomOutButton() const { return zoomOut_; }
    QAbstractButton* zoomInButton() const { return zoomIn_; }
    QAbstractButton* resetZoomButton() const { return resetZoom_; }
    QSlider* zoomSlider() const { return zoomSlider_; }
    QWidget* header() const { return header_; }
    QWidget* zoomControls() const { return zoomControls_; }
    QWidget* importingRow() const { return importingRow_; }
    TimelineContentView* content() const { return content_; }
    TimelineInspectors& inspectors() { return inspectors_; }
    const ClipBarActions& clipActions(TrackType laneType) const;
    const TextOverlayActions& textActions() const { return *textActions_; }

protected:
    bool event(QEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    QWidget* makeHeader(const IconRegistry& icons);
    void makeActions();
    void placeBanner();
    void refreshProject();
    void refreshDuration();
    void refreshZoom();
    void refreshSelection();
    void refreshImporting();
    void refreshPlayhead();
    void seek(double seconds);
    void scrub(double seconds);
    void editEffects(const Uuid& clipId);
    void editText(const Uuid& clipId, bool animation);

    TimelineViewModel& viewModel_;
    QPointer<PreviewViewModel> preview_;
    EditRunner runner_;
    std::function<void()> onAddFile_;
    std::function<void()> onToggleCommandPalette_;
    std::function<void(ExportFormat)> onExport_;
    std::shared_ptr<const ClipBarActions> audioActions_;
    std::shared_ptr<const ClipBarActions> otherActions_;
    std::shared_ptr<const TextOverlayActions> textActions_;
    // The zoom level at the start of the pinch under way.
    double pinchBaseZoom_ = 1;
    bool pinching_ = false;

    TimelineDropHandler* dropHandler_ = nullptr;

    QVBoxLayout* layout_ = nullptr;
    QWidget* actionRow_ = nullptr;
    TimelineActionBar* actionBar_ = nullptr;
    AddTextPopoverState* addTextState_ = nullptr;
    AddTextPopover* addTextPopover_ = nullptr;
    QLabel* totalLabel_ = nullptr;
    QLabel* maxLabel_ = nullptr;
    QLabel* remainingLabel_ = nullptr;
    QAbstractButton* zoomOut_ = nullptr;
    QAbstractButton* zoomIn_ = nullptr;
    QAbstractButton* resetZoom_ = nullptr;
    QSlider* zoomSlider_ = nullptr;
    QWidget* header_ = nullptr;
    QWidget* zoomControls_ = nullptr;
    QPointer<ErrorBannerView> banner_;
    QWidget* importingRow_ = nullptr;
    TimelineContentView* content_ = nullptr;
    TimelineInspectors inspectors_;
};

} // namespace vexel
