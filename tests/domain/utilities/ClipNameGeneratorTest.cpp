#include "domain/utilities/ClipNameGenerator.h"

#include "foundation/UnicodeText.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vexel;

namespace {

using Names = std::vector<std::string>;

Names generate(const std::string& name, int count, const Names& existing) {
    return ClipNameGenerator::generateNames(name, count, existing);
}

} // namespace

TEST(ClipNameGenerator, NumbersAfterTheHighestSuffixOfTheSameRootAndExtension) {
    EXPECT_EQ(generate("beach.mov", 2, {"beach.mov"}), (Names{"beach_1.mov", "beach_2.mov"}));
    EXPECT_EQ(generate("beach_2.mov", 1, {"beach.mov", "beach_2.mov", "beach_7.mov"}),
              (Names{"beach_8.mov"}));
    // The extension is lower-cased, the root keeps its case.
    EXPECT_EQ(generate("Beach.MOV", 1, {"Beach.MOV"}), (Names{"Beach_1.mov"}));
    // Another case of the root or another extension is another family.
    EXPECT_EQ(generate("beach.mov", 1, {"beach.mov", "Beach_9.mov", "beach_9.mp4"}),
              (Names{"beach_1.mov"}));
    // An upper-case extension of the same family counts.
    EXPECT_EQ(generate("beach.mov", 1, {"beach_4.MOV"}), (Names{"beach_5.mov"}));
    // The original counts only when it is among the existing names.
    EXPECT_EQ(generate("beach_5.mov", 1, {}), (Names{"beach_1.mov"}));
}

TEST(ClipNameGenerator, RootAndSuffixRules) {
    EXPECT_EQ(generate("clip_07", 1, {"clip_07"}), (Names{"clip_8"}));
    EXPECT_EQ(generate("clip_0.mp4", 1, {"clip_0.mp4"}), (Names{"clip_1.mp4"}));
    // txt is no media extension: the whole name is the root.
    EXPECT_EQ(generate("notes_2.txt", 1, {"notes_2.txt"}), (Names{"notes_2.txt_1"}));
    // Only the last underscore group is the number.
    EXPECT_EQ(generate("take_1_2.wav", 1, {"take_1_2.wav"}), (Names{"take_1_3.wav"}));
    EXPECT_EQ(generate("take_1_2.wav", 1, {"take_2.wav"}), (Names{"take_1_1.wav"}));
    // Degenerate names still give names.
    EXPECT_EQ(generate("", 1, {""}), (Names{"_1"}));
    EXPECT_EQ(generate(".mp4", 1, {".mp4"}), (Names{"_1.mp4"}));
    EXPECT_EQ(generate("_12", 1, {"_12"}), (Names{"_13"}));
    // Suffixes that do not read as a positive 64-bit integer count as none.
    EXPECT_EQ(generate("a.mp4", 1, {"a_99999999999999999999.mp4", "a_3.mp4"}), (Names{"a_4.mp4"}));
    EXPECT_EQ(generate("a.mp4", 1, {"a_+5.mp4"}), (Names{"a_1.mp4"}));
    EXPECT_TRUE(generate("a.mp4", 0, {}).empty());
}

TEST(ClipNameGenerator, LongRootsAreCutToKeepNamesAt255Characters) {
    const std::string root(300, 'r');
    const Names names = generate(root + ".mp4", 1, {});
    ASSERT_EQ(names.size(), 1u);
    EXPECT_EQ(names[0], std::string(249, 'r') + "_1.mp4");
    EXPECT_EQ(unicode::graphemeCount(names[0]), 255u);

    // Characters, not bytes: a root of 250 "é" (500 bytes) plus "_1.mp4" is 256
    // characters, so one character goes.
    std::string accented;
    for (int i = 0; i < 250; ++i) {
        accented += "\xC3\xA9";
    }
    const Names cut = generate(accented + ".mp4", 1, {});
    EXPECT_EQ(unicode::graphemeCount(cut[0]), 255u);
    EXPECT_EQ(cut[0], unicode::graphemePrefix(accented, 249) + "_1.mp4");
    // 248 characters of root plus "_1.mp4" stays as it is.
    EXPECT_EQ(generate(std::string(248, 'x') + ".mp4", 1, {})[0], std::string(248, 'x') + "_1.mp4");
}

TEST(ClipNameGenerator, NeverWrapsPastTheLargestSuffix) {
    const std::string max = "9223372036854775807";
    const std::string maxMinusOne = "9223372036854775806";
    // One number left: fine as usual.
    EXPECT_EQ(generate("a.mov", 1, {"a_" + maxMinusOne + ".mov"}), (Names{"a_" + max + ".mov"}));
    // No room for two more: the lowest unused numbers instead, never negative.
    EXPECT_EQ(generate("a.mov", 2, {"a_" + maxMinusOne + ".mov", "a_1.mov", "a_3.mov"}),
              (Names{"a_2.mov", "a_4.mov"}));
    EXPECT_EQ(generate("a.mov", 1, {"a_" + max + ".mov"}), (Names{"a_1.mov"}));
}
