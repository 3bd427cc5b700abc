#include "data/llm/ToolDefinitions.h"
#include "data/llm/ToolName.h"

#include <gtest/gtest.h>
#include <openssl/evp.h>

#include <array>
#include <cstddef>
#include <set>
#include <stdexcept>
#include <string>
#include <vector>

using namespace vexel;

namespace {

std::string sha256Hex(const std::string& bytes) {
    std::array<unsigned char, EVP_MAX_MD_SIZE> digest{};
    unsigned int length = 0;
    EXPECT_EQ(EVP_Digest(bytes.data(), bytes.size(), digest.data(), &length, EVP_sha256(), nullptr),
              1);
    static constexpr char hex[] = "0123456789abcdef";
    std::string text;
    for (unsigned int i = 0; i < length; ++i) {
        text += hex[digest[i] >> 4];
        text += hex[digest[i] & 0x0F];
    }
    return text;
}

const Json& findTool(const Json& tools, std::string_view name) {
    for (const Json& tool : tools) {
        if (tool.at("name") == name) {
            return tool;
        }
    }
    throw std::out_of_range(std::string(name));
}

} // namespace

TEST(ToolName, RawValuesMatchWholeStringsExactly) {
    std::set<std::string_view> seen;
    for (ToolName name : allToolNames) {
        EXPECT_EQ(toolNameFromRaw(rawValue(name)), name);
        seen.insert(rawValue(name));
    }
    EXPECT_EQ(seen.size(), 23u);
    EXPECT_EQ(toolNameFromRaw("set_text_motion"), ToolName::setTextMotion);
    EXPECT_FALSE(toolNameFromRaw("Add_clip").has_value());
    EXPECT_FALSE(toolNameFromRaw("UNDO").has_value());
    EXPECT_FALSE(toolNameFromRaw("undo ").has_value());
    EXPECT_FALSE(toolNameFromRaw(" undo").has_value());
    EXPECT_FALSE(toolNameFromRaw(std::string_view("undo\0", 5)).has_value());
    EXPECT_FALSE(toolNameFromRaw("").has_value());
}

// The digest is of the compact serialisation (no spaces, UTF-8 as is) of the
// whole table; any change of a name, description, enum value, required list or
// member order changes it.
TEST(ToolDefinitions, SerialiseToTheExactPublishedTable) {
    std::string serialised = buildToolDefinitions().dump();
    EXPECT_EQ(serialised.size(), 16192u);
    EXPECT_EQ(sha256Hex(serialised),
              "12fac2a4f5c6000c6076e5d959f270ec75aaddadc6af18ca31e1cf1a65b0e5b3");
    // Rebuilt per call, identical each time.
    EXPECT_EQ(buildToolDefinitions().dump(), serialised);
}

TEST(ToolDefinitions, EveryDefinitionIsAClosedSchemaNamedInToolOrder) {
    Json tools = buildToolDefinitions();
    ASSERT_TRUE(tools.is_array());
    ASSERT_EQ(tools.size(), allToolNames.size());
    std::size_t propertyCount = 0;
    for (std::size_t i = 0; i < tools.size(); ++i) {
        const Json& tool = tools[i];
        SCOPED_TRACE(tool.dump());
        std::vector<std::string> keys;
        for (const auto& [key, value] : tool.items()) {
            keys.push_back(key);
        }
        EXPECT_EQ(keys, (std::vector<std::string>{"name", "description", "input_schema"}));
        EXPECT_EQ(tool.at("name"), rawValue(allToolNames[i]));
        ASSERT_TRUE(tool.at("description").is_string());
        EXPECT_FALSE(tool.at("description").get<std::string>().empty());

        const Json& schema = tool.at("input_schema");
        keys.clear();
        for (const auto& [key, value] : schema.items()) {
            keys.push_back(key);
        }
        EXPECT_EQ(keys, (std::vector<std::string>{"type", "properties", "required",
                                                  "additionalProperties"}));
        EXPECT_EQ(schema.at("type"), "object");
        EXPECT_TRUE(schema.at("additionalProperties").is_boolean());
        EXPECT_EQ(schema.at("additionalProperties"), false);
        ASSERT_TRUE(schema.at("properties").is_object());
        ASSERT_TRUE(schema.at("required").is_array());

        std::set<std::string> required;
        for (const Json& key : schema.at("required")) {
            ASSERT_TRUE(key.is_string());
            EXPECT_TRUE(schema.at("properties").contains(key.get<std::string>())) << key;
            EXPECT_TRUE(required.insert(key.get<std::string>()).second) << "repeated " << key;
        }
        for (const auto& [key, property] : schema.at("properties").items()) {
            ++propertyCount;
            ASSERT_TRUE(property.at("type") == "string" || property.at("type") == "number") << key;
            EXPECT_TRUE(property.at("description").is_string());
            for (const auto& [member, value] : property.items()) {
                EXPECT_TRUE(member == "type" || member == "description" || member == "enum")
                    << key << "." << member;
            }
            if (property.contains("enum")) {
                EXPECT_EQ(property.at("type"), "string") << key;
                EXPECT_FALSE(property.at("enum").empty()) << key;
            }
        }
    }
    EXPECT_EQ(propertyCount, 98u);
}

TEST(ToolDefinitions, ParameterlessAndOptionalOnlyToolsKeepEmptyContainers) {
    Json tools = buildToolDefinitions();
    for (std::string_view name : {"show_tutorial", "undo", "redo"}) {
        const Json& schema = findTool(tools, name).at("input_schema");
        EXPECT_EQ(schema.at("properties").dump(), "{}") << name;
        EXPECT_EQ(schema.at("required").dump(), "[]") << name;
    }
    const Json& addText = findTool(tools, "add_text").at("input_schema");
    EXPECT_EQ(addText.at("required").dump(), "[]");
    EXPECT_EQ(addText.at("properties").size(), 12u);
}

TEST(ToolDefinitions, ColourEnumsAreTheTenEnglishNamesInCodePointOrder) {
    Json tools = buildToolDefinitions();
    const Json expected = {"black", "blue",   "gray", "green", "orange",
                           "pink",  "purple", "red",  "white", "yellow"};
    for (std::string_view name : {"add_text", "edit_text_style"}) {
        const Json& properties = findTool(tools, name).at("input_schema").at("properties");
        EXPECT_EQ(properties.at("textColor").at("enum"), expected) << name;
        EXPECT_EQ(properties.at("strokeColor").at("enum"), expected) << name;
    }
}

TEST(ToolDefinitions, TextsKeepTheirQuotesAndNonAsciiCharacters) {
    Json tools = buildToolDefinitions();
    const Json& trimDuration =
        findTool(tools, "trim_clip").at("input_schema").at("properties").at("duration");
    EXPECT_NE(trimDuration.at("description").get<std::string>().find("At 2\xC3\x97 speed"),
              std::string::npos);
    const Json& flip =
        findTool(tools, "rotate_flip").at("input_schema").at("properties").at("flipVertical");
    EXPECT_EQ(flip.at("type"), "string");
    EXPECT_EQ(flip.dump(), R"({"type":"string","description":"Set to \"true\" to flip )"
                           R"(vertically, \"false\" to unflip."})");
}
