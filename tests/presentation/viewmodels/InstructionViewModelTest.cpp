// The chat bar end to end, with nothing faked between it and the project but
// the export: a real HTTP server on 127.0.0.1 streams scripted replies, the
// transport speaks HTTP through libcurl, the assistant loop maps the tool calls
// and the timeline applies them through the edit engine.
#include "presentation/viewmodels/InstructionViewModel.h"

#include "domain/entities/ExportError.h"
#include "domain/entities/ModelFixtures.h"
#include "infrastructure/network/AuthenticationError.h"
#include "infrastructure/network/BackendConfiguration.h"
#include "infrastructure/network/ConfiguredAccessTokenProvider.h"
#include "presentation/support/ChatBar.h"
#include "support/AnthropicEvents.h"

#include <gtest/gtest.h>

#include <functional>
#include <memory>

using namespace vexel;
using namespace vexel::test;
using namespace vexel::test::anthropic;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

Project twoClips(const Clip& intro, const Clip& outro) {
    return Project{{makeTrack(TrackType::video, "Video 1", {intro, outro})}, 3600};
}

const Clip intro = makeClip(0, 8, TrackType::video, "intro.mov");
const Clip outro = makeClip(8, 2, TrackType::video, "outro.mov");

// A reply that keeps coming: `pieces` writes of 64 KiB each, after `head`.
ScriptedResponse endless(std::string head, int pieces,
                         const std::function<std::string(const std::string&)>& piece) {
    ScriptedResponse reply = ScriptedResponse::eventStream();
    reply.write(std::move(head));
    for (int i = 0; i < pieces; ++i) {
        reply.write(piece(std::string(64 * 1024, 'a')));
    }
    return reply;
}

} // namespace

TEST(InstructionViewModelTest, TransportErrorsAreWordedForTheChat) {
    const std::vector<std::pair<APIClientError, std::string>> cases{
        {APIClientError::invalidURL("x"), "An unexpected error occurred. Please try again."},
        {APIClientError::forbidden("permission_error"),
         "Authentication error. Please restart the app."},
        {APIClientError::rateLimited(2.0), "Request limit reached. Please try again shortly."},
        {APIClientError::serverError(502), "A server error occurred. Please try again later."},
        {APIClientError::invalidResponse(400),
         "The request may be too large. Try simplifying your instruction or starting a new "
         "conversation."},
        {APIClientError::invalidResponse(503),
         "Server returned an unexpected response (HTTP 503). Please try again."},
        {APIClientError::networkError("The request timed out."),
         "Request timed out. Please try again."},
        {APIClientError::networkError("Request Timed Out"),
         "A network error occurred: please check your connection and try again."},
        {APIClientError::unauthorized(), "Session expired. Please restart the app."},
        {APIClientError::networkDisconnected(), "Please check your internet connection."},
    };
    for (const auto& [error, message] : cases) {
        EXPECT_EQ(InstructionViewModel::userMessage(error), message) << error.logSafeDescription();
    }
}

TEST(InstructionViewModelTest, AReplyWithTwoToolCallsIsOneBatchThatOneUndoRestores) {
    ChatBar bar(twoClips(intro, outro));
    const std::string before = bar.harness.storedProject();
    bar.server.enqueue(ScriptedResponse::eventStream().write(
        messageStart() + textStart(0) + textDelta(0, "Splitting and moving.") + blockStop(0) +
        toolCall(1, "toolu_01", "split_clip", {{"target", "intro.mov"}, {"at", 4}}) +
        toolCall(2, "toolu_02", "move_clip", {{"target", "outro.mov"}, {"to", 12}}) +
        messageEnd("tool_use")));
    bar.server.enqueue(ScriptedResponse::eventStream().write(textReply("All done.", "end_turn")));

    bar.submit("  Split the intro and move the outro\t");

    EXPECT_EQ(bar.viewModel.instructionText(), "");
    const std::vector<std::string> texts = bar.chatTexts();
    ASSERT_GE(texts.size(), 2u);
    EXPECT_EQ(texts.front(), "Split the intro and move the outro");
    EXPECT_EQ(texts.back(), "All done.");
    EXPECT_TRUE(bar.viewModel.chatHistory().errorMessageIds().empty());
    // The instruction reached the backend trimmed.
    const Json first = Json::parse(bar.server.requests().front().body);
    EXPECT_NE(first["messages"].back().dump().find("Split the intro and move the outro"),
              std::string::npos);

    const Project after = bar.harness.repository->load();
    EXPECT_EQ(after.videoClips().size(), 3u);
    EXPECT_EQ(after.findClip(outro.id)->timeRange.startTime, 12);
    bar.harness.timeline.undo();
    EXPECT_EQ(bar.harness.storedProject(), before);
    EXPECT_FALSE(bar.harness.timeline.canUndo());
    EXPECT_FALSE(bar.viewModel.currentTask());
}

TEST(InstructionViewModelTest, BackendFailuresShowTheirMessageAndLeaveTheProjectUnchanged) {
    const std::string cutOff = "The connection closed before the assistant finished its reply. "
                               "No changes were made. Please try again.";
    struct Case {
        std::string name;
        std::function<void(LoopbackServer&)> script;
        std::string message;
        bool retryable = true;
    };
    const std::vector<Case> cases{
        {"rate limited three times",
         [](LoopbackServer& server) {
             for (int i = 0; i < 3; ++i) {
                 server.enqueue(ScriptedResponse::plain(429, R"({"error":{"type":"rate_limit"}})"));
             }
         },
         "Request limit reached. Please try again shortly."},
        {"refused again after renewal",
         [](LoopbackServer& server) {
             server.enqueue(ScriptedResponse::plain(401));
             server.enqueue(ScriptedResponse::plain(401));
         },
         "Session expired. Please restart the app."},
        // Lines that are no events are skipped; a stream of nothing else never
        // says the reply is complete.
        {"garbage stream",
         [](LoopbackServer& server) {
             server.enqueue(ScriptedResponse::eventStream().write(
                 "event: message_start\ndata: {not json\n\nevent: content_block_delta\n"
                 "data: [1, 2\n\n"));
         },
         cutOff},
        // The body ends as cleanly as a whole reply's would: only the missing
        // closing event tells it was cut, and the call already in is not applied.
        {"closed mid-reply",
         [](LoopbackServer& server) {
             server.enqueue(ScriptedResponse::plain(
                 200,
                 messageStart() + toolCall(0, "toolu_01", "remove", {{"target", "intro.mov"}}) +
                     event("message_delta",
                           {{"type", "message_delta"}, {"delta", {{"stop_reason", "end_turn"}}}}),
                 {{"Content-Type", "text/event-stream"}}));
         },
         cutOff},
        {"closed mid-text",
         [](LoopbackServer& server) {
             server.enqueue(ScriptedResponse::eventStream().write(messageStart() + textStart(0) +
                                                                  textDelta(0, "Trimm")));
         },
         cutOff},
        {"endless text",
         [](LoopbackServer& server) {
             server.enqueue(endless(messageStart() + textStart(0), 80,
                                    [](const std::string& text) { return textDelta(0, text); }));
         },
         "The assistant's reply was too long, so it was stopped. No changes were made."},
        // Pieces without text add nothing to read, but still cannot go on for ever.
        {"endless empty pieces",
         [](LoopbackServer& server) {
             server.enqueue(endless(messageStart() + textStart(0), 720, [](const std::string&) {
                 std::string pieces;
                 for (int i = 0; i < 600; ++i) {
                     pieces += textDelta(0, "");
                 }
                 return pieces;
             }));
         },
         "The assistant's reply was too long, so it was stopped. No changes were made."},
        // The whole instruction is refused, the call that came whole included.
        {"endless tool input",
         [](LoopbackServer& server) {
             server.enqueue(endless(
                 messageStart() + toolCall(0, "toolu_01", "remove", {{"target", "intro.mov"}}) +
                     toolStart(1, "toolu_02", "add_text") + inputDelta(1, R"({"text": ")"),
                 24, [](const std::string& text) { return inputDelta(1, text); }));
         },
         "The assistant sent an edit too large to apply, so it was stopped. No changes were "
         "made."},
        {"connection dropped mid-stream",
         [](LoopbackServer& server) {
             server.enqueue(ScriptedResponse::eventStream()
                                .write(messageStart() + textStart(0) + textDelta(0, "Trimm"))
                                .hangUp());
         },
         "Failed to interpret instruction. Please try rephrasing."},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        ChatBar bar(twoClips(intro, outro));
        const std::string before = bar.harness.storedProject();
        c.script(bar.server);

        bar.submit(" Trim the intro ");

        ASSERT_EQ(bar.chatTexts(), (std::vector<std::string>{"Trim the intro", c.message}));
        const ChatMessage& notice = bar.viewModel.chatHistory().messages().back();
        // Retryable with the text as typed, which is back in the input.
        if (c.retryable) {
            EXPECT_EQ(bar.viewModel.chatHistory().retryableInstructions().at(notice.id),
                      " Trim the intro ");
            EXPECT_EQ(bar.viewModel.instructionText(), " Trim the intro ");
        } else {
            EXPECT_TRUE(bar.viewModel.chatHistory().retryableInstructions().empty());
            EXPECT_EQ(bar.viewModel.instructionText(), "");
        }
        EXPECT_EQ(bar.harness.storedProject(), before);
        EXPECT_FALSE(bar.harness.timeline.canUndo());
        EXPECT_FALSE(bar.viewModel.currentTask());
    }
}

TEST(InstructionViewModelTest, ARetrySendsTheTextAsTypedAndTokenFailuresAreWorded) {
    ChatBar bar(twoClips(intro, outro));
    bar.server.enqueue(ScriptedResponse::plain(503));
    bar.submit("Move the outro\n");
    const ChatMessage notice = bar.viewModel.chatHistory().messages().back();
    EXPECT_EQ(notice.content(), "A server error occurred. Please try again later.");

    // The retry button puts the stored instruction back and sends it.
    bar.server.enqueue(ScriptedResponse::eventStream().write(textReply("Sure.", "end_turn")));
    bar.viewModel.setInstructionText(
        bar.viewModel.chatHistory().retryableInstructions().at(notice.id));
    const std::size_t requestsBefore = bar.server.requestCount();
    bar.viewModel.startSubmit();
    bar.waitUntilIdle();
    EXPECT_EQ(bar.server.requestCount(), requestsBefore + 1);
    EXPECT_EQ(bar.chatTexts().back(), "Sure.");
    // Line breaks are not trimmed: the second instruction is the same text.
    const std::vector<std::string> texts = bar.chatTexts();
    EXPECT_EQ(texts[0], texts[2]);
    EXPECT_EQ(texts[0], "Move the outro\n");

    // A token provider that cannot hand out a token.
    for (const auto& [error, message] : std::vector<std::pair<AuthenticationError, std::string>>{
             {AuthenticationError::tokenExpired(),
              "Your session has expired. Please restart the app."},
             {AuthenticationError::tokenInvalid(),
              "Your session has expired. Please restart the app."},
             {AuthenticationError::unexpectedResponse(418),
              "A connection error occurred. Please try again later."}}) {
        ChatBar refused(twoClips(intro, outro),
                        [error](std::stop_token) -> std::string { throw error; });
        refused.submit("Trim");
        EXPECT_EQ(refused.chatTexts(), (std::vector<std::string>{"Trim", message}));
        EXPECT_EQ(refused.viewModel.instructionText(), "Trim");
        EXPECT_EQ(
            refused.harness.logger->messages(),
            std::vector<std::string>{"[Instruction] Auth error: " + error.logSafeDescription()});
        EXPECT_EQ(refused.server.requestCount(), 0u);
    }
}

TEST(InstructionViewModelTest, ARefusedTokenFromTheEnvironmentPointsAtItsVariable) {
    auto tokens = std::make_shared<ConfiguredAccessTokenProvider>([] {
        return readBackendConfiguration([](const std::string& name) -> std::optional<std::string> {
            return name == "VEXEL_ACCESS_TOKEN" ? std::optional<std::string>("stale")
                                                : std::nullopt;
        });
    });
    ChatBar bar(
        twoClips(intro, outro),
        [tokens](std::stop_token stop) { return tokens->accessToken(stop); },
        std::make_shared<vexel::testing::FakeMediaLoader>(),
        [tokens](std::stop_token stop) { return tokens->renewAccessToken(stop); });
    bar.server.enqueue(ScriptedResponse::plain(401));
    bar.server.enqueue(ScriptedResponse::plain(401));

    bar.submit("Trim");

    // Asking again with the same token cannot help: no second request.
    EXPECT_EQ(bar.server.requestCount(), 1u);
    EXPECT_EQ(bar.server.requests()[0].header("Authorization"), "Bearer stale");
    EXPECT_EQ(bar.chatTexts(),
              (std::vector<std::string>{"Trim", "The assistant backend refused the access token. "
                                                "Check VEXEL_ACCESS_TOKEN, then start Vexel "
                                                "again."}));
    EXPECT_EQ(bar.viewModel.instructionText(), "Trim");
    EXPECT_EQ(bar.harness.logger->messages(),
              std::vector<std::string>{"[Instruction] Auth error: configuredTokenRefused"});
}

TEST(InstructionViewModelTest, AToolInputThatIsNoObjectIsAToolErrorNotADefaultEdit) {
    for (const std::string input : {R"({"text": "Hi")", R"(["Hi"])", R"("Hi")"}) {
        SCOPED_TRACE(input);
        ChatBar bar(twoClips(intro, outro));
        const std::string before = bar.harness.storedProject();
        bar.server.enqueue(ScriptedResponse::eventStream().write(
            messageStart() + toolStart(0, "toolu_01", "add_text") + inputDelta(0, input) +
            blockStop(0) + messageEnd("tool_use")));
        bar.server.enqueue(
            ScriptedResponse::eventStream().write(textReply("I could not add it.", "end_turn")));

        bar.submit("Add a title");

        EXPECT_EQ(bar.harness.storedProject(), before);
        EXPECT_FALSE(bar.harness.timeline.canUndo());
        EXPECT_EQ(bar.chatTexts().back(), "I could not add it.");
        // The model is told which call failed, as for any call it got wrong.
        ASSERT_EQ(bar.server.requestCount(), 2u);
        const Json answer = Json::parse(bar.server.requests()[1].body)["messages"].back();
        EXPECT_EQ(answer["content"],
                  Json::parse(R"json([{"type": "tool_result", "tool_use_id": "toolu_01",
                                       "content": "Error: invalidToolInput(\"add_text\")",
                                       "is_error": true}])json"));
    }
}

TEST(InstructionViewModelTest, ALongReplyIsNotCopiedWholeForEveryPiece) {
    ChatBar bar(twoClips(intro, outro));
    // A megabyte of text in 400 pieces that leave the server one by one, so
    // that the chat sees most of them come on their own.
    ScriptedResponse reply = ScriptedResponse::eventStream();
    reply.write(messageStart() + textStart(0));
    std::string whole;
    for (int i = 0; i < 400; ++i) {
        const std::string piece = std::to_string(i % 10) + std::string(2559, 'x');
        reply.write(textDelta(0, piece)).pause(std::chrono::milliseconds(1));
        whole += piece;
    }
    bar.server.enqueue(std::move(reply.write(blockStop(0) + messageEnd("end_turn"))));
    std::size_t shownBytes = 0;
    std::size_t updates = 0;
    ChatHistoryManager& chat = bar.viewModel.chatHistory();
    QObject::connect(&chat, &ChatHistoryManager::messageUpdated, [&](const Uuid& id) {
        for (const ChatMessage& message : chat.messages()) {
            if (message.id == id) {
                shownBytes += message.content().size();
                ++updates;
            }
        }
    });

    bar.submit("Tell me a long story");

    EXPECT_EQ(bar.chatTexts(), (std::vector<std::string>{"Tell me a long story", whole}));
    // Shown again piece by piece, the text would pass through the chat about
    // two hundred times over; shown each time it doubles, about three.
    EXPECT_LE(shownBytes, 4 * whole.size()) << updates << " updates";
}

TEST(InstructionViewModelTest, OneTaskAtATimeAndBlankInstructionsSendNothing) {
    ChatBar bar(twoClips(intro, outro));
    // Spaces and tabs only: a task runs, shows nothing and leaves the input.
    bar.submit(" \t ");
    EXPECT_TRUE(bar.chatTexts().empty());
    EXPECT_EQ(bar.viewModel.instructionText(), " \t ");
    EXPECT_EQ(bar.server.requestCount(), 0u);
    EXPECT_EQ(bar.viewModel.taskGeneration(), 1u);

    bar.server.enqueue(ScriptedResponse::eventStream()
                           .write(messageStart() + textStart(0) + textDelta(0, "Work"))
                           .waitForGate("reply")
                           .write(textDelta(0, "ing.") + blockStop(0) + messageEnd("end_turn")));
    bar.viewModel.setInstructionText("First");
    bar.viewModel.startSubmit();
    bar.runUntil([&bar] { return bar.chatTexts().size() == 2; });
    bar.viewModel.setInstructionText("Second");
    bar.viewModel.startSubmit(); // ignored while busy
    bar.viewModel.startDirectExport(ExportFormat::mp4);
    EXPECT_EQ(bar.viewModel.taskGeneration(), 2u);
    bar.server.openGate("reply");
    bar.waitUntilIdle();
    EXPECT_EQ(bar.chatTexts(), (std::vector<std::string>{"First", "Working."}));
    EXPECT_EQ(bar.viewModel.instructionText(), "Second");
    EXPECT_EQ(bar.server.requestCount(), 1u);
    EXPECT_TRUE(bar.harness.exportService->formats.empty());
}

TEST(InstructionViewModelTest, ACancelSaysCancelledOnceAndANewProjectGetsNothingOfTheOldOne) {
    ChatBar bar(twoClips(intro, outro));
    const auto streamUntilGate = [&bar](const std::string& gate) {
        bar.server.enqueue(ScriptedResponse::eventStream()
                               .write(messageStart() + textStart(0) + textDelta(0, "Partial"))
                               .waitForGate(gate));
    };
    const auto sendAndWaitForText = [&bar](const std::string& text) {
        bar.viewModel.setInstructionText(text);
        bar.viewModel.startSubmit();
        bar.runUntil([&bar] {
            const std::vector<std::string> texts = bar.chatTexts();
            return !texts.empty() && texts.back() == "Partial";
        });
    };

    streamUntilGate("first");
    sendAndWaitForText("Trim the intro");
    const std::optional<TaskHandle> cancelled = bar.viewModel.currentTask();
    bar.viewModel.cancel();
    EXPECT_FALSE(bar.viewModel.currentTask());
    // A new instruction starts at once; the cancelled one does not clear it.
    bar.server.enqueue(ScriptedResponse::eventStream().write(textReply("Done.", "end_turn")));
    bar.viewModel.setInstructionText("Again");
    bar.viewModel.startSubmit();
    ASSERT_TRUE(bar.viewModel.currentTask());
    awaitTask(cancelled->finished());
    bar.waitUntilIdle();
    bar.server.openGate("first");
    std::vector<std::string> texts = bar.chatTexts();
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Cancelled."), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Done."), 1);
    EXPECT_EQ(std::count(texts.begin(), texts.end(), "Partial"), 0);
    EXPECT_TRUE(bar.viewModel.chatHistory().errorMessageIds().empty());
    EXPECT_EQ(bar.viewModel.instructionText(), "");

    // A new project while an instruction streams: nothing of it reaches the
    // new, empty chat, not even "Cancelled.".
    streamUntilGate("second");
    sendAndWaitForText("Split the intro");
    const std::optional<TaskHandle> abandoned = bar.viewModel.currentTask();
    bar.viewModel.exportCoordinator().setExportSaveRequest(
        ExportSaveRequest{"/tmp/a.mp4", "a.mp4", "/home/user/Movies"});
    bar.viewModel.prepareForNewProject();
    awaitTask(abandoned->finished());
    settle();
    bar.server.openGate("second");
    EXPECT_TRUE(bar.viewModel.chatHistory().messages().empty());
    EXPECT_TRUE(bar.viewModel.chatHistory().retryableInstructions().empty());
    EXPECT_EQ(bar.viewModel.instructionText(), "");
    EXPECT_FALSE(bar.viewModel.exportCoordinator().exportSaveRequest());
    EXPECT_FALSE(bar.viewModel.currentTask());
}

TEST(InstructionViewModelTest, DirectExportOffersTheFileOrWordsItsFailure) {
    ChatBar bar(twoClips(intro, outro));
    std::vector<std::optional<ExportProgress>> shown;
    QObject::connect(&bar.viewModel.exportCoordinator(), &ExportCoordinator::exportProgressChanged,
                     [&] { shown.push_back(bar.viewModel.exportCoordinator().exportProgress()); });
    bar.viewModel.startDirectExport(ExportFormat::mov);
    bar.waitUntilIdle();
    EXPECT_EQ(bar.harness.exportService->formats, std::vector<ExportFormat>{ExportFormat::mov});
    EXPECT_EQ(bar.viewModel.exportCoordinator().exportSaveRequest(),
              (ExportSaveRequest{"/tmp/export/out.mp4", "out.mp4", "/home/user/Movies"}));
    ASSERT_FALSE(shown.empty());
    EXPECT_EQ(shown.front(), (ExportProgress{ExportProgress::Phase::preparing, 0}));
    EXPECT_EQ(shown.back(), std::nullopt);
    // Dismissing the save dialog leaves the file and says where it is.
    bar.viewModel.cancelExportSave();
    bar.viewModel.cancelExportSave();
    EXPECT_EQ(bar.chatTexts(), std::vector<std::string>{"Exported video to out.mp4"});
    EXPECT_FALSE(bar.viewModel.exportCoordinator().exportSaveRequest());

    const std::vector<std::pair<std::exception_ptr, std::string>> failures{
        {std::make_exception_ptr(ExportError::exportFailed("muxer")),
         "Export failed. Please try again."},
        {std::make_exception_ptr(ExportError::readerFailed(3)),
         "Failed to read the video. The file may be corrupted or use an unsupported codec."},
        {std::make_exception_ptr(ExportError::writerFailed("disk full")),
         "Export failed. Check disk space and try a different format."},
        {std::make_exception_ptr(std::runtime_error("odd")), "Export failed. Please try again."},
        {std::make_exception_ptr(CancellationError()), "Export cancelled."},
    };
    for (const auto& [error, message] : failures) {
        bar.harness.exportService->failure = error;
        bar.viewModel.startDirectExport(ExportFormat::mp4);
        bar.waitUntilIdle();
        EXPECT_EQ(bar.chatTexts().back(), message);
        EXPECT_FALSE(bar.viewModel.exportCoordinator().exportProgress());
        EXPECT_FALSE(bar.viewModel.exportCoordinator().exportSaveRequest());
    }
    // Plain notices: none of them offers a retry.
    EXPECT_TRUE(bar.viewModel.chatHistory().retryableInstructions().empty());
    const std::vector<std::string> logged = bar.harness.logger->messages();
    EXPECT_EQ(std::count(logged.begin(), logged.end(), "[Export] Direct export failed"), 4);
}

TEST(InstructionViewModelTest, SuggestionsAndTheSelectedNameFollowTheSelection) {
    using Chips = std::vector<std::string>;
    const Clip song = makeClip(0, 5, TrackType::audio, "song.mp3");
    const Clip logo = makeClip(0, 5, TrackType::image, "logo.png");
    const Clip title = makeClip(0, 5, TrackType::text, "Hi");
    ChatBar empty(Project{{makeTrack(TrackType::audio, "Audio 1", {})}, 3600});
    empty.harness.timeline.setSelectedClipId(song.id); // stale
    EXPECT_EQ(empty.viewModel.contextualSuggestions(),
              (Chips{"Add a video file to get started",
                     "Drag and drop media files onto the timeline", "Add a text overlay"}));
    EXPECT_EQ(empty.viewModel.selectedClipInfo(), std::nullopt);

    ChatBar bar(Project{{makeTrack(TrackType::video, "Video 1", {intro}),
                         makeTrack(TrackType::audio, "Music", {song}),
                         makeTrack(TrackType::image, "Image 1", {logo}),
                         makeTrack(TrackType::text, "Text 1", {title})},
                        3600});
    TimelineViewModel& timeline = bar.harness.timeline;
    EXPECT_EQ(bar.viewModel.contextualSuggestions(),
              (Chips{"Add a fade transition between clips", "Trim the first clip to 5 seconds",
                     "Add background music"}));
    const std::vector<std::pair<Uuid, Chips>> cases{
        {intro.id,
         {"Trim intro.mov to 5 seconds", "Add a fade transition", "Adjust brightness or contrast"}},
        {logo.id, {"Change duration of logo.png", "Add a fade transition", "Adjust brightness"}},
        {title.id, {"Change the font size", "Move text to the top", "Change text color to yellow"}},
        // The only audio track: no other track to move the clip to.
        {song.id,
         {"Adjust volume of song.mp3", "Trim song.mp3 to match video", "Add a fade-in effect"}},
    };
    for (const auto& [id, chips] : cases) {
        timeline.setSelectedClipId(id);
        EXPECT_EQ(bar.viewModel.contextualSuggestions(), chips);
    }
    EXPECT_EQ(bar.viewModel.selectedClipInfo(), "song.mp3");

    ChatBar twoAudio(Project{
        {makeTrack(TrackType::audio, "Music", {song}), makeTrack(TrackType::audio, "Voice", {})},
        3600});
    twoAudio.harness.timeline.setSelectedClipId(song.id);
    EXPECT_EQ(twoAudio.viewModel.contextualSuggestions().back(), "Move clip to Voice");
}
