#include "domain/usecases/FilterUseCase.h"

#include "domain/entities/EditError.h"
#include "domain/usecases/ClipKindsFixture.h"
#include "support/ExpectEditError.h"

#include <gtest/gtest.h>

using namespace vexel;
using namespace vexel::testing;

namespace {

struct FilterUseCaseTest : ClipKindsFixture {
    UseCaseDriver<FilterUseCase> useCase{engine};
};

} // namespace

TEST_F(FilterUseCaseTest, StoresAPresetWithFullIntensityByDefault) {
    const Project after = useCase.execute(video.id, "sepia", std::nullopt);
    EXPECT_EQ(after.findClip(video.id)->filter, (FilterPreset{"sepia", 1.0}));

    useCase.execute(image.id, "noir", 0.4);
    EXPECT_EQ(stored(image.id).filter, (FilterPreset{"noir", 0.4}));
}

TEST_F(FilterUseCaseTest, NoneOrAnEmptyNameClearsWithoutLookingAtTheIntensity) {
    useCase.execute(video.id, "grayscale", 0.5);
    useCase.execute(video.id, "none", 7);
    EXPECT_FALSE(stored(video.id).filter.has_value());
    useCase.execute(video.id, "grayscale", 0.5);
    useCase.execute(video.id, "", std::nullopt);
    EXPECT_FALSE(stored(video.id).filter.has_value());
}

TEST_F(FilterUseCaseTest, NamesAreExactAndIntensityIsBounded) {
    expectEditError([&] { useCase.execute(video.id, "Sepia", std::nullopt); },
                    EditError::invalidFilterName("Sepia"));
    expectEditError([&] { useCase.execute(video.id, "None", std::nullopt); },
                    EditError::invalidFilterName("None"));
    expectEditError([&] { useCase.execute(video.id, "sepia", 1.5); },
                    EditError::invalidFilterIntensity(1.5));
    expectEditError([&] { useCase.execute(video.id, "sepia", -0.1); },
                    EditError::invalidFilterIntensity(-0.1));
    EXPECT_TRUE(savedNothing());
    EXPECT_EQ(clipIn(useCase.execute(video.id, "sepia", 0), video.id).filter,
              (FilterPreset{"sepia", 0}));
}
