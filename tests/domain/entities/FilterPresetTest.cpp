#include "domain/entities/FilterPreset.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(FilterPreset, ActiveUnlessEmptyOrExactlyNone) {
    EXPECT_FALSE((FilterPreset{"none", 1.0}.isActive()));
    EXPECT_FALSE((FilterPreset{"", 1.0}.isActive()));
    EXPECT_TRUE((FilterPreset{"None", 1.0}.isActive()));
    EXPECT_TRUE((FilterPreset{"sepia", 0.0}.isActive()));
    // Equal names with different intensities are different values, active or not.
    EXPECT_NE((FilterPreset{"none", 1.0}), (FilterPreset{"none", 0.5}));
    EXPECT_EQ((FilterPreset{"noir", 0.5}), (FilterPreset{"noir", 0.5}));
}

TEST(FilterPreset, DecodingClampsIntensityAndKeepsUnknownNames) {
    EXPECT_EQ(decode<FilterPreset>(R"({"name": "sepia", "intensity": 1.5})").intensity, 1.0);
    EXPECT_EQ(decode<FilterPreset>(R"({"name": "sepia", "intensity": -0.2})").intensity, 0.0);
    EXPECT_EQ(decode<FilterPreset>(R"({"name": "vintage", "intensity": 0.3})"),
              (FilterPreset{"vintage", 0.3}));
    FilterPreset outOfRange{"noir", 7};
    EXPECT_EQ(Json(outOfRange).dump(), R"({"name":"noir","intensity":7.0})");
    EXPECT_EQ(decodeFailure<FilterPreset>(R"({"name": "noir"})")->key(), "intensity");
    EXPECT_EQ(decodeFailure<FilterPreset>(R"({"name": 3, "intensity": 1})")->kind(),
              DecodeError::Kind::typeMismatch);
}
