#include "domain/entities/ColorAdjust.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(ColorAdjust, NeutralWithinOneBillionth) {
    EXPECT_TRUE(ColorAdjust{}.isNeutral());
    EXPECT_TRUE((ColorAdjust{1e-10, 1.0, 1.0}.isNeutral()));
    EXPECT_FALSE((ColorAdjust{1e-9, 1.0, 1.0}.isNeutral()));
    EXPECT_FALSE((ColorAdjust{-1e-9, 1.0, 1.0}.isNeutral()));
    EXPECT_TRUE((ColorAdjust{0, 1 + 5e-10, 1 - 5e-10}.isNeutral()));
    EXPECT_FALSE((ColorAdjust{0, 1.2, 1}.isNeutral()));
    EXPECT_FALSE((ColorAdjust{0, 1, 0}.isNeutral()));
}

TEST(ColorAdjust, EncodedFormRoundTripsWithoutRangeChecks) {
    ColorAdjust adjust{0.25, 1.5, 0};
    EXPECT_EQ(Json(adjust).dump(), R"({"brightness":0.25,"contrast":1.5,"saturation":0.0})");
    EXPECT_EQ(Json(adjust).get<ColorAdjust>(), adjust);
    EXPECT_EQ(decode<ColorAdjust>(R"({"saturation": 1, "brightness": 5, "contrast": -2})"),
              (ColorAdjust{5, -2, 1}));
    auto missing = decodeFailure<ColorAdjust>(R"({"brightness": 0, "contrast": 1})");
    ASSERT_TRUE(missing);
    EXPECT_EQ(missing->kind(), DecodeError::Kind::keyNotFound);
    EXPECT_EQ(missing->key(), "saturation");
    EXPECT_EQ(decodeFailure<ColorAdjust>(R"({"brightness": "0", "contrast": 1, "saturation": 1})")
                  ->kind(),
              DecodeError::Kind::typeMismatch);
}
