#include "foundation/CaseText.h"
#include "foundation/NumberText.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace std::string_literals;

TEST(CaseText, RendersCasesWithEscapedStringsAndNumberText) {
    EXPECT_EQ(casetext::call("missingParameter", {casetext::quoted("height")}),
              R"(missingParameter("height"))");
    EXPECT_EQ(
        casetext::call("invalidParameterValue", {casetext::quoted("volume"), formatNumber(1.5)}),
        R"(invalidParameterValue("volume", 1.5))");
    EXPECT_EQ(casetext::call("emptyProject", {}), "emptyProject");
    EXPECT_EQ(casetext::quoted("a\"b\\c\nd\te\rf\0g"s), R"("a\"b\\c\nd\te\rf\0g")");
}
