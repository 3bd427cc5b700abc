// One instruction from the typed text to the changed project, with nothing
// faked in between: a real HTTP server on 127.0.0.1 streams the backend's
// replies, the transport speaks HTTP through libcurl, the assistant loop maps
// the tool calls, and the edit engine applies them to the held project.
#include "data/llm/ClaudeLLMService.h"
#include "data/llm/InterpretInstructionUseCase.h"
#include "data/media/FFmpegMediaLoader.h"
#include "data/repositories/InMemoryProjectRepository.h"
#include "domain/usecases/DefaultHandlers.h"
#include "foundation/SteadySleeper.h"
#include "infrastructure/network/ClaudeAPIClient.h"
#include "platform/net/CurlHttpClient.h"
#include "support/AnthropicEvents.h"
#include "support/FakeExportService.h"
#include "support/LoopbackServer.h"
#include "support/Watchdog.h"
#include "support/media/MovieMaker.h"
#include "support/media/TemporaryFolder.h"

#include <gtest/gtest.h>

#include <chrono>

using namespace vexel;
using namespace std::chrono_literals;
using namespace vexel::test::anthropic;
using test::LoopbackServer;
using test::ScriptedResponse;

namespace {

Clip clip(const std::string& name, double start, double duration) {
    return Clip{.id = Uuid::random(),
                .assetName = name,
                .assetURL = "/media/" + name,
                .trackType = TrackType::video,
                .timeRange = {start, duration}};
}

struct Drained {
    std::string text;
    std::vector<LLMStreamEvent> events;
    std::optional<LLMResponse> response;
    std::exception_ptr error;
};

Drained drain(AsyncStream<LLMStreamEvent> stream) {
    test::Watchdog watchdog(20s);
    Drained drained;
    try {
        while (auto next = stream.next(watchdog.token())) {
            if (const auto* delta = next->getIf<LLMStreamEvent::TextDelta>()) {
                drained.text += delta->text;
            }
            if (const auto* completed = next->getIf<LLMStreamEvent::Completed>()) {
                drained.response = completed->response;
            }
            drained.events.push_back(std::move(*next));
        }
    } catch (...) {
        drained.error = std::current_exception();
    }
    EXPECT_FALSE(watchdog.fired()) << "the instruction did not end";
    return drained;
}

const Clip* findNamed(const Project& project, const std::string& name) {
    for (const Track& track : project.tracks) {
        for (const Clip& candidate : track.clips) {
            if (candidate.assetName == name) {
                return &candidate;
            }
        }
    }
    return nullptr;
}

class InstructionEndToEndTest : public ::testing::Test {
protected:
    InstructionEndToEndTest() {
        Project project = Project::makeNew();
        project.tracks.insert(project.tracks.begin(),
                              Track{Uuid::random(),
                                    TrackType::video,
                                    "Video 1",
                                    {clip("intro.mov", 0, 8), clip("outro.mov", 8, 2)},
                                    false});
        repository = std::make_shared<InMemoryProjectRepository>(project);

        auto apiClient = std::make_shared<ClaudeAPIClient>(
            std::make_shared<net::CurlHttpClient>(),
            [](std::stop_token) { return std::string("token-1"); },
            [](std::stop_token) { return std::string("token-2"); }, server.baseURL(), std::nullopt,
            2048, 10, 0.01, std::make_shared<SteadySleeper>());
        interpret = std::make_shared<InterpretInstructionUseCase>(
            std::make_shared<ClaudeLLMService>(apiClient), repository);

        // The media of added files is probed for real.
        executor = std::make_unique<DefaultEditCommandExecutor>(makeDefaultEditCommandExecutor(
            repository, std::make_shared<FFmpegMediaLoader>(), exportService));
    }

    Json requestBody(std::size_t index) const {
        auto requests = server.requests();
        EXPECT_GT(requests.size(), index);
        return requests.size() > index ? Json::parse(requests[index].body) : Json();
    }

    LoopbackServer server;
    std::shared_ptr<InMemoryProjectRepository> repository;
    std::shared_ptr<vexel::testing::FakeExportService> exportService =
        std::make_shared<vexel::testing::FakeExportService>();
    std::shared_ptr<InterpretInstructionExecutable> interpret;
    std::unique_ptr<DefaultEditCommandExecutor> executor;
};

} // namespace

TEST_F(InstructionEndToEndTest, AStreamedToolConversationChangesTheProjectAsAsked) {
    const Project before = repository->load();
    const Uuid outroId = findNamed(before, "outro.mov")->id;

    // First reply: text, then two tool calls whose input arrives in fragments,
    // with bytes split across network writes in the middle of lines.
    const std::string firstReply =
        messageStart() + textStart(0) + event("ping", {{"type", "ping"}}) +
        textDelta(0, "Splitting the intro") + textDelta(0, " and moving the outro.") +
        blockStop(0) + toolStart(1, "toolu_01", "split_clip") + inputDelta(1, "") +
        inputDelta(1, "{\"targ") + inputDelta(1, "et\": \"intro.mov\"") +
        inputDelta(1, ", \"at\": 4") + inputDelta(1, ".5}") + blockStop(1) +
        toolStart(2, "toolu_02", "move_clip") + inputDelta(2, "{\"target\": \"outro.mov\", ") +
        inputDelta(2, "\"to\": 12}") + blockStop(2) + messageEnd("tool_use");
    ScriptedResponse first = ScriptedResponse::eventStream();
    for (std::size_t begin = 0; begin < firstReply.size(); begin += 97) {
        first.write(firstReply.substr(begin, 97));
    }
    server.enqueue(first);
    server.enqueue(ScriptedResponse::eventStream()
                       .write(messageStart() + textStart(0))
                       .write(textDelta(0, "Done: the intro is in two parts"))
                       .pause(10ms)
                       .write(textDelta(0, " and the outro starts at 12 s.") + blockStop(0))
                       .write(messageEnd("end_turn")));

    Drained drained = drain(interpret->streamExecute(
        "Split the intro at 4.5 s and move the outro to 12 s", {}, std::nullopt));
    ASSERT_FALSE(drained.error);
    ASSERT_TRUE(drained.response);
    EXPECT_EQ(drained.text, "Splitting the intro and moving the outro."
                            "Done: the intro is in two parts and the outro starts at 12 s.");
    EXPECT_EQ(drained.response->message,
              "Done: the intro is in two parts and the outro starts at 12 s.");
    ASSERT_EQ(drained.response->commands.size(), 2u);
    EXPECT_EQ(drained.response->intermediateMessages.size(), 2u);
    EXPECT_EQ(drained.events[0], LLMStreamEvent::textDelta("Splitting the intro"));
    EXPECT_EQ(drained.events[2], LLMStreamEvent::toolUseStarted("split_clip"));
    EXPECT_EQ(drained.events[3], LLMStreamEvent::toolUseStarted("move_clip"));
    EXPECT_EQ(drained.events[4].kind(), LLMStreamEvent::Kind::iterationCompleted);

    // What the server received: two streamed requests, the second carrying the
    // assistant's turn with the joined inputs and the two tool results.
    auto requests = server.requests();
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_EQ(requests[0].path, "/chat/messages");
    EXPECT_EQ(requests[0].header("Authorization"), "Bearer token-1");
    Json firstBody = requestBody(0);
    EXPECT_EQ(firstBody["stream"], true);
    EXPECT_EQ(firstBody["tools"].size(), 23u);
    ASSERT_EQ(firstBody["messages"].size(), 1u);
    const std::string userMessage = firstBody["messages"][0]["content"];
    EXPECT_NE(userMessage.find("  - `intro.mov`: start=0.0s, duration=8.0s, volume=1.0\n"),
              std::string::npos);
    EXPECT_NE(
        userMessage.find("\nInstruction: Split the intro at 4.5 s and move the outro to 12 s"),
        std::string::npos);

    Json secondBody = requestBody(1);
    ASSERT_EQ(secondBody["messages"].size(), 3u);
    EXPECT_EQ(secondBody["messages"][0], firstBody["messages"][0]);
    const Json& assistantTurn = secondBody["messages"][1];
    EXPECT_EQ(assistantTurn["role"], "assistant");
    EXPECT_EQ(assistantTurn["content"][0],
              Json({{"type", "text"}, {"text", "Splitting the intro and moving the outro."}}));
    EXPECT_EQ(assistantTurn["content"][1]["id"], "toolu_01");
    EXPECT_EQ(assistantTurn["content"][1]["input"],
              Json::parse(R"({"at": 4.5, "target": "intro.mov"})"));
    EXPECT_EQ(assistantTurn["content"][2]["input"],
              Json::parse(R"({"target": "outro.mov", "to": 12.0})"));
    const Json& results = secondBody["messages"][2];
    EXPECT_EQ(results["role"], "user");
    EXPECT_EQ(results["content"], Json::parse(R"([
                {"type": "tool_result", "tool_use_id": "toolu_01", "content":
                 "Parsed: split_clip - will be applied after all tools are processed", "is_error": false},
                {"type": "tool_result", "tool_use_id": "toolu_02", "content":
                 "Parsed: move_clip - will be applied after all tools are processed", "is_error": false}])"));

    // The commands run as one batch on the held project.
    Project after = executor->executeBatch(drained.response->commands);
    EXPECT_EQ(repository->load(), after);
    const Track& video = after.tracks[0];
    ASSERT_EQ(video.clips.size(), 3u);
    const Clip* firstHalf = findNamed(after, "intro_1.mov");
    const Clip* secondHalf = findNamed(after, "intro_2.mov");
    const Clip* outro = findNamed(after, "outro.mov");
    ASSERT_TRUE(firstHalf && secondHalf && outro);
    EXPECT_EQ(firstHalf->timeRange, (TimeRange{0, 4.5}));
    EXPECT_EQ(secondHalf->timeRange, (TimeRange{4.5, 3.5}));
    EXPECT_EQ(secondHalf->sourceOffset, 4.5);
    EXPECT_EQ(outro->id, outroId);
    EXPECT_EQ(outro->timeRange, (TimeRange{12, 2}));
    EXPECT_EQ(findNamed(after, "intro.mov"), nullptr);
    // Nothing else changed: the other tracks are the default audio tracks as before.
    EXPECT_EQ(std::vector<Track>(after.tracks.begin() + 1, after.tracks.end()),
              std::vector<Track>(before.tracks.begin() + 1, before.tracks.end()));
}

TEST_F(InstructionEndToEndTest, AnInvalidCallLeavesTheProjectAndReachesTheServerAsAnError) {
    const Project before = repository->load();
    server.enqueue(ScriptedResponse::eventStream().write(
        messageStart() + textStart(0) + textDelta(0, "Splitting it.") + blockStop(0) +
        toolStart(1, "toolu_09", "split_clip") + inputDelta(1, "{\"target\": \"missing.mov\",") +
        inputDelta(1, " \"at\": 1}") + blockStop(1) + messageEnd("tool_use")));
    server.enqueue(ScriptedResponse::eventStream().write(
        messageStart() + textStart(0) + textDelta(0, "There is no clip named missing.mov.") +
        blockStop(0) + messageEnd("end_turn")));

    Drained drained = drain(interpret->streamExecute("Split missing.mov at 1 s", {}, std::nullopt));
    ASSERT_FALSE(drained.error);
    ASSERT_TRUE(drained.response);
    EXPECT_TRUE(drained.response->commands.empty());
    EXPECT_EQ(drained.response->message, "There is no clip named missing.mov.");

    Json secondBody = requestBody(1);
    ASSERT_EQ(secondBody["messages"].size(), 3u);
    EXPECT_EQ(secondBody["messages"][2],
              Json::parse(R"j({"role": "user", "content": [{"type": "tool_result",
                  "tool_use_id": "toolu_09", "content": "Error: targetNotFound(\"missing.mov\")",
                  "is_error": true
}]
})j"));

    EXPECT_EQ(executor->executeBatch(drained.response->commands), before);
    EXPECT_EQ(repository->load(), before);
    EXPECT_EQ(server.requestCount(), 2u);
}

// A Linux file name may be any bytes. A clip added from a file whose name is not
// UTF-8 once put those bytes into the project, and from then on every request
// to the assistant failed while writing its body.
TEST_F(InstructionEndToEndTest, AClipFromAFileNamedWithStrayBytesStillReachesTheAssistant) {
    vexel::testing::TemporaryFolder folder;
    const std::filesystem::path file = folder.path() / "take\xFF\xFE 1.mp4";
    vexel::testing::writeTestMovie(file, {.width = 64, .height = 48, .frameCount = 6});
    const Project added = executor->addClipFromURL(file, TrackType::video, 20.0, std::nullopt);
    const Clip* clip = findNamed(added, "take\uFFFD\uFFFD 1.mp4");
    ASSERT_NE(clip, nullptr);
    EXPECT_EQ(clip->assetURL, file); // the file keeps its real name

    server.enqueue(ScriptedResponse::eventStream().write(messageStart() + textStart(0) +
                                                         textDelta(0, "It is on the timeline.") +
                                                         blockStop(0) + messageEnd("end_turn")));
    Drained drained = drain(interpret->streamExecute("What did I add?", {}, std::nullopt));
    ASSERT_FALSE(drained.error);
    ASSERT_TRUE(drained.response);
    EXPECT_EQ(drained.response->message, "It is on the timeline.");
    const std::string userMessage = requestBody(0)["messages"][0]["content"];
    EXPECT_NE(userMessage.find("`take\uFFFD\uFFFD 1.mp4`"), std::string::npos);
}
