#include "domain/usecases/OpacityUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct OpacityUseCaseTest : ClipKindsFixture {
    UseCaseDriver<OpacityUseCase> useCase{engine};
};

} // namespace

TEST_F(OpacityUseCaseTest, SetsOpacityOfVideoAndImageClips) {
    const Project after = useCase.execute(image.id, 0.25);
    EXPECT_EQ(after.findClip(image.id)->opacity, 0.25);
    EXPECT_EQ(clipIn(useCase.execute(video.id, 0.0), video.id).opacity, 0.0);
    EXPECT_EQ(clipIn(useCase.execute(video.id, 1.0), video.id).opacity, 1.0);
}

TEST_F(OpacityUseCaseTest, RejectsOtherKindsAndValuesOutOfRange) {
    // The kind is checked before the value.
    expectEditError([&] { useCase.execute(text.id, 7); }, EditError::trackTypeMismatch());
    expectEditError([&] { useCase.execute(video.id, 1.01); }, EditError::invalidOpacity(1.01));
    expectEditError([&] { useCase.execute(video.id, -0.5); }, EditError::invalidOpacity(-0.5));
    try {
        useCase.execute(video.id, std::numeric_limits<double>::quiet_NaN());
        ADD_FAILURE() << "NaN opacity accepted";
    } catch (const EditError& error) {
        EXPECT_EQ(error.kind(), EditError::Kind::invalidOpacity);
    }
    EXPECT_TRUE(savedNothing());
}
