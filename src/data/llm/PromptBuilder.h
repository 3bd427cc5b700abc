#pragma once

#include "domain/entities/ChatMessage.h"
#include "domain/entities/Clip.h"
#include "domain/entities/JSONObjectText.h"
#include "domain/entities/Project.h"
#include "foundation/Json.h"
#include "foundation/Uuid.h"

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace vexel {

// Turns the state of one instruction into what the backend receives: the fixed
// system prompt, the request's message objects (the recent chat history, then
// one user message rendering the whole project and ending with the
// instruction) and the tool definitions. Stateless; every operation is a pure
// function of its arguments.
class PromptBuilder {
public:
    // How many of the latest chat messages a request carries at most.
    static constexpr std::size_t maxHistoryMessages = 20;
    // The most characters of any one text that a request carries: a name or
    // text of the project, a message of the chat, a tool result, a string in a
    // tool input. Past it the text goes with its start and end and says how
    // much was left out, so that a request stays small whatever the project
    // and the chat hold (a title of millions of characters, a long reply kept
    // in the history). The instruction being sent goes whole.
    static constexpr std::size_t maxTextCharacters = 2000;
    // The most bytes of JSON a tool input goes back with once its long strings
    // are elided; past it the input goes as its elided text, under the one
    // member "elided_input".
    static constexpr std::size_t maxToolInputBytes = 8000;

    // The instructions sent unchanged with every request (UTF-8, no final line feed).
    static std::string_view systemPrompt();

    // The part of the history a request carries: at most the last 20 messages,
    // without trailing plain user turns (the request's own user message comes
    // last) and beginning with a plain user turn, so that no assistant turn or
    // tool turn cut off from its partner opens the conversation.
    static std::vector<ChatMessage> trimHistory(const std::vector<ChatMessage>& history);

    // The trimmed history as a JSON array of message objects, in order; the
    // request's own user message follows them.
    static Json buildHistoryMessages(const std::vector<ChatMessage>& history);

    // {"role", "content"}: content is the joined text when the message has only
    // text parts, else the array of all its parts as typed part objects. Every
    // text, tool input and tool result in it is elided (maxTextCharacters).
    static Json serializeMessage(const ChatMessage& message);

    // The text, elided past maxTextCharacters.
    static std::string elided(std::string_view text);

    // A tool input as a request carries it: whole when it is short, else with
    // each long string (member names too) elided, and as its elided text
    // under "elided_input" when that still leaves it over maxToolInputBytes.
    static Json requestInput(const JSONObjectText& input);

    // The messages of an instruction's first request: the trimmed history,
    // serialised, then the user message of buildUserMessage as a plain string.
    static std::vector<Json> buildMessages(const std::vector<ChatMessage>& history,
                                           std::string_view instruction, const Project& context,
                                           const std::optional<Uuid>& selectedClipId);

    // What the model sees of the timeline: every non-text track with one line
    // per clip, "(empty timeline)" when none holds a clip, the text overlays,
    // then "Instruction: " and the instruction unchanged. Names and texts of
    // the project are elided.
    static std::string buildUserMessage(std::string_view instruction, const Project& context,
                                        const std::optional<Uuid>& selectedClipId);

    // One line (with its line feed) for a media clip: name, selection marker,
    // timing and volume, then only the adjustments away from neutral.
    static std::string formatClipContext(const Clip& clip, bool isSelected);

    // One line (with its line feed) for a text overlay: its text, selection
    // marker, timing, position and style (the default style when it has none),
    // then fades and animation when set.
    static std::string formatTextClipContext(const Clip& clip, bool isSelected);

    // The tool table sent with every request.
    static Json buildToolDefinitions();
};

} // namespace vexel
