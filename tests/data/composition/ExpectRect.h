#pragma once

#include "platform/media/Geometry.h"

#include <gtest/gtest.h>

namespace vexel::testing {

// Rectangles of placed pictures, equal to within rounding.
inline void expectRect(const media::Rect& actual, const media::Rect& expected) {
    EXPECT_NEAR(actual.minX(), expected.minX(), 1e-9);
    EXPECT_NEAR(actual.minY(), expected.minY(), 1e-9);
    EXPECT_NEAR(actual.size.width, expected.size.width, 1e-9);
    EXPECT_NEAR(actual.size.height, expected.size.height, 1e-9);
}

} // namespace vexel::testing
