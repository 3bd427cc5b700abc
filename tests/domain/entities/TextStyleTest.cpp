#include "domain/entities/TextStyle.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

namespace {

Json styleWith(const char* member, Json value) {
    Json json = json::parse(
        R"({"fontSize": 48, "textColor": "white", "strokeColor": "black", "strokeWidth": 2})");
    json[member] = std::move(value);
    return json;
}

std::optional<DecodeError> failure(const Json& json) {
    try {
        json.get<TextStyle>();
    } catch (const DecodeError& error) {
        return error;
    }
    return std::nullopt;
}

std::string repeated(const std::string& unit, int count) {
    std::string out;
    for (int i = 0; i < count; ++i) {
        out += unit;
    }
    return out;
}

} // namespace

TEST(TextStyle, DefaultStyle) {
    TextStyle style = TextStyle::defaultStyle();
    EXPECT_EQ(style.fontSize, 48);
    EXPECT_EQ(style.textColor, "white");
    EXPECT_EQ(style.strokeColor, "white");
    EXPECT_EQ(style.strokeWidth, 0);
    EXPECT_FALSE(style.fontName.has_value());
    EXPECT_FALSE(style.boxWidth.has_value());
    EXPECT_EQ(TextStyle::defaultBoxWidth, 0.96);
}

TEST(TextStyle, EncodesOptionalsOnlyWhenPresent) {
    EXPECT_EQ(Json(TextStyle{}).dump(),
              R"({"fontSize":48.0,"textColor":"white","strokeColor":"white","strokeWidth":0.0})");
    TextStyle full{24, "red", "black", 1.5, "Avenir Next", 0.5};
    EXPECT_EQ(Json(full).dump(), R"({"fontSize":24.0,"textColor":"red","strokeColor":"black",)"
                                 R"("strokeWidth":1.5,"fontName":"Avenir Next","boxWidth":0.5})");
    EXPECT_EQ(Json(full).get<TextStyle>(), full);
    // Sizes and colours are not the decoder's business.
    EXPECT_EQ(decode<TextStyle>(R"({"fontSize": -4, "textColor": "", "strokeColor": "nope",)"
                                R"( "strokeWidth": 900, "fontName": null})"),
              (TextStyle{-4, "", "nope", 900, std::nullopt, std::nullopt}));
    auto missing = decodeFailure<TextStyle>(
        R"({"textColor": "white", "strokeColor": "white", "strokeWidth": 0})");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->kind(), DecodeError::Kind::keyNotFound);
    EXPECT_EQ(missing->key(), "fontSize");
}

TEST(TextStyle, FontNameIsOneTo255BytesWithoutNul) {
    const std::string message = "fontName must be 1-255 UTF-8 bytes with no null bytes";
    EXPECT_FALSE(failure(styleWith("fontName", repeated("a", 255))));
    EXPECT_FALSE(failure(styleWith("fontName", repeated("\u20ac", 85)))); // 3 bytes each
    for (const std::string& bad : {repeated("a", 256), repeated("\u20ac", 86), std::string(),
                                   std::string("Font\0Name", 9)}) {
        auto error = failure(styleWith("fontName", bad));
        ASSERT_TRUE(error) << bad.size();
        EXPECT_EQ(error->kind(), DecodeError::Kind::dataCorrupted);
        EXPECT_EQ(error->key(), "fontName");
        EXPECT_EQ(error->description(), message);
    }
    EXPECT_EQ(failure(styleWith("fontName", 12))->kind(), DecodeError::Kind::typeMismatch);
}

TEST(TextStyle, BoxWidthIsFiniteInHalfOpenUnitRange) {
    const std::string message = "boxWidth must be finite and in range (0, 1.0]";
    EXPECT_EQ(styleWith("boxWidth", 1.0).get<TextStyle>().boxWidth, 1.0);
    EXPECT_EQ(styleWith("boxWidth", 1e-9).get<TextStyle>().boxWidth, 1e-9);
    for (double bad : {0.0, -0.5, 1.0000001, std::numeric_limits<double>::infinity(),
                       std::numeric_limits<double>::quiet_NaN()}) {
        auto error = failure(styleWith("boxWidth", bad));
        ASSERT_TRUE(error) << bad;
        EXPECT_EQ(error->key(), "boxWidth");
        EXPECT_EQ(error->description(), message);
    }
    // The font name is read and checked before the box width.
    Json both = styleWith("boxWidth", 2.0);
    both["fontName"] = "";
    EXPECT_EQ(failure(both)->key(), "fontName");
}
