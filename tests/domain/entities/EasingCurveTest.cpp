#include "domain/entities/EasingCurve.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(EasingCurve, EasedProgressFollowsTheQuadraticTable) {
    EXPECT_DOUBLE_EQ(easedProgress(EasingCurve::linear, 0.5), 0.5);
    EXPECT_DOUBLE_EQ(easedProgress(EasingCurve::easeInOut, 0.5), 0.5);
    EXPECT_DOUBLE_EQ(easedProgress(EasingCurve::easeIn, 0.5), 0.25);
    EXPECT_DOUBLE_EQ(easedProgress(EasingCurve::easeOut, 0.5), 0.75);
    EXPECT_DOUBLE_EQ(easedProgress(EasingCurve::easeInOut, 0.25), 0.125);
    EXPECT_DOUBLE_EQ(easedProgress(EasingCurve::easeInOut, 0.75), 0.875);
    EXPECT_DOUBLE_EQ(easedProgress(EasingCurve::easeIn, 0.25), 0.0625);
    EXPECT_DOUBLE_EQ(easedProgress(EasingCurve::easeOut, 0.25), 0.4375);
    for (EasingCurve curve : allEasingCurves) {
        EXPECT_EQ(easedProgress(curve, 0), 0) << rawValue(curve);
        EXPECT_EQ(easedProgress(curve, 1), 1) << rawValue(curve);
    }
}

TEST(EasingCurve, ProgressIsClampedFirstAndNaNCountsAsStart) {
    for (EasingCurve curve : allEasingCurves) {
        EXPECT_EQ(easedProgress(curve, -3), 0) << rawValue(curve);
        EXPECT_EQ(easedProgress(curve, 7.5), 1) << rawValue(curve);
        EXPECT_EQ(easedProgress(curve, std::numeric_limits<double>::infinity()), 1);
        EXPECT_EQ(easedProgress(curve, std::nan("")), 0) << rawValue(curve);
    }
}

TEST(EasingCurve, RawValuesAreExactAndCaseSensitive) {
    EXPECT_EQ(easingCurveFromRaw("easeInOut"), EasingCurve::easeInOut);
    EXPECT_FALSE(easingCurveFromRaw("easeinout").has_value());
    EXPECT_FALSE(easingCurveFromRaw("").has_value());
    EXPECT_EQ(rawValue(allEasingCurves[2]), "easeOut");

    EXPECT_EQ(Json(EasingCurve::easeIn).dump(), "\"easeIn\"");
    EXPECT_EQ(decode<EasingCurve>("\"linear\""), EasingCurve::linear);
    auto error = decodeFailure<EasingCurve>("\"bouncy\"");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(error->description(),
              "Cannot initialize EasingCurve from invalid String value bouncy");
}
