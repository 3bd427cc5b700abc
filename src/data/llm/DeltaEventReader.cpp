#include "data/llm/DeltaEventReader.h"

#include "foundation/UnicodeText.h"

#include <cstdint>
#include <string>

namespace vexel {

namespace {

// Consumes `prefix` from the front of `text`.
bool take(std::string_view& text, std::string_view prefix) {
    if (!text.starts_with(prefix)) {
        return false;
    }
    text.remove_prefix(prefix.size());
    return true;
}

// A small non-negative integer without sign, fraction or exponent.
std::optional<std::int64_t> takeIndex(std::string_view& text) {
    std::size_t length = 0;
    while (length < text.size() && text[length] >= '0' && text[length] <= '9') {
        ++length;
    }
    // No leading zero (not JSON), and few enough digits to fit without care.
    if (length == 0 || length > 18 || (length > 1 && text.front() == '0')) {
        return std::nullopt;
    }
    std::int64_t value = 0;
    for (std::size_t i = 0; i < length; ++i) {
        value = value * 10 + (text[i] - '0');
    }
    text.remove_prefix(length);
    return value;
}

// The body of a JSON string up to its closing quote, with the short escapes
// decoded. Absent for \u escapes, raw control characters, invalid UTF-8 and an
// unterminated string, which the full parse handles or refuses.
std::optional<std::string> takeString(std::string_view& text) {
    std::string value;
    std::size_t run = 0;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c == '"') {
            value.append(text.data() + run, i - run);
            text.remove_prefix(i + 1);
            if (!unicode::isValidUtf8(value)) {
                return std::nullopt;
            }
            return value;
        }
        if (c < 0x20) {
            return std::nullopt;
        }
        if (c != '\\') {
            continue;
        }
        value.append(text.data() + run, i - run);
        if (++i == text.size()) {
            return std::nullopt;
        }
        switch (text[i]) {
        case '"':
        case '\\':
        case '/':
            value += text[i];
            break;
        case 'b':
            value += '\b';
            break;
        case 'f':
            value += '\f';
            break;
        case 'n':
            value += '\n';
            break;
        case 'r':
            value += '\r';
            break;
        case 't':
            value += '\t';
            break;
        default:
            return std::nullopt;
        }
        run = i + 1;
    }
    return std::nullopt;
}

} // namespace

std::optional<AnthropicStreamEvent> readDeltaQuickly(std::string_view data) {
    if (!take(data, R"({"type":"content_block_delta","index":)")) {
        return std::nullopt;
    }
    const auto index = takeIndex(data);
    if (!index || !take(data, R"(,"delta":{"type":")")) {
        return std::nullopt;
    }
    const bool text = take(data, R"(text_delta","text":")");
    if (!text && !take(data, R"(input_json_delta","partial_json":")")) {
        return std::nullopt;
    }
    auto value = takeString(data);
    if (!value || data != "}}") {
        return std::nullopt;
    }
    if (text) {
        return AnthropicStreamEvent::TextDelta{*index, std::move(*value)};
    }
    return AnthropicStreamEvent::InputJsonDelta{*index, std::move(*value)};
}

} // namespace vexel
