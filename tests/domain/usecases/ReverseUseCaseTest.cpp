#include "domain/usecases/ReverseUseCase.h"

#include "domain/usecases/ClipKindsFixture.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct ReverseUseCaseTest : ClipKindsFixture {
    UseCaseDriver<ReverseUseCase> useCase{engine};
};

} // namespace

TEST_F(ReverseUseCaseTest, EachCallToggles) {
    const Project after = useCase.execute(audio.id);
    EXPECT_TRUE(after.findClip(audio.id)->isReversed);

    // Twice restores the clip.
    useCase.execute(video.id);
    EXPECT_EQ(useCase.execute(video.id), after);
}
