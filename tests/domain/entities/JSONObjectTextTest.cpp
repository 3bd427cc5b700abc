#include "domain/entities/JSONObjectText.h"

#include <gtest/gtest.h>

#include <string>

using vexel::JSONObject;
using vexel::JSONObjectText;
using vexel::JSONValue;

TEST(JSONObjectText, HoldsAnObjectAsTheTextItsMembersWrite) {
    // Keys in order, every number a double, a later duplicate winning: the
    // text that the members read from it write back.
    const auto parsed = JSONObjectText::fromJSON(
        R"( {"b": 1, "a": {"y": [1, 2.5, true, null], "x": "s\u00e9"}, "b": 20} )");
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->text(), R"({"a":{"x":"sé","y":[1.0,2.5,true,null]},"b":20.0})");
    const JSONObject members{
        {"a",
         JSONValue::object({{"x", JSONValue::string("s\u00e9")},
                            {"y", JSONValue::array({JSONValue::number(1), JSONValue::number(2.5),
                                                    JSONValue::boolean(true), JSONValue()})}})},
        {"b", JSONValue::number(20)}};
    EXPECT_EQ(parsed->members(), members);
    EXPECT_EQ(JSONObjectText(members).text(), parsed->text());
    EXPECT_EQ(JSONObjectText(members), *parsed);

    // Compared as members: the sign of a zero does not tell them apart.
    EXPECT_EQ(*JSONObjectText::fromJSON(R"({"at": -0.0})"),
              *JSONObjectText::fromJSON(R"({"at": 0})"));
    EXPECT_NE(*JSONObjectText::fromJSON(R"({"at": 1})"), *JSONObjectText::fromJSON(R"({"at": 2})"));
    EXPECT_EQ(JSONObjectText().text(), "{}");
    EXPECT_EQ(*JSONObjectText::fromJSON("{}"), JSONObjectText());

    // Copies share the one text.
    const JSONObjectText copy = *parsed;
    EXPECT_EQ(&copy.text(), &parsed->text());

    const std::string nested = std::string(600, '[') + std::string(600, ']');
    for (const std::string& text :
         {std::string(), std::string("[1]"), std::string(R"("x")"), std::string("{"),
          std::string(R"({"a": 1e400})"), nested, R"({"a": )" + nested + "}"}) {
        EXPECT_FALSE(JSONObjectText::fromJSON(text)) << text.substr(0, 20);
    }
}
