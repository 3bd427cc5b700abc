#pragma once

#include "domain/entities/Project.h"
#include "domain/protocols/ProjectPersistence.h"
#include "domain/protocols/ProjectRepository.h"

#include <QCoro/QCoroTask>

#include <filesystem>
#include <functional>
#include <memory>

class QThreadPool;

namespace vexel {

// How the open document saves and opens project folders. The save writes the
// repository's current project (the one the edit engine works on), so what is
// saved is what the user sees; the open makes the loaded project the
// repository's before it returns it. Both resume their caller on the GUI thread
// and throw what the persistence throws.
struct DocumentStorage {
    using Save = std::function<QCoro::Task<void>(std::filesystem::path folder)>;
    using Load = std::function<QCoro::Task<Project>(std::filesystem::path folder)>;

    Save save;
    Load load;

    // Over project folders on disk; the file work runs on `worker` (none: the
    // global thread pool), never on the GUI thread.
    static DocumentStorage over(std::shared_ptr<const ProjectPersistence> persistence,
                                std::shared_ptr<ProjectRepository> repository,
                                QThreadPool* worker = nullptr);
};

} // namespace vexel
