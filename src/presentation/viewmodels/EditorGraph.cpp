#include "presentation/viewmodels/EditorGraph.h"

#include "domain/entities/BugReport.h"
#include "domain/entities/FeatureRequest.h"
#include "domain/entities/Project.h"
#include "domain/usecases/SubmitBugReportUseCase.h"
#include "domain/usecases/SubmitFeatureRequestUseCase.h"
#include "presentation/viewmodels/ExportDirectory.h"
#include "presentation/viewmodels/WrappedEditCommandExecutor.h"
#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include <QPointer>
#include <QThreadPool>

#include <utility>

namespace vexel {

namespace {

// A report is sent off the GUI thread; its failure reaches the chat's command
// step, which words it.
QCoro::Task<void> sendBugReport(SubmitBugReportUseCase useCase, BugReport report) {
    auto send = [useCase = std::move(useCase), report = std::move(report)] {
        useCase.execute(report);
    };
    co_await runInBackground(QThreadPool::globalInstance(), std::move(send));
}

QCoro::Task<void> sendFeatureRequest(SubmitFeatureRequestUseCase useCase, FeatureRequest request) {
    auto send = [useCase = std::move(useCase), request = std::move(request)] {
        useCase.execute(request);
    };
    co_await runInBackground(QThreadPool::globalInstance(), std::move(send));
}

} // namespace

EditorGraph::EditorGraph(Services services)
    : logger_(std::move(services.logger))
    , clock_(std::move(services.clock))
    , sleep_(services.sleep)
    , userDefaults_(std::move(services.userDefaults))
    , projectRepository_(std::move(services.projectRepository))
    , fileStager_(std::move(services.fileStager))
    , mediaLoader_(std::move(services.mediaLoader))
    , autoSaveService_(std::move(services.autoSaveService))
    , tutorialNotifier_(std::make_unique<TutorialNotifier>()) {
    const Project initial = Project::makeNew(Project::defaultMaxDuration);
    projectRepository_->save(initial);

    previewViewModel_ = std::make_unique<PreviewViewModel>(
        Project::defaultMaxDuration, std::move(services.previewItemBuild),
        std::move(services.displayLinks), logger_, std::move(services.player));
    errorBannerViewModel_ = std::make_unique<ErrorBannerViewModel>(logger_, services.sleep,
                                                                   services.errorAutoDismissDelay);
    missingMediaReporter_ = std::make_unique<MissingMediaReporter>(*errorBannerViewModel_, clock_);
    previewViewModel_->setOnMediaChecked(
        [reporter = missingMediaReporter_.get()](const MediaReadability& media) {
            return reporter->looked(media);
        });
    timelineViewModel_ = std::make_unique<TimelineViewModel>(
        initial, *errorBannerViewModel_,
        WrappedEditCommandExecutor(std::move(services.editCommandExecutor)));

    // Read at every export, so that a folder picked in the settings since
    // start-up is the one offered.
    QSettings* settings = userDefaults_.get();
    ExportCoordinator::DirectoryProvider exportDirectoryProvider = [settings] {
        return exportDirectory(*settings);
    };
    instructionViewModel_ = std::make_unique<InstructionViewModel>(
        std::move(services.interpretUseCase), *timelineViewModel_,
        std::move(exportDirectoryProvider), *userDefaults_, logger_, clock_);

    QObject::connect(timelineViewModel_.get(), &TimelineViewModel::projectChanged,
                     timelineViewModel_.get(),
                     [timeline = timelineViewModel_.get(), reporter = missingMediaReporter_.get(),
                      shown = timelineViewModel_->documentEpoch()]() mutable {
                         if (timeline->documentEpoch() != shown) {
                             shown = timeline->documentEpoch();
                             reporter->forget();
                         }
                     });
    instructionViewModel_->setOnExportMediaUnavailable(
        [reporter = missingMediaReporter_.get()](const std::vector<UnavailableMedia>& clips) {
            reporter->exportRefused(clips);
        });

    tutorialState_ = std::make_unique<TutorialState>();
    MainViewModel::DocumentResets resets{[instruction = QPointer(instructionViewModel_.get())] {
                                             if (instruction) {
                                                 instruction->prepareForNewProject();
                                             }
                                         },
                                         [state = QPointer(tutorialState_.get())] {
                                             if (state) {
                                                 state->setCurrentStep(std::nullopt);
                                             }
                                         }};
    mainViewModel_ = std::make_unique<MainViewModel>(
        *timelineViewModel_, fileStager_, mediaLoader_, autoSaveService_,
        std::move(services.documentStorage), std::move(resets), *userDefaults_, logger_, clock_,
        services.sleep, services.autoSaveDebounce);

    // Every project the timeline shows becomes the one the engine, the
    // assistant and the save read, and a change of the document to keep.
    timelineViewModel_->setOnProjectSync(
        [repository = projectRepository_,
         main = QPointer(mainViewModel_.get())](const Project& project) {
            repository->save(project);
            if (main) {
                main->setIsDirty(true);
                main->scheduleAutoSave(project);
            }
        });

    instructionViewModel_->setOnShowTutorial([state = QPointer(tutorialState_.get())] {
        if (state && !state->currentStep()) {
            state->setCurrentStep(TutorialStep::welcome);
        }
    });

    tutorialOrchestrator_ = std::make_unique<TutorialOrchestrator>(
        *tutorialState_, instructionViewModel_->chatHistory(), *timelineViewModel_, fileStager_,
        std::move(services.resources), logger_, services.sleep);
    instructionViewModel_->setTutorialOrchestrator(tutorialOrchestrator_.get());

    instructionViewModel_->setOnSubmitBugReport(
        [useCase = SubmitBugReportUseCase(services.supportService)](BugReport report) {
            return sendBugReport(useCase, std::move(report));
        });
    instructionViewModel_->setOnSubmitFeatureRequest(
        [useCase = SubmitFeatureRequestUseCase(services.supportService)](FeatureRequest request) {
            return sendFeatureRequest(useCase, std::move(request));
        });

    settingsViewModel_ =
        std::make_unique<SettingsViewModel>(*userDefaults_, std::move(services.infoDictionary));
}

EditorGraph::~EditorGraph() {
    // Work still running must not reach a part already gone: the chat's task
    // first, then the preview's load and its refreshes.
    instructionViewModel_->cancel();
    instructionViewModel_->setTutorialOrchestrator(nullptr);
    previewViewModel_->tearDown();
}

} // namespace vexel
