// The error banner and its history at their named states, drawn on a real X
// server.

#include "presentation/views/banner/ErrorBannerView.h"

#include "presentation/support/EventLoop.h"
#include "presentation/support/ManualTime.h"
#include "presentation/support/Screenshot.h"
#include "presentation/views/banner/ErrorHistoryPopover.h"
#include "support/RecordingLogger.h"

#include <QAbstractButton>
#include <QLabel>
#include <QPainter>
#include <QTest>
#include <QVBoxLayout>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

using namespace vexel;

namespace {

struct BannerScreenshotTest : ::testing::Test {
    test::ManualTime time;
    std::shared_ptr<test::RecordingLogger> logger = std::make_shared<test::RecordingLogger>();
    IconRegistry icons{logger};
    std::vector<std::unique_ptr<ErrorBannerViewModel>> viewModels;

    ErrorBannerViewModel& banner(ErrorCategory category, std::string message,
                                 std::optional<std::string> detail = std::nullopt,
                                 std::optional<std::string> action = std::nullopt) {
        viewModels.push_back(std::make_unique<ErrorBannerViewModel>(logger, time.sleepAction()));
        viewModels.back()->pushError(
            AppError::make(category, std::move(message), time.now(), detail, action));
        return *viewModels.back();
    }
};

} // namespace

TEST_F(BannerScreenshotTest, Categories) {
    QWidget column;
    auto* layout = new QVBoxLayout(&column);
    layout->setSpacing(8);
    std::vector<ErrorBannerView*> banners;
    const auto add = [&](ErrorBannerViewModel& viewModel) {
        banners.push_back(new ErrorBannerView(viewModel, icons));
        layout->addWidget(banners.back());
    };
    add(banner(ErrorCategory::validation, "Cannot split clip here"));
    add(banner(ErrorCategory::rateLimit, "Request limit reached",
               "The assistant accepts a limited number of requests a minute.", "Wait a moment"));
    add(banner(ErrorCategory::network, "No connection to the assistant"));
    ErrorBannerViewModel& twice = banner(ErrorCategory::fileImport, "Failed to add holiday.mov");
    twice.pushError(AppError::make(
        ErrorCategory::fileImport,
        "Failed to add a-very-long-file-name-of-a-clip-from-the-camera.mov", time.now()));
    add(twice);
    add(banner(ErrorCategory::auth, "Session expired. Please restart the app."));
    layout->addStretch();
    column.resize(520, 330);
    column.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&column));
    test::settle();
    // The rate limit, expanded to show its detail.
    QTest::mouseClick(banners[1], Qt::LeftButton, {}, QPoint(8, 8));
    test::settle();
    test::saveScreenshot(column, "banner-categories.png");
    EXPECT_TRUE(banners[1]->isExpanded());
    EXPECT_TRUE(banners[3]->countBadge()->isVisible());
}

TEST_F(BannerScreenshotTest, History) {
    ErrorBannerViewModel& viewModel = banner(ErrorCategory::validation, "Failed to move clip");
    const std::vector<std::pair<ErrorCategory, std::string>> more{
        {ErrorCategory::fileImport, "Failed to add interview.wav"},
        {ErrorCategory::rateLimit, "Request limit reached"},
        {ErrorCategory::validation, "Cannot move clip: overlaps another clip on this track"}};
    for (const auto& [category, message] : more) {
        time.advance(std::chrono::seconds(75));
        viewModel.pushError(
            AppError::make(category, message, time.now(),
                           category == ErrorCategory::rateLimit
                               ? std::optional<std::string>("Try again in a minute.")
                               : std::nullopt));
    }
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* view = new ErrorBannerView(viewModel, icons);
    layout->addWidget(view);
    layout->addStretch();
    window.resize(520, 80);
    window.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&window));
    test::settle();
    QTest::mouseClick(view->countBadge(), Qt::LeftButton);
    ASSERT_TRUE(view->isHistoryShown());
    test::settle();

    // The banner with the open list below its badge, as the user sees them.
    ErrorHistoryPopover& popover = view->historyPopover();
    const QPixmap bannerPicture = window.grab();
    const QPixmap listPicture = popover.grab();
    const QPoint listAt = window.mapFromGlobal(popover.pos());
    QPixmap picture(std::max(bannerPicture.width(), listAt.x() + listPicture.width()),
                    std::max(bannerPicture.height(), listAt.y() + listPicture.height()));
    picture.fill(window.palette().color(QPalette::Window));
    {
        QPainter painter(&picture);
        painter.drawPixmap(0, 0, bannerPicture);
        painter.drawPixmap(listAt, listPicture);
    }
    QLabel shown;
    shown.setPixmap(picture);
    shown.resize(picture.size());
    test::saveScreenshot(shown, "banner-history.png");
    EXPECT_EQ(popover.rowMessages().size(), 4);
    EXPECT_EQ(popover.rowMessages().front(),
              QStringLiteral("Cannot move clip: overlaps another clip on this track"));
}
