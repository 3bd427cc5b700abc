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

TEST(CaseText, EscapesEveryControlCharacterAndReplacesStrayBytes) {
    // C0 controls, DEL and the C1 controls (U+0080 to U+009F) become \u{XX}; a
    // quote is escaped; printable text, U+00A0 and beyond stay as they are.
    EXPECT_EQ(casetext::quoted("it's\x01\x1f\x7f\u0085\u009f\u00a0\u00e9"s),
              "\"it\\'s\\u{01}\\u{1F}\\u{7F}\\u{85}\\u{9F}\u00a0\u00e9\"");
    // A byte that is not UTF-8 cannot pass through raw.
    EXPECT_EQ(casetext::quoted("a\xff\xc2"s), "\"a\uFFFD\uFFFD\"");
}
