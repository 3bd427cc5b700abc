#include "presentation/views/preview/PreviewEditHandlers.h"

#include <QPointer>

#include <exception>
#include <string>
#include <utility>

namespace vexel {

namespace {

struct Targets {
    QPointer<TimelineViewModel> timeline;
    QPointer<PreviewViewModel> preview;
    EditRunner runner;

    // A command through the timeline, reported under `failureText`.
    void run(EditCommand command, std::string failureText) const {
        runner.runEdit(
            [timeline = timeline, command = std::move(command)]() -> QCoro::Task<void> {
                if (timeline) {
                    co_await timeline->executeCommand(command);
                }
            },
            std::move(failureText));
    }

    void run(std::vector<EditCommand> commands, std::string failureText) const {
        runner.runEdit(
            [timeline = timeline, commands = std::move(commands)]() -> QCoro::Task<void> {
                if (timeline) {
                    co_await timeline->executeCommands(commands);
                }
            },
            std::move(failureText));
    }

    // An edit the preview already shows: the rebuild its change would start is
    // skipped. The window clears the request when the change arrives; one
    // still standing afterwards, because the edit failed or left the project
    // as it was, is withdrawn here, before the failure shows.
    void runShown(EditCommand command, std::string failureText) const {
        if (preview) {
            preview->setSuppressReload(true);
        }
        runner.runEdit(
            [timeline = timeline, preview = preview,
             command = std::move(command)]() -> QCoro::Task<void> {
                std::exception_ptr failure;
                try {
                    if (timeline) {
                        co_await timeline->executeCommand(command);
                    }
                } catch (...) {
                    failure = std::current_exception();
                }
                if (preview) {
                    preview->setSuppressReload(false);
                }
                if (failure) {
                    std::rethrow_exception(failure);
                }
            },
            std::move(failureText));
    }
};

} // namespace

PreviewActions makePreviewActions(TimelineViewModel& timeline, PreviewViewModel& preview,
                                  EditRunner runner) {
    const Targets targets{&timeline, &preview, std::move(runner)};
    PreviewActions actions;
    actions.onSelectText = [timeline = targets.timeline](std::optional<Uuid> clipId) {
        if (!timeline) {
            return;
        }
        if (clipId) {
            timeline->selectClip(*clipId);
        } else {
            timeline->setSelectedClipId(std::nullopt);
        }
    };
    actions.onRepositionText = [targets](const Uuid& clipId, double x, double y) {
        targets.runShown(EditCommand::EditText{clipId, std::nullopt, TextPosition::custom(x, y),
                                               std::nullopt, std::nullopt},
                         "Failed to reposition text");
    };
    actions.onEditText = [targets](std::vector<EditCommand> commands) {
        targets.run(std::move(commands), "Failed to edit text");
    };
    actions.onDeleteText = [targets](const Uuid& clipId) {
        targets.run(EditCommand::RemoveClip{clipId}, "Failed to delete text");
    };
    actions.onScaleText = [targets](const Uuid& clipId, double scale) {
        targets.runShown(EditCommand::ScaleText{clipId, scale}, "Failed to scale text");
    };
    actions.onTransformImage = [targets](const Uuid& clipId, double x, double y, double scale) {
        targets.runShown(EditCommand::TransformImageOverlay{clipId, x, y, scale},
                         "Failed to transform image");
    };
    return actions;
}

} // namespace vexel
