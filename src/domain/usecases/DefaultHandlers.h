#pragma once

#include "domain/protocols/ExportService.h"
#include "domain/protocols/MediaLoader.h"
#include "domain/protocols/ProjectRepository.h"
#include "domain/usecases/CommandHandlerRegistry.h"
#include "domain/usecases/DefaultEditCommandExecutor.h"

#include <memory>

namespace vexel {

// Every edit use case and the meta handler, in dispatch order. No two accept
// the same command, so the order never changes which one runs; it is kept fixed
// all the same.
CommandHandlerRegistry makeDefaultCommandHandlers(std::shared_ptr<MediaLoader> mediaLoader);

// The executor the editor runs its edits through: the full registry, the
// arranging use cases for batches, adding files and exporting, all over the
// one repository.
DefaultEditCommandExecutor
makeDefaultEditCommandExecutor(std::shared_ptr<ProjectRepository> repository,
                               std::shared_ptr<MediaLoader> mediaLoader,
                               std::shared_ptr<ExportService> exportService);

} // namespace vexel
