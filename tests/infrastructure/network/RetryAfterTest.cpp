#include "infrastructure/network/RetryAfter.h"

#include <gtest/gtest.h>

#include <string>

using namespace vexel;

TEST(RetryAfter, ReadsPlainDecimalNumbersClampedToTheAllowedRange) {
    EXPECT_EQ(parseRetryAfter("5"), 5.0);
    EXPECT_EQ(parseRetryAfter("1.5"), 1.5);
    EXPECT_EQ(parseRetryAfter(".5"), 0.5);
    EXPECT_EQ(parseRetryAfter("2."), 2.0);
    EXPECT_EQ(parseRetryAfter("+2"), 2.0);
    EXPECT_EQ(parseRetryAfter("1e1"), 10.0);
    EXPECT_EQ(parseRetryAfter("120"), 30.0);
    EXPECT_EQ(parseRetryAfter("0"), 0.1);
    EXPECT_EQ(parseRetryAfter("-3"), 0.1);
    EXPECT_EQ(parseRetryAfter("0.05"), 0.1);
    // Beyond what a double holds: the sign of the magnitude still decides.
    EXPECT_EQ(parseRetryAfter("1e400"), 30.0);
    EXPECT_EQ(parseRetryAfter("-1e400"), 0.1);
    EXPECT_EQ(parseRetryAfter("1e-400"), 0.1);
    EXPECT_EQ(parseRetryAfter("0.0001e-400"), 0.1);
    EXPECT_EQ(parseRetryAfter("1" + std::string(400, '0')), 30.0);
}

TEST(RetryAfter, AnythingButAPlainNumberGivesNoDelay) {
    for (const char* text :
         {"", " 5", "5 ", "\t5", "inf", "Infinity", "nan", "0x10", "1e", "e5", "--1", "+-1", "5s",
          ".", "1..2", "1,5", "Wed, 21 Oct 2015 07:28:00 GMT"}) {
        EXPECT_EQ(parseRetryAfter(text), std::nullopt) << '"' << text << '"';
    }
}
