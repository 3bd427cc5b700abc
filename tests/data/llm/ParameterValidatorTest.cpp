#include "data/llm/ParameterValidator.h"

#include "data/llm/LLMResponseParserError.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

using namespace vexel;

namespace {

// The error text a check throws, or "" when it passes.
std::string failure(const std::function<void()>& check) {
    try {
        check();
    } catch (const LLMResponseParserError& error) {
        return error.description();
    }
    return "";
}

std::string repeated(std::string_view unit, std::size_t times) {
    std::string out;
    for (std::size_t i = 0; i < times; ++i) {
        out += unit;
    }
    return out;
}

} // namespace

TEST(ParameterValidator, FilenamesMustBeSafeSingleNamesOfAtMost255Bytes) {
    auto filename = [](std::string name) {
        return failure([&] { ParameterValidator::validateFilename(name); });
    };
    EXPECT_EQ(filename("clip.mov"), "");
    EXPECT_EQ(filename("my clip (1).MP4"), "");
    EXPECT_EQ(filename("../a.mp4"), R"(invalidFilename("../a.mp4"))");
    EXPECT_EQ(filename("a..mp4"), R"(invalidFilename("a..mp4"))");
    EXPECT_EQ(filename("a/b.mp4"), R"(invalidFilename("a/b.mp4"))");
    EXPECT_EQ(filename("a\\b.mp4"), R"(invalidFilename("a\\b.mp4"))");
    EXPECT_EQ(filename(""), R"(invalidFilename(""))");
    EXPECT_EQ(filename(std::string("a\0b", 3)), R"(invalidFilename("a\0b"))");
    // A separator followed by a combining mark still separates path parts.
    EXPECT_NE(filename("a/\u0301b.mp4"), "");
    EXPECT_EQ(filename(std::string(255, 'a')), "");
    EXPECT_NE(filename(std::string(256, 'a')), "");
    // 100 characters of three bytes each: 300 bytes.
    EXPECT_NE(filename(repeated("あ", 100)), "");
    EXPECT_EQ(filename(repeated("あ", 85)), "");
}

TEST(ParameterValidator, TextsAndFontNamesMustBeVisibleWithoutNulAndBounded) {
    auto text = [](std::string value) {
        return failure([&] { ParameterValidator::validateTextContent(value); });
    };
    EXPECT_EQ(text("Hello"), "");
    EXPECT_EQ(text("  Hello\n"), "");
    EXPECT_EQ(text("   "), R"(invalidTextContent("   "))");
    EXPECT_EQ(text("\n\t\u3000\u2028"), R"(invalidTextContent("\n\t)"
                                        "\u3000\u2028"
                                        R"("))");
    EXPECT_EQ(text(""), R"(invalidTextContent(""))");
    EXPECT_EQ(text(std::string("Hi\0", 3)), R"(invalidTextContent("Hi\0"))");
    EXPECT_EQ(text(std::string(500, 'x')), "");
    EXPECT_NE(text(std::string(501, 'x')), "");
    // The byte limit counts the blanks that trimming would drop.
    EXPECT_NE(text("x" + std::string(500, ' ')), "");

    auto font = [](std::string value) {
        return failure([&] { ParameterValidator::validateFontName(value); });
    };
    EXPECT_EQ(font("Georgia"), "");
    EXPECT_EQ(font(std::string(100, 'f')), "");
    EXPECT_NE(font(std::string(101, 'f')), "");
    EXPECT_EQ(font(" \n"), R"(invalidTextContent(" \n"))");
    EXPECT_NE(font(std::string("Geor\0gia", 8)), "");
}

TEST(ParameterValidator, ColourNamesInAnyCaseAndLanguageNormaliseToTheTenNames) {
    auto colour = [](std::string value) {
        return failure([&] { ParameterValidator::validateColorName(value); });
    };
    EXPECT_EQ(colour("Red"), "");
    EXPECT_EQ(colour("ROUGE"), "");
    EXPECT_EQ(colour("赤"), "");
    EXPECT_EQ(colour("GRÜN"), "");
    EXPECT_EQ(colour("magenta"), R"(invalidTextContent("magenta"))");
    EXPECT_EQ(colour(""), R"(invalidTextContent(""))");
    EXPECT_EQ(colour(" red"), R"(invalidTextContent(" red"))");
    EXPECT_NE(colour(std::string("red\0", 4)), "");

    EXPECT_EQ(ParameterValidator::normalizeColorName("Red"), "red");
    EXPECT_EQ(ParameterValidator::normalizeColorName("ROUGE"), "red");
    EXPECT_EQ(ParameterValidator::normalizeColorName("赤"), "red");
    EXPECT_EQ(ParameterValidator::normalizeColorName("Weiß"), "white");
    EXPECT_EQ(ParameterValidator::normalizeColorName("violet"), "purple");
    EXPECT_EQ(ParameterValidator::normalizeColorName("orange"), "orange");
    EXPECT_EQ(ParameterValidator::normalizeColorName("Gris"), "gray");
    // Decomposed "grün" (u + combining diaeresis) and decomposed Hangul syllables
    // are the same words.
    EXPECT_EQ(ParameterValidator::normalizeColorName("gru\u0308n"), "green");
    EXPECT_EQ(ParameterValidator::normalizeColorName("\u1112\u116C\u1109\u1162\u11A8"), "gray");
    EXPECT_EQ(ParameterValidator::normalizeColorName("grey"), std::nullopt);
    EXPECT_EQ(ParameterValidator::normalizeColorName(""), std::nullopt);

    // Every localised name maps to one of the ten.
    std::set<std::string> ten(ParameterValidator::validColorNames.begin(),
                              ParameterValidator::validColorNames.end());
    for (std::string name :
         {"白",       "흰색",   "白色",   "branco", "blanco",   "blanc",   "weiß",     "黒",
          "검정",     "黑色",   "preto",  "negro",  "noir",     "schwarz", "빨간색",   "红色",
          "vermelho", "rojo",   "rot",    "黄色",   "노란색",   "amarelo", "amarillo", "jaune",
          "gelb",     "青",     "파란색", "蓝色",   "azul",     "bleu",    "blau",     "緑",
          "녹색",     "绿色",   "verde",  "vert",   "オレンジ", "주황색",  "橙色",     "laranja",
          "naranja",  "紫",     "보라색", "紫色",   "roxo",     "morado",  "lila",     "ピンク",
          "분홍색",   "粉红色", "rosa",   "灰色",   "회색",     "cinza",   "grau"}) {
        auto normalised = ParameterValidator::normalizeColorName(name);
        ASSERT_TRUE(normalised.has_value()) << name;
        EXPECT_TRUE(ten.count(*normalised)) << name;
    }
}
