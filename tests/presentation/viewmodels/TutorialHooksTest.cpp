#include "presentation/viewmodels/TutorialHooks.h"

#include "presentation/support/ChatBar.h"

#include <gtest/gtest.h>

#include <fstream>
#include <stdexcept>

using namespace vexel;
using namespace vexel::test;

namespace {

// Refuses every file, as a full disk would.
class RefusingStager final : public FileStaging {
public:
    std::filesystem::path stage(const std::filesystem::path&,
                                const std::optional<std::string>&) const override {
        throw std::runtime_error("No space left on device");
    }
    void cleanStagingDirectory() const override {}
};

struct TutorialHooksTest : ::testing::Test {
    ChatBar bar{Project::makeNew()};
    TutorialState state;
    TutorialHooks hooks{state, bar.viewModel, bar.settings, bar.harness.logger};

    bool onboardingDone() { return bar.settings.value("hasCompletedOnboarding", false).toBool(); }
};

} // namespace

TEST_F(TutorialHooksTest, OffersTheTutorialUntilItIsSkippedOrFinished) {
    hooks.startIfFirstRun();
    EXPECT_EQ(state.currentStep(), TutorialStep::welcome);

    // A step already on stays.
    state.setCurrentStep(TutorialStep::fadeInChat);
    hooks.startIfFirstRun();
    EXPECT_EQ(state.currentStep(), TutorialStep::fadeInChat);

    for (const auto& end : {&TutorialHooks::skip, &TutorialHooks::complete}) {
        bar.settings.remove("hasCompletedOnboarding");
        state.setCurrentStep(TutorialStep::welcome);
        (hooks.*end)();
        EXPECT_EQ(state.currentStep(), std::nullopt);
        EXPECT_TRUE(onboardingDone());
        hooks.startIfFirstRun();
        EXPECT_EQ(state.currentStep(), std::nullopt);
    }

    // Without an orchestrator Get Started does nothing.
    state.setCurrentStep(TutorialStep::welcome);
    hooks.setupAndAdvance();
    EXPECT_FALSE(hooks.setupTask());
    EXPECT_EQ(state.currentStep(), TutorialStep::welcome);
}

TEST_F(TutorialHooksTest, AFailedSetupEndsTheTutorialWithALogLineAndOffersItAgainNextTime) {
    vexel::testing::TemporaryFolder resources;
    std::filesystem::create_directories(resources / "SampleMedia");
    std::ofstream(resources / "SampleMedia" / "tutorial-sample.mp4") << "movie";
    TutorialOrchestrator orchestrator(state, bar.viewModel.chatHistory(), bar.harness.timeline,
                                      std::make_shared<RefusingStager>(),
                                      ResourceBundle({resources.path()}), bar.harness.logger);
    bar.viewModel.setTutorialOrchestrator(&orchestrator);

    hooks.startIfFirstRun();
    hooks.setupAndAdvance();
    ASSERT_TRUE(hooks.setupTask());
    const TaskHandle setup = *hooks.setupTask();
    hooks.setupAndAdvance(); // a second click while the first runs
    EXPECT_EQ(hooks.setupTask(), setup);
    awaitTask(setup.finished());

    EXPECT_EQ(state.currentStep(), std::nullopt);
    EXPECT_EQ(bar.harness.logger->messages(),
              std::vector<std::string>{"[Tutorial] Setup failed: No space left on device"});
    EXPECT_EQ(bar.viewModel.instructionText(), "");
    EXPECT_FALSE(bar.viewModel.shouldFocusInput());
    EXPECT_FALSE(onboardingDone());
    EXPECT_FALSE(hooks.setupTask());
    hooks.startIfFirstRun();
    EXPECT_EQ(state.currentStep(), TutorialStep::welcome);
}
