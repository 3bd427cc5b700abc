#pragma once

#include "domain/entities/MediaRelocation.h"
#include "domain/entities/OpenedProject.h"
#include "domain/entities/Project.h"
#include "domain/protocols/ProjectPersistence.h"
#include "domain/protocols/ProjectRepository.h"

#include <QCoro/QCoroTask>

#include <filesystem>
#include <functional>
#include <memory>
#include <optional>

class QThreadPool;

namespace vexel {

// How the open document saves and opens project folders. The save writes the
// repository's current project (the one the edit engine works on), so what is
// saved is what the user sees, and says where it copied media to; it is told
// the folder the document lives in now, whose media it copies only on the
// terms on which they were opened. The open
// makes the loaded project the repository's before it returns it, with the
// clips whose media cannot be used. Both resume their caller on the GUI thread
// and throw what the persistence throws.
struct DocumentStorage {
    using Save = std::function<QCoro::Task<MediaRelocation>(
        std::filesystem::path folder, std::optional<std::filesystem::path> sourceFolder)>;
    using Load = std::function<QCoro::Task<OpenedProject>(std::filesystem::path folder)>;
    // Moves the repository's project onto the copies a save made. On the GUI
    // thread, while no edit is inside the engine.
    using Relocate = std::function<void(const MediaRelocation& relocation)>;

    Save save;
    Load load;
    Relocate relocate;

    // Over project folders on disk; the file work runs on `worker` (none: the
    // global thread pool), never on the GUI thread.
    static DocumentStorage over(std::shared_ptr<const ProjectPersistence> persistence,
                                std::shared_ptr<ProjectRepository> repository,
                                QThreadPool* worker = nullptr);
};

} // namespace vexel
