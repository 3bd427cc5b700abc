#include "domain/usecases/TransformImageOverlayUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct TransformImageOverlayUseCaseTest : ClipKindsFixture {
    UseCaseDriver<TransformImageOverlayUseCase> useCase{engine};
};

} // namespace

TEST_F(TransformImageOverlayUseCaseTest, ClampsInsteadOfRejecting) {
    const Project after = useCase.execute(image.id, 1.4, std::nullopt, 9);
    EXPECT_EQ(after.findClip(image.id)->overlayTransform, (OverlayTransform{1.0, 0.5, 5.0}));

    const double nan = std::numeric_limits<double>::quiet_NaN();
    useCase.execute(image.id, nan, -3, nan);
    EXPECT_EQ(stored(image.id).overlayTransform, (OverlayTransform{0, 0, 0.1}));
}

TEST_F(TransformImageOverlayUseCaseTest, KeepsStoredValuesAndAlwaysStoresAPlacement) {
    useCase.execute(image.id, std::nullopt, std::nullopt, std::nullopt);
    EXPECT_EQ(stored(image.id).overlayTransform, (OverlayTransform{0.5, 0.5, 1.0}));
    useCase.execute(image.id, 0.2, 0.3, std::nullopt);
    useCase.execute(image.id, std::nullopt, std::nullopt, 2);
    EXPECT_EQ(stored(image.id).overlayTransform, (OverlayTransform{0.2, 0.3, 2}));
}
