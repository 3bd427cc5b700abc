#include "foundation/JsonReader.h"

#include <gtest/gtest.h>

using namespace vexel;

namespace {

template <typename F> DecodeError captureDecodeError(F&& f) {
    try {
        f();
    } catch (const DecodeError& error) {
        return error;
    }
    ADD_FAILURE() << "no DecodeError thrown";
    return DecodeError::dataCorrupted("", "");
}

} // namespace

TEST(JsonReader, RequiredMembersReportMissingNullAndWrongType) {
    Json object = json::parse(R"({"a": 1.5, "n": null, "s": "x", "b": true})");
    EXPECT_EQ(json::readDouble(object, "a"), 1.5);
    EXPECT_EQ(captureDecodeError([&] { json::readDouble(object, "missing"); }).kind(),
              DecodeError::Kind::keyNotFound);
    EXPECT_EQ(captureDecodeError([&] { json::readDouble(object, "n"); }).kind(),
              DecodeError::Kind::valueNotFound);
    auto mismatch = captureDecodeError([&] { json::readDouble(object, "b"); });
    EXPECT_EQ(mismatch.kind(), DecodeError::Kind::typeMismatch);
    EXPECT_EQ(mismatch.key(), "b");
    EXPECT_EQ(captureDecodeError([&] { json::readString(object, "a"); }).kind(),
              DecodeError::Kind::typeMismatch);
    EXPECT_EQ(captureDecodeError([&] { json::readBool(object, "s"); }).kind(),
              DecodeError::Kind::typeMismatch);
}

TEST(JsonReader, OptionalMembersAreAbsentWhenMissingOrNullButStillTyped) {
    Json object = json::parse(R"({"n": null, "s": "x", "i": 3})");
    EXPECT_FALSE(json::readOptionalDouble(object, "missing").has_value());
    EXPECT_FALSE(json::readOptionalString(object, "n").has_value());
    EXPECT_EQ(json::readOptionalString(object, "s"), "x");
    EXPECT_EQ(json::readOptionalDouble(object, "i"), 3.0);
    EXPECT_EQ(captureDecodeError([&] { json::readOptionalBool(object, "s"); }).kind(),
              DecodeError::Kind::typeMismatch);
}

TEST(JsonReader, IntegersAcceptOnlyWholeNumbers) {
    Json object = json::parse(R"({"a": 90, "b": 90.0, "c": 90.5, "d": true, "e": 1e300})");
    EXPECT_EQ(json::readInt(object, "a"), 90);
    EXPECT_EQ(json::readInt(object, "b"), 90);
    EXPECT_THROW(json::readInt(object, "c"), DecodeError);
    EXPECT_THROW(json::readInt(object, "d"), DecodeError);
    EXPECT_THROW(json::readInt(object, "e"), DecodeError);
}

TEST(JsonReader, NonObjectsAndBadTextFailCleanly) {
    Json scalar = json::parse("42");
    EXPECT_EQ(captureDecodeError([&] { json::readDouble(scalar, "a"); }).kind(),
              DecodeError::Kind::typeMismatch);
    EXPECT_EQ(captureDecodeError([] { json::parse("{\"a\": "); }).kind(),
              DecodeError::Kind::dataCorrupted);
    EXPECT_THROW(json::readObject(json::parse(R"({"o": []})"), "o"), DecodeError);
    EXPECT_THROW(json::readArray(json::parse(R"({"o": {}})"), "o"), DecodeError);
}

TEST(JsonReader, NestingBeyondTheLimitIsMalformed) {
    const auto nested = [](std::size_t depth, std::string_view inner) {
        return std::string(depth, '[') + std::string(inner) + std::string(depth, ']');
    };
    EXPECT_TRUE(json::tryParse(nested(json::maxNestingDepth, "1")).has_value());
    EXPECT_FALSE(json::tryParse(nested(json::maxNestingDepth + 1, "1")).has_value());
    // Far deeper than any stack could walk: refused before anything is built.
    EXPECT_EQ(captureDecodeError([&] { json::parse(nested(300000, "")); }).kind(),
              DecodeError::Kind::dataCorrupted);
    // Brackets inside strings, escaped quotes included, do not count.
    const std::string text = "{\"a\": \"\\\"" + std::string(1000, '[') + "\"}";
    EXPECT_EQ(json::parse(text).at("a").get<std::string>().size(), 1001u);
    EXPECT_FALSE(json::tryParse("{\"a\": ").has_value());
}

TEST(JsonReader, EncodedMembersKeepTheirWrittenOrder) {
    Json object;
    object["zeta"] = 1;
    object["alpha"] = 2;
    EXPECT_EQ(object.dump(), R"({"zeta":1,"alpha":2})");
}
