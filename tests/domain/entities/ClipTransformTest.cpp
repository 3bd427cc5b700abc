#include "domain/entities/ClipTransform.h"

#include "support/DecodeFailure.h"

#include <gtest/gtest.h>

using namespace vexel;
using vexel::testing::decode;
using vexel::testing::decodeFailure;

TEST(ClipTransform, IdentityAllowsAWholeFrameCropWithinOneBillionth) {
    EXPECT_TRUE(ClipTransform::identity().isIdentity());
    EXPECT_EQ(ClipTransform::identity(), ClipTransform{});

    ClipTransform transform;
    transform.cropRect = NormalizedRect{0, 0, 1, 1};
    EXPECT_TRUE(transform.isIdentity());
    transform.cropRect = NormalizedRect{5e-10, -5e-10, 1 + 5e-10, 1 - 5e-10};
    EXPECT_TRUE(transform.isIdentity());
    transform.cropRect = NormalizedRect{0, 0, 0.999, 1};
    EXPECT_FALSE(transform.isIdentity());
    transform.cropRect = NormalizedRect{1e-9, 0, 1, 1};
    EXPECT_FALSE(transform.isIdentity());

    ClipTransform rotated{90, false, false, NormalizedRect{0, 0, 1, 1}};
    EXPECT_FALSE(rotated.isIdentity());
    EXPECT_FALSE((ClipTransform{90, false, false, std::nullopt}.isIdentity()));
    EXPECT_FALSE((ClipTransform{0, true, false, std::nullopt}.isIdentity()));
    EXPECT_FALSE((ClipTransform{0, false, true, std::nullopt}.isIdentity()));
}

TEST(ClipTransform, EqualityDistinguishesAbsentAndWholeFrameCrops) {
    ClipTransform whole{0, false, false, NormalizedRect{0, 0, 1, 1}};
    EXPECT_NE(whole, ClipTransform::identity());
    EXPECT_EQ(whole, (ClipTransform{0, false, false, NormalizedRect{0, 0, 1, 1}}));
}

TEST(ClipTransform, EncodedFormWritesTheCropOnlyWhenPresent) {
    ClipTransform plain{270, true, false, std::nullopt};
    EXPECT_EQ(Json(plain).dump(), R"({"rotation":270,"flipHorizontal":true,"flipVertical":false})");
    EXPECT_EQ(Json(plain).get<ClipTransform>(), plain);

    ClipTransform cropped{0, false, true, NormalizedRect{0.1, 0.2, 0.5, 0.25}};
    EXPECT_EQ(Json(cropped).dump(), R"({"rotation":0,"flipHorizontal":false,"flipVertical":true,)"
                                    R"("cropRect":{"x":0.1,"y":0.2,"width":0.5,"height":0.25}})");
    EXPECT_EQ(Json(cropped).get<ClipTransform>(), cropped);
    EXPECT_EQ(
        decode<ClipTransform>(
            R"({"rotation": 90.0, "flipHorizontal": false, "flipVertical": false, "cropRect": null})"),
        (ClipTransform{90, false, false, std::nullopt}));
}

TEST(ClipTransform, RotationIsCheckedRightAfterItIsRead) {
    auto error = decodeFailure<ClipTransform>(R"({"rotation": 360})");
    ASSERT_TRUE(error);
    EXPECT_EQ(error->kind(), DecodeError::Kind::dataCorrupted);
    EXPECT_EQ(error->key(), "rotation");
    EXPECT_EQ(error->description(), "rotation must be 0, 90, 180, or 270, got 360");
    EXPECT_EQ(decodeFailure<ClipTransform>(R"({"rotation": -90})")->description(),
              "rotation must be 0, 90, 180, or 270, got -90");
    EXPECT_EQ(decodeFailure<ClipTransform>(R"({"rotation": 1e12})")->description(),
              "rotation must be 0, 90, 180, or 270, got 1000000000000");
    EXPECT_EQ(decodeFailure<ClipTransform>(R"({"rotation": 90.5})")->key(), "rotation");
    EXPECT_EQ(decodeFailure<ClipTransform>(R"({"rotation": 90, "flipHorizontal": false})")->key(),
              "flipVertical");
    auto crop = decodeFailure<ClipTransform>(
        R"({"rotation": 0, "flipHorizontal": false, "flipVertical": false, "cropRect": {"x": 0, "y": 0, "width": 1}})");
    ASSERT_TRUE(crop);
    EXPECT_EQ(crop->key(), "height");
    EXPECT_EQ(
        decodeFailure<ClipTransform>(
            R"({"rotation": 0, "flipHorizontal": false, "flipVertical": false, "cropRect": [0, 0, 1, 1]})")
            ->kind(),
        DecodeError::Kind::typeMismatch);
}
