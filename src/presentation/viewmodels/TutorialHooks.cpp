#include "presentation/viewmodels/TutorialHooks.h"

#include "foundation/CancellationError.h"

#include <exception>
#include <string>
#include <utility>

namespace vexel {

namespace {

std::string describe(const std::exception_ptr& error) {
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& exception) {
        return exception.what();
    } catch (...) {
        return "unknown error";
    }
}

} // namespace

TutorialHooks::TutorialHooks(TutorialState& state, InstructionViewModel& instructions,
                             QSettings& userDefaults, std::shared_ptr<Logger> logger,
                             QObject* parent)
    : QObject(parent)
    , state_(&state)
    , instructions_(&instructions)
    , userDefaults_(userDefaults)
    , logger_(std::move(logger))
    , setup_(logger_) {}

void TutorialHooks::startIfFirstRun() {
    if (!state_ || userDefaults_.value(onboardingKey, false).toBool() || state_->currentStep()) {
        return;
    }
    state_->setCurrentStep(TutorialStep::welcome);
}

void TutorialHooks::setupAndAdvance() {
    if (!instructions_ || setup_.task()) {
        return;
    }
    TutorialOrchestrator* orchestrator = instructions_->tutorialOrchestrator();
    if (orchestrator == nullptr) {
        return;
    }
    setup_.start([self = QPointer(this), orchestrator = QPointer(orchestrator)](
                     std::uint64_t generation, std::stop_token stop) -> QCoro::Task<void> {
        std::exception_ptr failure;
        try {
            if (orchestrator) {
                co_await orchestrator->setupSampleVideo(stop);
            }
        } catch (const CancellationError&) {
            // The window closed: nothing left to tell.
        } catch (...) {
            failure = std::current_exception();
        }
        if (!self || !self->setup_.isCurrent(generation)) {
            co_return;
        }
        self->setup_.clear(generation);
        if (stop.stop_requested()) {
            co_return;
        }
        if (failure) {
            self->logger_->error("[Tutorial] Setup failed: " + describe(failure));
            if (self->state_) {
                self->state_->setCurrentStep(std::nullopt);
            }
            co_return;
        }
        if (!self->instructions_ || !self->state_ || !orchestrator) {
            co_return;
        }
        const std::optional<TutorialStep> step = self->state_->currentStep();
        std::string prefill;
        if (step) {
            prefill = orchestrator->config(*step).prefillText.value_or("");
        }
        self->instructions_->setInstructionText(std::move(prefill));
        self->instructions_->setShouldFocusInput(true);
    });
}

void TutorialHooks::skip() {
    if (state_) {
        state_->setCurrentStep(std::nullopt);
    }
    userDefaults_.setValue(onboardingKey, true);
}

} // namespace vexel
