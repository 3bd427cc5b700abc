#include "domain/usecases/DefaultHandlers.h"

#include "domain/usecases/AddAudioEffectUseCase.h"
#include "domain/usecases/AddClipUseCase.h"
#include "domain/usecases/AddTextUseCase.h"
#include "domain/usecases/AddTrackUseCase.h"
#include "domain/usecases/AdjustVolumeUseCase.h"
#include "domain/usecases/ColorAdjustUseCase.h"
#include "domain/usecases/CropUseCase.h"
#include "domain/usecases/CrossDissolveUseCase.h"
#include "domain/usecases/DuplicateClipUseCase.h"
#include "domain/usecases/EditTextUseCase.h"
#include "domain/usecases/ExportUseCase.h"
#include "domain/usecases/FilterUseCase.h"
#include "domain/usecases/MetaCommandHandler.h"
#include "domain/usecases/MoveClipUseCase.h"
#include "domain/usecases/OpacityUseCase.h"
#include "domain/usecases/RemoveAudioEffectUseCase.h"
#include "domain/usecases/RemoveClipUseCase.h"
#include "domain/usecases/ReverseUseCase.h"
#include "domain/usecases/RotateFlipUseCase.h"
#include "domain/usecases/ScaleTextUseCase.h"
#include "domain/usecases/SetImageAnimationUseCase.h"
#include "domain/usecases/SetTextAnimationUseCase.h"
#include "domain/usecases/SpeedUseCase.h"
#include "domain/usecases/SplitClipUseCase.h"
#include "domain/usecases/TransformImageOverlayUseCase.h"
#include "domain/usecases/TransitionUseCase.h"
#include "domain/usecases/TrimClipUseCase.h"

namespace vexel {

CommandHandlerRegistry makeDefaultCommandHandlers(std::shared_ptr<ProjectRepository> repository,
                                                  std::shared_ptr<MediaLoader> mediaLoader) {
    const auto& r = repository;
    CommandHandlerRegistry registry;
    registry.handlers = {
        std::make_shared<MoveClipUseCase>(r),
        std::make_shared<TrimClipUseCase>(r),
        std::make_shared<AddClipUseCase>(std::move(mediaLoader), r),
        std::make_shared<AdjustVolumeUseCase>(r),
        std::make_shared<RemoveClipUseCase>(r),
        std::make_shared<AddTextUseCase>(r),
        std::make_shared<SplitClipUseCase>(r),
        std::make_shared<EditTextUseCase>(r),
        std::make_shared<DuplicateClipUseCase>(r),
        std::make_shared<SpeedUseCase>(r),
        std::make_shared<OpacityUseCase>(r),
        std::make_shared<ColorAdjustUseCase>(r),
        std::make_shared<RotateFlipUseCase>(r),
        std::make_shared<CropUseCase>(r),
        std::make_shared<TransitionUseCase>(r),
        std::make_shared<CrossDissolveUseCase>(r),
        std::make_shared<ReverseUseCase>(r),
        std::make_shared<FilterUseCase>(r),
        std::make_shared<AddTrackUseCase>(r),
        std::make_shared<SetTextAnimationUseCase>(r),
        std::make_shared<SetImageAnimationUseCase>(r),
        std::make_shared<AddAudioEffectUseCase>(r),
        std::make_shared<RemoveAudioEffectUseCase>(r),
        std::make_shared<TransformImageOverlayUseCase>(r),
        std::make_shared<ScaleTextUseCase>(r),
        std::make_shared<MetaCommandHandler>(r),
    };
    return registry;
}

DefaultEditCommandExecutor
makeDefaultEditCommandExecutor(std::shared_ptr<ProjectRepository> repository,
                               std::shared_ptr<MediaLoader> mediaLoader,
                               std::shared_ptr<ExportService> exportService) {
    DefaultEditCommandExecutor::BatchHandlers batchHandlers{
        MoveClipUseCase(repository),      TrimClipUseCase(repository),
        SplitClipUseCase(repository),     RemoveClipUseCase(repository),
        DuplicateClipUseCase(repository),
    };
    AddClipUseCase addClip(mediaLoader, repository);
    ExportUseCase exportUseCase(repository, std::move(exportService));
    CommandHandlerRegistry registry =
        makeDefaultCommandHandlers(repository, std::move(mediaLoader));
    return DefaultEditCommandExecutor(std::move(registry), std::move(batchHandlers), repository,
                                      std::move(addClip), std::move(exportUseCase));
}

} // namespace vexel
