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

CommandHandlerRegistry makeDefaultCommandHandlers(std::shared_ptr<MediaLoader> mediaLoader) {
    CommandHandlerRegistry registry;
    registry.handlers = {
        std::make_shared<MoveClipUseCase>(),
        std::make_shared<TrimClipUseCase>(),
        std::make_shared<AddClipUseCase>(std::move(mediaLoader)),
        std::make_shared<AdjustVolumeUseCase>(),
        std::make_shared<RemoveClipUseCase>(),
        std::make_shared<AddTextUseCase>(),
        std::make_shared<SplitClipUseCase>(),
        std::make_shared<EditTextUseCase>(),
        std::make_shared<DuplicateClipUseCase>(),
        std::make_shared<SpeedUseCase>(),
        std::make_shared<OpacityUseCase>(),
        std::make_shared<ColorAdjustUseCase>(),
        std::make_shared<RotateFlipUseCase>(),
        std::make_shared<CropUseCase>(),
        std::make_shared<TransitionUseCase>(),
        std::make_shared<CrossDissolveUseCase>(),
        std::make_shared<ReverseUseCase>(),
        std::make_shared<FilterUseCase>(),
        std::make_shared<AddTrackUseCase>(),
        std::make_shared<SetTextAnimationUseCase>(),
        std::make_shared<SetImageAnimationUseCase>(),
        std::make_shared<AddAudioEffectUseCase>(),
        std::make_shared<RemoveAudioEffectUseCase>(),
        std::make_shared<TransformImageOverlayUseCase>(),
        std::make_shared<ScaleTextUseCase>(),
        std::make_shared<MetaCommandHandler>(),
    };
    return registry;
}

DefaultEditCommandExecutor
makeDefaultEditCommandExecutor(std::shared_ptr<ProjectRepository> repository,
                               std::shared_ptr<MediaLoader> mediaLoader,
                               std::shared_ptr<ExportService> exportService) {
    AddClipUseCase addClip(mediaLoader);
    ExportUseCase exportUseCase(repository, std::move(exportService));
    CommandHandlerRegistry registry = makeDefaultCommandHandlers(std::move(mediaLoader));
    return DefaultEditCommandExecutor(std::move(registry), {}, repository, std::move(addClip),
                                      std::move(exportUseCase));
}

} // namespace vexel
