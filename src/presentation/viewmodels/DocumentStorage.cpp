#include "presentation/viewmodels/DocumentStorage.h"

#include "presentation/viewmodels/runtime/BackgroundWork.h"

#include <QThreadPool>

#include <utility>

namespace vexel {

DocumentStorage DocumentStorage::over(std::shared_ptr<const ProjectPersistence> persistence,
                                      std::shared_ptr<ProjectRepository> repository,
                                      QThreadPool* worker) {
    QThreadPool* pool = worker != nullptr ? worker : QThreadPool::globalInstance();
    DocumentStorage storage;
    storage.save = [persistence, repository,
                    pool](std::filesystem::path folder,
                          std::optional<std::filesystem::path> sourceFolder) {
        auto work = [persistence, repository, folder = std::move(folder),
                     sourceFolder = std::move(sourceFolder)] {
            return persistence->save(repository->load(), folder, sourceFolder);
        };
        return runInBackground(pool, std::move(work));
    };
    storage.load = [persistence, repository, pool](std::filesystem::path folder) {
        auto work = [persistence, repository, folder = std::move(folder)] {
            OpenedProject opened = persistence->open(folder);
            repository->save(opened.project);
            return opened;
        };
        return runInBackground(pool, std::move(work));
    };
    storage.relocate = [repository](const MediaRelocation& relocation) {
        repository->save(relocation.applied(repository->load()));
    };
    return storage;
}

} // namespace vexel
