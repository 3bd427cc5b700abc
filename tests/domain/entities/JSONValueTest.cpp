#include "domain/entities/JSONValue.h"

#include "foundation/DecodeError.h"
#include "foundation/JsonReader.h"

#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>

using namespace vexel;

namespace {

JSONValue decoded(std::string_view text) {
    return json::parse(text).get<JSONValue>();
}

} // namespace

TEST(JSONValue, DecodesBooleansAsBooleansAndEveryNumberAsDouble) {
    EXPECT_EQ(decoded("true"), JSONValue::boolean(true));
    EXPECT_EQ(decoded("true").kind(), JSONValue::Kind::boolean);
    EXPECT_EQ(decoded("false").boolValue(), false);
    EXPECT_FALSE(decoded("true").numberValue().has_value());

    EXPECT_EQ(decoded("3"), JSONValue::number(3.0));
    EXPECT_EQ(decoded("3.0"), JSONValue::number(3.0));
    EXPECT_EQ(decoded("3"), decoded("3.0"));
    EXPECT_EQ(decoded("1").kind(), JSONValue::Kind::number);
    EXPECT_FALSE(decoded("1").boolValue().has_value());
    EXPECT_EQ(decoded("-2.5e3").numberValue(), -2500.0);
    EXPECT_EQ(decoded("18446744073709551615").numberValue(), 18446744073709551615.0);

    EXPECT_TRUE(decoded("null").isNull());
    EXPECT_EQ(*decoded("\"3\"").stringValue(), "3");
}

TEST(JSONValue, DecodesNestedValuesRecursively) {
    JSONValue value = decoded(R"({"a": {"b": [1, "x", null, {"c": false}]}, "d": []})");
    JSONValue expected = JSONValue::object({
        {"a", JSONValue::object({{"b", JSONValue::array({
                                           JSONValue::number(1),
                                           JSONValue::string("x"),
                                           JSONValue::null(),
                                           JSONValue::object({{"c", JSONValue::boolean(false)}}),
                                       })}})},
        {"d", JSONValue::array({})},
    });
    EXPECT_EQ(value, expected);
    ASSERT_NE(value.objectValue(), nullptr);
    const JSONValue& inner = value.objectValue()->at("a").objectValue()->at("b");
    ASSERT_NE(inner.arrayValue(), nullptr);
    EXPECT_EQ(inner.arrayValue()->size(), 4u);
    EXPECT_EQ(value.stringValue(), nullptr);
    EXPECT_EQ(value.arrayValue(), nullptr);
}

TEST(JSONValue, EqualityIsStructural) {
    EXPECT_EQ(decoded(R"({"a":1,"b":2})"), decoded(R"({"b":2.0,"a":1})"));
    EXPECT_NE(decoded("[1,2]"), decoded("[2,1]"));
    EXPECT_NE(JSONValue::number(1), JSONValue::boolean(true));
    EXPECT_NE(JSONValue::number(0), JSONValue::null());
    EXPECT_NE(JSONValue::string(""), JSONValue::null());
    EXPECT_NE(decoded(R"({"a":null})"), decoded("{}"));
    EXPECT_NE(decoded("[[1]]"), decoded("[[1,2]]"));
    EXPECT_EQ(JSONValue(), JSONValue::null());
}

TEST(JSONValue, EncodesPayloadsAndRoundTrips) {
    std::string text = R"({"list":[1.5,true,null,"s"],"n":-0.25,"o":{}})";
    JSONValue value = decoded(text);
    EXPECT_EQ(Json(value).dump(), text);
    EXPECT_EQ(Json(value).get<JSONValue>(), value);
    EXPECT_EQ(Json(JSONValue::null()).dump(), "null");
    EXPECT_EQ(Json(JSONValue::number(3)).dump(), "3.0");
    EXPECT_EQ(Json(JSONValue::object({})).dump(), "{}");
    EXPECT_EQ(Json(JSONValue::array({})).dump(), "[]");
}

TEST(JSONValue, NonFiniteNumbersHaveNoEncodedForm) {
    EXPECT_THROW(Json(JSONValue::number(std::numeric_limits<double>::quiet_NaN())),
                 std::invalid_argument);
    EXPECT_THROW(
        Json(JSONValue::array({JSONValue::number(std::numeric_limits<double>::infinity())})),
        std::invalid_argument);
}

TEST(JSONValue, ValueOfNoJSONKindIsATypeMismatch) {
    Json discarded(Json::value_t::discarded);
    try {
        discarded.get<JSONValue>();
        FAIL() << "expected a decoding error";
    } catch (const DecodeError& error) {
        EXPECT_EQ(error.kind(), DecodeError::Kind::typeMismatch);
        EXPECT_EQ(error.description(), "Unable to decode JSONValue");
        EXPECT_EQ(error.key(), "");
    }

    Json list = Json::array({1, Json::binary({1, 2})});
    try {
        list.get<JSONValue>();
        FAIL() << "expected a decoding error";
    } catch (const DecodeError& error) {
        EXPECT_EQ(error.kind(), DecodeError::Kind::typeMismatch);
        EXPECT_EQ(error.key(), "Index 1");
    }
}
