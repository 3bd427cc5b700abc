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

    // The most bytes of JSON that the body of one request takes, whatever the
    // project and the chat hold, so that no service refuses or bills an
    // instruction by the size of the project: the system prompt with the tool
    // table and the body's own keys (maxFixedBytes), the chat history
    // (maxHistoryBytes), the project state with the instruction
    // (maxUserMessageBytes) and the turns of the instruction's tool
    // iterations (maxToolTurnBytes).
    static constexpr std::size_t maxRequestBytes = 256 * 1024;
    static constexpr std::size_t maxFixedBytes = 32 * 1024;
    static constexpr std::size_t maxHistoryBytes = 48 * 1024;
    static constexpr std::size_t maxToolTurnBytes = 48 * 1024;
    static constexpr std::size_t maxUserMessageBytes =
        maxRequestBytes - maxFixedBytes - maxHistoryBytes - maxToolTurnBytes;
    // The most of the user message the instruction itself takes; a longer
    // one goes with its start and end.
    static constexpr std::size_t maxInstructionBytes = 16 * 1024;

    // The instructions sent unchanged with every request (UTF-8, no final line feed).
    static std::string_view systemPrompt();

    // The part of the history a request carries: at most the last 20 messages,
    // without trailing plain user turns (the request's own user message comes
    // last) and beginning with a plain user turn, so that no assistant turn or
    // tool turn cut off from its partner opens the conversation.
    static std::vector<ChatMessage> trimHistory(const std::vector<ChatMessage>& history);

    // The trimmed history as a JSON array of message objects, in order, the
    // latest of them that fit in maxHistoryBytes (still beginning with a
    // plain user turn); the request's own user message follows them.
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

    // The turns of an instruction's tool iterations (assistant turn, then its
    // tool results, pair after pair) as a request carries them, within
    // `maxBytes`: when they do not fit, the texts, tool inputs and results of
    // the oldest pairs are cut shorter first (ids and tool names stay as
    // they are, so that calls and results still pair). None when even the
    // shortest form does not fit.
    static std::optional<std::vector<Json>> serializeTurns(const std::vector<ChatMessage>& turns,
                                                           std::size_t maxBytes = maxToolTurnBytes);

    // The bytes `value` takes in a request's body.
    static std::size_t requestBytes(const Json& value);

    // The messages of an instruction's first request: the history of
    // buildHistoryMessages, then the user message of buildUserMessage as a
    // plain string, which says how many earlier messages the history's bound
    // left out.
    static std::vector<Json> buildMessages(const std::vector<ChatMessage>& history,
                                           std::string_view instruction, const Project& context,
                                           const std::optional<Uuid>& selectedClipId);

    // What the model sees of the timeline: every non-text track with one line
    // per clip, "(empty timeline)" when none holds a clip, the text overlays,
    // then "Instruction: " and the instruction (elided past
    // maxInstructionBytes). Names and texts of the project are elided. Within
    // `maxBytes` of JSON: the tracks and the selected clip come first, then
    // the clips and overlays nearest in time to the selected clip (to the
    // start of the timeline without one); a note stands for each run of those
    // left out, and a last one says what was left out and that it can still be
    // edited. `leftOutMessages`: earlier chat messages the history's bound
    // left out, said before the instruction.
    static std::string buildUserMessage(std::string_view instruction, const Project& context,
                                        const std::optional<Uuid>& selectedClipId,
                                        std::size_t maxBytes = maxUserMessageBytes,
                                        std::size_t leftOutMessages = 0);

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
