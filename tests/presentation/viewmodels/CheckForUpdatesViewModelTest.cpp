#include "presentation/viewmodels/CheckForUpdatesViewModel.h"

#include "presentation/support/EventLoop.h"

#include <QSignalSpy>
#include <gtest/gtest.h>

#include <memory>

using namespace vexel;
using vexel::test::settle;

namespace {

// An updater whose flag the test sets; counts the checks asked of it.
class HandSetUpdater final : public update::Updater {
public:
    bool canCheckForUpdates() const override { return canCheck; }
    void checkForUpdates() override { ++checks; }

    void set(bool value) {
        canCheck = value;
        emit canCheckForUpdatesChanged(value);
    }

    bool canCheck = true;
    int checks = 0;
};

TEST(CheckForUpdatesViewModelTest, FollowsTheUpdaterFromTheEventLoopInOrder) {
    HandSetUpdater updater;
    auto viewModel = std::make_unique<CheckForUpdatesViewModel>(updater);
    QSignalSpy changes(viewModel.get(), &CheckForUpdatesViewModel::canCheckForUpdatesChanged);
    // Disabled until the updater's first value comes round.
    EXPECT_FALSE(viewModel->canCheckForUpdates());
    settle();
    EXPECT_TRUE(viewModel->canCheckForUpdates());
    EXPECT_EQ(changes.count(), 1);

    // Values arrive queued and in the order given; repeats change nothing.
    updater.set(false);
    updater.set(true);
    updater.set(false);
    EXPECT_TRUE(viewModel->canCheckForUpdates());
    settle();
    EXPECT_FALSE(viewModel->canCheckForUpdates());
    EXPECT_EQ(changes.count(), 4);
    updater.set(false);
    settle();
    EXPECT_EQ(changes.count(), 4);

    viewModel->checkForUpdates();
    EXPECT_EQ(updater.checks, 1);

    // A value on its way when the view model goes is dropped with it.
    updater.set(true);
    viewModel.reset();
    settle();
}

TEST(CheckForUpdatesViewModelTest, OutlivesItsUpdater) {
    auto updater = std::make_unique<HandSetUpdater>();
    CheckForUpdatesViewModel viewModel(*updater);
    settle();
    updater.reset();
    viewModel.checkForUpdates();
    settle();
    EXPECT_TRUE(viewModel.canCheckForUpdates());
}

} // namespace
