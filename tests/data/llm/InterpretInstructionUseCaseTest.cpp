#include "data/llm/InterpretInstructionUseCase.h"

#include "support/Watchdog.h"

#include <gtest/gtest.h>

#include <chrono>
#include <mutex>
#include <stdexcept>

using namespace vexel;
using namespace std::chrono_literals;

namespace {

class HeldProjectRepository final : public ProjectRepository {
public:
    explicit HeldProjectRepository(Project project)
        : project_(std::move(project)) {}
    Project load() const override {
        std::lock_guard lock(mutex_);
        return project_;
    }
    void save(const Project& project) override {
        std::lock_guard lock(mutex_);
        project_ = project;
    }

private:
    mutable std::mutex mutex_;
    Project project_;
};

// Answers with what it was asked, so a test sees which project and history it got.
class EchoLLMService final : public LLMService {
public:
    struct Call {
        std::string instruction;
        Project context;
        std::vector<ChatMessage> history;
        std::optional<Uuid> selectedClipId;
        bool stoppable = false;
    };

    LLMResponse interpret(const std::string& instruction, const Project& context,
                          const std::vector<ChatMessage>& history,
                          const std::optional<Uuid>& selectedClipId,
                          std::stop_token stop) override {
        calls.push_back({instruction, context, history, selectedClipId, stop.stop_possible()});
        if (instruction == "fail") {
            throw std::runtime_error("backend down");
        }
        return LLMResponse{{}, "echo " + instruction, {}};
    }

    AsyncStream<LLMStreamEvent>
    streamInterpret(const std::string& instruction, const Project& context,
                    const std::vector<ChatMessage>& history,
                    const std::optional<Uuid>& selectedClipId) override {
        calls.push_back({instruction, context, history, selectedClipId, false});
        return AsyncStream<LLMStreamEvent>(
            [instruction](AsyncChannelWriter<LLMStreamEvent>& events, std::stop_token) {
                events.send(LLMStreamEvent::textDelta(instruction));
                events.send(LLMStreamEvent::completed(LLMResponse{{}, instruction, {}}));
            });
    }

    std::vector<Call> calls;
};

Project projectNamed(std::string trackName) {
    return Project{{Track{Uuid::random(), TrackType::video, std::move(trackName), {}, false}}};
}

} // namespace

TEST(InterpretInstructionUseCase, InterpretsAgainstTheProjectCurrentAtTheCall) {
    auto repository = std::make_shared<HeldProjectRepository>(projectNamed("First"));
    auto service = std::make_shared<EchoLLMService>();
    InterpretInstructionUseCase useCase(service, repository);
    const std::vector<ChatMessage> history = {
        ChatMessage::make(ChatMessage::Role::user, {ChatMessage::Text{"earlier"}})};
    const Uuid selected = Uuid::random();

    std::stop_source stop;
    EXPECT_EQ(useCase.execute("Trim", history, selected, stop.get_token()).message, "echo Trim");
    repository->save(projectNamed("Second"));
    AsyncStream<LLMStreamEvent> stream = useCase.streamExecute("Split", history, std::nullopt);

    ASSERT_EQ(service->calls.size(), 2u);
    EXPECT_EQ(service->calls[0].instruction, "Trim");
    EXPECT_EQ(service->calls[0].context.tracks[0].name, "First");
    EXPECT_EQ(service->calls[0].history, history);
    EXPECT_EQ(service->calls[0].selectedClipId, selected);
    EXPECT_TRUE(service->calls[0].stoppable);
    EXPECT_EQ(service->calls[1].context.tracks[0].name, "Second");
    EXPECT_EQ(service->calls[1].selectedClipId, std::nullopt);

    test::Watchdog watchdog(10s);
    EXPECT_EQ(stream.next(watchdog.token()), LLMStreamEvent::textDelta("Split"));
    EXPECT_EQ(stream.next(watchdog.token()),
              LLMStreamEvent::completed(LLMResponse{{}, "Split", {}}));
    EXPECT_EQ(stream.next(watchdog.token()), std::nullopt);

    EXPECT_THROW(useCase.execute("fail", {}, std::nullopt), std::runtime_error);
}
