#include "presentation/viewmodels/ErrorBannerViewModel.h"

#include "presentation/support/EventLoop.h"
#include "presentation/support/ManualTime.h"
#include "support/RecordingLogger.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

using namespace vexel;
using namespace vexel::test;
using namespace std::chrono_literals;

namespace {

struct ErrorBannerViewModelTest : ::testing::Test {
    ManualTime time;
    std::shared_ptr<RecordingLogger> logger = std::make_shared<RecordingLogger>();
    ErrorBannerViewModel banner{logger, time.sleepAction()};

    AppError error(const std::string& message) {
        return AppError::make(ErrorCategory::fileImport, message, time.now());
    }

    static std::vector<std::string> messages(const std::vector<AppError>& errors) {
        std::vector<std::string> result;
        for (const AppError& error : errors) {
            result.push_back(error.message);
        }
        return result;
    }
};

} // namespace

TEST_F(ErrorBannerViewModelTest, KeepsTheLastTenAndHidesTheNewestWhenItsSleepReturns) {
    QSignalSpy shown(&banner, &ErrorBannerViewModel::currentErrorChanged);
    std::vector<std::string> expected;
    for (int n = 1; n <= 12; ++n) {
        banner.pushError(error("error " + std::to_string(n)));
        if (n >= 3) {
            expected.push_back("error " + std::to_string(n));
        }
    }
    settle();
    EXPECT_EQ(messages(banner.errorHistory()), expected);
    ASSERT_TRUE(banner.currentError());
    EXPECT_EQ(banner.currentError()->message, "error 12");
    EXPECT_EQ(shown.count(), 12);
    // Each push replaced the dismissal before it: one wait of 10 s is left.
    EXPECT_EQ(time.pendingSleeps(), 1u);
    EXPECT_EQ(time.requestedDelays().back(), 10.0);

    time.advance(10s);
    EXPECT_FALSE(banner.currentError());
    EXPECT_EQ(shown.count(), 13);
    EXPECT_EQ(messages(banner.errorHistory()), expected); // the dismissal keeps the history
}

TEST_F(ErrorBannerViewModelTest, HidesTenSecondsAfterTheLatestPushNotTheFirst) {
    banner.pushError(error("A"));
    settle();
    time.advance(5s);
    banner.pushError(error("B"));
    settle();
    EXPECT_EQ(banner.currentError()->message, "B");
    time.advance(5s); // A's ten seconds are over
    EXPECT_EQ(banner.currentError()->message, "B");
    time.advance(5s);
    EXPECT_FALSE(banner.currentError());
}

TEST_F(ErrorBannerViewModelTest, AnImmediateSleepHidesAsSoonAsTheTaskRuns) {
    ErrorBannerViewModel quick(logger, [](std::chrono::duration<double>, std::stop_token) {
        return []() -> QCoro::Task<void> { co_return; }();
    });
    quick.pushError(error("A"));
    // The dismissal starts after the push has returned, like a new task.
    EXPECT_TRUE(quick.currentError());
    settle();
    EXPECT_FALSE(quick.currentError());
}

TEST_F(ErrorBannerViewModelTest, HandDismissalHistoryClearingAndIdentity) {
    const AppError first = error("A");
    banner.pushError(first);
    settle();
    banner.clearHistory();
    EXPECT_TRUE(banner.errorHistory().empty());
    EXPECT_EQ(banner.currentError(), first); // still on show

    QSignalSpy shown(&banner, &ErrorBannerViewModel::currentErrorChanged);
    AppError sameId = first;
    sameId.message = "another text";
    banner.setCurrentError(sameId); // same error by id: nothing to tell
    EXPECT_EQ(shown.count(), 0);
    EXPECT_EQ(sameId, first);

    banner.setCurrentError(std::nullopt); // the dismiss button
    EXPECT_EQ(shown.count(), 1);
    time.advance(10s); // the armed dismissal finds nothing to hide
    EXPECT_FALSE(banner.currentError());
    EXPECT_EQ(shown.count(), 1);
    EXPECT_TRUE(logger->entries().empty());
}

TEST_F(ErrorBannerViewModelTest, CancelledDismissalAndAGoneBannerDoNothing) {
    banner.pushError(error("A"));
    settle();
    banner.cancelAutoDismiss();
    settle();
    EXPECT_EQ(time.pendingSleeps(), 0u);
    time.advance(10s);
    EXPECT_TRUE(banner.currentError());

    // The dismissal holds its banner weakly: it neither keeps it alive nor
    // touches it once it is gone.
    auto gone = std::make_unique<ErrorBannerViewModel>(logger, time.sleepAction());
    gone->pushError(error("B"));
    settle();
    gone.reset();
    settle();
    time.advance(10s);
    EXPECT_EQ(time.pendingSleeps(), 0u);
}

TEST_F(ErrorBannerViewModelTest, DismissHidesAtOnceKeepsTheHistoryAndDisarmsTheTimer) {
    banner.pushError(error("A"));
    settle();
    time.advance(5s);
    banner.dismiss();
    settle();
    EXPECT_FALSE(banner.currentError());
    EXPECT_EQ(messages(banner.errorHistory()), std::vector<std::string>{"A"});
    EXPECT_EQ(time.pendingSleeps(), 0u);

    // A's old timer cannot hide B early; B's own still hides it.
    banner.pushError(error("B"));
    settle();
    time.advance(5s);
    EXPECT_EQ(banner.currentError()->message, "B");
    time.advance(5s);
    EXPECT_FALSE(banner.currentError());

    // Nothing on show: dismissing changes nothing and tells nothing.
    QSignalSpy shown(&banner, &ErrorBannerViewModel::currentErrorChanged);
    banner.dismiss();
    EXPECT_EQ(shown.count(), 0);
    EXPECT_EQ(messages(banner.errorHistory()), (std::vector<std::string>{"A", "B"}));
}
