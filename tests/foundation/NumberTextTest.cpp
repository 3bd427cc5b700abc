#include "foundation/NumberText.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>
#include <limits>

using vexel::formatFixed;
using vexel::formatNumber;

TEST(NumberText, DecimalFormKeepsOneFractionalDigitOnWholeValues) {
    EXPECT_EQ(formatNumber(6), "6.0");
    EXPECT_EQ(formatNumber(100000), "100000.0");
    EXPECT_EQ(formatNumber(0.25), "0.25");
    EXPECT_EQ(formatNumber(-2.5), "-2.5");
    EXPECT_EQ(formatNumber(0.1), "0.1");
    EXPECT_EQ(formatNumber(1.0 / 3.0), "0.3333333333333333");
    EXPECT_EQ(formatNumber(0.0001), "0.0001");
    EXPECT_EQ(formatNumber(123.456), "123.456");
    EXPECT_EQ(formatNumber(1e15), "1000000000000000.0");
    EXPECT_EQ(formatNumber(9007199254740991.0), "9007199254740991.0");
}

TEST(NumberText, ExponentFormOutsideTheDecimalRange) {
    EXPECT_EQ(formatNumber(1e-5), "1e-05");
    EXPECT_EQ(formatNumber(1.5e-7), "1.5e-07");
    EXPECT_EQ(formatNumber(1e16), "1e+16");
    EXPECT_EQ(formatNumber(9007199254740992.0), "9.007199254740992e+15");
    EXPECT_EQ(formatNumber(-1e100), "-1e+100");
    EXPECT_EQ(formatNumber(5e-324), "5e-324");
}

TEST(NumberText, SpecialValues) {
    EXPECT_EQ(formatNumber(0.0), "0.0");
    EXPECT_EQ(formatNumber(-0.0), "-0.0");
    EXPECT_EQ(formatNumber(std::nan("")), "nan");
    EXPECT_EQ(formatNumber(std::numeric_limits<double>::infinity()), "inf");
    EXPECT_EQ(formatNumber(-std::numeric_limits<double>::infinity()), "-inf");
}

TEST(NumberText, ShortestTextReadsBackExactly) {
    for (double v : {0.1 + 0.2, 1e-4 * 3, 2.0 / 7.0, 12345.678901234, 3600.0000000001}) {
        EXPECT_EQ(std::stod(formatNumber(v)), v) << formatNumber(v);
    }
}

TEST(NumberText, FixedDecimalsIgnoreTheLocale) {
    const char* previous = std::setlocale(LC_NUMERIC, "de_DE.UTF-8");
    EXPECT_EQ(formatFixed(2.0, 2), "2.00");
    EXPECT_EQ(formatFixed(-1.005, 2), "-1.00");
    EXPECT_EQ(formatFixed(0.05, 1), "0.1");
    EXPECT_EQ(formatFixed(1234.5, 0), "1234");
    if (previous) {
        std::setlocale(LC_NUMERIC, "C");
    }
}
