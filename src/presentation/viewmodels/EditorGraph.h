#pragma once

#include "data/llm/InterpretInstructionExecutable.h"
#include "domain/protocols/AutoSaveService.h"
#include "domain/protocols/EditCommandExecutor.h"
#include "domain/protocols/FileStaging.h"
#include "domain/protocols/MediaLoader.h"
#include "domain/protocols/ProjectRepository.h"
#include "domain/protocols/SupportService.h"
#include "foundation/Logger.h"
#include "platform/playback/Player.h"
#include "presentation/helpers/ResourceBundle.h"
#include "presentation/viewmodels/DocumentStorage.h"
#include "presentation/viewmodels/ErrorBannerViewModel.h"
#include "presentation/viewmodels/ExportCoordinator.h"
#include "presentation/viewmodels/InstructionViewModel.h"
#include "presentation/viewmodels/MainViewModel.h"
#include "presentation/viewmodels/MissingMediaReporter.h"
#include "presentation/viewmodels/PreviewViewModel.h"
#include "presentation/viewmodels/SettingsViewModel.h"
#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/viewmodels/TutorialNotifier.h"
#include "presentation/viewmodels/TutorialOrchestrator.h"
#include "presentation/viewmodels/TutorialState.h"
#include "presentation/viewmodels/runtime/Clock.h"
#include "presentation/viewmodels/runtime/DisplayLink.h"
#include "presentation/viewmodels/runtime/Sleep.h"

#include <QSettings>
#include <QVariantMap>

#include <chrono>
#include <memory>

namespace vexel {

// Everything the editor's windows work with, made once at start-up and kept
// until the process ends: the repository of the open project, the view models
// of the document, timeline, preview, chat, tutorial and settings, and the
// services they share. The windows take it by reference and read what they
// need through its accessors. GUI thread only.
//
// Building it wires the view models together: every project the timeline shows
// is stored in the repository, marks the document dirty and schedules its
// auto-save; media found gone by the preview or an export is named in the
// banner; a new or opened document ends the conversation and the tutorial;
// the assistant's show-tutorial command starts the tutorial when none runs;
// reports go to the support service. Nothing of it holds another part
// strongly in a cycle: the owner is this object alone.
class EditorGraph {
public:
    // What the graph is built over; made by the application's dependency
    // container, or by a test over its own folders and stand-ins.
    struct Services {
        // The one project store shared by the engine, the assistant and the
        // document; it is given the new empty project.
        std::shared_ptr<ProjectRepository> projectRepository;
        std::shared_ptr<EditCommandExecutor> editCommandExecutor;
        std::shared_ptr<InterpretInstructionExecutable> interpretUseCase;
        std::shared_ptr<SupportService> supportService;
        // None writes no auto-save.
        std::shared_ptr<const AutoSaveService> autoSaveService;
        DocumentStorage documentStorage;
        std::shared_ptr<FileStaging> fileStager;
        // Tells what a file holds whose extension says nothing.
        std::shared_ptr<const MediaLoader> mediaLoader;
        // Where the tutorial finds its sample video.
        ResourceBundle resources{{}};
        PreviewViewModel::ItemBuild previewItemBuild;
        DisplayLinkFactory displayLinks;
        // None: a player on the default sound device.
        std::unique_ptr<playback::Player> player;
        // The user's settings ("hasCompletedOnboarding", "exportDirectory", …).
        std::unique_ptr<QSettings> userDefaults;
        // The application's version strings, for the settings window.
        QVariantMap infoDictionary;
        std::shared_ptr<Logger> logger;
        std::shared_ptr<const Clock> clock = std::make_shared<SystemClock>();
        SleepAction sleep = sleepOnEventLoop;
        std::chrono::duration<double> autoSaveDebounce = MainViewModel::defaultAutoSaveDebounce;
        std::chrono::duration<double> errorAutoDismissDelay =
            ErrorBannerViewModel::defaultAutoDismissDelay;
    };

    // Starts with a new project of three empty default audio tracks ("Audio 1"
    // to "Audio 3") and a maximum duration of 3600 s, clean, with no folder.
    explicit EditorGraph(Services services);
    ~EditorGraph();

    EditorGraph(const EditorGraph&) = delete;
    EditorGraph& operator=(const EditorGraph&) = delete;

    MainViewModel& mainViewModel() const { return *mainViewModel_; }
    TimelineViewModel& timelineViewModel() const { return *timelineViewModel_; }
    PreviewViewModel& previewViewModel() const { return *previewViewModel_; }
    InstructionViewModel& instructionViewModel() const { return *instructionViewModel_; }
    ErrorBannerViewModel& errorBannerViewModel() const { return *errorBannerViewModel_; }
    TutorialState& tutorialState() const { return *tutorialState_; }
    TutorialOrchestrator& tutorialOrchestrator() const { return *tutorialOrchestrator_; }
    SettingsViewModel& settingsViewModel() const { return *settingsViewModel_; }
    TutorialNotifier& tutorialNotifier() const { return *tutorialNotifier_; }

    QSettings& userDefaults() const { return *userDefaults_; }
    const std::shared_ptr<Logger>& logger() const { return logger_; }
    const std::shared_ptr<const Clock>& clock() const { return clock_; }
    // How the view models wait; the window's own waits (the preview's
    // rebuild) take the same.
    const SleepAction& sleep() const { return sleep_; }
    const std::shared_ptr<FileStaging>& fileStager() const { return fileStager_; }
    const std::shared_ptr<const MediaLoader>& mediaLoader() const { return mediaLoader_; }
    const std::shared_ptr<ProjectRepository>& projectRepository() const {
        return projectRepository_;
    }
    const std::shared_ptr<const AutoSaveService>& autoSaveService() const {
        return autoSaveService_;
    }

private:
    std::shared_ptr<Logger> logger_;
    std::shared_ptr<const Clock> clock_;
    SleepAction sleep_;
    std::unique_ptr<QSettings> userDefaults_;
    std::shared_ptr<ProjectRepository> projectRepository_;
    std::shared_ptr<FileStaging> fileStager_;
    std::shared_ptr<const MediaLoader> mediaLoader_;
    std::shared_ptr<const AutoSaveService> autoSaveService_;
    std::unique_ptr<TutorialNotifier> tutorialNotifier_;
    std::unique_ptr<ErrorBannerViewModel> errorBannerViewModel_;
    std::unique_ptr<MissingMediaReporter> missingMediaReporter_;
    std::unique_ptr<TimelineViewModel> timelineViewModel_;
    std::unique_ptr<PreviewViewModel> previewViewModel_;
    std::unique_ptr<InstructionViewModel> instructionViewModel_;
    std::unique_ptr<TutorialState> tutorialState_;
    std::unique_ptr<MainViewModel> mainViewModel_;
    std::unique_ptr<TutorialOrchestrator> tutorialOrchestrator_;
    std::unique_ptr<SettingsViewModel> settingsViewModel_;
};

} // namespace vexel
