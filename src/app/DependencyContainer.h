#pragma once

#include "app/AppEnvironment.h"
#include "data/llm/LLMService.h"
#include "data/persistence/FileAutoSaveService.h"
#include "domain/protocols/MediaLoader.h"
#include "domain/protocols/ProjectRepository.h"
#include "domain/protocols/SupportService.h"
#include "presentation/viewmodels/EditorGraph.h"

#include <memory>

namespace vexel {

// The one place where the editor is put together. Holds the four long-lived
// services and makes the rest from them when asked for the graph: the edit
// engine with every handler, the document's storage and encrypted auto-save,
// the staging of imports, the preview's player, the chat and the tutorial.
class DependencyContainer {
public:
    // Where the key of the encrypted auto-save is kept.
    static constexpr const char* autoSaveKeyService = "com.vexel.app.autosave-key";
    static constexpr const char* autoSaveKeyAccount = "aes-key";

    // `llmService`: none when the assistant's backend is not configured; the
    // chat then answers every instruction with a notice, without a request.
    DependencyContainer(std::shared_ptr<ProjectRepository> projectRepository,
                        std::shared_ptr<LLMService> llmService,
                        std::shared_ptr<MediaLoader> mediaLoader,
                        std::shared_ptr<SupportService> supportService, AppEnvironment environment);

    // The services as start-up makes them: an empty repository; the assistant
    // over the backend named by VEXEL_BACKEND_URL and VEXEL_ACCESS_TOKEN, with
    // at most 2048 output tokens, a 60 s time-out and 1 s between retries (none
    // when either is missing); FFmpeg's media loader; support reports to the
    // same backend.
    static DependencyContainer over(AppEnvironment environment);

    enum class AutoSave {
        written,
        // For an editor that may run beside another: the auto-save is that
        // one's.
        none,
    };

    // Called once; the graph lives until the process ends.
    std::unique_ptr<EditorGraph> makeEditorGraph(AutoSave autoSave = AutoSave::written) const;

    // The auto-save of `environment`, encrypted under the key of its secret
    // store. Stateless: the graph's and the start-up's recovery are two of
    // these over the same file.
    static std::shared_ptr<const FileAutoSaveService>
    makeAutoSaveService(const AppEnvironment& environment);

    const std::shared_ptr<ProjectRepository>& projectRepository() const {
        return projectRepository_;
    }
    // None when the backend is not configured.
    const std::shared_ptr<LLMService>& llmService() const { return llmService_; }

private:
    std::shared_ptr<ProjectRepository> projectRepository_;
    std::shared_ptr<LLMService> llmService_;
    std::shared_ptr<MediaLoader> mediaLoader_;
    std::shared_ptr<SupportService> supportService_;
    AppEnvironment environment_;
};

} // namespace vexel
