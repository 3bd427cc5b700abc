#include "domain/usecases/ColorAdjustUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct ColorAdjustUseCaseTest : ClipKindsFixture {
    ColorAdjustUseCase useCase{engine.repository};
};

} // namespace

TEST_F(ColorAdjustUseCaseTest, MergesGivenComponentsIntoNeutralOrStoredValuesAndUndoes) {
    const Project before = current();
    const Project after = engine.change([&] { return useCase.execute(video.id, {}, 1.2, {}); });
    EXPECT_EQ(after.findClip(video.id)->colorAdjust, (ColorAdjust{0, 1.2, 1}));
    engine.expectUndoable(before, after);

    useCase.execute(video.id, -0.5, {}, 3);
    EXPECT_EQ(stored(video.id).colorAdjust, (ColorAdjust{-0.5, 1.2, 3}));
    // Back to neutral, component by component: the adjustment goes away.
    useCase.execute(video.id, 0, 1, {});
    EXPECT_EQ(stored(video.id).colorAdjust, (ColorAdjust{0, 1, 3}));
    useCase.execute(video.id, {}, {}, 1);
    EXPECT_FALSE(stored(video.id).colorAdjust.has_value());
}

TEST_F(ColorAdjustUseCaseTest, ChecksEachGivenComponentInOrder) {
    EXPECT_NO_THROW(useCase.execute(image.id, -1, 0, 4));
    EXPECT_NO_THROW(useCase.execute(image.id, 1, 4, 0));
    engine.repository->saved.clear();

    expectEditError([&] { useCase.execute(image.id, 1.01, {}, {}); },
                    EditError::invalidBrightness(1.01));
    expectEditError([&] { useCase.execute(image.id, -1.5, 9, 9); },
                    EditError::invalidBrightness(-1.5));
    expectEditError([&] { useCase.execute(image.id, {}, 4.1, 9); },
                    EditError::invalidContrast(4.1));
    expectEditError([&] { useCase.execute(image.id, {}, {}, -0.1); },
                    EditError::invalidSaturation(-0.1));
    expectEditError([&] { useCase.execute(audio.id, 0.1, {}, {}); },
                    EditError::trackTypeMismatch());
    expectEditError([&] { useCase.execute(text.id, 0.1, {}, {}); }, EditError::trackTypeMismatch());
    EXPECT_TRUE(savedNothing());
}
