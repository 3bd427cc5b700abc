#include "app/ApplicationIdentity.h"
#include "journeys/ChildSession.h"
#include "journeys/JourneySteps.h"
#include "journeys/PrivateHome.h"
#include "presentation/support/EventLoop.h"
#include "support/media/TemporaryFolder.h"

#include <QApplication>
#include <QEvent>
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <optional>
#include <string_view>
#include <utility>

namespace {

using vexel::journeys::ChildRun;
using vexel::journeys::ChildStep;

std::optional<ChildStep> findChildStep(std::string_view name) {
    using namespace vexel::journeys;
    const std::pair<const char*, ChildStep> steps[] = {
        {editSessionStep, editSession},           {reopenSessionStep, reopenSession},
        {crashSessionStep, crashSession},         {recoverSessionStep, recoverSession},
        {steadySessionStep, steadySession},       {everydaySessionStep, everydaySession},
        {everydayReopenedStep, everydayReopened}, {receivingSessionStep, receivingSession},
        {holdingSessionStep, holdingSession},     {stagingSessionStep, stagingSession},
        {secondStartStep, secondStart},           {takingOverSessionStep, takingOverSession},
        {keepingSessionStep, keepingSession},     {openingSessionStep, openingSession},
    };
    for (const auto& [stepName, step] : steps) {
        if (name == stepName) {
            return step;
        }
    }
    return std::nullopt;
}

class ChildStepTest : public ::testing::Test {
public:
    explicit ChildStepTest(ChildRun run, ChildStep step)
        : run_(std::move(run))
        , step_(std::move(step)) {}

    void TestBody() override { step_(run_.arguments); }

private:
    ChildRun run_;
    ChildStep step_;
};

} // namespace

// The program's own process gets a home and XDG folders of its own, removed
// at its end, and no session bus; each journey gives its sessions folders of
// the journey's. The application is set up as main() sets it up. A child
// session runs its one step as the only test.
int main(int argc, char** argv) {
    const std::optional<ChildRun> child = ChildRun::take(argc, argv);
    std::unique_ptr<vexel::testing::TemporaryFolder> root;
    if (child && std::getenv(vexel::journeys::journeyHomeVariable) == nullptr) {
        std::fprintf(stderr, "a journey's session runs only over the folders of a journey\n");
        return 2;
    }
    if (child) {
        // Each line reaches the journey as it is written: a session killed
        // when the journey gives up on it still tells what it had found.
        std::setvbuf(stdout, nullptr, _IOLBF, 0);
    } else {
        root = std::make_unique<vexel::testing::TemporaryFolder>();
        vexel::journeys::usePrivateHome(root->path());
    }
    // Test discovery runs without a display.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    ::testing::InitGoogleTest(&argc, argv);
    QApplication application(argc, argv);
    vexel::setUpApplication(application);
    if (child) {
        const std::optional<ChildStep> step = findChildStep(child->step);
        if (!step) {
            std::fprintf(stderr, "no journey step named %s\n", child->step.c_str());
            return 2;
        }
        ::testing::RegisterTest("JourneyChild", child->step.c_str(), nullptr, nullptr, __FILE__,
                                __LINE__, [run = *child, step = *step]() -> ::testing::Test* {
                                    return new ChildStepTest(run, step);
                                });
        GTEST_FLAG_SET(filter, "JourneyChild.*");
    }
    const int result = RUN_ALL_TESTS();
    vexel::test::settle();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    return result;
}
