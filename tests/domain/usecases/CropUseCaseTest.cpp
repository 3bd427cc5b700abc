#include "domain/usecases/CropUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct CropUseCaseTest : ClipKindsFixture {
    UseCaseDriver<CropUseCase> useCase{engine};
};

} // namespace

TEST_F(CropUseCaseTest, StoresTheRectangleAsGiven) {
    const Project after = useCase.execute(video.id, 0.5, 0, 0.5000000005, 1);
    const ClipTransform expected{0, false, false, NormalizedRect{0.5, 0, 0.5000000005, 1}};
    EXPECT_EQ(after.findClip(video.id)->transform, expected);
}

TEST_F(CropUseCaseTest, WholeFrameRemovesTheTransformUnlessTheClipIsTurned) {
    useCase.execute(image.id, 0.1, 0.1, 0.5, 0.5);
    useCase.execute(image.id, 0, 0, 1, 1);
    EXPECT_FALSE(stored(image.id).transform.has_value());

    Project turned = current();
    Clip rotated = video;
    rotated.transform = ClipTransform{90, true, false, NormalizedRect{0.2, 0.2, 0.5, 0.5}};
    engine.repository->save(turned.replacingClip(rotated));
    useCase.execute(video.id, 0, 0, 1, 1);
    const ClipTransform expected{90, true, false, NormalizedRect{0, 0, 1, 1}};
    EXPECT_EQ(stored(video.id).transform, expected);
}

TEST_F(CropUseCaseTest, RejectsRectanglesOutsideTheUnitSquareOrWithoutSize) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const std::vector<NormalizedRect> bad = {
        {0, 0, 0, 1},     {0, 0, 1, 0},     {-0.01, 0, 0.5, 0.5}, {0, -0.01, 0.5, 0.5},
        {0.6, 0, 0.5, 1}, {0, 0.5, 1, 0.6}, {nan, 0, 0.5, 0.5},   {0, 0, nan, 0.5},
    };
    for (const NormalizedRect& rect : bad) {
        expectEditError([&] { useCase.execute(video.id, rect.x, rect.y, rect.width, rect.height); },
                        EditError::invalidCropRect());
    }
    EXPECT_TRUE(savedNothing());
}
