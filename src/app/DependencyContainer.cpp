#include "app/DependencyContainer.h"

#include "data/composition/CompositionBuilder.h"
#include "data/export/FFmpegExportService.h"
#include "data/llm/ClaudeLLMService.h"
#include "data/llm/InterpretInstructionUseCase.h"
#include "data/media/FFmpegMediaLoader.h"
#include "data/media/FileStager.h"
#include "data/persistence/ProjectPersistenceService.h"
#include "data/repositories/InMemoryProjectRepository.h"
#include "data/support/ProductionSupportService.h"
#include "data/support/RemoteSupportService.h"
#include "domain/usecases/DefaultHandlers.h"
#include "foundation/SteadySleeper.h"
#include "infrastructure/network/BackendAPIClientFactory.h"
#include "infrastructure/network/ConfiguredAccessTokenProvider.h"
#include "infrastructure/security/KeychainAESEncryption.h"
#include "platform/net/CurlHttpClient.h"
#include "presentation/viewmodels/NotConfiguredInterpretUseCase.h"
#include "presentation/viewmodels/PreviewItemBuilder.h"

#include <filesystem>
#include <optional>
#include <utility>

namespace vexel {

DependencyContainer::DependencyContainer(std::shared_ptr<ProjectRepository> projectRepository,
                                         std::shared_ptr<LLMService> llmService,
                                         std::shared_ptr<MediaLoader> mediaLoader,
                                         std::shared_ptr<SupportService> supportService,
                                         AppEnvironment environment)
    : projectRepository_(std::move(projectRepository))
    , llmService_(std::move(llmService))
    , mediaLoader_(std::move(mediaLoader))
    , supportService_(std::move(supportService))
    , environment_(std::move(environment)) {}

DependencyContainer DependencyContainer::over(AppEnvironment environment) {
    const EnvironmentLookup lookup = environment.environment;
    const BackendConfiguration backend = readBackendConfiguration(lookup);
    auto session = std::make_shared<net::CurlHttpClient>();
    // Each request reads the environment again, so a renewal after a refused
    // token picks up whatever is configured by then.
    auto tokens = std::make_shared<ConfiguredAccessTokenProvider>(
        [lookup] { return readBackendConfiguration(lookup); });

    std::shared_ptr<LLMService> llmService;
    if (backend.baseURL && backend.accessToken) {
        llmService = std::make_shared<ClaudeLLMService>(std::make_shared<ClaudeAPIClient>(
            makeBackendAPIClient(session, tokens, backend, std::make_shared<SteadySleeper>())));
    } else {
        // A state of the installation, not a failure, and nothing of the
        // user's: whoever reads the log must be able to see it.
        environment.logger->logPublic(LogLevel::info,
                                      "[App] The assistant backend is not configured: set "
                                      "VEXEL_BACKEND_URL and VEXEL_ACCESS_TOKEN");
    }

    const std::string appVersion =
        environment.infoDictionary.value(QStringLiteral("CFBundleShortVersionString"))
            .toString()
            .toStdString();
    auto remote = std::make_shared<RemoteSupportService>(
        [tokens](std::stop_token stop) { return tokens->accessToken(std::move(stop)); },
        backend.baseURL.value_or(""), session,
        appVersion.empty() ? std::string(RemoteSupportService::unknownAppVersion) : appVersion);
    auto support = std::make_shared<ProductionSupportService>(remote, environment.logger);

    return DependencyContainer(
        std::make_shared<InMemoryProjectRepository>(Project{{}, Project::defaultMaxDuration}),
        std::move(llmService), std::make_shared<FFmpegMediaLoader>(), std::move(support),
        std::move(environment));
}

std::shared_ptr<const FileAutoSaveService>
DependencyContainer::makeAutoSaveService(const AppEnvironment& environment) {
    return std::make_shared<FileAutoSaveService>(
        environment.autoSaveDirectory,
        std::make_shared<KeychainAESEncryption>(autoSaveKeyService, autoSaveKeyAccount,
                                                environment.secretStore));
}

std::unique_ptr<EditorGraph> DependencyContainer::makeEditorGraph(AutoSave autoSave) const {
    const std::shared_ptr<Logger>& logger = environment_.logger;

    auto exportService = std::make_shared<FFmpegExportService>(CompositionBuilder(logger), logger);
    auto executor = std::make_shared<DefaultEditCommandExecutor>(
        makeDefaultEditCommandExecutor(projectRepository_, mediaLoader_, std::move(exportService)));

    std::shared_ptr<InterpretInstructionExecutable> interpret;
    if (llmService_) {
        interpret = std::make_shared<InterpretInstructionUseCase>(llmService_, projectRepository_);
    } else {
        interpret = std::make_shared<NotConfiguredInterpretUseCase>();
    }

    auto previewItems =
        std::make_shared<const PreviewItemBuilder>(std::make_shared<CompositionBuilder>(logger));

    EditorGraph::Services services;
    services.projectRepository = projectRepository_;
    services.editCommandExecutor = std::move(executor);
    services.interpretUseCase = std::move(interpret);
    services.supportService = supportService_;
    if (autoSave == AutoSave::written) {
        services.autoSaveService = makeAutoSaveService(environment_);
    }
    // Without a data folder a killed Save As is tidied by the next save there.
    std::optional<std::filesystem::path> unfinishedSaves;
    try {
        unfinishedSaves = ProjectPersistenceService::defaultUnfinishedSavesFolder();
    } catch (const std::exception&) {
    }
    services.documentStorage = DocumentStorage::over(
        std::make_shared<ProjectPersistenceService>(nullptr, std::move(unfinishedSaves)),
        projectRepository_);
    services.fileStager = std::make_shared<FileStager>();
    services.mediaLoader = mediaLoader_;
    services.resources = environment_.resources;
    services.previewItemBuild = [previewItems](const Project& project, std::stop_token stop) {
        return previewItems->build(project, std::move(stop));
    };
    services.displayLinks = environment_.displayLinks
                                ? environment_.displayLinks
                                : DisplayLinkFactory([](std::function<void()>) {
                                      return std::unique_ptr<DisplayLink>();
                                  });
    if (environment_.makePlayer) {
        services.player = environment_.makePlayer();
    }
    services.userDefaults = environment_.openUserDefaults();
    services.infoDictionary = environment_.infoDictionary;
    services.logger = logger;
    services.clock = environment_.clock;
    services.sleep = environment_.sleep;
    services.autoSaveDebounce = environment_.autoSaveDebounce;
    return std::make_unique<EditorGraph>(std::move(services));
}

} // namespace vexel
