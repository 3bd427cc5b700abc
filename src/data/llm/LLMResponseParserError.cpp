#include "data/llm/LLMResponseParserError.h"

#include "foundation/CaseText.h"
#include "foundation/NumberText.h"

#include <utility>

namespace vexel {

LLMResponseParserError::LLMResponseParserError(Kind kind, std::string text,
                                               std::optional<double> value)
    : kind_(kind)
    , text_(std::move(text))
    , value_(value) {
    description_ =
        value_ ? casetext::call(caseName(kind_), {casetext::quoted(text_), formatNumber(*value_)})
               : casetext::call(caseName(kind_), {casetext::quoted(text_)});
}

LLMResponseParserError LLMResponseParserError::unknownAction(std::string toolName) {
    return {Kind::unknownAction, std::move(toolName), std::nullopt};
}
LLMResponseParserError LLMResponseParserError::targetNotFound(std::string target) {
    return {Kind::targetNotFound, std::move(target), std::nullopt};
}
LLMResponseParserError LLMResponseParserError::unknownTrackType(std::string value) {
    return {Kind::unknownTrackType, std::move(value), std::nullopt};
}
LLMResponseParserError LLMResponseParserError::missingParameter(std::string name) {
    return {Kind::missingParameter, std::move(name), std::nullopt};
}
LLMResponseParserError LLMResponseParserError::invalidParameterValue(std::string name,
                                                                     double value) {
    return {Kind::invalidParameterValue, std::move(name), value};
}
LLMResponseParserError LLMResponseParserError::invalidFilename(std::string name) {
    return {Kind::invalidFilename, std::move(name), std::nullopt};
}
LLMResponseParserError LLMResponseParserError::invalidTextContent(std::string text) {
    return {Kind::invalidTextContent, std::move(text), std::nullopt};
}
LLMResponseParserError LLMResponseParserError::invalidPosition(std::string word) {
    return {Kind::invalidPosition, std::move(word), std::nullopt};
}
LLMResponseParserError LLMResponseParserError::invalidExportFormat(std::string format) {
    return {Kind::invalidExportFormat, std::move(format), std::nullopt};
}

LLMResponseParserError LLMResponseParserError::invalidToolInput(std::string toolName) {
    return {Kind::invalidToolInput, std::move(toolName), std::nullopt};
}

std::string_view caseName(LLMResponseParserError::Kind kind) {
    using Kind = LLMResponseParserError::Kind;
    switch (kind) {
    case Kind::unknownAction:
        return "unknownAction";
    case Kind::targetNotFound:
        return "targetNotFound";
    case Kind::unknownTrackType:
        return "unknownTrackType";
    case Kind::missingParameter:
        return "missingParameter";
    case Kind::invalidParameterValue:
        return "invalidParameterValue";
    case Kind::invalidFilename:
        return "invalidFilename";
    case Kind::invalidTextContent:
        return "invalidTextContent";
    case Kind::invalidPosition:
        return "invalidPosition";
    case Kind::invalidExportFormat:
        return "invalidExportFormat";
    case Kind::invalidToolInput:
        return "invalidToolInput";
    }
    return "unknownAction";
}

} // namespace vexel
