// The chat bar end to end, with nothing faked between it and the project but
// the export: a real HTTP server on 127.0.0.1 streams scripted replies, the
// transport speaks HTTP through libcurl, the assistant loop maps the tool calls
// and the timeline applies them through the edit engine.
#include "presentation/viewmodels/InstructionViewModel.h"

#include "data/llm/PromptBuilder.h"
#include "data/media/FFmpegMediaLoader.h"
#include "domain/entities/ExportError.h"
#include "domain/entities/ModelFixtures.h"
#include "infrastructure/network/AuthenticationError.h"
#include "infrastructure/network/BackendConfiguration.h"
#include "infrastructure/network/ConfiguredAccessTokenProvider.h"
#include "presentation/support/ChatBar.h"
#include "support/AnthropicEvents.h"
#include "support/Fifo.h"
#include "support/ForeignSamples.h"
#include "support/WorkingFolder.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <memory>

using namespace vexel;
using namespace vexel::test;
using namespace vexel::test::anthropic;
using vexel::testing::BrokenSample;
using vexel::testing::makeClip;
using vexel::testing::makeTrack;

namespace {

Project twoClips(const Clip& intro, const Clip& outro) {
    return Project{{makeTrack(TrackType::video, "Video 1", {intro, outro})}, 3600};
}

const Clip intro = makeClip(0, 8, TrackType::video, "intro.mov");
const Clip outro = makeClip(8, 2, TrackType::video, "outro.mov");

// A tool call whose input is an edit with a note of `noteBytes` beside it,
// in fragments of 64 KiB.
std::string notedToolCall(int index, const std::string& id, const std::string& tool, Json edit,
                          std::size_t noteBytes) {
    edit["note"] = std::string(noteBytes, 'n');
    const std::string input = edit.dump();
    std::string call = toolStart(index, id, tool);
    for (std::size_t at = 0; at < input.size(); at += 64 * 1024) {
        call += inputDelta(index, input.substr(at, 64 * 1024));
    }
    return call + blockStop(index);
}

std::string repeated(const std::string& piece, std::size_t times) {
    std::string text;
    text.reserve(piece.size() * times);
    for (std::size_t i = 0; i < times; ++i) {
        text += piece;
    }
    return text;
}

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
        // Each call within its own limit, but together more than one
        // instruction may carry.
        {"edits too large in all",
         [](LoopbackServer& server) {
             std::string reply = messageStart();
             for (int i = 0; i < 5; ++i) {
                 reply += notedToolCall(i, "toolu_0" + std::to_string(i), "move_clip",
                                        {{"target", "outro.mov"}, {"to", 12 + i}}, 900'000);
             }
             server.enqueue(ScriptedResponse::eventStream().write(reply + messageEnd("tool_use")));
         },
         "The assistant sent edits too large to apply, so they were stopped. No changes were "
         "made."},
        // The model ran out of output tokens in the middle of an edit: the
        // call that came whole is not applied without it.
        {"ended inside a tool call",
         [](LoopbackServer& server) {
             server.enqueue(ScriptedResponse::eventStream().write(
                 messageStart() + toolCall(0, "toolu_01", "remove", {{"target", "intro.mov"}}) +
                 toolStart(1, "toolu_02", "move_clip") +
                 inputDelta(1, R"({"target": "outro.mov", "t)") + messageEnd("max_tokens")));
         },
         "The assistant's reply ended before its last edit was complete. No changes were made. "
         "Please try again."},
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

TEST(InstructionViewModelTest, AnInstructionsToolCallsAreBoundedInAllAndGoBackSmall) {
    // Within the bound: an edit beside thousands of empty objects (a tree many
    // times its text), an edit beside a note of a million characters, and a
    // title of a million characters that the model is told is no title.
    ChatBar bar(twoClips(intro, outro));
    Json padded = {{"target", "outro.mov"}, {"to", 20}};
    padded["pad"] = Json(std::vector<Json>(4000, Json::object()));
    bar.server.enqueue(ScriptedResponse::eventStream().write(
        messageStart() + toolCall(0, "toolu_01", "move_clip", padded) +
        toolCall(1, "toolu_02", "add_text", {{"target", std::string(1'000'000, 'T')}}) +
        notedToolCall(2, "toolu_03", "move_clip", {{"target", "intro.mov"}, {"to", 30}},
                      1'000'000) +
        messageEnd("tool_use")));
    bar.server.enqueue(ScriptedResponse::eventStream().write(textReply("Moved both.", "end_turn")));

    bar.submit("Move both clips");

    EXPECT_EQ(bar.chatTexts().back(), "Moved both.");
    const Project moved = bar.harness.repository->load();
    EXPECT_EQ(moved.findClip(outro.id)->timeRange.startTime, 20);
    EXPECT_EQ(moved.findClip(intro.id)->timeRange.startTime, 30);
    // The turns that went back are a small fraction of what came: each input
    // and result keeps its start and end and says how much it left out.
    ASSERT_EQ(bar.server.requestCount(), 2u);
    const std::string secondBody = bar.server.requests()[1].body;
    EXPECT_LT(secondBody.size(), 64u * 1024);
    const Json messages = Json::parse(secondBody)["messages"];
    ASSERT_EQ(messages.size(), 3u);
    const Json& calls = messages[1]["content"];
    ASSERT_EQ(calls.size(), 3u);
    const std::string elided = calls[0]["input"]["elided_input"];
    EXPECT_EQ(elided.rfind(R"({"pad":[{},{},{},)", 0), 0u) << elided.substr(0, 40);
    EXPECT_TRUE(elided.ends_with(R"({},{},{}],"target":"outro.mov","to":20.0})")) << elided;
    EXPECT_NE(elided.find(" … [10040 characters omitted] … "), std::string::npos);
    const std::string kept =
        std::string(1000, 'T') + " … [998000 characters omitted] … " + std::string(1000, 'T');
    EXPECT_EQ(calls[1]["input"]["target"], kept);
    const std::string note =
        std::string(1000, 'n') + " … [998000 characters omitted] … " + std::string(1000, 'n');
    EXPECT_EQ(calls[2]["input"],
              Json::parse(R"({"note": ")" + note + R"(", "target": "intro.mov", "to": 30.0})"));
    const Json& results = messages[2]["content"];
    EXPECT_EQ(results[0]["content"],
              "Parsed: move_clip - will be applied after all tools are processed");
    EXPECT_EQ(results[1]["is_error"], true);
    EXPECT_EQ(results[1]["content"].get<std::string>().rfind("Error: invalidTextContent(\"TTT", 0),
              0u);
    EXPECT_NE(results[1]["content"].get<std::string>().find(" characters omitted] … "),
              std::string::npos);

    // Past the bound over two replies: nothing of either is applied.
    ChatBar twoTurns(twoClips(intro, outro));
    const std::string before = twoTurns.harness.storedProject();
    for (const int calls : {3, 2}) {
        std::string reply = messageStart();
        for (int i = 0; i < calls; ++i) {
            reply +=
                notedToolCall(i, "toolu_" + std::to_string(calls) + std::to_string(i), "move_clip",
                              {{"target", "outro.mov"}, {"to", 20 + i}}, 1'000'000);
        }
        twoTurns.server.enqueue(
            ScriptedResponse::eventStream().write(reply + messageEnd("tool_use")));
    }
    twoTurns.submit("Move the outro");
    EXPECT_EQ(twoTurns.server.requestCount(), 2u);
    EXPECT_EQ(twoTurns.chatTexts().back(),
              "The assistant sent edits too large to apply, so they were stopped. No changes were "
              "made.");
    EXPECT_EQ(twoTurns.viewModel.instructionText(), "Move the outro");
    EXPECT_EQ(twoTurns.harness.storedProject(), before);
    EXPECT_FALSE(twoTurns.harness.timeline.canUndo());
}

TEST(InstructionViewModelTest, ARequestStaysSmallWhateverTheProjectAndTheChatHold) {
    // A title of a million letters, each an e and a combining accent (two
    // characters of one and two bytes), and a reply of a megabyte kept in the
    // chat.
    const std::string accented = "e\u0301";
    const Clip title = makeClip(0, 5, TrackType::text, repeated(accented, 1'000'000));
    ChatBar bar(Project{{makeTrack(TrackType::video, "Video 1", {intro, outro}),
                         makeTrack(TrackType::text, "Text 1", {title})},
                        3600});
    const std::string story = "Once upon a time" + std::string(1'000'000, '.') + "The end.";
    bar.server.enqueue(ScriptedResponse::eventStream().write(textReply(story, "end_turn")));
    bar.server.enqueue(
        ScriptedResponse::eventStream().write(textReply("It is a long title.", "end_turn")));

    bar.submit("Tell me a story");
    bar.submit("What does the title say?");

    ASSERT_EQ(bar.server.requestCount(), 2u);
    for (const RecordedRequest& request : bar.server.requests()) {
        EXPECT_LT(request.body.size(), 64u * 1024);
    }
    const Json messages = Json::parse(bar.server.requests()[1].body)["messages"];
    ASSERT_EQ(messages.size(), 3u);
    // The earlier reply: its start and end, and how much was left out.
    const std::string earlier = messages[1]["content"];
    EXPECT_EQ(earlier, "Once upon a time" + std::string(984, '.') +
                           " … [998024 characters omitted] … " + std::string(992, '.') +
                           "The end.");
    // The title, cut between characters, never inside one; the instruction whole.
    const std::string state = messages[2]["content"];
    EXPECT_NE(state.find("  - \"`" + repeated(accented, 500) +
                         " … [1998000 characters omitted] … " + repeated(accented, 500) +
                         "`\": at=0.0s"),
              std::string::npos);
    EXPECT_NE(state.find("\nInstruction: What does the title say?"), std::string::npos);
    // What the chat shows stays whole.
    EXPECT_EQ(bar.chatTexts()[1], story);
}

// A project of 20,000 titles of 3,000 letters: an instruction, its follow-up
// with the tool result and the next instruction with the chat so far each
// stay within the bound, and keep what an instruction needs: every track, the
// selected clip, the titles nearest to it, the latest turns, and a word on
// what was left out.
TEST(InstructionViewModelTest, EveryRequestStaysWithinItsBoundAndKeepsWhatTheInstructionNeeds) {
    std::vector<Clip> titles;
    for (int n = 0; n < 20'000; ++n) {
        std::string text = "Title " + std::to_string(n) + " ";
        text.resize(3000, static_cast<char>('a' + n % 26));
        titles.push_back(makeClip(n * 0.18, 0.18, TrackType::text, std::move(text)));
    }
    const Clip song = makeClip(0, 30, TrackType::audio, "song.mp3");
    ChatBar bar(Project{{makeTrack(TrackType::video, "Video 1", {intro, outro}),
                         makeTrack(TrackType::audio, "Music", {song}),
                         makeTrack(TrackType::text, "Titles", titles)},
                        3600});
    bar.harness.timeline.selectClip(outro.id);
    bar.server.enqueue(ScriptedResponse::eventStream().write(
        messageStart() +
        toolCall(0, "toolu_01", "set_volume", {{"target", "outro.mov"}, {"volume", 0.5}}) +
        messageEnd("tool_use")));
    bar.server.enqueue(ScriptedResponse::eventStream().write(textReply("Done.", "end_turn")));
    bar.server.enqueue(
        ScriptedResponse::eventStream().write(textReply("The outro is quieter.", "end_turn")));

    bar.submit("Make this clip quieter");
    bar.submit("What did you change?");

    ASSERT_EQ(bar.server.requestCount(), 3u);
    std::vector<Json> messages;
    for (const RecordedRequest& request : bar.server.requests()) {
        EXPECT_LE(request.body.size(), PromptBuilder::maxRequestBytes);
        messages.push_back(Json::parse(request.body)["messages"]);
    }
    const std::string state = messages[0].back()["content"];
    for (const char* kept :
         {"\nVideo 1:\n  - `intro.mov`: start=0.0s", "\n  - `outro.mov` [SELECTED]: start=8.0s",
          "\nMusic:\n  - `song.mp3`: start=0.0s", "\nText overlays:\n", "Title 44 ",
          "\nInstruction: Make this clip quieter"}) {
        EXPECT_NE(state.find(kept), std::string::npos) << kept;
    }
    EXPECT_NE(state.find("text overlays not listed here"), std::string::npos);
    EXPECT_EQ(state.find("Title 19999 "), std::string::npos);
    // The follow-up answers the call; the next instruction carries the turns.
    ASSERT_EQ(messages[1].size(), 3u);
    EXPECT_EQ(messages[1][2]["content"][0]["tool_use_id"], "toolu_01");
    ASSERT_EQ(messages[2].size(), 5u);
    EXPECT_EQ(messages[2][0]["content"], "Make this clip quieter");
    EXPECT_EQ(messages[2][1]["content"][0]["name"], "set_volume");
    EXPECT_EQ(messages[2][3]["content"], "Done.");
    EXPECT_EQ(bar.harness.timeline.project().tracks[0].clips[1].volume, 0.5);
}

TEST(InstructionViewModelTest, AddingAFileThatIsNoMediaOrBrokenNamesItAndWhy) {
    vexel::testing::TemporaryFolder folder;
    Fifo moviePipe(folder / "pipe.mp4");
    Fifo picturePipe(folder / "pipe.png");
    std::filesystem::create_directories(folder / "clips.mov");
    std::filesystem::create_symlink("/dev/zero", folder / "zero.mp4");
    const WorkingFolder here(folder.path());
    const std::vector<std::tuple<std::string, std::string, std::string>> cases{
        {"pipe.mp4", "video",
         "\"pipe.mp4\" cannot be added: it is a named pipe, not a media file."},
        {"pipe.png", "image",
         "\"pipe.png\" cannot be added: it is a named pipe, not a media file."},
        {"clips.mov", "video", "\"clips.mov\" cannot be added: it is a folder, not a media file."},
        {"zero.mp4", "audio", "\"zero.mp4\" cannot be added: it is a device, not a media file."},
        {"broken.mp4", "video", "Failed to add broken.mp4: the file is damaged or unreadable"},
        {"empty.mp4", "video", "Failed to add empty.mp4: the file is empty"},
        {"notes.mp4", "video", "Failed to add notes.mp4: it is not a media file"},
    };
    for (const BrokenSample broken :
         {BrokenSample::truncatedMp4, BrokenSample::empty, BrokenSample::textAsMp4}) {
        vexel::testing::writeSample(folder.path(), broken);
    }
    for (const auto& [name, trackType, message] : cases) {
        SCOPED_TRACE(name);
        ChatBar bar(
            twoClips(intro, outro), [](std::stop_token) { return std::string("token"); },
            std::make_shared<FFmpegMediaLoader>());
        const std::string before = bar.harness.storedProject();
        bar.server.enqueue(ScriptedResponse::eventStream().write(
            messageStart() +
            toolCall(0, "toolu_01", "add_clip",
                     {{"target", name}, {"trackType", trackType}, {"at", 20}}) +
            messageEnd("end_turn")));

        bar.submit("Add " + name);

        EXPECT_EQ(bar.chatTexts(), (std::vector<std::string>{"Add " + name, message}));
        const ChatMessage& notice = bar.viewModel.chatHistory().messages().back();
        EXPECT_EQ(bar.viewModel.chatHistory().retryableInstructions().at(notice.id), "Add " + name);
        EXPECT_EQ(bar.harness.storedProject(), before);
    }
    EXPECT_FALSE(moviePipe.openedToRead());
    EXPECT_FALSE(picturePipe.openedToRead());
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
