#include "domain/usecases/SetImageAnimationUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

#include <limits>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct SetImageAnimationUseCaseTest : ClipKindsFixture {
    UseCaseDriver<SetImageAnimationUseCase> useCase{engine};

    void expectRejected(const ImageAnimationType& type, const EditError& error) {
        expectEditError([&] { useCase.execute(image.id, type, EasingCurve::linear); }, error);
    }
};

} // namespace

TEST_F(SetImageAnimationUseCaseTest, ReplacesTheStoredMotion) {
    useCase.execute(image.id, ImageAnimationType::shake(0.3), EasingCurve::easeIn);
    const Project after = useCase.execute(image.id, ImageAnimationType::pan(Direction::right, 0.4),
                                          EasingCurve::easeInOut);
    EXPECT_EQ(
        after.findClip(image.id)->imageAnimation,
        (ImageAnimation{ImageAnimationType::pan(Direction::right, 0.4), EasingCurve::easeInOut}));
}

TEST_F(SetImageAnimationUseCaseTest, AcceptsTheBoundsOfEachMotion) {
    for (const ImageAnimationType& type :
         {ImageAnimationType::zoomIn(1.01), ImageAnimationType::zoomOut(5.0),
          ImageAnimationType::rotate(-3600), ImageAnimationType::rotate(3600),
          ImageAnimationType::pan(Direction::up, 0), ImageAnimationType::pan(Direction::down, 1),
          ImageAnimationType::shake(0), ImageAnimationType::shake(1),
          ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.5, 0.5, 0.5000000005, 0.5})}) {
        EXPECT_NO_THROW(useCase.execute(image.id, type, EasingCurve::linear));
        EXPECT_EQ(stored(image.id).imageAnimation->type, type);
    }
}

TEST_F(SetImageAnimationUseCaseTest, RejectsParametersOutOfRangeAndOtherKinds) {
    const double nan = std::numeric_limits<double>::quiet_NaN();
    const EditError parameter = EditError::invalidImageAnimationParameter();
    expectRejected(ImageAnimationType::zoomIn(1.0), parameter);
    expectRejected(ImageAnimationType::zoomOut(5.01), parameter);
    expectRejected(ImageAnimationType::zoomIn(nan), parameter);
    expectRejected(ImageAnimationType::rotate(3601), parameter);
    expectRejected(ImageAnimationType::rotate(std::numeric_limits<double>::infinity()), parameter);
    expectRejected(ImageAnimationType::pan(Direction::left, nan), parameter);
    expectRejected(ImageAnimationType::pan(Direction::left, 1.1), parameter);
    expectRejected(ImageAnimationType::shake(-0.1), parameter);

    const EditError rect = EditError::invalidKenBurnsRect();
    expectRejected(ImageAnimationType::kenBurns({0, 0, 1, 1}, {0.5, 0.5, 0.6, 0.4}), rect);
    expectRejected(ImageAnimationType::kenBurns({0, 0, 0, 1}, {0, 0, 1, 1}), rect);
    expectRejected(ImageAnimationType::kenBurns({-0.1, 0, 0.5, 0.5}, {0, 0, 1, 1}), rect);
    expectRejected(ImageAnimationType::kenBurns({0, 0, 1, 1}, {0, 0, 1, nan}), rect);

    expectEditError(
        [&] { useCase.execute(text.id, ImageAnimationType::zoomIn(0), EasingCurve::linear); },
        EditError::imageAnimationNotSupported());
    EXPECT_TRUE(savedNothing());
}
