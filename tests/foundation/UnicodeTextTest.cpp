#include "foundation/UnicodeText.h"

#include <gtest/gtest.h>

using namespace vexel::unicode;
using namespace std::string_literals;

TEST(UnicodeText, CountsAndCutsGraphemeClusters) {
    EXPECT_EQ(graphemeCount(""), 0u);
    EXPECT_EQ(graphemeCount("abc"), 3u);
    EXPECT_EQ(graphemeCount("e\xCC\x81"), 1u);                        // e + combining acute
    EXPECT_EQ(graphemeCount("\xF0\x9F\x91\x8D\xF0\x9F\x8F\xBD"), 1u); // thumbs up + skin tone
    EXPECT_EQ(graphemeCount("\xF0\x9F\x87\xA9\xF0\x9F\x87\xAA"), 1u); // flag DE
    EXPECT_EQ(graphemeCount("a\0b"s), 3u);
    EXPECT_EQ(graphemePrefix("he\xCC\x81llo", 2), "he\xCC\x81");
    EXPECT_EQ(graphemePrefix("abc", 10), "abc");
    EXPECT_EQ(graphemePrefix("abc", 0), "");
}

TEST(UnicodeText, BytePrefixNeverSplitsACluster) {
    std::string text = "\xC3\xA9\xC3\xA9\xC3\xA9"; // three two-byte characters
    EXPECT_EQ(graphemePrefixWithinBytes(text, 5), "\xC3\xA9\xC3\xA9");
    EXPECT_EQ(graphemePrefixWithinBytes(text, 1), "");
    EXPECT_EQ(graphemePrefixWithinBytes("abc", 3), "abc");
}

TEST(UnicodeText, RemovesControlAndFormatCharacters) {
    EXPECT_EQ(removingControlAndFormatCharacters("a\tb\nc\x7F"
                                                 "d\xE2\x80\x8B"
                                                 "e\xE2\x80\x8F"),
              "abcde"); // tab, newline, DEL are Cc; U+200B and U+200F are Cf
    EXPECT_EQ(removingControlAndFormatCharacters("caf\xC3\xA9 \xF0\x9F\x8E\xAC"),
              "caf\xC3\xA9 \xF0\x9F\x8E\xAC");
}

TEST(UnicodeText, TrimsWhitespaceAndNewlines) {
    EXPECT_EQ(trimmingWhitespace(" \t\xC2\xA0hi there\xE3\x80\x80 "), "hi there");
    EXPECT_EQ(trimmingWhitespace("\nhi\n"), "\nhi\n");
    EXPECT_EQ(trimmingWhitespaceAndNewlines("\r\n\xE2\x80\xA8 hi \xC2\x85\x0B"), "hi");
    EXPECT_EQ(trimmingWhitespaceAndNewlines("   "), "");
    EXPECT_EQ(trimmingWhitespaceAndNewlines(""), "");
}

TEST(UnicodeText, LowerCasingIsFullAndCompositionCanonical) {
    EXPECT_EQ(lowercased("GR\xC3\x9CN"), "gr\xC3\xBCn");
    EXPECT_EQ(lowercased("Clip_2.MOV @Z[`"), "clip_2.mov @z[`");
    EXPECT_EQ(lowercased("\xC4\xB0"), "i\xCC\x87"); // I with dot above -> i + combining dot
    EXPECT_EQ(nfc("gru\xCC\x88n"), "gr\xC3\xBCn");
    EXPECT_EQ(nfc("plain"), "plain");
}

TEST(UnicodeText, Utf8Validity) {
    EXPECT_TRUE(isValidUtf8("h\xC3\xA9llo"));
    EXPECT_TRUE(isValidUtf8(""));
    EXPECT_FALSE(isValidUtf8("\xC3"));
    EXPECT_FALSE(isValidUtf8("\xED\xA0\x80")); // surrogate
    EXPECT_FALSE(isValidUtf8("\xC0\xAF"));     // overlong

    // Each maximal invalid subpart becomes one U+FFFD; valid text is kept.
    EXPECT_EQ(replacingInvalidUtf8("h\xC3\xA9llo"), "h\xC3\xA9llo");
    EXPECT_EQ(replacingInvalidUtf8("clip\xFF.mov"), "clip\xEF\xBF\xBD.mov");
    EXPECT_EQ(replacingInvalidUtf8("\xE2\x82x"), "\xEF\xBF\xBDx"); // cut-off sequence
    EXPECT_EQ(replacingInvalidUtf8("\xC0\xAF"), "\xEF\xBF\xBD\xEF\xBF\xBD");
    EXPECT_EQ(replacingInvalidUtf8(std::string("a\0b", 3)), std::string("a\0b", 3));
    EXPECT_TRUE(isValidUtf8(replacingInvalidUtf8("\xED\xA0\x80\xF4\x90\x80\x80")));
}
