#include "domain/usecases/ScaleTextUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct ScaleTextUseCaseTest : ClipKindsFixture {
    UseCaseDriver<ScaleTextUseCase> useCase{engine};
};

} // namespace

TEST_F(ScaleTextUseCaseTest, SetsTheScaleOfTextClipsWithinBounds) {
    const Project after = useCase.execute(text.id, 2.5);
    EXPECT_EQ(after.findClip(text.id)->textScale, 2.5);
    EXPECT_EQ(clipIn(useCase.execute(text.id, 0.1), text.id).textScale, 0.1);
    EXPECT_EQ(clipIn(useCase.execute(text.id, 5.0), text.id).textScale, 5.0);
    engine.repository->saved.clear();

    expectEditError([&] { useCase.execute(text.id, 0.09); }, EditError::invalidScale(0.09));
    expectEditError([&] { useCase.execute(text.id, 5.01); }, EditError::invalidScale(5.01));
    EXPECT_TRUE(savedNothing());
}
