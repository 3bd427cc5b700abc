#pragma once

// moc cannot parse the standard headers these bring in, and needs none of them.
#ifndef Q_MOC_RUN
#include "data/audio/WaveformService.h"
#include "presentation/cache/WaveformCache.h"
#include "presentation/viewmodels/InstructionViewModel.h"
#include "presentation/viewmodels/PreviewRebuilder.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/viewmodels/TimelineDropHandler.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/viewmodels/TutorialHooks.h"
#include "presentation/viewmodels/TutorialState.h"
#include "presentation/viewmodels/WaveformLoader.h"
#include "presentation/views/kit/IconRegistry.h"
#endif
#include "presentation/views/shell/PaneLayout.h"

#include <QSettings>
#include <QWidget>

#include <functional>
#include <memory>

class QSplitter;

namespace vexel {

class InstructionInputView;

// The editor window's content: the chat column beside the preview on top, the
// timeline (headed by the error banner) below. The top row takes a fixed share
// of the height; the user drags the divider between chat and preview within
// their limits. Keeps the preview showing the timeline's project, offers the
// guided tutorial on a first run, and holds the waveforms the timeline's
// lanes share. GUI thread only.
class MainView : public QWidget {
    Q_OBJECT

public:
    // What the window shows and works on; all of it outlives the view.
    struct Context {
        TimelineViewModel& timeline;
        PreviewViewModel& preview;
        InstructionViewModel& instructions;
        TutorialState& tutorialState;
        QSettings& userDefaults;
        std::shared_ptr<Logger> logger;
        // Stamps the errors of edits made on the timeline.
        std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>();
        SleepAction sleep = sleepOnEventLoop;
        // Where files dropped on the timeline or the preview are copied; none refuses drops.
        std::shared_ptr<const FileStaging> fileStager = nullptr;
        // Tells dropped files by their content where their names say nothing.
        std::shared_ptr<const MediaLoader> mediaLoader = nullptr;
        // The timeline's add button and its way to the command palette.
        std::function<void()> onAddFile = nullptr;
        std::function<void()> onToggleCommandPalette = nullptr;
    };

    static constexpr QSize minimumContentSize{800, 600};

    explicit MainView(Context context, QWidget* parent = nullptr);
    ~MainView() override;

    // The panes and the chat bar's top edge, in this widget's coordinates.
    const PaneLayout& paneLayout() const { return paneLayout_; }

    QSplitter& topSplitter() const { return *splitter_; }
    InstructionInputView& chatColumn() const { return *chat_; }
    QWidget& previewPane() const { return *previewPane_; }
    QWidget& timelinePane() const { return *timelinePane_; }

    // Shared by every lane of the timeline.
    WaveformCache& waveformCache() { return waveformCache_; }
    WaveformService& waveformService() { return waveformService_; }
    WaveformLoader& waveformLoader() { return waveformLoader_; }
    const IconRegistry& icons() const { return icons_; }

    // For the tutorial's overlay.
    TutorialHooks& tutorialHooks() { return tutorialHooks_; }
    PreviewRebuilder& previewRebuilder() { return previewRebuilder_; }

signals:
    void paneLayoutChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    // The two panes that other views take over: the preview player, and the
    // timeline panel with the banner as one of its rows.
    QWidget* makePreviewPane();
    QWidget* makeTimelinePane();
    void placePanes();
    void updatePaneLayout();

    Context context_;
    IconRegistry icons_;
    WaveformCache waveformCache_{WaveformCache::defaultCountLimit,
                                 WaveformCache::defaultTotalCostLimit};
    WaveformService waveformService_;
    // After the cache and the service: it goes first.
    WaveformLoader waveformLoader_;
    std::unique_ptr<TimelineDropHandler> dropHandler_;
    PreviewRebuilder previewRebuilder_;
    TutorialHooks tutorialHooks_;
    QSplitter* splitter_ = nullptr;
    InstructionInputView* chat_ = nullptr;
    QWidget* previewPane_ = nullptr;
    QWidget* timelinePane_ = nullptr;
    PaneLayout paneLayout_;
    bool splitPlaced_ = false;
    bool shownOnce_ = false;
};

} // namespace vexel
