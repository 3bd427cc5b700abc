#pragma once

#include "domain/entities/EditError.h"
#include "domain/protocols/CommandHandler.h"
#include "domain/usecases/DefaultEditCommandExecutor.h"
#include "domain/usecases/DefaultHandlers.h"
#include "support/FakeExportService.h"

#include <condition_variable>
#include <memory>
#include <mutex>
#include <string>

namespace vexel::test {

// A slow edit for the real engine: the titles "slow" and "slow failure" are
// added (or refused, with clipOverlap) only once the test opens the gate, while
// the engine's worker waits inside the edit. Every other command goes to the
// editor's own handlers.
class EditGate {
public:
    static EditCommand slowTitle(double at, bool fails = false) {
        EditCommand::AddText add;
        add.text = fails ? "slow failure" : "slow";
        add.at = at;
        add.duration = 1;
        return add;
    }

    // Blocks until an edit waits at the gate.
    void waitUntilEntered() {
        std::unique_lock lock(mutex_);
        changed_.wait(lock, [&] { return entered_ > 0; });
    }
    void open() {
        std::lock_guard lock(mutex_);
        open_ = true;
        changed_.notify_all();
    }
    // Shuts it again for the next slow edit; none may be waiting.
    void close() {
        std::lock_guard lock(mutex_);
        open_ = false;
        entered_ = 0;
    }

    // The engine over `repository` with the gate's handler in front.
    DefaultEditCommandExecutor engine(std::shared_ptr<ProjectRepository> repository,
                                      std::shared_ptr<MediaLoader> mediaLoader) {
        CommandHandlerRegistry registry = makeDefaultCommandHandlers(mediaLoader);
        registry.handlers.insert(registry.handlers.begin(),
                                 std::make_shared<Handler>(*this, registry));
        return DefaultEditCommandExecutor(
            std::move(registry), {}, repository, AddClipUseCase(mediaLoader),
            ExportUseCase(repository, std::make_shared<vexel::testing::FakeExportService>()));
    }

private:
    class Handler final : public CommandHandler {
    public:
        Handler(EditGate& gate, CommandHandlerRegistry titles)
            : gate_(gate)
            , titles_(std::move(titles)) {}

        bool canHandle(const EditCommand& command) const override {
            const auto* add = command.getIf<EditCommand::AddText>();
            return add != nullptr && add->text.starts_with("slow");
        }
        Project apply(const EditCommand& command, Project project) const override {
            {
                std::unique_lock lock(gate_.mutex_);
                ++gate_.entered_;
                gate_.changed_.notify_all();
                gate_.changed_.wait(lock, [&] { return gate_.open_; });
            }
            if (command.getIf<EditCommand::AddText>()->text == "slow failure") {
                throw EditError::clipOverlap();
            }
            return titles_.handler(command)->apply(command, std::move(project));
        }

    private:
        EditGate& gate_;
        CommandHandlerRegistry titles_;
    };

    std::mutex mutex_;
    std::condition_variable changed_;
    int entered_ = 0;
    bool open_ = false;
};

} // namespace vexel::test
