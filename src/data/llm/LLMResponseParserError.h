#pragma once

#include <exception>
#include <optional>
#include <string>
#include <string_view>

namespace vexel {

// Why a tool call of the assistant could not become an edit command. The text
// (`description()`, also `what()`) is what the model reads back in the error
// tool result, so it is the case in its plain call form:
// `missingParameter("height")`, `invalidParameterValue("volume", 1.5)`.
class LLMResponseParserError : public std::exception {
public:
    enum class Kind {
        // The tool name is none of the tools.
        unknownAction,
        // No clip, text clip or track has that name.
        targetNotFound,
        // Not "video", "audio" or "image" where a track type is asked for.
        unknownTrackType,
        // A required parameter is absent or of another JSON type; also carries
        // the fixed explanations of combinations that cannot be applied.
        missingParameter,
        // A number outside its range or not finite.
        invalidParameterValue,
        invalidFilename,
        // A text, colour name or font name that fails its check.
        invalidTextContent,
        invalidPosition,
        invalidExportFormat,
        // The tool's input, as streamed, is not a JSON object; carries the
        // tool name.
        invalidToolInput,
    };

    static LLMResponseParserError unknownAction(std::string toolName);
    static LLMResponseParserError targetNotFound(std::string target);
    static LLMResponseParserError unknownTrackType(std::string value);
    static LLMResponseParserError missingParameter(std::string name);
    static LLMResponseParserError invalidParameterValue(std::string name, double value);
    static LLMResponseParserError invalidFilename(std::string name);
    static LLMResponseParserError invalidTextContent(std::string text);
    static LLMResponseParserError invalidPosition(std::string word);
    static LLMResponseParserError invalidExportFormat(std::string format);
    static LLMResponseParserError invalidToolInput(std::string toolName);

    Kind kind() const { return kind_; }
    // The string payload every case carries: the name, target, key or text.
    const std::string& text() const { return text_; }
    // The number of `invalidParameterValue`; absent for every other case.
    std::optional<double> value() const { return value_; }

    // The case name, then the payload in parentheses, strings quoted and
    // escaped, the number in number text.
    const std::string& description() const { return description_; }
    const char* what() const noexcept override { return description_.c_str(); }

    // Same case and equal payloads (a NaN value is unequal to itself).
    friend bool operator==(const LLMResponseParserError& lhs, const LLMResponseParserError& rhs) {
        return lhs.kind_ == rhs.kind_ && lhs.text_ == rhs.text_ && lhs.value_ == rhs.value_;
    }

private:
    LLMResponseParserError(Kind kind, std::string text, std::optional<double> value);

    Kind kind_;
    std::string text_;
    std::optional<double> value_;
    std::string description_;
};

std::string_view caseName(LLMResponseParserError::Kind kind);

} // namespace vexel
