#include "domain/usecases/RotateFlipUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct RotateFlipUseCaseTest : ClipKindsFixture {
    UseCaseDriver<RotateFlipUseCase> useCase{engine};
};

} // namespace

TEST_F(RotateFlipUseCaseTest, SetsRotationAndFlipsKeepingTheCrop) {
    Clip cropped = image;
    cropped.transform = ClipTransform{0, false, false, NormalizedRect{0.1, 0.1, 0.5, 0.5}};
    engine.repository->save(current().replacingClip(cropped));

    const Project after = useCase.execute(image.id, 270, true, std::nullopt);
    const ClipTransform expected{270, true, false, NormalizedRect{0.1, 0.1, 0.5, 0.5}};
    EXPECT_EQ(after.findClip(image.id)->transform, expected);
}

TEST_F(RotateFlipUseCaseTest, FlipsAreSetNotToggledAndIdentityRemovesTheTransform) {
    useCase.execute(video.id, std::nullopt, true, std::nullopt);
    useCase.execute(video.id, std::nullopt, true, std::nullopt);
    EXPECT_EQ(stored(video.id).transform, (ClipTransform{0, true, false, std::nullopt}));

    useCase.execute(video.id, 90, std::nullopt, true);
    EXPECT_EQ(stored(video.id).transform, (ClipTransform{90, true, true, std::nullopt}));
    useCase.execute(video.id, 0, false, false);
    EXPECT_FALSE(stored(video.id).transform.has_value());
}

TEST_F(RotateFlipUseCaseTest, RejectsOtherAnglesAndKinds) {
    expectEditError([&] { useCase.execute(video.id, 45, std::nullopt, std::nullopt); },
                    EditError::invalidRotation(45));
    expectEditError([&] { useCase.execute(video.id, -90, std::nullopt, std::nullopt); },
                    EditError::invalidRotation(-90));
    expectEditError([&] { useCase.execute(video.id, 360, std::nullopt, std::nullopt); },
                    EditError::invalidRotation(360));
    EXPECT_EQ(EditError::invalidRotation(45).userMessage(),
              "Invalid rotation value (45). Rotation must be 0, 90, 180, or 270 degrees.");
    EXPECT_TRUE(savedNothing());
}
