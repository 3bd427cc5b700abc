#include "domain/usecases/ColorAdjustUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct ColorAdjustUseCaseTest : ClipKindsFixture {
    UseCaseDriver<ColorAdjustUseCase> useCase{engine};
};

} // namespace

TEST_F(ColorAdjustUseCaseTest, MergesGivenComponentsIntoNeutralOrStoredValues) {
    const Project after = useCase.execute(video.id, std::nullopt, 1.2, std::nullopt);
    EXPECT_EQ(after.findClip(video.id)->colorAdjust, (ColorAdjust{0, 1.2, 1}));

    useCase.execute(video.id, -0.5, std::nullopt, 3);
    EXPECT_EQ(stored(video.id).colorAdjust, (ColorAdjust{-0.5, 1.2, 3}));
    // Back to neutral, component by component: the adjustment goes away.
    useCase.execute(video.id, 0, 1, std::nullopt);
    EXPECT_EQ(stored(video.id).colorAdjust, (ColorAdjust{0, 1, 3}));
    useCase.execute(video.id, std::nullopt, std::nullopt, 1);
    EXPECT_FALSE(stored(video.id).colorAdjust.has_value());
}

TEST_F(ColorAdjustUseCaseTest, ChecksEachGivenComponentInOrder) {
    EXPECT_NO_THROW(useCase.execute(image.id, -1, 0, 4));
    EXPECT_NO_THROW(useCase.execute(image.id, 1, 4, 0));
    engine.repository->saved.clear();

    expectEditError([&] { useCase.execute(image.id, 1.01, std::nullopt, std::nullopt); },
                    EditError::invalidBrightness(1.01));
    expectEditError([&] { useCase.execute(image.id, -1.5, 9, 9); },
                    EditError::invalidBrightness(-1.5));
    expectEditError([&] { useCase.execute(image.id, std::nullopt, 4.1, 9); },
                    EditError::invalidContrast(4.1));
    expectEditError([&] { useCase.execute(image.id, std::nullopt, std::nullopt, -0.1); },
                    EditError::invalidSaturation(-0.1));
    EXPECT_TRUE(savedNothing());
}
