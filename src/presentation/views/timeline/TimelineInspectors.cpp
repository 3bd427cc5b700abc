#include "presentation/views/timeline/TimelineInspectors.h"

#include "presentation/viewmodels/TimelineViewModel.h"
#include "presentation/views/kit/AnchoredPopup.h"

#include <QVBoxLayout>

#include <utility>

namespace vexel {

TimelineInspectors::TimelineInspectors(QWidget& anchor, TimelineViewModel& viewModel,
                                       EditRunner runner)
    : anchor_(anchor)
    , viewModel_(viewModel)
    , runner_(std::move(runner)) {}

TimelineInspectors::~TimelineInspectors() {
    ++generation_;
    if (popup_) {
        popup_->setOnDismiss({});
        delete popup_.data();
    }
}

const char* TimelineInspectors::applyFailureText(Kind kind) {
    switch (kind) {
    case Kind::text:
        return "Failed to edit text";
    case Kind::textAnimation:
        return "Failed to update text animation";
    case Kind::effect:
        return "Failed to update effects";
    }
    return "Failed to update effects";
}

TimelineInspectors::Results TimelineInspectors::makeResults(Kind kind, const Clip& clip) {
    Results results;
    TimelineViewModel* viewModel = &viewModel_;
    const EditRunner runner = runner_;
    results.onApply = [viewModel, runner, kind](std::vector<EditCommand> commands) {
        runner.runEdit(
            [viewModel, commands = std::move(commands)]() -> QCoro::Task<void> {
                co_await viewModel->executeCommands(commands);
            },
            applyFailureText(kind));
    };
    const unsigned generation = generation_;
    results.onDismiss = [this, generation] {
        if (generation == generation_) {
            close();
        }
    };
    if (kind == Kind::text) {
        const Uuid clipId = clip.id;
        results.onDelete = [viewModel, runner, clipId] {
            runner.runEdit(
                [viewModel, clipId]() -> QCoro::Task<void> {
                    EditCommand remove = EditCommand::RemoveClip{clipId};
                    co_await viewModel->executeCommand(std::move(remove));
                },
                "Failed to delete text");
        };
    }
    return results;
}

void TimelineInspectors::open(Kind kind, const Clip& clip) {
    close();
    ++generation_;
    open_ = OpenInspector{kind, clip.id};
    results_ = makeResults(kind, clip);
    const Form& form = kind == Kind::text            ? forms_.text
                       : kind == Kind::textAnimation ? forms_.textAnimation
                                                     : forms_.effect;
    QWidget* content = form ? form(clip, *results_) : nullptr;
    if (content == nullptr) {
        return;
    }
    auto* popup = new AnchoredPopup(&anchor_);
    // A click elsewhere closes the form and does what it does with the form
    // closed (on the lanes' background it seeks and deselects), as the
    // picture's text form does: closing it takes no click of its own.
    popup->setPassesOutsideClicks(true);
    auto* layout = new QVBoxLayout(popup);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(content);
    const unsigned generation = generation_;
    // Closed from outside (Escape, a click elsewhere): the inspector is over.
    popup->setOnDismiss([this, generation] {
        if (generation == generation_) {
            close();
        }
    });
    popup_ = popup;
    popup->showAnchored(&anchor_, anchor_.rect(), Qt::TopEdge);
}

void TimelineInspectors::close() {
    ++generation_;
    open_.reset();
    results_.reset();
    if (AnchoredPopup* popup = popup_.data()) {
        popup_.clear();
        popup->discard();
    }
}

} // namespace vexel
