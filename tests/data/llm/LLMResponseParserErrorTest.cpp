#include "data/llm/LLMResponseParserError.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vexel;

TEST(LLMResponseParserError, TextIsTheCaseInItsCallForm) {
    EXPECT_EQ(LLMResponseParserError::missingParameter("text").description(),
              R"(missingParameter("text"))");
    EXPECT_EQ(LLMResponseParserError::unknownAction("Undo").description(),
              R"(unknownAction("Undo"))");
    EXPECT_EQ(LLMResponseParserError::targetNotFound("a.mov").description(),
              R"(targetNotFound("a.mov"))");
    EXPECT_EQ(LLMResponseParserError::unknownTrackType("text").description(),
              R"(unknownTrackType("text"))");
    EXPECT_EQ(LLMResponseParserError::invalidFilename("../a").description(),
              R"(invalidFilename("../a"))");
    EXPECT_EQ(LLMResponseParserError::invalidTextContent("   ").description(),
              R"(invalidTextContent("   "))");
    EXPECT_EQ(LLMResponseParserError::invalidPosition("middle").description(),
              R"(invalidPosition("middle"))");
    EXPECT_EQ(LLMResponseParserError::invalidExportFormat("MP4").description(),
              R"(invalidExportFormat("MP4"))");
    EXPECT_STREQ(LLMResponseParserError::invalidExportFormat("MP4").what(),
                 R"(invalidExportFormat("MP4"))");
}

TEST(LLMResponseParserError, NumbersUseNumberTextAndStringsAreEscaped) {
    EXPECT_EQ(LLMResponseParserError::invalidParameterValue("volume", 1.5).description(),
              R"(invalidParameterValue("volume", 1.5))");
    EXPECT_EQ(LLMResponseParserError::invalidParameterValue("duration", 0).description(),
              R"(invalidParameterValue("duration", 0.0))");
    EXPECT_EQ(LLMResponseParserError::invalidParameterValue("to", -0.1).description(),
              R"(invalidParameterValue("to", -0.1))");
    EXPECT_EQ(LLMResponseParserError::invalidParameterValue(
                  "at", std::numeric_limits<double>::quiet_NaN())
                  .description(),
              R"(invalidParameterValue("at", nan))");
    EXPECT_EQ(LLMResponseParserError::invalidParameterValue("at", -INFINITY).description(),
              R"(invalidParameterValue("at", -inf))");
    EXPECT_EQ(
        LLMResponseParserError::invalidTextContent(std::string("a\"b\\c\nd\0e", 9)).description(),
        R"(invalidTextContent("a\"b\\c\nd\0e"))");
}

TEST(LLMResponseParserError, EqualityComparesCaseAndPayloads) {
    using E = LLMResponseParserError;
    EXPECT_EQ(E::missingParameter("at"), E::missingParameter("at"));
    EXPECT_NE(E::missingParameter("at"), E::targetNotFound("at"));
    EXPECT_NE(E::missingParameter("at"), E::missingParameter("to"));
    EXPECT_EQ(E::invalidParameterValue("to", 1), E::invalidParameterValue("to", 1.0));
    EXPECT_NE(E::invalidParameterValue("to", 1), E::invalidParameterValue("to", 2));
    EXPECT_EQ(E::invalidParameterValue("to", 1).value(), 1.0);
    EXPECT_FALSE(E::missingParameter("to").value().has_value());
    EXPECT_EQ(E::missingParameter("to").kind(), E::Kind::missingParameter);
    EXPECT_EQ(E::missingParameter("to").text(), "to");
}
