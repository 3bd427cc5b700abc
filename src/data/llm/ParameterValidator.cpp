#include "data/llm/ParameterValidator.h"

#include "data/llm/LLMResponseParserError.h"
#include "foundation/UnicodeText.h"

#include <algorithm>
#include <map>
#include <utility>
#include <vector>

namespace vexel {

namespace {

constexpr std::size_t maxFilenameBytes = 255;
constexpr std::size_t maxTextBytes = 500;
constexpr std::size_t maxFontNameBytes = 100;
constexpr std::size_t maxColorNameBytes = 50;

bool containsNul(std::string_view text) {
    return text.find('\0') != std::string_view::npos;
}

// Localised colour names to the English names; keys are lower case and NFC.
const std::map<std::string, std::string_view, std::less<>>& colorNameMap() {
    static const std::map<std::string, std::string_view, std::less<>> table = [] {
        const std::pair<std::string_view, std::vector<std::string_view>> rows[] = {
            {"white", {"白", "흰색", "白色", "branco", "blanco", "blanc", "weiß"}},
            {"black", {"黒", "검정", "黑色", "preto", "negro", "noir", "schwarz"}},
            {"red", {"赤", "빨간색", "红色", "vermelho", "rojo", "rouge", "rot"}},
            {"yellow", {"黄色", "노란색", "amarelo", "amarillo", "jaune", "gelb"}},
            {"blue", {"青", "파란색", "蓝色", "azul", "bleu", "blau"}},
            {"green", {"緑", "녹색", "绿色", "verde", "vert", "grün"}},
            {"orange", {"オレンジ", "주황색", "橙色", "laranja", "naranja", "orange"}},
            {"purple", {"紫", "보라색", "紫色", "roxo", "morado", "violet", "lila"}},
            {"pink", {"ピンク", "분홍색", "粉红色", "rosa"}},
            {"gray", {"灰色", "회색", "cinza", "gris", "grau"}},
        };
        std::map<std::string, std::string_view, std::less<>> built;
        for (const auto& [english, names] : rows) {
            for (std::string_view name : names) {
                built.emplace(unicode::nfc(name), english);
            }
        }
        return built;
    }();
    return table;
}

// Shared by texts and font names: something visible, no NUL, bounded size.
bool isAcceptableText(std::string_view text, std::size_t maxBytes) {
    return !unicode::trimmingWhitespaceAndNewlines(text).empty() && !containsNul(text) &&
           text.size() <= maxBytes;
}

} // namespace

void ParameterValidator::validateFilename(std::string_view name) {
    // Compared on bytes, so a separator followed by a combining mark still counts.
    bool valid = !name.empty() && name.find('/') == std::string_view::npos &&
                 name.find('\\') == std::string_view::npos &&
                 name.find("..") == std::string_view::npos && !containsNul(name) &&
                 name.size() <= maxFilenameBytes;
    if (!valid) {
        throw LLMResponseParserError::invalidFilename(std::string(name));
    }
}

void ParameterValidator::validateTextContent(std::string_view text) {
    if (!isAcceptableText(text, maxTextBytes)) {
        throw LLMResponseParserError::invalidTextContent(std::string(text));
    }
}

void ParameterValidator::validateFontName(std::string_view name) {
    if (!isAcceptableText(name, maxFontNameBytes)) {
        throw LLMResponseParserError::invalidTextContent(std::string(name));
    }
}

void ParameterValidator::validateColorName(std::string_view name) {
    bool valid = !name.empty() && !containsNul(name) && name.size() <= maxColorNameBytes &&
                 normalizeColorName(name).has_value();
    if (!valid) {
        throw LLMResponseParserError::invalidTextContent(std::string(name));
    }
}

std::optional<std::string> ParameterValidator::normalizeColorName(std::string_view name) {
    std::string key = unicode::nfc(unicode::lowercased(name));
    auto english = std::find(validColorNames.begin(), validColorNames.end(), key);
    if (english != validColorNames.end()) {
        return std::string(*english);
    }
    const auto& localised = colorNameMap();
    if (auto found = localised.find(key); found != localised.end()) {
        return std::string(found->second);
    }
    return std::nullopt;
}

} // namespace vexel
